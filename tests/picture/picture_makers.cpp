#include "tests/picture/picture_makers.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace hc::test {
namespace {

std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}
std::uint8_t alpha_of(std::uint32_t p) {
  return static_cast<std::uint8_t>(p >> 24);
}
std::uint8_t red_of(std::uint32_t p) {
  return static_cast<std::uint8_t>(p >> 16);
}
std::uint8_t green_of(std::uint32_t p) {
  return static_cast<std::uint8_t>(p >> 8);
}
std::uint8_t blue_of(std::uint32_t p) {
  return static_cast<std::uint8_t>(p);
}

void put_u8(FileBytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
}
void put_u16le(FileBytes& out, unsigned value) {
  put_u8(out, value & 0xFF);
  put_u8(out, value >> 8 & 0xFF);
}
void put_u32le(FileBytes& out, std::uint32_t value) {
  put_u16le(out, value & 0xFFFF);
  put_u16le(out, value >> 16);
}
void set_u16le(FileBytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void set_u32le(FileBytes& out, std::size_t at, std::uint32_t value) {
  set_u16le(out, at, value & 0xFFFF);
  set_u16le(out, at + 2, value >> 16);
}
void set_u16be(FileBytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value >> 8);
  out[at + 1] = static_cast<std::uint8_t>(value);
}
void set_u32be(FileBytes& out, std::size_t at, std::uint32_t value) {
  set_u16be(out, at, value >> 16);
  set_u16be(out, at + 2, value & 0xFFFF);
}
void append(FileBytes& out, const FileBytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

std::size_t at(int x, int y, int width) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x);
}

// ---- PNG ----

struct PngWriting {
  png_structp png = nullptr;
  png_infop info = nullptr;
  FileBytes out;
};

void write_png_bytes(png_structp png, png_bytep data, std::size_t length) {
  auto* writing = static_cast<PngWriting*>(png_get_io_ptr(png));
  writing->out.insert(writing->out.end(), data, data + length);
}
void flush_png(png_structp) {}

bool write_png(PngWriting& writing, const Picture& picture, const PngForm& form, png_bytepp rows,
               const std::vector<png_color>& palette, const std::vector<png_byte>& palette_alpha) {
  if (setjmp(png_jmpbuf(writing.png))) {
    return false;
  }
  png_set_write_fn(writing.png, &writing, write_png_bytes, flush_png);
  int colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
  switch (form.colour) {
    case PngColour::rgba:
      colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
      break;
    case PngColour::rgb:
      colour_type = PNG_COLOR_TYPE_RGB;
      break;
    case PngColour::grey:
      colour_type = PNG_COLOR_TYPE_GRAY;
      break;
    case PngColour::grey_alpha:
      colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
      break;
    case PngColour::palette:
      colour_type = PNG_COLOR_TYPE_PALETTE;
      break;
  }
  const int depth = form.sixteen_bits && form.colour != PngColour::palette ? 16 : 8;
  png_set_IHDR(writing.png, writing.info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), depth, colour_type,
               form.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (form.colour == PngColour::palette) {
    png_set_PLTE(writing.png, writing.info, palette.data(), static_cast<int>(palette.size()));
    png_set_tRNS(writing.png, writing.info, palette_alpha.data(),
                 static_cast<int>(palette_alpha.size()), nullptr);
  }
  png_write_info(writing.png, writing.info);
  png_write_image(writing.png, rows);
  png_write_end(writing.png, writing.info);
  return true;
}

// ---- GIF ----

class BitWriter {
 public:
  void put(int code, int width) {
    bits_ |= static_cast<std::uint32_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void finish() {
    if (count_ > 0) {
      bytes.push_back(static_cast<std::uint8_t>(bits_));
    }
  }
  FileBytes bytes;

 private:
  std::uint32_t bits_ = 0;
  int count_ = 0;
};

FileBytes lzw_encode(const std::vector<std::uint8_t>& indices, int min_code_size,
                     bool clear_when_full) {
  const int clear = 1 << min_code_size;
  std::map<std::pair<int, int>, int> table;
  int next = clear + 2;
  int width = min_code_size + 1;
  BitWriter out;
  out.put(clear, width);
  int prefix = indices.front();
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const int c = indices[i];
    const auto found = table.find({prefix, c});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.put(prefix, width);
    if (next < 4096) {
      table[{prefix, c}] = next++;
      // The reader adds its entry one code later, so it widens when it reaches next - 1.
      if (next - 1 >= 1 << width && width < 12) {
        ++width;
      }
    } else if (clear_when_full) {
      out.put(clear, width);
      table.clear();
      next = clear + 2;
      width = min_code_size + 1;
    }
    prefix = c;
  }
  out.put(prefix, width);
  if (next >= 1 << width && width < 12) {
    ++width;
  }
  out.put(clear + 1, width);
  out.finish();
  return out.bytes;
}

