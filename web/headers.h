#pragma once

#include <string>
#include <string_view>

namespace hc {

// Tidies a request header block (lines separated by CRLF): lines without a colon are dropped,
// and in each header name the first character and every character after a "-" are upper-cased
// when they are ASCII letters. Values are never touched. The lines are joined by CRLF with none
// after the last.
std::string normalize_header_names(std::string_view block);

// The text with its first byte upper-cased when that is an ASCII letter.
std::string capitalize_first(std::string_view text);

// The text after the first colon with blanks trimmed; empty when there is no colon.
std::string value_after_colon(std::string_view text);

}  // namespace hc
