#include "text/find.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace hc {
namespace {

// GBK: 中 D6 D0, 文 CE C4, 啊 B0 A1. A second byte may be an ASCII letter, as in B0 41.

struct FindCase {
  std::string text;
  std::string target;
  Position start;
  bool ignore_case;
  Position expected;
};

TEST(Find, Table) {
  const FindCase cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 0, false, 2},
      {"abcabc", "bc", -5, false, 2},
      {"abc", "c", 3, false, 3},
      {"abc", "c", 4, false, -1},
      {"abc", "c", std::numeric_limits<Position>::max(), false, -1},
      {"abc", "abcd", 1, false, -1},
      {"aaab", "aab", 1, false, 2},
      {"abababc", "ababc", 1, false, 3},
      // empty target: 1 whenever something is searched
      {"abc", "", 1, false, 1},
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      {"", "a", 1, false, -1},
      // two-byte characters: no match begins on a second byte
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, -1},
      {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 3},
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", 1, false, -1},
      {"\xB0\xB0\xB0\xB0\xB0", "\xB0\xB0", 2, false, 2},
      {"\xB0\x41", "A", 1, false, -1},
      {"x\xB0\x41"
       "A",
       "A", 1, false, 4},
      {"ab\xB0", "\xB0", 1, false, 3},
      // the scan steps from the start position, wherever that falls
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", 2, false, 2},
      // ignore case touches single-byte letters only
      {"Hello", "hELLo", 1, true, 1},
      {"Hello", "hELLo", 1, false, -1},
      {"\xB0\x41", "\xB0\x61", 1, true, -1},
      {"\xB0\x41", "\xB0\x41", 1, true, 1},
      {"x<TEXTAREA", "<textarea", 1, true, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(find(c.text, c.target, c.start, c.ignore_case), c.expected)
        << "text '" << c.text << "' target '" << c.target << "' start " << c.start;
  }
}

struct ReverseFindCase {
  std::string text;
  std::string target;
  std::optional<Position> start;
  bool ignore_case;
  Position expected;
};

TEST(ReverseFind, Table) {
  const ReverseFindCase cases[] = {
      {"abcabc", "bc", std::nullopt, false, 5},
      {"abcabc", "bc", 7, false, 5},
      {"abcabc", "bc", 100, false, 5},
      {"abcabc", "bc", 6, false, 2},
      // with start equal to the length, a match ending on the last byte is left out
      {"abc", "c", 3, false, -1},
      {"abc", "a", 2, false, 1},
      {"abc", "a", 1, false, -1},
      {"abc", "a", 0, false, -1},
      {"abc", "a", std::numeric_limits<Position>::min(), false, -1},
      {"abc", "", std::nullopt, false, 1},
      {"abc", "", 1, false, -1},
      {"", "", std::nullopt, false, -1},
      {"aaaa", "aa", std::nullopt, false, 3},
      {"\xD6\xD0\xCE\xC4\xD6\xD0", "\xD0\xCE", std::nullopt, false, -1},
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", std::nullopt, false, -1},
      {"\xB0\xA1\xB0\xA1", "\xB0\xA1", std::nullopt, false, 3},
      {"\xB0\x41"
       "A\xB0\x41",
       "A", std::nullopt, false, 3},
      {"aXbx", "X", std::nullopt, true, 4},
      {"aXbx", "X", std::nullopt, false, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reverse_find(c.text, c.target, c.start, c.ignore_case), c.expected)
        << "text '" << c.text << "' target '" << c.target << "' start " << c.start.value_or(-999);
  }
}

TEST(Find, LongRunsOfHighBytesStayLinear) {
  // Every byte-wise occurrence here starts on a second byte; a search that rechecked the run
  // from the front for each of them would take minutes.
  std::string text;
  for (int i = 0; i < 2'000'000; ++i) {
    text += "\xB0\xA1";
  }
  std::string target;
  for (int i = 0; i < 1000; ++i) {
    target += "\xA1\xB0";
  }
  EXPECT_EQ(find(text, target), -1);
  EXPECT_EQ(reverse_find(text, target), -1);
  EXPECT_EQ(find(text, "\xB0\xA1\xB0", 3), 3);
  EXPECT_EQ(reverse_find(text, "\xB0\xA1"), static_cast<Position>(text.size()) - 1);
}

TEST(Clamping, LeftRightMiddle) {
  constexpr auto huge = std::numeric_limits<Position>::max();
  constexpr auto lowest = std::numeric_limits<Position>::min();
  EXPECT_EQ(left("abc", 2), "ab");
  EXPECT_EQ(left("abc", huge), "abc");
  EXPECT_EQ(left("abc", 0), "");
  EXPECT_EQ(left("abc", lowest), "");
  EXPECT_EQ(right("abc", 2), "bc");
  EXPECT_EQ(right("abc", huge), "abc");
  EXPECT_EQ(right("abc", -1), "");
  EXPECT_EQ(middle("abcde", 2, 3), "bcd");
  EXPECT_EQ(middle("abcde", 4, huge), "de");
  EXPECT_EQ(middle("abcde", 5, 1), "e");
  EXPECT_EQ(middle("abcde", 6, 1), "");
  EXPECT_EQ(middle("abcde", 0, 2), "");
  EXPECT_EQ(middle("abcde", lowest, 2), "");
  EXPECT_EQ(middle("abcde", 2, 0), "");
  EXPECT_EQ(middle("", 1, 1), "");
}

TEST(ReplaceAll, Table) {
  struct Case {
    std::string text, from, to, expected;
  };
  const Case cases[] = {
      {"a#b#", "#", "--", "a--b--"}, {"aaa", "aa", "b", "ba"},
      {"abc", "", "x", "abc"},       {"", "a", "b", ""},
      {"abc", "abc", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replace_all(c.text, c.from, c.to), c.expected) << c.text;
  }
  const std::string with_zeros("x\0y\0", 4);
  EXPECT_EQ(replace_all(with_zeros, std::string("\0", 1), "0"), "x0y0");
}

}  // namespace
}  // namespace hc