void put_colour_table(FileBytes& out, const std::vector<std::uint32_t>& palette, int bits) {
  for (int i = 0; i < 1 << bits; ++i) {
    const std::uint32_t colour =
        static_cast<std::size_t>(i) < palette.size() ? palette[static_cast<std::size_t>(i)] : 0;
    put_u8(out, red_of(colour));
    put_u8(out, green_of(colour));
    put_u8(out, blue_of(colour));
  }
}

void put_sub_blocks(FileBytes& out, const FileBytes& data) {
  for (std::size_t i = 0; i < data.size(); i += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - i);
    put_u8(out, static_cast<unsigned>(length));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
               data.begin() + static_cast<std::ptrdiff_t>(i + length));
  }
  put_u8(out, 0);
}

std::vector<std::uint8_t> interlaced_order(const IndexedPicture& picture) {
  std::vector<std::uint8_t> out;
  const int starts[] = {0, 4, 2, 1};
  const int steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < picture.height; y += steps[pass]) {
      const auto row =
          picture.indices.begin() + static_cast<std::ptrdiff_t>(at(0, y, picture.width));
      out.insert(out.end(), row, row + picture.width);
    }
  }
  return out;
}

int bits_for(std::size_t colours) {
  int bits = 1;
  while ((std::size_t{1} << bits) < colours) {
    ++bits;
  }
  return bits;
}

void put_gif_image(FileBytes& out, const IndexedPicture& picture, const GifForm& form, int bits) {
  put_u8(out, 0x2C);
  put_u16le(out, static_cast<unsigned>(form.left));
  put_u16le(out, static_cast<unsigned>(form.top));
  put_u16le(out, static_cast<unsigned>(picture.width));
  put_u16le(out, static_cast<unsigned>(picture.height));
  unsigned flags = form.interlaced ? 0x40 : 0;
  if (form.local_colours) {
    flags |= 0x80 | static_cast<unsigned>(bits - 1);
  }
  put_u8(out, flags);
  if (form.local_colours) {
    put_colour_table(out, picture.palette, bits);
  }
  const int min_code_size = std::max(2, bits);
  put_u8(out, static_cast<unsigned>(min_code_size));
  const auto order = form.interlaced ? interlaced_order(picture) : picture.indices;
  put_sub_blocks(out, lzw_encode(order, min_code_size, form.clear_when_full));
}

// ---- BMP ----

FileBytes bmp_file(const FileBytes& dib, std::size_t rows_offset) {
  FileBytes out = {'B', 'M'};
  put_u32le(out, static_cast<std::uint32_t>(14 + dib.size()));
  put_u32le(out, 0);
  put_u32le(out, static_cast<std::uint32_t>(14 + rows_offset));
  append(out, dib);
  return out;
}

std::uint32_t header_size(BmpHeader header) {
  switch (header) {
    case BmpHeader::core:
      return 12;
    case BmpHeader::info:
      return 40;
    case BmpHeader::v5:
      return 124;
  }
  return 40;
}

// The 40-byte header fields; a longer header is padded with zeros by the caller.
void put_info_header(FileBytes& out, std::uint32_t size, int width, int height, int bits,
                     std::uint32_t compression, std::uint32_t image_size, std::uint32_t colours) {
  put_u32le(out, size);
  put_u32le(out, static_cast<std::uint32_t>(width));
  put_u32le(out, static_cast<std::uint32_t>(height));
  put_u16le(out, 1);
  put_u16le(out, static_cast<unsigned>(bits));
  put_u32le(out, compression);
  put_u32le(out, image_size);
  put_u32le(out, 2835);
  put_u32le(out, 2835);
  put_u32le(out, colours);
  put_u32le(out, 0);
}

