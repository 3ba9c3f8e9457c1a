#include "text/rules.h"

#include <cstdio>
#include <limits>

#include "text/characters.h"
#include "text/find.h"

namespace hc {
namespace {

constexpr std::string_view full_width_space = "\xA1\xA1";

// The length of the blank that begins at offset i, or 0.
std::size_t blank_length(std::string_view text, std::size_t i) {
  if (text[i] == ' ') {
    return 1;
  }
  return text.substr(i, 2) == full_width_space ? 2 : 0;
}

// Applies `change` to every single-byte character; two-byte characters are copied as they are,
// so a trail byte that happens to be a letter stays untouched.
template <typename Change>
std::string map_single_bytes(std::string_view text, Change change) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); i += character_length(result, i)) {
    if (!is_lead_byte(result[i])) {
      result[i] = change(result[i]);
    }
  }
  return result;
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Full-width forms of the characters a number may use, A3 xx in GBK, as their half-width
// bytes; 0 for anything else.
char half_width_of(std::string_view text, std::size_t i) {
  if (i + 1 >= text.size() || static_cast<unsigned char>(text[i]) != 0xA3) {
    return 0;
  }
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (second >= 0xB0 && second <= 0xB9) {
    return static_cast<char>('0' + (second - 0xB0));
  }
  if (second == 0xAB) {
    return '+';
  }
  if (second == 0xAD) {
    return '-';
  }
  return 0;
}

bool is_number_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string trim_blanks(std::string_view text) {
  // A forward walk, so that the second half of a two-byte character followed by A1 is never
  // taken for a full-width space.
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t blank = blank_length(text, begin);
    if (blank == 0) {
      break;
    }
    begin += blank;
  }
  std::size_t end = begin;
  for (std::size_t i = begin; i < text.size();) {
    const std::size_t blank = blank_length(text, i);
    if (blank > 0) {
      i += blank;
      continue;
    }
    i += character_length(text, i);
    end = i;
  }
  return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) {
    return pieces;
  }
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t piece_start = 0;
  while (piece_start < text.size()) {
    const std::string_view rest = text.substr(piece_start);
    const Position hit = find(rest, separator);
    if (hit == not_found) {
      pieces.emplace_back(rest);
      break;
    }
    const auto length = static_cast<std::size_t>(hit - 1);
    pieces.emplace_back(rest.substr(0, length));
    piece_start += length + separator.size();
  }
  return pieces;
}

std::string to_lower_ascii(std::string_view text) {
  return map_single_bytes(text, lower);
}

std::string to_upper_ascii(std::string_view text) {
  return map_single_bytes(text, upper);
}

bool equals_ignore_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && to_lower_ascii(a) == to_lower_ascii(b);
}

bool starts_with_ignore_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equals_ignore_case(text.substr(0, prefix.size()), prefix);
}

std::string number_to_text(std::int64_t number) {
  return std::to_string(number);
}

std::string number_to_text(double number) {
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, "%.13g", number);
  if (length <= 0) {
    return {};
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::int64_t text_to_int64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (is_number_blank(text[i])) {
      ++i;
    } else if (text.substr(i, 2) == full_width_space) {
      i += 2;
    } else {
      break;
    }
  }

  // Reads one character as its half-width form; 0 when it is none of the number's characters.
  auto next = [&](std::size_t& length) -> char {
    if (i >= text.size()) {
      return 0;
    }
    if (const char half = half_width_of(text, i); half != 0) {
      length = 2;
      return half;
    }
    length = 1;
    const char c = text[i];
    return (c >= '0' && c <= '9') || c == '+' || c == '-' ? c : 0;
  };

  std::size_t length = 0;
  bool negative = false;
  if (const char sign = next(length); sign == '+' || sign == '-') {
    negative = sign == '-';
    i += length;
  }

  // Accumulated as a negative number, whose range is one larger, and clamped on overflow.
  constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool overflow = false;
  for (char digit = next(length); digit >= '0' && digit <= '9'; digit = next(length)) {
    i += length;
    const int d = digit - '0';
    if (value < (lowest + d) / 10) {
      overflow = true;
    } else {
      value = value * 10 - d;
    }
  }
  if (overflow) {
    return negative ? lowest : std::numeric_limits<std::int64_t>::max();
  }
  if (negative) {
    return value;
  }
  return value == lowest ? std::numeric_limits<std::int64_t>::max() : -value;
}

}  // namespace hc
