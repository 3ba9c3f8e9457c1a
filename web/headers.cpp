#include "web/headers.h"

#include <vector>

#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"

namespace hc {
namespace {

std::string capitalize_name(std::string_view name) {
  if (!contains(name, "-")) {
    return capitalize_first(name);
  }
  std::string rebuilt;
  bool first = true;
  for (const std::string& piece : split(name, "-")) {
    if (!first) {
      rebuilt += '-';
    }
    rebuilt += capitalize_first(piece);
    first = false;
  }
  return rebuilt;
}

}  // namespace

std::string capitalize_first(std::string_view text) {
  std::string result(text);
  if (!result.empty() && result.front() >= 'a' && result.front() <= 'z') {
    result.front() = static_cast<char>(result.front() - 'a' + 'A');
  }
  return result;
}

std::string normalize_header_names(std::string_view block) {
  std::string result;
  bool first = true;
  for (const std::string& line : split(block, "\r\n")) {
    if (!contains(line, ":")) {
      continue;
    }
    const std::string name = capitalize_name(text_before(line, ":"));
    // A trailing "-" that splitting dropped comes back from the line itself.
    const std::string_view rest = std::string_view(line).substr(name.size());
    if (!first) {
      result += "\r\n";
    }
    result += name;
    result += rest;
    first = false;
  }
  return result;
}

std::string value_after_colon(std::string_view text) {
  const Position colon = find(text, ":");
  if (colon == not_found) {
    return {};
  }
  return trim_blanks(text.substr(static_cast<std::size_t>(colon)));
}

}  // namespace hc
