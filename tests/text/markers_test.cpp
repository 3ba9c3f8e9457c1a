#include "text/markers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace hc {
namespace {

constexpr auto huge = std::numeric_limits<Position>::max();
constexpr auto lowest = std::numeric_limits<Position>::min();

// "#引号" as the GBK bytes a caller's marker carries.
const std::string quote = "#\xD2\xFD\xBA\xC5";

TEST(TextBetween, Table) {
  struct Case {
    std::string text, start, end;
    Position start_position;
    bool ignore_case;
    std::string expected;
  };
  const Case cases[] = {
      {"a<b>x</b>y", "<b>", "</b>", 1, false, "x"},
      {"a<b>x", "<b>", "</b>", 1, false, ""},
      {"a<b></b>y", "<b>", "</b>", 1, false, ""},
      {"axy", "<b>", "</b>", 1, false, ""},
      {"[a][b]", "[", "]", 1, false, "a"},
      {"<b>1</b><b>2</b>", "<b>", "</b>", 5, false, "2"},
      {"<b>1</b>", "<b>", "</b>", huge, false, ""},
      {"<b>1</b>", "<b>", "</b>", lowest, false, "1"},
      {"<p id=\"x\">v</p>", "id=" + quote + "x" + quote + ">", "<", 1, false, "v"},
      {"<p id=\"x\" c=\"y\">", "id=" + quote, quote, 1, false, "x"},
      {"<p class=x>v</p>", "<P CLASS=X>", "</P", 1, true, "v"},
      {"<textarea id=d>[1]</textarea>", "<TEXTAREA id=d>", "</TEXTAREA", 1, true, "[1]"},
      {"<textarea id=d>[1]</textarea>", "<TEXTAREA id=d>", "</TEXTAREA", 1, false, ""},
      // the end marker is searched only behind the start marker
      {"</b>a<b>x</b>", "<b>", "</b>", 1, false, "x"},
      // no match inside a two-byte character, for either marker
      {"\xD6\xD0\xCE\xC4[\xD6\xD0]", "\xD0\xCE", "]", 1, false, ""},
      {"[\xD6\xD0\xCE\xC4]", "[", "\xD0\xCE", 1, false, ""},
      {"[\xD6\xD0\xCE\xC4]", "[", "\xCE\xC4", 1, false, "\xD6\xD0"},
      {"", "<b>", "</b>", 1, false, ""},
      // an empty end marker is "found" at the first byte, which lies before the start
      {"a<b>x", "<b>", "", 1, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_between(c.text, c.start, c.end, c.start_position, c.ignore_case), c.expected)
        << "text '" << c.text << "' markers '" << c.start << "' '" << c.end << "'";
  }
}

TEST(TextBetween, LeavesTheCallersMarkersAlone) {
  std::string start = "id=" + quote;
  const std::string before = start;
  EXPECT_EQ(text_between("id=\"7\"", start, quote), "7");
  EXPECT_EQ(start, before);
}

struct PositionCase {
  std::string text, marker;
  Position position;
  bool ignore_case;
  std::string expected;
};

TEST(TextBefore, Table) {
  const PositionCase cases[] = {
      {"name=value=x", "=", 0, false, "name"},
      {"a=b", "=", -1, false, "a"},
      // -2 searches backwards from position 1, which covers no byte
      {"a=b", "=", -2, false, ""},
      {"a=b=c", "=", -1, false, "a=b"},
      {"a=b=c=", "=", -1, false, "a=b"},
      {"a=b=c=d", "=", -2, false, "a=b"},
      {"a=b=c=d", "=", -3, false, "a"},
      {"a=b=c", "=", 3, false, "a=b"},
      {"a=b=c", "=", 1, false, "a"},
      {"abc", "=", 0, false, ""},
      {"", "=", 0, false, ""},
      {"=b", "=", 0, false, ""},
      {"aXb", "x", 0, true, "a"},
      {"aXb", "x", 0, false, ""},
      {"\xD6\xD0=\xCE\xC4", "=", 0, false, "\xD6\xD0"},
      {"\xD6\xD0\xCE\xC4=", "\xD0\xCE", 0, false, ""},
      {"a=b", "=", huge, false, ""},
      {"a=b", "=", lowest, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_before(c.text, c.marker, c.position, c.ignore_case), c.expected)
        << "text '" << c.text << "' marker '" << c.marker << "' position " << c.position;
  }
}

TEST(TextAfter, Table) {
  const PositionCase cases[] = {
      {"name=value=x", "=", 0, false, "x"},
      // the final "=" ends on the last byte, so the backward search skips it
      {"k=v=", "=", 0, false, "v="},
      {"abc", "=", 0, false, ""},
      {"", "=", 0, false, ""},
      {"k::v", "::", 0, false, "v"},
      {"a=b=c", "=", 2, false, "b=c"},
      {"a=b=c", "=", 0, false, "c"},
      {"a=b=c", "=", 1, false, "b=c"},
      {"a=b=c", "=", -1, false, "b=c"},
      {"a=b=c", "=", -2, false, "b=c"},
      {"a=b=c", "=", -3, false, "c"},
      {"a=b=c", "=", -5, false, ""},
      {"aXbxc", "x", 0, true, "c"},
      {"aXbxc", "X", 0, false, "bxc"},
      {"\xD6\xD0=\xCE\xC4", "=", 0, false, "\xCE\xC4"},
      {"a\xD6\xD0\xCE\xC4", "\xD0\xCE", 0, false, ""},
      {"a=b", "=", huge, false, ""},
      {"a=b", "=", lowest, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_after(c.text, c.marker, c.position, c.ignore_case), c.expected)
        << "text '" << c.text << "' marker '" << c.marker << "' position " << c.position;
  }
}

TEST(Markers, AnyBytes) {
  const std::string with_zeros("a\0<b>x\0y</b>", 12);
  EXPECT_EQ(text_between(with_zeros, "<b>", "</b>"), std::string("x\0y", 3));
  EXPECT_EQ(text_before(with_zeros, std::string("\0", 1)), "a");

  // a lead byte cut off at the end of the text
  EXPECT_EQ(text_before("ab\xB0", "\xB0"), "ab");
  EXPECT_EQ(text_after("ab\xB0", "\xB0"), "");
  EXPECT_EQ(text_between("[\xB0", "[", "\xB0"), "");
  EXPECT_EQ(text_between("[\xB0", "[", "\xB0\xA1"), "");

  std::string page(10 * 1024 * 1024, 'x');
  page += "<B>1</b>\xB0";
  EXPECT_EQ(text_between(page, "<b>", "</B>", 1, true), "1");
  EXPECT_EQ(text_after(page, "x"), "<B>1</b>\xB0");
  EXPECT_EQ(text_before(page, "x", -1).size(), page.size() - 10);
}

}  // namespace
}  // namespace hc
