#include "web/percent_encode.h"

#include "text/gbk.h"

namespace hc {
namespace {

bool is_kept(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '-' || byte == '.';
}

}  // namespace

std::string percent_encode(std::string_view text, bool keep_unreserved, bool to_utf8) {
  const std::string converted = to_utf8 ? gbk_to_utf8(text) : std::string();
  const std::string_view bytes = to_utf8 ? std::string_view(converted) : text;
  constexpr char hex_digits[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (keep_unreserved && is_kept(byte)) {
      result += c;
    } else {
      result += '%';
      result += hex_digits[byte >> 4];
      result += hex_digits[byte & 0x0F];
    }
  }
  return result;
}

}  // namespace hc
