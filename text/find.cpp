#include "text/find.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/characters.h"
#include "text/rules.h"

namespace hc {
namespace {

// Every byte-wise occurrence of the needle in the haystack, overlapping ones included, in
// increasing order, found with Knuth-Morris-Pratt so the cost stays linear in both lengths
// whatever the input. While no prefix is pending, memchr jumps to the next possible first byte,
// which keeps ordinary pages fast. `on_match` returns false to stop.
template <typename OnMatch>
void for_each_occurrence(std::string_view haystack, std::string_view needle, OnMatch on_match) {
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

  const char* data = haystack.data();
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k == 0) {
      const void* hit = std::memchr(data + i, needle[0], n - i);
      if (hit == nullptr) {
        return;
      }
      i = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    }
    while (k > 0 && data[i] != needle[k]) {
      k = fallback[k - 1];
    }
    if (data[i] == needle[k]) {
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
  std::string folded_region;
  std::string folded_target;
  std::string_view haystack = region;
  std::string_view needle = target;
  if (ignore_case) {
    // Folding keeps every byte's place and its high bit, so character starts stay where they
    // were and are read from the original.
    folded_region = to_lower_ascii(region);
    folded_target = to_lower_ascii(target);
    haystack = folded_region;
    needle = folded_target;
  }

  CharacterStarts starts(region);
  std::optional<std::size_t> found;
  for_each_occurrence(haystack, needle, [&](std::size_t k) {
    if (!starts.at(k)) {
      return true;
    }
    found = k;
    return want_last;
  });
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
  for_each_occurrence(text, from, [&](std::size_t hit) {
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
