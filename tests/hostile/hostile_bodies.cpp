#include "tests/hostile/hostile_bodies.h"

#include <zlib.h>

namespace hc::hostile {
namespace {

void put_u32_be(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

void put_u16_be(std::string& out, std::uint32_t value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void put_u16_le(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void put_u32_le(std::string& out, std::uint32_t value) {
  put_u16_le(out, value & 0xFFFF);
  put_u16_le(out, value >> 16);
}

std::uint32_t crc_of(std::string_view bytes) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

void put_png_chunk(std::string& out, std::string_view type, std::string_view data) {
  put_u32_be(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type) + std::string(data);
  out += typed;
  put_u32_be(out, crc_of(typed));
}

std::string deflate_bytes(std::string_view bytes, int window_bits) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    return {};
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END ? out : std::string();
}

}  // namespace

std::string huge_png(std::uint32_t width, std::uint32_t height) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  put_u32_be(header, width);
  put_u32_be(header, height);
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
  put_png_chunk(png, "IHDR", header);
  // The first few rows: a filter byte and zeros.
  put_png_chunk(png, "IDAT", deflate_bytes(std::string(4096, '\0'), 15));
  put_png_chunk(png, "IEND", {});
  return png;
}

std::string huge_bmp(std::int32_t width, std::int32_t height) {
  const std::string pixels(4096, '\x7f');
  std::string bmp = "BM";
  put_u32_le(bmp, static_cast<std::uint32_t>(54 + pixels.size()));
  put_u32_le(bmp, 0);
  put_u32_le(bmp, 54);
  put_u32_le(bmp, 40);
  put_u32_le(bmp, static_cast<std::uint32_t>(width));
  put_u32_le(bmp, static_cast<std::uint32_t>(height));
  put_u16_le(bmp, 1);   // planes
  put_u16_le(bmp, 24);  // bits per pixel
  for (int field = 0; field < 6; ++field) {
    put_u32_le(bmp, 0);  // no compression, sizes and colours left to the reader
  }
  return bmp + pixels;
}

std::string huge_gif() {
  std::string gif = "GIF89a";
  put_u16_le(gif, 0xFFFF);
  put_u16_le(gif, 0xFFFF);
  gif += std::string("\x80\x00\x00", 3);              // a global table of two colours
  gif += std::string("\x00\x00\x00\xff\xff\xff", 6);  // black, white
  gif += ',';                                         // image descriptor
  put_u16_le(gif, 0);
  put_u16_le(gif, 0);
  put_u16_le(gif, 0xFFFF);
  put_u16_le(gif, 0xFFFF);
  gif += '\x00';
  gif += std::string("\x02\x02\x4c\x01\x00", 5);  // a few pixels of LZW data
  gif += ';';
  return gif;
}

std::string huge_jpeg() {
  std::string jpeg = "\xff\xd8";
  jpeg += "\xff\xdb";  // one quantisation table of ones
  put_u16_be(jpeg, 67);
  jpeg += '\x00';
  jpeg += std::string(64, '\x01');
  jpeg += "\xff\xc0";  // baseline frame, one component
  put_u16_be(jpeg, 11);
  jpeg += '\x08';
  put_u16_be(jpeg, 0xFFFF);
  put_u16_be(jpeg, 0xFFFF);
  jpeg += std::string("\x01\x01\x11\x00", 4);
  jpeg += "\xff\xda";  // scan
  put_u16_be(jpeg, 8);
  jpeg += std::string("\x01\x01\x00\x00\x3f\x00", 6);
  jpeg += std::string(4096, '\x55');
  jpeg += "\xff\xd9";
  return jpeg;
}

std::string gzip(std::string_view bytes) {
  return deflate_bytes(bytes, 15 + 16);
}

std::string nested_array(int depth) {
  const auto count = static_cast<std::size_t>(depth);
  return std::string(count, '[') + std::string(count, ']');
}

}  // namespace hc::hostile
