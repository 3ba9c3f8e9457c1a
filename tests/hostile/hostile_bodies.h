#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hc::hostile {

// Picture files whose headers claim a size far beyond any avatar, followed by a few bytes of
// picture data. PNG and BMP claim width x height as given; GIF and JPEG hold 16-bit sizes and
// claim the largest they can, 65535 x 65535.
std::string huge_png(std::uint32_t width, std::uint32_t height);
std::string huge_bmp(std::int32_t width, std::int32_t height);
std::string huge_gif();
std::string huge_jpeg();

// The bytes in gzip form, as a server sends them with Content-Encoding: gzip.
std::string gzip(std::string_view bytes);

// An array nested this deep: "[[[...]]]".
std::string nested_array(int depth);

}  // namespace hc::hostile
