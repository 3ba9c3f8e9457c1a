#pragma once

// Writers of small image files for the picture tests, benchmarks and fuzz seeds: PNG and JPEG
// through libpng and libjpeg, the other kinds byte by byte.

#include <cstdint>
#include <optional>
#include <vector>

#include "app/picture/picture.h"

namespace hc::test {

using FileBytes = std::vector<std::uint8_t>;

// Colour indices with their palette (0xAARRGGBB, at most 256 colours).
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;
  std::vector<std::uint8_t> indices;
};

// A picture with varied colours and, if asked, varied alpha; smooth enough for JPEG.
Picture sample_picture(int width, int height, bool with_alpha);
// A picture of colour_count opaque colours in a pattern that has both runs and noise.
IndexedPicture sample_indexed(int width, int height, int colour_count);
// Noise that nearly fills GIF's 4096-entry code table, then one colour to the end: the table
// fills in the middle of the run, where each code is the entry added just before it.
IndexedPicture code_table_filler();
// The colours of an indexed picture; the transparent index (if any) gives transparent black.
Picture to_picture(const IndexedPicture& indexed, int transparent = -1);

enum class PngColour { rgba, rgb, grey, grey_alpha, palette };
struct PngForm {
  PngColour colour = PngColour::rgba;
  bool sixteen_bits = false;
  bool interlaced = false;
};
// A palette PNG takes its palette from the picture's colours (with alpha as tRNS).
FileBytes make_png(const Picture& picture, const PngForm& form = {});

enum class JpegColour { rgb, grey, adobe_cmyk };
struct JpegForm {
  JpegColour colour = JpegColour::rgb;
  bool progressive = false;
  int quality = 95;
};
FileBytes make_jpeg(const Picture& picture, const JpegForm& form = {});

struct GifForm {
  int transparent = -1;
  bool interlaced = false;
  bool local_colours = false;
  // The logical screen, when it should differ from the image, and the image's place on it.
  std::optional<int> screen_width = std::nullopt;
  std::optional<int> screen_height = std::nullopt;
  int left = 0;
  int top = 0;
  // A full code table is cleared (true) or kept as it is (false).
  bool clear_when_full = true;
  // A second image after the first, which a decoder of the first image must ignore.
  bool second_image = false;
};
FileBytes make_gif(const IndexedPicture& picture, const GifForm& form = {});

enum class BmpHeader { core, info, v5 };
enum class BmpRows { plain, run_length };
struct BmpIndexedForm {
  int bits = 8;  // 1, 4 or 8; run-length rows take 4 or 8
  BmpHeader header = BmpHeader::info;
  BmpRows rows = BmpRows::plain;
  bool top_down = false;
};
FileBytes make_bmp(const IndexedPicture& picture, const BmpIndexedForm& form = {});

struct BmpDirectForm {
  int bits = 24;  // 16, 24 or 32
  // Bit-field masks red, green, blue, alpha; none: 5-5-5 for 16 bits, 8-8-8 without alpha
  // for 32 bits (the fourth byte is still written).
  std::optional<std::vector<std::uint32_t>> masks = std::nullopt;
  BmpHeader header = BmpHeader::info;
  bool top_down = false;
};
FileBytes make_bmp(const Picture& picture, const BmpDirectForm& form = {});

// One image of an icon or cursor file: a 32-bit bitmap with alpha (and a mask of its fully
// transparent pixels), an indexed bitmap whose transparent index goes into the mask, or a PNG.
FileBytes icon_bitmap(const Picture& picture);
FileBytes icon_bitmap(const IndexedPicture& picture, int bits, int transparent);
enum class IconType { icon = 1, cursor = 2 };
struct IconImage {
  FileBytes image;
  int width = 0;
  int height = 0;
};
FileBytes make_icon(IconType type, const std::vector<IconImage>& images);

// 8-bit PCX with the palette at the end, 24-bit in three planes, or 1-bit black and white
// (index 0 black, anything else white).
FileBytes make_pcx(const IndexedPicture& picture);
FileBytes make_pcx(const Picture& picture);
FileBytes make_pcx_black_and_white(const IndexedPicture& picture);

// Rewrites the picture size a file declares, leaving the rest as it is.
FileBytes with_declared_size(PictureKind kind, FileBytes bytes, int width, int height);

}  // namespace hc::test
