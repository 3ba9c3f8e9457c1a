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

// Recognises the kind of image file by its leading bytes and decodes it. Untrusted bytes:
// anything that is not a picture, or fails to decode, gives nothing.
std::optional<Picture> decode_picture(std::span<const std::uint8_t> bytes);

}  // namespace hc
