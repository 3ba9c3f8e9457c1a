#include "json/script_json.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "text/rules.h"

namespace hc {
namespace {

std::string nested(std::size_t depth, std::string_view open, std::string_view inner,
                   std::string_view close) {
  std::string text;
  text.reserve(depth * (open.size() + close.size()) + inner.size());
  for (std::size_t i = 0; i < depth; ++i) {
    text += open;
  }
  text += inner;
  for (std::size_t i = 0; i < depth; ++i) {
    text += close;
  }
  return text;
}

TEST(ScriptJsonLimits, DeepNestingIsRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  for (const auto& text : {nested(100000, "[", "1", "]"), nested(100000, "{\"a\":", "1", "}"),
                           nested(100000, "[", "", "")}) {
    ScriptJson json;
    EXPECT_FALSE(json.parse(text));
    EXPECT_EQ(json.count(), 0);
    EXPECT_EQ(json.get_text("[0]"), "");
    EXPECT_EQ(json.type_of(), ValueKind::null);
    EXPECT_EQ(json.to_json(), "null");
  }
  ScriptJson json;
  json.set_json("deep", nested(100000, "[", "", "]"));
  json.set_value("deep", nested(100000, "(", "1", ")"), true);
  EXPECT_EQ(json.to_json(), "{}");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ScriptJsonLimits, ModerateNestingWorksThroughEveryPath) {
  const std::string text = nested(500, "[", "{\"k\":\"v\"}", "]");
  ScriptJson json;
  ASSERT_TRUE(json.parse(text));
  EXPECT_EQ(json.to_json(), text);
  EXPECT_EQ(json.type_of(), ValueKind::array);
  ScriptJson inner = json.get_object("[0]");
  EXPECT_EQ(inner.to_json(), nested(499, "[", "{\"k\":\"v\"}", "]"));
  std::string path;
  for (int i = 0; i < 500; ++i) {
    path += "[0]";
  }
  EXPECT_EQ(json.get_text(path + ".k"), "v");
}

TEST(ScriptJsonLimits, TwentyMegabyteArray) {
  std::string text = "[";
  std::int64_t n = 0;
  while (text.size() < (20u << 20)) {
    text += (n > 0 ? "," : "") + number_to_text(n);
    ++n;
  }
  text += "]";
  ScriptJson json;
  ASSERT_TRUE(json.parse(text));
  EXPECT_EQ(json.count(), n);
  EXPECT_EQ(json.get_text("[" + number_to_text(n - 1) + "]"), number_to_text(n - 1));
  EXPECT_EQ(json.type_of(), ValueKind::array);
}

TEST(ScriptJsonLimits, BadBytesInTexts) {
  // Invalid GBK (a lead byte followed by a space, a lone lead byte at the end) and UTF-8 bytes
  // that are no GBK characters: each comes back as "?" or as a GBK character, never as garbage.
  ScriptJson json;
  ASSERT_TRUE(json.parse("{\"a\":\"x\x81 y\",\"b\":\"\xC3\x28\",\"c\":\"z\x81\"}"));
  for (const char* path : {"a", "b", "c"}) {
    const std::string text = json.get_text(path);
    EXPECT_FALSE(text.empty()) << path;
    EXPECT_EQ(json.type_of(path), ValueKind::string) << path;
  }
  EXPECT_EQ(json.get_text("a"), "x? y");
  EXPECT_FALSE(json.parse("[\"\x81"));
  // Texts end at their first zero byte.
  EXPECT_TRUE(json.parse(std::string("[1]\0garbage", 11)));
  EXPECT_EQ(json.count(), 1);
  json.set_value("[0]", std::string("kept\0cut", 8));
  EXPECT_EQ(json.to_json(), "[\"kept\"]");
  json.set_value("[0]", "bad\x81");
  EXPECT_EQ(json.type_of("[0]"), ValueKind::other);  // always-dot rule: not script
  EXPECT_EQ(json.get_text("[0]"), "bad?");
}

TEST(ScriptJsonLimits, PathsThatAreNotScriptOrLackAParent) {
  const char* document = R"({"a":{"b":[1,2]},"s":"t"})";
  const char* paths[] = {"a..b", "a[",  "]",        "a b",   "(",     "'",
                         "\\",   "a/*", "\x81\x20", "x.y.z", "s.t.u", "a.c.d[0]"};
  for (const char* path : paths) {
    ScriptJson json;
    ASSERT_TRUE(json.parse(document));
    EXPECT_EQ(json.get_text(path), "") << path;
    EXPECT_EQ(json.get_text(path, true), "") << path;
    EXPECT_EQ(json.count(path), 0) << path;
    EXPECT_EQ(json.type_of(path), ValueKind::other) << path;
    EXPECT_FALSE(json.has_path(path)) << path;
    EXPECT_EQ(json.get_number(path), 0) << path;
    std::vector<std::string> keys;
    EXPECT_EQ(json.list_keys(keys, path), 0) << path;
    EXPECT_EQ(json.get_object(path).type_of(), ValueKind::null) << path;
    json.set_value(path, "v");
    json.set_number(path, 1);
    json.set_json(path, "1");
    json.push("v", path);
    json.delete_path(path);
    json.remove_path_element(path);
    EXPECT_EQ(json.to_json(), document) << path;
  }
}

}  // namespace
}  // namespace hc
