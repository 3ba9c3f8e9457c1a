#pragma once

#include <string>
#include <string_view>

namespace hc {

// Cookie texts are items joined by "; " (a ";" without the space separates nothing); an item
// is normally name=value.

// The text before the item's first "=" (the whole item without one), blanks trimmed.
std::string cookie_name(std::string_view item);

// Folds the cookies a response set into the cookie text that was sent: first the new items in
// their order, then the old items whose names the new ones do not use; an item ending in
// "=deleted" is left out and removes the old cookie of its name. Names compare with case.
// The result is also stored into old_cookies.
std::string merge_cookie_text(std::string& old_cookies, std::string_view new_cookies);

// The text without exact repeats of an item: each item is kept only the first time it occurs.
std::string remove_duplicate_items(std::string_view text, std::string_view separator);

// The name=value pairs of the Set-Cookie lines of a raw response header block, joined by "; "
// in the order of the lines. Only lines named exactly "Set-Cookie" followed by ": " count;
// attributes after the first ";" are dropped.
std::string collect_set_cookies(std::string_view header_block);

}  // namespace hc
