#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hc {

// A decoded picture: width x height pixels, row by row from the top, each 0xAARRGGBB with
// straight (not premultiplied) alpha.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The kinds of image file told apart by their leading bytes.
enum class PictureKind { unknown, jpeg, bmp, png, gif, icon, cursor, pcx };

// Pictures are untrusted: a declared size beyond these is refused before anything is allocated.
inline constexpr std::int64_t max_picture_side = 8192;
inline constexpr std::int64_t max_picture_pixels = 32'000'000;

// True when a picture of this size may be allocated: both sides above 0 and within the limits.
bool picture_size_allowed(std::int64_t width, std::int64_t height);

// The kind of image file by its first eight bytes; fewer than eight bytes are unknown.
PictureKind picture_kind(std::span<const std::uint8_t> bytes);

// Recognises the kind of image file by its leading bytes and decodes it. Untrusted bytes:
// anything that is not a picture, or fails to decode, gives nothing. A file cut short may give
// the part decoded before the cut (see the decoders in app/picture/decoders.h).
std::optional<Picture> decode_picture(std::span<const std::uint8_t> bytes);

}  // namespace hc
