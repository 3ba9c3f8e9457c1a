#pragma once

#include <string>
#include <string_view>

namespace hc {

// Text inside the program is GBK (Windows code page 936). These two are the only ways across
// to and from UTF-8, which the window toolkit, the script engine and the network speak.

// GBK text to UTF-8. Bytes that are not valid GBK become U+FFFD.
std::string gbk_to_utf8(std::string_view gbk);

// UTF-8 to GBK text. Characters that GBK lacks become "?", as do invalid UTF-8 sequences.
std::string utf8_to_gbk(std::string_view utf8);

}  // namespace hc
