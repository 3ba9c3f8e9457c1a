#include "web/percent_encode.h"

#include <gtest/gtest.h>

#include <string>

namespace hc {
namespace {

TEST(PercentEncode, Table) {
  struct Case {
    std::string text;
    bool keep_unreserved;
    bool to_utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"", true, false, ""},
      {"aZ09-.", true, false, "aZ09-."},
      {" /_~+*", true, false, "%20%2F%5F%7E%2B%2A"},
      {"a-1", false, false, "%61%2D%31"},
      {std::string("\n\0", 2), true, false, "%0A%00"},
      // 中文 in GBK, and the same text converted to UTF-8 first
      {"\xD6\xD0\xCE\xC4", true, false, "%D6%D0%CE%C4"},
      {"\xD6\xD0\xCE\xC4", true, true, "%E4%B8%AD%E6%96%87"},
      {"a b", true, true, "a%20b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(percent_encode(c.text, c.keep_unreserved, c.to_utf8), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace hc
