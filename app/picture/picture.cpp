#include "app/picture/picture.h"

#include <algorithm>
#include <array>
#include <new>

#include "app/picture/decoders.h"

namespace hc {
namespace {

bool starts_with(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::uint16_t u16le_at(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// Icons and cursors: a zero word, the type word, then the image count.
bool is_icon_directory(std::span<const std::uint8_t> bytes, std::uint8_t type) {
  return bytes[0] == 0 && bytes[1] == 0 && bytes[2] == type && bytes[3] == 0 &&
         u16le_at(bytes, 4) > 0;
}

bool is_pcx(std::span<const std::uint8_t> bytes) {
  const std::uint8_t version = bytes[1];
  const std::uint8_t encoding = bytes[2];
  const std::uint8_t bits_per_pixel = bytes[3];
  if (bytes[0] != 0x0A || encoding != 1) {
    return false;
  }
  return (bits_per_pixel == 8 && version <= 5) || (bits_per_pixel == 1 && version == 3);
}

}  // namespace

bool picture_size_allowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= max_picture_side && height <= max_picture_side &&
         width * height <= max_picture_pixels;
}

std::optional<Picture> blank_picture(std::int64_t width, std::int64_t height) {
  if (!picture_size_allowed(width, height)) {
    return std::nullopt;
  }
  Picture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  try {
    picture.pixels.assign(static_cast<std::size_t>(width * height), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a large picture on a machine short of memory: no picture
  }
  return picture;
}

PictureKind picture_kind(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 2> jpeg = {0xFF, 0xD8};
  static constexpr std::array<std::uint8_t, 2> bmp = {'B', 'M'};
  static constexpr std::array<std::uint8_t, 4> png = {0x89, 'P', 'N', 'G'};
  static constexpr std::array<std::uint8_t, 6> gif87 = {'G', 'I', 'F', '8', '7', 'a'};
  static constexpr std::array<std::uint8_t, 6> gif89 = {'G', 'I', 'F', '8', '9', 'a'};

  if (bytes.size() < 8) {
    return PictureKind::unknown;
  }
  if (starts_with(bytes, jpeg)) {
    return PictureKind::jpeg;
  }
  if (starts_with(bytes, bmp)) {
    return PictureKind::bmp;
  }
  if (starts_with(bytes, png)) {
    return PictureKind::png;
  }
  if (starts_with(bytes, gif87) || starts_with(bytes, gif89)) {
    return PictureKind::gif;
  }
  if (is_icon_directory(bytes, 1)) {
    return PictureKind::icon;
  }
  if (is_icon_directory(bytes, 2)) {
    return PictureKind::cursor;
  }
  if (is_pcx(bytes)) {
    return PictureKind::pcx;
  }
  return PictureKind::unknown;
}

std::optional<Picture> decode_picture(std::span<const std::uint8_t> bytes) {
  switch (picture_kind(bytes)) {
    case PictureKind::jpeg:
      return decode_jpeg(bytes);
    case PictureKind::bmp:
      return decode_bmp(bytes);
    case PictureKind::png:
      return decode_png(bytes);
    case PictureKind::gif:
      return decode_gif(bytes);
    case PictureKind::icon:
    case PictureKind::cursor:
      return decode_icon(bytes);
    case PictureKind::pcx:
      return decode_pcx(bytes);
    case PictureKind::unknown:
      break;
  }
  return std::nullopt;
}

}  // namespace hc
