#pragma once

#include <string>
#include <string_view>

namespace hc {

// Texts cross into the script engine widened from GBK to UTF-8 and come back narrowed to GBK.

// GBK text to the engine's UTF-8. Bytes that are not valid GBK become U+FFFD.
std::string to_engine_text(std::string_view gbk);

// A string as the engine keeps it, back to GBK text. The engine's strings are UTF-8 in which a
// character outside the Basic Multilingual Plane may also appear as a pair of encoded surrogates
// (CESU-8). GBK has no such characters, so each becomes one "?", as does each lone surrogate,
// each byte that starts no valid sequence, and each character that GBK lacks. The text ends at
// the first zero character, as every text of the program does.
std::string from_engine_text(std::string_view engine_bytes);

}  // namespace hc
