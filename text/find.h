#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hc {

// The text operations the marker routines rest on. Positions are 1-based byte positions and
// -1 means "not found". Searches step one character at a time: a byte of 0x80 or above starts
// a two-byte character, so a match never begins inside one. Ignoring case touches only the
// ASCII letters.

using Position = std::ptrdiff_t;
inline constexpr Position not_found = -1;

// First match of target in the bytes from start on; a start of 1 or less means from the first
// byte, one past the end finds nothing. Characters are counted from start, so a start on the
// second byte of a character reads that byte as one of its own. An empty target gives 1 when the
// searched part is not empty and -1 otherwise.
Position find(std::string_view text, std::string_view target, Position start = 1,
              bool ignore_case = false);

// Last match lying wholly within the first start - 1 bytes; the whole text when start is not
// given. A start of 1 or less finds nothing. An empty target is handled as in find.
Position reverse_find(std::string_view text, std::string_view target,
                      std::optional<Position> start = std::nullopt, bool ignore_case = false);

bool contains(std::string_view text, std::string_view target, bool ignore_case = false);

// The first n bytes; the whole text when n exceeds its length, empty when n <= 0.
std::string left(std::string_view text, Position n);
// The last n bytes, clamped as left.
std::string right(std::string_view text, Position n);
// n bytes from position p, as many as there are; empty when p is outside the text or n <= 0.
std::string middle(std::string_view text, Position p, Position n);

// Every occurrence of from, left to right and without overlap, replaced by to. The comparison
// is byte for byte, with no character stepping; an empty from changes nothing.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to);

}  // namespace hc
