#include "text/find.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/characters.h"
#include "text/rules.h"

namespace hc {
namespace {

// The haystack as the search reads it: byte by byte, and able to jump ahead to the next byte
// that can begin a match while no partial match is pending.
class ExactBytes {
 public:
  explicit ExactBytes(std::string_view text) : text_(text) {}

  std::size_t size() const { return text_.size(); }
  char at(std::size_t i) const { return text_[i]; }

  // The first offset from i on that holds `first`, or size() when there is none.
  std::size_t next_candidate(std::size_t i, char first) const {
    const void* hit = std::memchr(text_.data() + i, first, text_.size() - i);
    return hit == nullptr ? text_.size()
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
  }

 private:
  std::string_view text_;
};

// The haystack with its single-byte letters lower-cased as they are read; the second byte of
// a two-byte character is read as it is. Folding needs to know where characters begin, so the
// bytes are read strictly one after the other and never jumped over. Nothing is copied, so a
// match near the start of a long text costs little.
class FoldedBytes {
 public:
  explicit FoldedBytes(std::string_view text) : text_(text) {}

  std::size_t size() const { return text_.size(); }

  // Called for i = 0, 1, 2, ... in turn.
  char at(std::size_t i) {
    const char c = text_[i];
    const bool letter = !second_byte_ && c >= 'A' && c <= 'Z';
    second_byte_ = !second_byte_ && is_lead_byte(c);
    return letter ? static_cast<char>(c - 'A' + 'a') : c;
  }

  std::size_t next_candidate(std::size_t i, char) const { return i; }

 private:
  std::string_view text_;
  bool second_byte_ = false;
};

// Every byte-wise occurrence of the needle in the haystack, overlapping ones included, in
// increasing order, found with Knuth-Morris-Pratt so the cost stays linear in both lengths
// whatever the input. `on_match` returns false to stop.
template <typename Haystack, typename OnMatch>
void for_each_occurrence(Haystack& haystack, std::string_view needle, OnMatch on_match) {
  const std::size_t n = haystack.size();
  const std::size_t m = needle.size();
  if (m == 0 || m > n) {
    return;
  }
  std::vector<std::size_t> fallback(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && needle[i] != needle[k]) {
      k = fallback[k - 1];
    }
    if (needle[i] == needle[k]) {
      ++k;
    }
    fallback[i] = k;
  }

  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k == 0) {
      i = haystack.next_candidate(i, needle[0]);
      if (i == n) {
        return;
      }
    }
    const char c = haystack.at(i);
    while (k > 0 && c != needle[k]) {
      k = fallback[k - 1];
    }
    if (c == needle[k]) {
      ++k;
    }
    if (k == m) {
      if (!on_match(i + 1 - m)) {
        return;
      }
      k = fallback[k - 1];
    }
  }
}

// Answers "does a character begin at offset k?" for offsets asked in increasing order, with
// characters counted from the start of the text. A byte below 0x80 always ends a character, so
// only the run of high bytes right before k needs looking at, and each byte is looked at once.
class CharacterStarts {
 public:
  explicit CharacterStarts(std::string_view text) : text_(text) {}

  bool at(std::size_t k) {
    std::size_t run_start = k;
    while (run_start > known_start_ && is_lead_byte(text_[run_start - 1])) {
      --run_start;
    }
    const bool starts = (k - run_start) % 2 == 0;
    // Either k or the byte after it begins a character.
    known_start_ = starts ? k : k + 1;
    return starts;
  }

 private:
  std::string_view text_;
  std::size_t known_start_ = 0;
};

// The offset of the first (or last) occurrence of target in region that begins on a character,
// or nothing.
std::optional<std::size_t> search(std::string_view region, std::string_view target,
                                  bool ignore_case, bool want_last) {
  CharacterStarts starts(region);
  std::optional<std::size_t> found;
  auto keep_if_character_start = [&](std::size_t k) {
    if (!starts.at(k)) {
      return true;
    }
    found = k;
    return want_last;
  };
  if (ignore_case) {
    // Folding keeps every byte's place and its high bit, so character starts are read from
    // the original.
    FoldedBytes haystack(region);
    for_each_occurrence(haystack, to_lower_ascii(target), keep_if_character_start);
  } else {
    ExactBytes haystack(region);
    for_each_occurrence(haystack, target, keep_if_character_start);
  }
  return found;
}

Position to_position(std::size_t offset) {
  return static_cast<Position>(offset) + 1;
}

}  // namespace

Position find(std::string_view text, std::string_view target, Position start, bool ignore_case) {
  const auto size = static_cast<Position>(text.size());
  if (start > size) {
    return not_found;
  }
  const std::size_t skipped = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
  const std::string_view region = text.substr(skipped);
  if (target.empty()) {
    return region.empty() ? not_found : 1;
  }
  const auto offset = search(region, target, ignore_case, false);
  return offset ? to_position(skipped + *offset) : not_found;
}

Position reverse_find(std::string_view text, std::string_view target, std::optional<Position> start,
                      bool ignore_case) {
  std::size_t limit = text.size();
  if (start) {
    if (*start <= 1) {
      return not_found;
    }
    limit = std::min(limit, static_cast<std::size_t>(*start - 1));
  }
  const std::string_view region = text.substr(0, limit);
  if (target.empty()) {
    return region.empty() ? not_found : 1;
  }
  const auto offset = search(region, target, ignore_case, true);
  return offset ? to_position(*offset) : not_found;
}

bool contains(std::string_view text, std::string_view target, bool ignore_case) {
  return find(text, target, 1, ignore_case) != not_found;
}

std::string left(std::string_view text, Position n) {
  if (n <= 0) {
    return {};
  }
  return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string right(std::string_view text, Position n) {
  if (n <= 0) {
    return {};
  }
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
  return std::string(text.substr(text.size() - count));
}

std::string middle(std::string_view text, Position p, Position n) {
  if (p < 1 || p > static_cast<Position>(text.size()) || n <= 0) {
    return {};
  }
  return std::string(text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n)));
}

std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  ExactBytes haystack(text);
  for_each_occurrence(haystack, from, [&](std::size_t hit) {
    if (hit >= copied) {  // an occurrence overlapping the last replaced one is not one
      result.append(text.substr(copied, hit - copied));
      result.append(to);
      copied = hit + from.size();
    }
    return true;
  });
  result.append(text.substr(copied));
  return result;
}

}  // namespace hc
