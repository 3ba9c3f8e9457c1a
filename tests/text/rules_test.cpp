#include "text/rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace hc {
namespace {

TEST(TrimBlanks, Table) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {"  a b  ", "a b"},
      {"\xA1\xA1 a\xA1\xA1 ", "a"},
      {"\ta\r\n", "\ta\r\n"},
      {"   ", ""},
      {"", ""},
      // B0 A1 is one character; the lone A1 after it is no full-width space
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
      {"\xA1\xA1\xB0\xA1 ", "\xB0\xA1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trim_blanks(c.text), c.expected) << "'" << c.text << "'";
  }
}

TEST(Split, Table) {
  struct Case {
    std::string text, separator;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"a,b", ",", {"a", "b"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,", ",", {"a"}},
      {",a", ",", {"", "a"}},
      {",", ",", {""}},
      {"", ",", {}},
      {"a", "", {"a"}},
      {"k=1\r\nm=2\r\n", "\r\n", {"k=1", "m=2"}},
      // a separator byte that is the second half of a character does not split
      {"\xB0,a,b", ",", {"\xB0,a", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(split(c.text, c.separator), c.expected) << "'" << c.text << "'";
  }
}

TEST(Case, OnlySingleByteLettersChange) {
  EXPECT_EQ(to_lower_ascii("AbC-\xB0\x41Z"), "abc-\xB0\x41z");
  EXPECT_EQ(to_upper_ascii("aBc-\xB0\x61z"), "ABC-\xB0\x61Z");
  EXPECT_TRUE(equals_ignore_case("Content-Type", "content-TYPE"));
  EXPECT_FALSE(equals_ignore_case("Content-Type", "Content-Typ"));
  EXPECT_FALSE(equals_ignore_case("\xB0\x41", "\xB0\x61"));
  EXPECT_TRUE(starts_with_ignore_case("Set-Cookie: a", "set-cookie:"));
  EXPECT_FALSE(starts_with_ignore_case("Set", "set-cookie:"));
}

TEST(NumberToText, IntegersAndFloats) {
  EXPECT_EQ(number_to_text(std::int64_t{0}), "0");
  EXPECT_EQ(number_to_text(std::int64_t{-5}), "-5");
  EXPECT_EQ(number_to_text(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(number_to_text(3.0), "3");
  EXPECT_EQ(number_to_text(0.1), "0.1");
  EXPECT_EQ(number_to_text(1.0 / 3), "0.3333333333333");
  EXPECT_EQ(number_to_text(1579000000000.0), "1579000000000");
  EXPECT_EQ(number_to_text(12345678901234.0), "1.234567890123e+13");
  EXPECT_EQ(number_to_text(-2.5e-7), "-2.5e-07");
}

TEST(TextToInt64, Table) {
  constexpr auto max = std::numeric_limits<std::int64_t>::max();
  constexpr auto min = std::numeric_limits<std::int64_t>::min();
  struct Case {
    std::string text;
    std::int64_t expected;
  };
  const Case cases[] = {
      {"123", 123},
      {"  -42x", -42},
      {"+7", 7},
      {"1 2", 1},
      {"\t\r\n 5", 5},
      {"\xA1\xA1 9", 9},
      {"\xA3\xB1\xA3\xB2", 12},
      {"\xA3\xAD\xA3\xB5", -5},
      {"\xA3\xAB"
       "3\xA3\xB4",
       34},
      {"1579000000000", 1579000000000},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"- 5", 0},
      {"0x10", 0},
      {"\xA3", 0},
      {"9223372036854775807", max},
      {"-9223372036854775808", min},
      {"9223372036854775808", max},
      {"-99999999999999999999", min},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_to_int64(c.text), c.expected) << "'" << c.text << "'";
  }
}

}  // namespace
}  // namespace hc