std::size_t stride_of(int width, int bits) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

FileBytes packed_row(const IndexedPicture& picture, int y, int bits) {
  FileBytes row(stride_of(picture.width, bits), 0);
  for (int x = 0; x < picture.width; ++x) {
    const unsigned index = picture.indices[at(x, y, picture.width)];
    const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
    row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
  }
  return row;
}

// Runs of one value, literal stretches (three or more pixels) where the values vary.
FileBytes run_length_row(const IndexedPicture& picture, int y, bool four_bits) {
  FileBytes out;
  const int width = picture.width;
  auto index = [&](int x) { return picture.indices[at(x, y, width)]; };
  auto run_from = [&](int x) {
    int run = 1;
    while (x + run < width && run < 255 && index(x + run) == index(x)) {
      ++run;
    }
    return run;
  };
  int x = 0;
  while (x < width) {
    const int run = run_from(x);
    if (run >= 2) {
      put_u8(out, static_cast<unsigned>(run));
      put_u8(out, four_bits ? index(x) * 17u : index(x));
      x += run;
      continue;
    }
    int end = x;
    while (end < width && end - x < 254 && run_from(end) < 2) {
      ++end;
    }
    const int count = end - x;
    if (count < 3) {
      for (; x < end; ++x) {
        put_u8(out, 1);
        put_u8(out, four_bits ? index(x) * 16u : index(x));
      }
      continue;
    }
    put_u8(out, 0);
    put_u8(out, static_cast<unsigned>(count));
    FileBytes literal;
    for (int i = 0; i < count; ++i) {
      if (!four_bits) {
        literal.push_back(index(x + i));
      } else if (i % 2 == 0) {
        literal.push_back(static_cast<std::uint8_t>(index(x + i) << 4));
      } else {
        literal.back() |= index(x + i);
      }
    }
    if (literal.size() % 2 != 0) {
      literal.push_back(0);
    }
    append(out, literal);
    x = end;
  }
  put_u8(out, 0);
  put_u8(out, 0);
  return out;
}

std::uint32_t scaled_into(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) {
    return 0;
  }
  int shift = 0;
  while ((mask >> shift & 1) == 0) {
    ++shift;
  }
  const std::uint64_t top = mask >> shift;
  int bits = 0;
  while ((top >> bits & 1) != 0) {
    ++bits;
  }
  // Keep the top bits, as writers do, for masks up to eight bits; scale wider ones.
  const std::uint64_t scaled = bits <= 8 ? value >> (8 - bits) : (value * top + 127) / 255;
  return static_cast<std::uint32_t>(scaled << shift) & mask;
}

// ---- PCX ----

FileBytes pcx_header(int version, int bits, int width, int height, int planes,
                     std::size_t bytes_per_line) {
  FileBytes out(128, 0);
  out[0] = 0x0A;
  out[1] = static_cast<std::uint8_t>(version);
  out[2] = 1;
  out[3] = static_cast<std::uint8_t>(bits);
  set_u16le(out, 8, static_cast<unsigned>(width - 1));
  set_u16le(out, 10, static_cast<unsigned>(height - 1));
  set_u16le(out, 12, 72);
  set_u16le(out, 14, 72);
  out[65] = static_cast<std::uint8_t>(planes);
  set_u16le(out, 66, static_cast<unsigned>(bytes_per_line));
  set_u16le(out, 68, 1);
  return out;
}

void put_pcx_runs(FileBytes& out, const FileBytes& line) {
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t run = 1;
    while (i + run < line.size() && run < 63 && line[i + run] == line[i]) {
      ++run;
    }
    if (run > 1 || line[i] >= 0xC0) {
      put_u8(out, 0xC0 | static_cast<unsigned>(run));
    }
    put_u8(out, line[i]);
    i += run;
  }
}

std::size_t even(std::size_t n) {
  return n + n % 2;
}

}  // namespace

Picture sample_picture(int width, int height, bool with_alpha) {
  Picture picture{width, height, {}};
  picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const int w = std::max(1, width - 1);
  const int h = std::max(1, height - 1);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t alpha = 255;
      if (with_alpha) {
        alpha = (x + y) % 4 == 0 ? 0 : 255 - static_cast<std::uint32_t>(y * 200 / h);
      }
      picture.pixels[at(x, y, width)] = argb(alpha, static_cast<std::uint32_t>(x * 255 / w),
                                             static_cast<std::uint32_t>(y * 255 / h),
                                             static_cast<std::uint32_t>((x + y) * 255 / (w + h)));
    }
  }
  return picture;
}

