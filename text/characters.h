#pragma once

#include <cstddef>
#include <string_view>

namespace hc {

// How GBK text is stepped through: a byte of 0x80 or above starts a two-byte character and
// takes the next byte with it; any other byte is a character of its own.

inline bool is_lead_byte(char byte) {
  return static_cast<unsigned char>(byte) >= 0x80;
}

// The length of the character that begins at offset i: 1 or 2, and 1 for a lead byte cut off
// at the end of the text.
inline std::size_t character_length(std::string_view text, std::size_t i) {
  return is_lead_byte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

}  // namespace hc
