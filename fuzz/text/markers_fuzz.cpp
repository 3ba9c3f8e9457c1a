// Cuts fuzzed texts at fuzzed markers and checks the fast searches against a plain
// character-by-character search.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"

namespace {

using hc::Position;

bool letters_equal(char a, char b, bool ignore_case) {
  if (ignore_case) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(a) == lower(b);
  }
  return a == b;
}

// Whether target matches at offset i, where a character begins; second bytes of two-byte
// characters compare exactly.
bool matches_at(const std::string& text, std::size_t i, const std::string& target,
                bool ignore_case) {
  if (i + target.size() > text.size()) {
    return false;
  }
  bool second_byte = false;
  for (std::size_t j = 0; j < target.size(); ++j) {
    const char a = text[i + j];
    const char b = target[j];
    if (second_byte ? a != b : !letters_equal(a, b, ignore_case)) {
      return false;
    }
    second_byte = !second_byte && static_cast<unsigned char>(a) >= 0x80;
  }
  return true;
}

std::size_t step(const std::string& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
}

Position plain_find(const std::string& text, const std::string& target, Position start,
                    bool ignore_case) {
  const auto size = static_cast<Position>(text.size());
  if (start > size) {
    return -1;
  }
  const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (target.empty()) {
    return from < text.size() ? 1 : -1;
  }
  for (std::size_t i = from; i < text.size(); i += step(text, i)) {
    if (matches_at(text, i, target, ignore_case)) {
      return static_cast<Position>(i) + 1;
    }
  }
  return -1;
}

Position plain_reverse_find(const std::string& text, const std::string& target,
                            std::optional<Position> start, bool ignore_case) {
  std::size_t limit = text.size();
  if (start) {
    if (*start <= 1) {
      return -1;
    }
    limit = std::min(limit, static_cast<std::size_t>(*start - 1));
  }
  if (target.empty()) {
    return limit > 0 ? 1 : -1;
  }
  const std::string region = text.substr(0, limit);
  Position last = -1;
  for (std::size_t i = 0; i < region.size(); i += step(region, i)) {
    if (matches_at(region, i, target, ignore_case)) {
      last = static_cast<Position>(i) + 1;
    }
  }
  return last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool ignore_case = input.ConsumeBool();
  const Position position = input.ConsumeBool() ? input.ConsumeIntegral<Position>()
                                                : input.ConsumeIntegralInRange<Position>(-8, 64);
  const std::string first = input.ConsumeRandomLengthString(32);
  const std::string second = input.ConsumeRandomLengthString(32);
  const std::string text = input.ConsumeRemainingBytesAsString();

  if (hc::find(text, first, position, ignore_case) !=
      plain_find(text, first, position, ignore_case)) {
    std::abort();
  }
  if (hc::reverse_find(text, first, position, ignore_case) !=
      plain_reverse_find(text, first, position, ignore_case)) {
    std::abort();
  }
  if (hc::reverse_find(text, second, std::nullopt, ignore_case) !=
      plain_reverse_find(text, second, std::nullopt, ignore_case)) {
    std::abort();
  }

  // Every cut is a piece of the text it came from.
  for (const std::string& piece : {hc::text_between(text, first, second, position, ignore_case),
                                   hc::text_before(text, first, position, ignore_case),
                                   hc::text_after(text, first, position, ignore_case)}) {
    if (piece.size() > text.size() || text.find(piece) == std::string::npos) {
      std::abort();
    }
  }
  if (!hc::text_before(text, first, 0, ignore_case).empty() &&
      text.rfind(hc::text_before(text, first, 0, ignore_case), 0) != 0) {
    std::abort();
  }

  (void)hc::trim_blanks(text);
  (void)hc::split(text, first);
  (void)hc::text_to_int64(text);
  (void)hc::replace_all(text, first, second);
  return 0;
}