IndexedPicture sample_indexed(int width, int height, int colour_count) {
  IndexedPicture picture{width, height, {}, {}};
  for (int i = 0; i < colour_count; ++i) {
    const auto n = static_cast<std::uint32_t>(i);
    picture.palette.push_back(
        argb(255, n * 67 & 0xFF, (n * 139 + 50) & 0xFF, (n * 29 + 100) & 0xFF));
  }
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245 + 12345;
      const int value = y % 3 == 0 ? x / 5 + y : static_cast<int>(noise >> 16);
      picture.indices.push_back(static_cast<std::uint8_t>(value % colour_count));
    }
  }
  return picture;
}

IndexedPicture code_table_filler() {
  IndexedPicture picture = sample_indexed(200, 200, 256);
  std::fill(picture.indices.begin() + 200 * 24, picture.indices.end(), 0);
  return picture;
}

Picture to_picture(const IndexedPicture& indexed, int transparent) {
  Picture picture{indexed.width, indexed.height, {}};
  for (const std::uint8_t index : indexed.indices) {
    picture.pixels.push_back(index == transparent ? 0 : indexed.palette[index]);
  }
  return picture;
}

FileBytes make_png(const Picture& picture, const PngForm& form) {
  std::vector<png_color> palette;
  std::vector<png_byte> palette_alpha;
  std::map<std::uint32_t, std::uint8_t> palette_index;
  const bool sixteen = form.sixteen_bits && form.colour != PngColour::palette;
  const std::size_t sample_bytes = sixteen ? 2 : 1;
  std::vector<FileBytes> rows(static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    FileBytes& row = rows[static_cast<std::size_t>(y)];
    auto put_sample = [&](unsigned value) {
      row.push_back(static_cast<std::uint8_t>(value));
      if (sample_bytes == 2) {
        row.push_back(static_cast<std::uint8_t>(value));  // v * 257, big-endian
      }
    };
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[at(x, y, picture.width)];
      switch (form.colour) {
        case PngColour::rgba:
        case PngColour::rgb:
          put_sample(red_of(p));
          put_sample(green_of(p));
          put_sample(blue_of(p));
          if (form.colour == PngColour::rgba) {
            put_sample(alpha_of(p));
          }
          break;
        case PngColour::grey:
        case PngColour::grey_alpha:
          put_sample(red_of(p));
          if (form.colour == PngColour::grey_alpha) {
            put_sample(alpha_of(p));
          }
          break;
        case PngColour::palette: {
          auto [entry, added] =
              palette_index.try_emplace(p, static_cast<std::uint8_t>(palette.size()));
          if (added) {
            palette.push_back({red_of(p), green_of(p), blue_of(p)});
            palette_alpha.push_back(alpha_of(p));
          }
          row.push_back(entry->second);
          break;
        }
      }
    }
  }
  std::vector<png_bytep> row_pointers;
  for (FileBytes& row : rows) {
    row_pointers.push_back(row.data());
  }
  PngWriting writing;
  writing.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  writing.info = png_create_info_struct(writing.png);
  const bool written =
      write_png(writing, picture, form, row_pointers.data(), palette, palette_alpha);
  png_destroy_write_struct(&writing.png, &writing.info);
  return written ? writing.out : FileBytes{};
}

