#pragma once

#include <string>
#include <string_view>

namespace hc {

// Every byte as "%" and two upper-case hex digits. With keep_unreserved, ASCII letters,
// digits, "-" and "." stay as they are (and nothing else: not "_", not "~"). With to_utf8 the
// GBK text is converted to UTF-8 first.
std::string percent_encode(std::string_view text, bool keep_unreserved = false,
                           bool to_utf8 = false);

}  // namespace hc
