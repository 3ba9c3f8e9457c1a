#pragma once

#include <string>
#include <string_view>

#include "text/find.h"

namespace hc {

// Cut a text at marker texts. A missing marker gives an empty text, never an error.

// The text after the first start marker (searched from start_position) up to the next end
// marker. "#引号" in a marker stands for a double quote.
std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, Position start_position = 1,
                         bool ignore_case = false);

// The text left of the marker: by default its first occurrence; a negative position searches
// backwards from near the end.
std::string text_before(std::string_view text, std::string_view marker, Position position = 0,
                        bool ignore_case = false);

// The text right of the marker: by default its last occurrence that does not end on the last
// byte; a negative position searches forwards.
std::string text_after(std::string_view text, std::string_view marker, Position position = 0,
                       bool ignore_case = false);

}  // namespace hc