FileBytes make_jpeg(const Picture& picture, const JpegForm& form) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  switch (form.colour) {
    case JpegColour::rgb:
      info.input_components = 3;
      info.in_color_space = JCS_RGB;
      break;
    case JpegColour::grey:
      info.input_components = 1;
      info.in_color_space = JCS_GRAYSCALE;
      break;
    case JpegColour::adobe_cmyk:
      info.input_components = 4;
      info.in_color_space = JCS_CMYK;
      break;
  }
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, form.quality, TRUE);
  if (form.progressive) {
    jpeg_simple_progression(&info);
  }
  jpeg_start_compress(&info, TRUE);
  FileBytes row;
  while (info.next_scanline < info.image_height) {
    row.clear();
    const auto y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[at(x, y, picture.width)];
      const unsigned r = red_of(p);
      const unsigned g = green_of(p);
      const unsigned b = blue_of(p);
      if (form.colour == JpegColour::rgb) {
        row.insert(row.end(), {red_of(p), green_of(p), blue_of(p)});
      } else if (form.colour == JpegColour::grey) {
        row.push_back(red_of(p));
      } else {
        // Adobe's inverted CMYK: each value is the light left, 255 for no ink.
        const unsigned k = std::max({r, g, b});
        auto light = [k](unsigned v) {
          return static_cast<std::uint8_t>(k == 0 ? 0 : v * 255 / k);
        };
        row.insert(row.end(), {light(r), light(g), light(b), static_cast<std::uint8_t>(k)});
      }
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  FileBytes out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

FileBytes make_gif(const IndexedPicture& picture, const GifForm& form) {
  const int bits = bits_for(picture.palette.size());
  FileBytes out = {'G', 'I', 'F', '8', '9', 'a'};
  put_u16le(out, static_cast<unsigned>(form.screen_width.value_or(picture.width)));
  put_u16le(out, static_cast<unsigned>(form.screen_height.value_or(picture.height)));
  put_u8(out, form.local_colours ? 0x70 : (0xF0 | static_cast<unsigned>(bits - 1)));
  put_u8(out, 0);
  put_u8(out, 0);
  if (!form.local_colours) {
    put_colour_table(out, picture.palette, bits);
  }
  if (form.transparent >= 0) {
    out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(form.transparent), 0});
  }
  put_gif_image(out, picture, form, bits);
  if (form.second_image) {
    IndexedPicture other = picture;
    for (std::uint8_t& index : other.indices) {
      index = static_cast<std::uint8_t>((index + 1) % picture.palette.size());
    }
    GifForm plain = form;
    plain.interlaced = false;
    put_gif_image(out, other, plain, bits);
  }
  put_u8(out, 0x3B);
  return out;
}

FileBytes make_bmp(const IndexedPicture& picture, const BmpIndexedForm& form) {
  const bool runs = form.rows == BmpRows::run_length;
  FileBytes rows;
  for (int r = 0; r < picture.height; ++r) {
    const int y = form.top_down ? r : picture.height - 1 - r;
    append(rows,
           runs ? run_length_row(picture, y, form.bits == 4) : packed_row(picture, y, form.bits));
  }
  if (runs) {
    rows.insert(rows.end(), {0, 1});
  }
  const std::uint32_t size = header_size(form.header);
  const int height = form.top_down ? -picture.height : picture.height;
  FileBytes dib;
  // A core header has no colour count, so its palette is always full.
  std::size_t colours = picture.palette.size();
  if (form.header == BmpHeader::core) {
    put_u32le(dib, size);
    put_u16le(dib, static_cast<unsigned>(picture.width));
    put_u16le(dib, static_cast<unsigned>(picture.height));
    put_u16le(dib, 1);
    put_u16le(dib, static_cast<unsigned>(form.bits));
    colours = std::size_t{1} << form.bits;
  } else {
    const std::uint32_t compression = !runs ? 0 : form.bits == 8 ? 1 : 2;
    put_info_header(dib, size, picture.width, height, form.bits, compression,
                    static_cast<std::uint32_t>(rows.size()), static_cast<std::uint32_t>(colours));
    dib.resize(size, 0);
  }
  for (std::size_t i = 0; i < colours; ++i) {
    const std::uint32_t colour = i < picture.palette.size() ? picture.palette[i] : 0;
    dib.insert(dib.end(), {blue_of(colour), green_of(colour), red_of(colour)});
    if (form.header != BmpHeader::core) {
      dib.push_back(0);
    }
  }
  const std::size_t rows_offset = dib.size();
  append(dib, rows);
  return bmp_file(dib, rows_offset);
}

