#include "app/picture/byte_reader.h"
#include "app/picture/decoders.h"
#include "app/picture/dib.h"

namespace hc {

// A BMP file: "BM", the file size, two reserved words, the offset of the pixel rows, then the
// bitmap itself.
std::optional<Picture> decode_bmp(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t file_header_size = 14;
  ByteReader in(bytes);
  const std::uint8_t b = in.u8();
  const std::uint8_t m = in.u8();
  in.skip(8);
  const std::uint32_t pixel_offset = in.u32le();
  if (!in.ok() || b != 'B' || m != 'M') {
    return std::nullopt;
  }
  std::optional<std::size_t> rows_offset;
  if (pixel_offset > file_header_size) {
    rows_offset = pixel_offset - file_header_size;
  }
  return decode_dib(bytes.subspan(file_header_size), rows_offset, DibUse::bmp_file);
}

}  // namespace hc
