#include "web/charset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace hc {
namespace {

Bytes bytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// 中文 in UTF-8 and in GBK; 你好，世界 likewise (the comma is full-width).
const std::string chinese_utf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string chinese_gbk = "\xD6\xD0\xCE\xC4";
const std::string greeting_utf8 = "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C";
const std::string greeting_gbk = "\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7";
const std::string grinning_face_utf8 = "\xF0\x9F\x98\x80";

struct ConversionCase {
  std::string name;
  std::string data;
  std::string from_charset;
  std::string to_charset;
  std::optional<std::int64_t> skip_bytes;
  std::string expected;
};

TEST(ConvertCharset, Table) {
  const ConversionCase cases[] = {
      {"chinese", chinese_utf8, "", "", std::nullopt, chinese_gbk},
      {"mixed", "{\"t\":\"" + greeting_utf8 + "\"}", "UTF-8", "GBK", std::nullopt,
       "{\"t\":\"" + greeting_gbk + "\"}"},
      {"zero bytes kept", std::string("a\0b", 3), "", "", std::nullopt, std::string("a\0b", 3)},
      {"empty", "", "", "", std::nullopt, ""},
      {"emoji", "a" + grinning_face_utf8 + "b", "", "", std::nullopt, "a?b"},
      {"emoji to UTF-8 still lost", "a" + grinning_face_utf8 + chinese_utf8, "UTF-8", "UTF-8",
       std::nullopt, "a?" + chinese_utf8},
      {"invalid UTF-8", "a\xFF\xE4\xB8z", "", "", std::nullopt, "a??z"},
      {"cut at the end", "ab\xE4\xB8", "", "", std::nullopt, "ab?"},
      {"byte order mark dropped",
       "\xEF\xBB\xBF"
       "ab",
       "", "", std::nullopt, "ab"},
      {"GBK to UTF-8", greeting_gbk, "GBK", "UTF-8", std::nullopt, greeting_utf8},
      {"latin-1 target", "a" + chinese_utf8 + "\xC3\xA9", "UTF-8", "ISO-8859-1", std::nullopt,
       "a??\xE9"},
      {"skip", chinese_utf8, "", "", 2, "\xCE\xC4"},
      {"skip 0", chinese_utf8, "", "", 0, chinese_gbk},
      {"skip all", chinese_utf8, "", "", 4, ""},
      {"skip beyond", chinese_utf8, "", "", 1'000'000, ""},
      {"negative skip", chinese_utf8, "", "", -3, chinese_gbk},
      {"unknown source", chinese_utf8, "no-such-charset", "", std::nullopt, ""},
      {"unknown target", chinese_utf8, "", "no-such-charset", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    std::string from = c.from_charset;
    std::string to = c.to_charset;
    EXPECT_EQ(convert_charset(bytes(c.data), from, to, c.skip_bytes), bytes(c.expected)) << c.name;
  }
}

TEST(ConvertCharset, EmptyNamesGetTheDefaultsWrittenBack) {
  std::string from;
  std::string to;
  EXPECT_EQ(convert_charset(bytes(chinese_utf8), from, to), bytes(chinese_gbk));
  EXPECT_EQ(from, "UTF-8");
  EXPECT_EQ(to, "GBK");

  std::string given_from = "GBK";
  std::string given_to = "UTF-8";
  const Bytes empty;
  EXPECT_EQ(convert_charset(empty, given_from, given_to), Bytes());
  EXPECT_EQ(given_from, "GBK");
  EXPECT_EQ(given_to, "UTF-8");
}

TEST(ConvertCharset, ShortFormGoesFromUtf8ToGbk) {
  EXPECT_EQ(convert_charset(bytes(greeting_utf8)), bytes(greeting_gbk));
}

}  // namespace
}  // namespace hc
