// Fuzzed bytes across the program's text crossings: GBK to UTF-8 and back (the window's side)
// and GBK into the script engine's UTF-8 and back. Checks that UTF-8 out is always valid, and
// that GBK text the program made itself comes back unchanged from either side.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/engine_text.h"
#include "text/gbk.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing past
// U+10FFFF.
bool is_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        return false;
      }
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Any bytes, taken as GBK.
  check(is_utf8(hc::gbk_to_utf8(input)));
  check(is_utf8(hc::to_engine_text(input)));
  (void)hc::from_engine_text(input);

  // Any bytes, taken as UTF-8: the GBK text made from them crosses both ways unchanged (up to
  // its first zero byte on the engine's side, where every text ends).
  const std::string gbk = hc::utf8_to_gbk(input);
  check(hc::utf8_to_gbk(hc::gbk_to_utf8(gbk)) == gbk);
  check(hc::from_engine_text(hc::to_engine_text(gbk)) == gbk.substr(0, gbk.find('\0')));
  return 0;
}
