#include "text/markers.h"

#include <limits>

namespace hc {
namespace {

// "#引号" in GBK: callers write it in a marker where they mean a double quote.
constexpr std::string_view quote_stand_in = "#\xD2\xFD\xBA\xC5";

std::string with_quotes(std::string_view marker) {
  return replace_all(marker, quote_stand_in, "\"");
}

}  // namespace

std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, Position start_position, bool ignore_case) {
  const std::string start = with_quotes(start_marker);
  const std::string end = with_quotes(end_marker);
  const Position p = find(text, start, start_position, ignore_case);
  if (p == not_found) {
    return {};
  }
  const Position from = p + static_cast<Position>(start.size());
  const Position q = find(text, end, from, ignore_case);
  if (q == not_found) {
    return {};
  }
  return middle(text, from, q - from);
}

std::string text_before(std::string_view text, std::string_view marker, Position position,
                        bool ignore_case) {
  const auto size = static_cast<Position>(text.size());
  Position p = not_found;
  if (position < 0) {
    // -1 searches up to the end (short of the last byte), -n from size - n. Adding keeps the
    // most negative position from overflowing.
    const Position start = position == -1 ? size : size + position;
    p = reverse_find(text, marker, start, ignore_case);
  } else {
    p = find(text, marker, position == 0 ? 1 : position, ignore_case);
  }
  if (p == not_found) {
    return {};
  }
  return left(text, p - 1);
}

std::string text_after(std::string_view text, std::string_view marker, Position position,
                       bool ignore_case) {
  const auto size = static_cast<Position>(text.size());
  Position p = not_found;
  if (position < 0) {
    const Position start = position == -1 ? 1
                           : position == std::numeric_limits<Position>::min()
                               ? std::numeric_limits<Position>::max()
                               : -position;
    p = find(text, marker, start, ignore_case);
  } else {
    p = reverse_find(text, marker, size - position, ignore_case);
  }
  if (p == not_found) {
    return {};
  }
  return right(text, size - static_cast<Position>(marker.size()) - p + 1);
}

}  // namespace hc
