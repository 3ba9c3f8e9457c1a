#pragma once

// The decoders behind decode_picture, one per kind. Each checks its own signature, so each may
// be handed any bytes. A declared size beyond the limits of picture.h is refused before the
// picture is allocated. What a file cut short gives:
//   JPEG: the whole picture; rows past the cut come out as libjpeg fills them (grey).
//   PNG:  the rows read before the cut; the rest stays transparent black.
//   GIF, BMP, icon, cursor, PCX: the pixels (for BMP and PCX: whole rows) decoded before the
//         cut; the rest stays transparent black.
// A cut inside the headers or colour tables, or before the first decoded pixel, gives nothing.

#include <cstdint>
#include <optional>
#include <span>

#include "app/picture/picture.h"

namespace hc {

std::optional<Picture> decode_jpeg(std::span<const std::uint8_t> bytes);
std::optional<Picture> decode_png(std::span<const std::uint8_t> bytes);
std::optional<Picture> decode_gif(std::span<const std::uint8_t> bytes);
std::optional<Picture> decode_bmp(std::span<const std::uint8_t> bytes);
// Icons and cursors: the largest image of the file.
std::optional<Picture> decode_icon(std::span<const std::uint8_t> bytes);
std::optional<Picture> decode_pcx(std::span<const std::uint8_t> bytes);

// A transparent black picture of the given size, or nothing when the size is not allowed.
std::optional<Picture> blank_picture(std::int64_t width, std::int64_t height);

inline std::uint32_t argb(std::uint32_t alpha, std::uint32_t red, std::uint32_t green,
                          std::uint32_t blue) {
  return alpha << 24 | red << 16 | green << 8 | blue;
}

inline constexpr std::uint32_t opaque_black = 0xFF000000;

}  // namespace hc
