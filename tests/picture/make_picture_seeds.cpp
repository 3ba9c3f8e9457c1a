// Writes the seed corpora of the picture fuzz targets, one folder per target under the given
// directory (fuzz/corpus): small files of each kind from the test picture writers.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/picture/picture_makers.h"

namespace {

using hc::test::FileBytes;

void write_seed(const std::filesystem::path& folder, const std::string& name,
                const FileBytes& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace hc;
  using namespace hc::test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_picture_seeds <corpus directory>\n");
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  const Picture rgba = sample_picture(9, 7, true);
  const Picture opaque = sample_picture(9, 7, false);
  const IndexedPicture many = sample_indexed(9, 7, 200);
  const IndexedPicture sixteen = sample_indexed(9, 7, 16);
  const IndexedPicture two = sample_indexed(9, 7, 2);

  const auto png = corpus / "fuzz_picture_png";
  write_seed(png, "rgba.png", make_png(rgba));
  write_seed(png, "rgb16_interlaced.png", make_png(opaque, {PngColour::rgb, true, true}));
  write_seed(png, "palette.png", make_png(to_picture(sixteen, 2), {PngColour::palette}));
  write_seed(png, "grey_alpha.png", make_png(rgba, {PngColour::grey_alpha}));

  const auto jpeg = corpus / "fuzz_picture_jpeg";
  write_seed(jpeg, "baseline.jpg", make_jpeg(opaque));
  write_seed(jpeg, "progressive.jpg", make_jpeg(opaque, {JpegColour::rgb, true}));
  write_seed(jpeg, "grey.jpg", make_jpeg(opaque, {JpegColour::grey}));
  write_seed(jpeg, "cmyk.jpg", make_jpeg(opaque, {JpegColour::adobe_cmyk}));

  const auto gif = corpus / "fuzz_picture_gif";
  write_seed(gif, "plain.gif", make_gif(many));
  write_seed(gif, "interlaced.gif",
             make_gif(sixteen, {.transparent = 3, .interlaced = true, .local_colours = true}));
  write_seed(gif, "placed.gif",
             make_gif(two, {.screen_width = 12, .screen_height = 9, .left = 2, .top = 1}));
  write_seed(gif, "full_table.gif", make_gif(code_table_filler(), {.clear_when_full = false}));
  write_seed(gif, "two_images.gif", make_gif(sixteen, {.second_image = true}));

  const auto bmp = corpus / "fuzz_picture_bmp";
  write_seed(bmp, "24.bmp", make_bmp(opaque));
  write_seed(
      bmp, "32_v5.bmp",
      make_bmp(rgba, {.bits = 32,
                      .masks = std::vector<std::uint32_t>{0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                      .header = BmpHeader::v5}));
  write_seed(
      bmp, "16_565.bmp",
      make_bmp(opaque, {.bits = 16, .masks = std::vector<std::uint32_t>{0xF800, 0x07E0, 0x1F}}));
  write_seed(bmp, "8.bmp", make_bmp(many));
  write_seed(bmp, "4_core.bmp", make_bmp(sixteen, {.bits = 4, .header = BmpHeader::core}));
  write_seed(bmp, "1_top_down.bmp", make_bmp(two, {.bits = 1, .top_down = true}));
  write_seed(bmp, "rle8.bmp", make_bmp(many, {.rows = BmpRows::run_length}));
  write_seed(bmp, "rle4.bmp", make_bmp(sixteen, {.bits = 4, .rows = BmpRows::run_length}));

  const auto icon = corpus / "fuzz_picture_icon";
  write_seed(
      icon, "two_images.ico",
      make_icon(IconType::icon, {{icon_bitmap(many, 8, 5), 9, 7}, {icon_bitmap(rgba), 9, 7}}));
  write_seed(icon, "png.ico", make_icon(IconType::icon, {{make_png(rgba), 9, 7}}));
  write_seed(icon, "4.cur", make_icon(IconType::cursor, {{icon_bitmap(sixteen, 4, 1), 9, 7}}));

  const auto pcx = corpus / "fuzz_picture_pcx";
  write_seed(pcx, "8.pcx", make_pcx(many));
  write_seed(pcx, "24.pcx", make_pcx(opaque));
  write_seed(pcx, "1.pcx", make_pcx_black_and_white(two));
  return 0;
}
