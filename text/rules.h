#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hc {

// Shared text rules. Case rules touch only ASCII letters; every other byte must match exactly.

// Removes leading and trailing blanks: the space and the full-width space (A1 A1). Tabs and
// line breaks are not blanks.
std::string trim_blanks(std::string_view text);

// The pieces between separators, in order. An empty piece between two separators is kept, an
// empty remainder after the last separator is dropped, and an empty text gives no pieces.
std::vector<std::string> split(std::string_view text, std::string_view separator);

std::string to_lower_ascii(std::string_view text);
std::string to_upper_ascii(std::string_view text);
bool equals_ignore_case(std::string_view a, std::string_view b);
bool starts_with_ignore_case(std::string_view text, std::string_view prefix);

// An integer as plain decimal; a float by "%.13g".
std::string number_to_text(std::int64_t number);
std::string number_to_text(double number);

// Leading blanks skipped (space, tab, CR, LF, vertical tab, form feed and the full-width
// space), full-width digits and signs read as half-width, an optional sign, then decimal
// digits up to the first other character. No digits give 0; a number beyond the 64-bit range
// gives the nearest end of the range.
std::int64_t text_to_int64(std::string_view text);

}  // namespace hc
