#include "json/engine_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "text/gbk.h"

namespace hc {
namespace {

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct Decoded {
  std::uint32_t code_point = 0;
  std::size_t length = 0;
};

// One encoded character at the start of bytes, or nothing when the bytes start no valid
// sequence. Surrogates are accepted here (the engine encodes them on their own); the caller
// pairs them.
std::optional<Decoded> decode(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 0;
  std::uint32_t code_point = 0;
  if (lead < 0x80) {
    return Decoded{lead, 1};
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07u;
  } else {
    return std::nullopt;
  }
  if (bytes.size() < length) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0u) != 0x80u) {
      return std::nullopt;
    }
    code_point = (code_point << 6) | (next & 0x3Fu);
  }
  const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code_point < smallest[length] || code_point > 0x10FFFF) {
    return std::nullopt;
  }
  return Decoded{code_point, length};
}

bool is_high_surrogate(std::uint32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(std::uint32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The engine's bytes as valid UTF-8 of the Basic Multilingual Plane, everything else as "?".
std::string to_plain_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto decoded = decode(bytes.substr(i));
    if (!decoded) {
      out += '?';
      ++i;
      continue;
    }
    const std::uint32_t c = decoded->code_point;
    if (is_high_surrogate(c) && i + decoded->length < bytes.size()) {
      const auto low = decode(bytes.substr(i + decoded->length));
      if (low && is_low_surrogate(low->code_point)) {
        out += '?';
        i += decoded->length + low->length;
        continue;
      }
    }
    if (c > 0xFFFF || is_high_surrogate(c) || is_low_surrogate(c)) {
      out += '?';
    } else {
      out.append(bytes.substr(i, decoded->length));
    }
    i += decoded->length;
  }
  return out;
}

}  // namespace

std::string to_engine_text(std::string_view gbk) {
  if (is_ascii(gbk)) {
    return std::string(gbk);
  }
  return gbk_to_utf8(gbk);
}

std::string from_engine_text(std::string_view engine_bytes) {
  engine_bytes = engine_bytes.substr(0, engine_bytes.find('\0'));
  if (is_ascii(engine_bytes)) {
    return std::string(engine_bytes);
  }
  return utf8_to_gbk(to_plain_utf8(engine_bytes));
}

}  // namespace hc
