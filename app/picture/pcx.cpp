// PCX: a 128-byte header, then run-length coded scan lines, each holding every colour plane of
// one row in turn; 8-bit single-plane files end in a 256-colour palette.

#include <array>
#include <vector>

#include "app/picture/byte_reader.h"
#include "app/picture/decoders.h"

namespace hc {
namespace {

constexpr std::size_t header_size = 128;
constexpr std::size_t palette_size = 1 + 256 * 3;  // a 0x0C mark and the colours
constexpr std::uint8_t palette_mark = 0x0C;

struct PcxHeader {
  int bits_per_pixel = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  int planes = 0;
  std::size_t bytes_per_line = 0;
};

std::optional<PcxHeader> read_header(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < header_size || picture_kind(bytes) != PictureKind::pcx) {
    return std::nullopt;
  }
  ByteReader in(bytes, 3);
  PcxHeader header;
  header.bits_per_pixel = in.u8();
  const std::int64_t left = in.u16le();
  const std::int64_t top = in.u16le();
  const std::int64_t right = in.u16le();
  const std::int64_t bottom = in.u16le();
  ByteReader layout(bytes, 65);
  header.planes = layout.u8();
  header.bytes_per_line = layout.u16le();
  header.width = right - left + 1;
  header.height = bottom - top + 1;
  const bool known_layout =
      (header.bits_per_pixel == 8 && (header.planes == 1 || header.planes == 3)) ||
      (header.bits_per_pixel == 1 && header.planes == 1);
  const auto row_bytes = (header.width * header.bits_per_pixel + 7) / 8;
  if (!in.ok() || !layout.ok() || !known_layout || header.width <= 0 || header.height <= 0 ||
      static_cast<std::int64_t>(header.bytes_per_line) < row_bytes) {
    return std::nullopt;
  }
  return header;
}

// The 256 colours at the end of the file, or grey levels when the file has none.
std::array<std::uint32_t, 256> read_palette(std::span<const std::uint8_t> bytes, bool& at_end) {
  std::array<std::uint32_t, 256> palette{};
  at_end = bytes.size() >= header_size + palette_size &&
           bytes[bytes.size() - palette_size] == palette_mark;
  for (std::uint32_t i = 0; i < 256; ++i) {
    palette[i] = argb(255, i, i, i);
  }
  if (at_end) {
    ByteReader in(bytes, bytes.size() - palette_size + 1);
    for (std::uint32_t& colour : palette) {
      const std::uint8_t red = in.u8();
      const std::uint8_t green = in.u8();
      const std::uint8_t blue = in.u8();
      colour = argb(255, red, green, blue);
    }
  }
  return palette;
}

// Run-length bytes: a byte with its two top bits set repeats the next byte (its low six bits)
// times; any other byte stands for itself. A run may go on into the next scan line.
class RunReader {
 public:
  explicit RunReader(std::span<const std::uint8_t> data) : in_(data) {}

  // Fills the whole line, or gives false when the data ends first.
  bool fill(std::vector<std::uint8_t>& line) {
    for (std::uint8_t& byte : line) {
      while (repeat_ == 0) {  // a run of none stands for nothing
        const std::uint8_t code = in_.u8();
        if ((code & 0xC0) == 0xC0) {
          repeat_ = code & 0x3F;
          value_ = in_.u8();
        } else {
          repeat_ = 1;
          value_ = code;
        }
        if (!in_.ok()) {
          return false;
        }
      }
      byte = value_;
      --repeat_;
    }
    return true;
  }

 private:
  ByteReader in_;
  int repeat_ = 0;
  std::uint8_t value_ = 0;
};

}  // namespace

std::optional<Picture> decode_pcx(std::span<const std::uint8_t> bytes) {
  const auto header = read_header(bytes);
  if (!header) {
    return std::nullopt;
  }
  auto picture = blank_picture(header->width, header->height);
  if (!picture) {
    return std::nullopt;
  }
  bool palette_at_end = false;
  const auto palette = read_palette(bytes, palette_at_end);
  const bool indexed = header->bits_per_pixel == 8 && header->planes == 1;
  const std::size_t data_end =
      indexed && palette_at_end ? bytes.size() - palette_size : bytes.size();
  RunReader runs(bytes.subspan(header_size, data_end - header_size));

  const auto width = static_cast<std::size_t>(header->width);
  const std::size_t line_bytes = header->bytes_per_line;
  std::vector<std::uint8_t> line(line_bytes * static_cast<std::size_t>(header->planes));
  std::int64_t rows = 0;
  for (; rows < header->height && runs.fill(line); ++rows) {
    std::uint32_t* out = picture->pixels.data() + static_cast<std::size_t>(rows) * width;
    for (std::size_t x = 0; x < width; ++x) {
      if (header->bits_per_pixel == 1) {
        out[x] = (line[x / 8] >> (7 - x % 8) & 1) != 0 ? 0xFFFFFFFF : opaque_black;
      } else if (indexed) {
        out[x] = palette[line[x]];
      } else {
        out[x] = argb(255, line[x], line[line_bytes + x], line[2 * line_bytes + x]);
      }
    }
  }
  if (rows == 0) {
    return std::nullopt;
  }
  return picture;
}

}  // namespace hc
