#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hc {

// Bytes may hold zero bytes; text (std::string of GBK bytes) is what the program shows and
// searches. The two are kept apart and converted only on purpose.
using Bytes = std::vector<std::uint8_t>;

// Everything up to the first zero byte, or all of the bytes when there is none.
std::string text_from_bytes(const Bytes& bytes);

// The characters of the text, without a terminating zero.
Bytes bytes_from_text(std::string_view text);

}  // namespace hc