FileBytes make_bmp(const Picture& picture, const BmpDirectForm& form) {
  const std::uint32_t size = header_size(form.header);
  const int height = form.top_down ? -picture.height : picture.height;
  const std::vector<std::uint32_t> masks = form.masks.value_or(std::vector<std::uint32_t>{});
  const bool alpha_mask = masks.size() == 4 && masks[3] != 0;
  std::uint32_t compression = 0;
  if (!masks.empty()) {
    compression = alpha_mask && form.header == BmpHeader::info ? 6 : 3;
  }
  FileBytes rows;
  for (int r = 0; r < picture.height; ++r) {
    const int y = form.top_down ? r : picture.height - 1 - r;
    FileBytes row;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[at(x, y, picture.width)];
      if (form.bits == 24) {
        row.insert(row.end(), {blue_of(p), green_of(p), red_of(p)});
        continue;
      }
      std::uint32_t value = 0;
      if (masks.empty() && form.bits == 16) {
        value = (red_of(p) >> 3u) << 10 | (green_of(p) >> 3u) << 5 | blue_of(p) >> 3u;
      } else if (masks.empty()) {
        value = p;
      } else {
        value = scaled_into(red_of(p), masks[0]) | scaled_into(green_of(p), masks[1]) |
                scaled_into(blue_of(p), masks[2]) |
                (alpha_mask ? scaled_into(alpha_of(p), masks[3]) : 0);
      }
      if (form.bits == 16) {
        put_u16le(row, value);
      } else {
        put_u32le(row, value);
      }
    }
    row.resize(stride_of(picture.width, form.bits), 0);
    append(rows, row);
  }
  FileBytes dib;
  put_info_header(dib, size, picture.width, height, form.bits, compression,
                  static_cast<std::uint32_t>(rows.size()), 0);
  for (std::size_t i = 0; i < masks.size(); ++i) {
    if (form.header != BmpHeader::info || i < 3 || compression == 6) {
      put_u32le(dib, masks[i]);
    }
  }
  if (form.header == BmpHeader::v5) {
    dib.resize(size, 0);
  }
  const std::size_t rows_offset = dib.size();
  append(dib, rows);
  return bmp_file(dib, rows_offset);
}

