#include "json/script_json.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hc {
namespace {

// GBK byte constants: 中 D6 D0; 乗 81 5C has a backslash as its second byte.
const std::string zhong = "\xD6\xD0";
const std::string jou = "\x81\x5C";

ScriptJson parsed(std::string_view text) {
  ScriptJson json;
  EXPECT_TRUE(json.parse(text)) << text;
  return json;
}

TEST(ScriptJsonWrite, SetValueKeepsBackslashesForTheSerialisedText) {
  ScriptJson json;
  json.set_value("x", "a\\b");
  EXPECT_EQ(json.to_json(), R"({"x":"a\b"})");
  // The stored-backslash character is not in GBK.
  EXPECT_EQ(json.get_text("x"), "a?b");
  json.set_value("y", "\\u4e2d\\n");
  EXPECT_EQ(json.to_json(), R"({"x":"a\b","y":"\u4e2d\n"})");
}

TEST(ScriptJsonWrite, SetValueStoresPlainTextAsItIs) {
  ScriptJson json;
  const std::string values[] = {
      "it's \"quoted\"", "two\r\nlines", zhong + jou + "'" + jou, "", "</script>",
  };
  for (const auto& value : values) {
    json.set_value("v", value);
    EXPECT_EQ(json.type_of("v"), ValueKind::string) << value;
    EXPECT_EQ(json.get_text("v"), value) << value;
  }
}

TEST(ScriptJsonWrite, SetValueJoinsByProbingThePath) {
  ScriptJson json = parsed(R"({"list":["a","b"]})");
  json.set_value("list[1]", "B");
  json.set_value("fresh", "f");
  EXPECT_EQ(json.to_json(), R"({"list":["a","B"],"fresh":"f"})");
  // A path that is a bracketed literal on its own joins the root without a dot.
  json.reset_as(ValueKind::array);
  json.set_value("[1]", "second");
  EXPECT_EQ(json.to_json(), R"([null,"second"])");
  // A path that is not script changes nothing.
  json.set_value("a b", "x");
  EXPECT_EQ(json.to_json(), R"([null,"second"])");
}

TEST(ScriptJsonWrite, SetValueOfScriptText) {
  ScriptJson json;
  json.set_value("n", "[1, 2]", true);
  EXPECT_EQ(json.count("n"), 2);
  std::string empty;
  json.set_value("o", empty, true);
  EXPECT_EQ(empty, "{}");
  EXPECT_EQ(json.to_json(), R"({"n":[1,2],"o":{}})");
}

TEST(ScriptJsonWrite, SetJsonSetNumberAndGetJson) {
  ScriptJson json;
  json.set_json("a", "[1, {\"b\": 'x'}]");
  json.set_number("n", 0.1 + 0.2);
  json.set_number("big", 12345678901234567.0);
  EXPECT_EQ(json.get_json("a"), R"([1,{"b":"x"}])");
  EXPECT_EQ(json.get_json("n"), "0.3");
  EXPECT_EQ(json.get_json("big"), "12345678901230000");
  EXPECT_EQ(json.get_json("missing"), "");
  EXPECT_EQ(json.get_json("[0]"), "");
  json.set_json("bad", "[1,");
  EXPECT_FALSE(json.has_path("bad"));
}

TEST(ScriptJsonWrite, PushCreatesTheArrayAndAppends) {
  ScriptJson json = parsed(R"({"s":"not an array"})");
  json.push("a", "list");
  EXPECT_EQ(json.count("list"), 1);
  json.push("{\"k\": 1}", "list", true);
  EXPECT_EQ(json.get_text("list[1].k"), "1");
  json.push("x", "s");
  json.push("it's", "list");  // an apostrophe breaks the plain text literal
  EXPECT_EQ(json.to_json(), R"({"s":["x"],"list":["a",{"k":1}]})");
  json.push("7", "", true);
  EXPECT_EQ(json.to_json(), "[7]");
}

TEST(ScriptJsonWrite, ElementOperations) {
  ScriptJson json = parsed(R"([{"n":"zero"},"one",2])");
  EXPECT_EQ(json.get_element_text(1), "one");
  EXPECT_EQ(json.get_element_text(2), "2");
  EXPECT_EQ(json.get_element_text(0, {}, true), R"({"n":"zero"})");
  EXPECT_EQ(json.get_element_text(9), "");
  EXPECT_EQ(json.get_element_object(0).get_text("n"), "zero");
  json.set_element(1, "uno");
  json.set_element(3, "{\"x\":[]}", true);
  EXPECT_EQ(json.to_json(), R"([{"n":"zero"},"uno",2,{"x":[]}])");
  json.remove_element(0);
  json.remove_element(10);
  EXPECT_EQ(json.to_json(), R"(["uno",2,{"x":[]}])");
  ScriptJson nested = parsed(R"({"rows":[[1,2],[3]]})");
  EXPECT_EQ(nested.get_element_text(1, "rows", true), "[3]");
  EXPECT_EQ(nested.get_element_object(0, "rows").count(), 2);
}

TEST(ScriptJsonWrite, RemovePathElement) {
  struct Case {
    const char* path;
    const char* json;
  };
  const Case cases[] = {
      {"list[0]", R"({"list":[2,3],"other":"1+1"})"},
      {"list[2]", R"({"list":[1,2],"other":"1+1"})"},
      {"list[7]", R"({"list":[1,2,3],"other":"1+1"})"},
      {"list", R"({"list":[1,2,3],"other":"1+1"})"},
      // Neither a missing member nor a text is touched (a text would be run as script).
      {"missing[0]", R"({"list":[1,2,3],"other":"1+1"})"},
      {"other[0]", R"({"list":[1,2,3],"other":"1+1"})"},
  };
  for (const auto& c : cases) {
    ScriptJson json = parsed(R"({"list":[1,2,3],"other":"1+1"})");
    json.remove_path_element(c.path);
    EXPECT_EQ(json.to_json(), c.json) << c.path;
  }
}

TEST(ScriptJsonWrite, DeleteResetAssignClear) {
  ScriptJson json = parsed(R"({"a":1,"b":{"c":2}})");
  json.delete_path("b.c");
  json.delete_path("missing.x");
  EXPECT_EQ(json.to_json(), R"({"a":1,"b":{}})");
  json.reset_as(ValueKind::array);
  EXPECT_EQ(json.to_json(), "[]");
  json.reset_as(ValueKind::string);
  json.reset_as(static_cast<ValueKind>(3));
  EXPECT_EQ(json.to_json(), "[]");
  json.reset_as(ValueKind::null);
  EXPECT_EQ(json.to_json(), "{}");
  json.assign("[1, 2]", true);
  EXPECT_EQ(json.count(), 2);
  json.assign(zhong);
  EXPECT_EQ(json.type_of(), ValueKind::string);
  EXPECT_EQ(json.to_json(), "\"" + zhong + "\"");
  json.clear();
  EXPECT_EQ(json.to_json(), "{}");
}

TEST(ScriptJsonQuery, HasPath) {
  ScriptJson json = parsed(R"({"a":{"b":0},"z":null,"s":""})");
  struct Case {
    const char* path;
    bool exists;
  };
  const Case cases[] = {
      {"a", true},  {"a.b", true},  {"s", true},    {"z", false},
      {"x", false}, {"x.y", false}, {"[0]", false}, {"a..b", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json.has_path(c.path), c.exists) << c.path;
  }
  ScriptJson null_root;
  EXPECT_FALSE(null_root.parse("null"));
  EXPECT_FALSE(null_root.has_path("a"));
}

TEST(ScriptJsonQuery, ListKeys) {
  ScriptJson json = parsed(R"({"a":1,"b":{"c":[5,6]},")" + zhong + R"(":{},"e":{}})");
  struct Case {
    const char* path;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"", {"a", "b", zhong, "e"}}, {"b", {"c"}}, {"b.c", {"0", "1"}}, {"e", {}}, {"missing", {}},
      {"missing.child", {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> keys{"left", "over"};
    EXPECT_EQ(json.list_keys(keys, c.path), static_cast<std::int32_t>(c.keys.size())) << c.path;
    EXPECT_EQ(keys, c.keys) << c.path;
  }
}

TEST(ScriptJsonQuery, GetObjectIsAnIndependentCopy) {
  ScriptJson json = parsed(R"({"song":{"name":"a","ids":[1,2]}})");
  ScriptJson song = json.get_object("song");
  EXPECT_NE(song.get_engine(), json.get_engine());
  song.set_value("name", "changed");
  json.set_number("song.ids[0]", 9);
  EXPECT_EQ(song.to_json(), R"({"name":"changed","ids":[1,2]})");
  EXPECT_EQ(json.to_json(), R"({"song":{"name":"a","ids":[9,2]}})");
  EXPECT_EQ(json.get_object("song.ids").count(), 2);
  EXPECT_EQ(json.get_object("missing").type_of(), ValueKind::null);
  EXPECT_EQ(parsed("[[1,2,3]]").get_object("[0]").count(), 3);
}

TEST(ScriptJsonQuery, GetEngineSharesTheRoot) {
  ScriptJson json = parsed(R"({"a":2})");
  auto engine = json.get_engine();
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->eval_number("da.a * 10"), 20);
}

}  // namespace
}  // namespace hc
