#include "web/cookies.h"

#include <unordered_set>
#include <vector>

#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"

namespace hc {
namespace {

constexpr std::string_view item_separator = "; ";

// Trimmed, and a final ";" turned into a separator.
std::string tidy_cookie_text(std::string_view text) {
  std::string tidy = trim_blanks(text);
  if (tidy.ends_with(';')) {
    tidy += ' ';
  }
  return tidy;
}

bool is_deletion_marker(std::string_view item) {
  return item.ends_with("=deleted");
}

// Every occurrence of the target removed, letter case ignored.
std::string remove_all_ignoring_case(std::string_view text, std::string_view target) {
  std::string result;
  Position from = 1;
  for (Position at = find(text, target, from, true); at != not_found;
       at = find(text, target, from, true)) {
    result += text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(at - from));
    from = at + static_cast<Position>(target.size());
  }
  if (static_cast<std::size_t>(from - 1) < text.size()) {
    result += text.substr(static_cast<std::size_t>(from - 1));
  }
  return result;
}

// A text cut by two characters at the end, as the builders below leave one separator too many.
std::string without_last_separator(std::string text) {
  text.resize(text.size() >= item_separator.size() ? text.size() - item_separator.size() : 0);
  return text;
}

}  // namespace

std::string cookie_name(std::string_view item) {
  const Position equals = find(item, "=");
  if (equals == not_found) {
    return trim_blanks(item);
  }
  return trim_blanks(item.substr(0, static_cast<std::size_t>(equals - 1)));
}

std::string merge_cookie_text(std::string& old_cookies, std::string_view new_cookies) {
  const std::vector<std::string> old_items = split(tidy_cookie_text(old_cookies), item_separator);
  std::vector<std::string> merged = split(tidy_cookie_text(new_cookies), item_separator);

  std::unordered_set<std::string> names;
  for (const std::string& item : merged) {
    names.insert(cookie_name(item));
  }
  for (const std::string& item : old_items) {
    // The set grows with the list, so of two old items with one name only the first stays.
    if (names.insert(cookie_name(item)).second) {
      merged.push_back(item);
    }
  }

  std::string text;
  for (const std::string& item : merged) {
    if (!is_deletion_marker(item)) {
      text += item;
      text += item_separator;
    }
  }
  old_cookies = remove_duplicate_items(without_last_separator(std::move(text)), item_separator);
  return old_cookies;
}

std::string remove_duplicate_items(std::string_view text, std::string_view separator) {
  std::unordered_set<std::string> seen;
  std::string result;
  bool first = true;
  for (std::string& item : split(text, separator)) {
    if (seen.contains(item)) {
      continue;
    }
    if (!first) {
      result += separator;
    }
    result += item;
    first = false;
    seen.insert(std::move(item));
  }
  return result;
}

std::string collect_set_cookies(std::string_view header_block) {
  std::string cookies;
  for (const std::string& line : split(header_block, "\r\n")) {
    if (text_before(line, ": ") != "Set-Cookie") {
      continue;
    }
    const std::string cookie = contains(line, ";")
                                   ? trim_blanks(text_between(line, "Set-Cookie:", ";"))
                                   : trim_blanks(remove_all_ignoring_case(line, "Set-Cookie:"));
    cookies += cookie;
    cookies += item_separator;
  }
  return without_last_separator(std::move(cookies));
}

}  // namespace hc
