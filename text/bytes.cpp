#include "text/bytes.h"

#include <algorithm>

namespace hc {

std::string text_from_bytes(const Bytes& bytes) {
  auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return std::string(bytes.begin(), end);
}

Bytes bytes_from_text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

}  // namespace hc