FileBytes icon_bitmap(const Picture& picture) {
  FileBytes out;
  put_info_header(out, 40, picture.width, picture.height * 2, 32, 0, 0, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[at(x, y, picture.width)];
      out.insert(out.end(), {blue_of(p), green_of(p), red_of(p), alpha_of(p)});
    }
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    FileBytes mask(stride_of(picture.width, 1), 0);
    for (int x = 0; x < picture.width; ++x) {
      if (alpha_of(picture.pixels[at(x, y, picture.width)]) == 0) {
        mask[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    append(out, mask);
  }
  return out;
}

FileBytes icon_bitmap(const IndexedPicture& picture, int bits, int transparent) {
  FileBytes out;
  put_info_header(out, 40, picture.width, picture.height * 2, bits, 0, 0,
                  static_cast<std::uint32_t>(picture.palette.size()));
  for (const std::uint32_t colour : picture.palette) {
    out.insert(out.end(), {blue_of(colour), green_of(colour), red_of(colour), 0});
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    append(out, packed_row(picture, y, bits));
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    FileBytes mask(stride_of(picture.width, 1), 0);
    for (int x = 0; x < picture.width; ++x) {
      if (picture.indices[at(x, y, picture.width)] == transparent) {
        mask[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    append(out, mask);
  }
  return out;
}

FileBytes make_icon(IconType type, const std::vector<IconImage>& images) {
  FileBytes out;
  put_u16le(out, 0);
  put_u16le(out, static_cast<unsigned>(type));
  put_u16le(out, static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (const IconImage& image : images) {
    put_u8(out, image.width >= 256 ? 0 : static_cast<unsigned>(image.width));
    put_u8(out, image.height >= 256 ? 0 : static_cast<unsigned>(image.height));
    put_u8(out, 0);
    put_u8(out, 0);
    put_u16le(out, type == IconType::icon ? 1 : static_cast<unsigned>(image.width / 2));
    put_u16le(out, type == IconType::icon ? 32 : static_cast<unsigned>(image.height / 2));
    put_u32le(out, static_cast<std::uint32_t>(image.image.size()));
    put_u32le(out, static_cast<std::uint32_t>(offset));
    offset += image.image.size();
  }
  for (const IconImage& image : images) {
    append(out, image.image);
  }
  return out;
}

FileBytes make_pcx(const IndexedPicture& picture) {
  const std::size_t line_bytes = even(static_cast<std::size_t>(picture.width));
  FileBytes out = pcx_header(5, 8, picture.width, picture.height, 1, line_bytes);
  for (int y = 0; y < picture.height; ++y) {
    FileBytes line(line_bytes, 0);
    std::copy_n(picture.indices.begin() + static_cast<std::ptrdiff_t>(at(0, y, picture.width)),
                picture.width, line.begin());
    put_pcx_runs(out, line);
  }
  put_u8(out, 0x0C);
  for (std::size_t i = 0; i < 256; ++i) {
    const std::uint32_t colour = i < picture.palette.size() ? picture.palette[i] : 0;
    out.insert(out.end(), {red_of(colour), green_of(colour), blue_of(colour)});
  }
  return out;
}

FileBytes make_pcx(const Picture& picture) {
  const std::size_t line_bytes = even(static_cast<std::size_t>(picture.width));
  FileBytes out = pcx_header(5, 8, picture.width, picture.height, 3, line_bytes);
  for (int y = 0; y < picture.height; ++y) {
    FileBytes line(line_bytes * 3, 0);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[at(x, y, picture.width)];
      const auto column = static_cast<std::size_t>(x);
      line[column] = red_of(p);
      line[line_bytes + column] = green_of(p);
      line[2 * line_bytes + column] = blue_of(p);
    }
    put_pcx_runs(out, line);
  }
  return out;
}

FileBytes make_pcx_black_and_white(const IndexedPicture& picture) {
  const std::size_t line_bytes = even((static_cast<std::size_t>(picture.width) + 7) / 8);
  FileBytes out = pcx_header(3, 1, picture.width, picture.height, 1, line_bytes);
  for (int y = 0; y < picture.height; ++y) {
    FileBytes line(line_bytes, 0);
    for (int x = 0; x < picture.width; ++x) {
      if (picture.indices[at(x, y, picture.width)] != 0) {
        line[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    put_pcx_runs(out, line);
  }
  return out;
}

FileBytes with_declared_size(PictureKind kind, FileBytes bytes, int width, int height) {
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint32_t>(height);
  auto patch_png = [&](std::size_t start) {
    set_u32be(bytes, start + 16, w);
    set_u32be(bytes, start + 20, h);
    const auto crc = crc32(0, bytes.data() + start + 12, 17);
    set_u32be(bytes, start + 29, static_cast<std::uint32_t>(crc));
  };
  switch (kind) {
    case PictureKind::png:
      patch_png(0);
      break;
    case PictureKind::jpeg:
      for (std::size_t i = 2; i + 9 < bytes.size();) {
        const std::uint8_t marker = bytes[i + 1];
        if (marker >= 0xC0 && marker <= 0xC2) {
          set_u16be(bytes, i + 5, h);
          set_u16be(bytes, i + 7, w);
          break;
        }
        i += 2 + (static_cast<std::size_t>(bytes[i + 2]) << 8 | bytes[i + 3]);
      }
      break;
    case PictureKind::gif: {
      set_u16le(bytes, 6, w);
      set_u16le(bytes, 8, h);
      std::size_t image = 13 + ((bytes[10] & 0x80) != 0 ? 3u << ((bytes[10] & 7) + 1) : 0);
      while (bytes[image] == 0x21) {
        image += 2;
        while (bytes[image] != 0) {
          image += 1 + bytes[image];
        }
        ++image;
      }
      set_u16le(bytes, image + 5, w);
      set_u16le(bytes, image + 7, h);
      break;
    }
    case PictureKind::bmp:
      set_u32le(bytes, 18, w);
      set_u32le(bytes, 22, h);
      break;
    case PictureKind::icon:
    case PictureKind::cursor: {
      const std::size_t image = bytes[18] | bytes[19] << 8 | bytes[20] << 16;
      if (bytes[image] == 0x89) {
        patch_png(image);
      } else {
        set_u32le(bytes, image + 4, w);
        set_u32le(bytes, image + 8, 2 * h);
      }
      break;
    }
    case PictureKind::pcx:
      set_u16le(bytes, 4, 0);
      set_u16le(bytes, 6, 0);
      set_u16le(bytes, 8, w - 1);
      set_u16le(bytes, 10, h - 1);
      // Lines long enough for the new width, so that only the size is what changed.
      set_u16le(bytes, 66, static_cast<unsigned>(even((w * bytes[3] + 7) / 8)));
      break;
    case PictureKind::unknown:
      break;
  }
  return bytes;
}

}  // namespace hc::test
