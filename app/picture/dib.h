#pragma once

// A device-independent bitmap: the info header, colour masks, palette and pixel rows that a BMP
// file holds after its file header, and an icon image holds, followed by its 1-bit
// transparency mask, inside an icon or cursor file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "app/picture/picture.h"

namespace hc {

enum class DibUse { bmp_file, icon };

struct DibSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
  int bit_count = 0;
};

// The picture size a bitmap declares (for an icon: without its mask), if the header is sound.
std::optional<DibSize> dib_size(std::span<const std::uint8_t> dib, DibUse use);

// pixel_offset: where the rows begin when a file header says so; otherwise after the palette.
std::optional<Picture> decode_dib(std::span<const std::uint8_t> dib,
                                  std::optional<std::size_t> pixel_offset, DibUse use);

}  // namespace hc
