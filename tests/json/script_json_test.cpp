#include "json/script_json.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace hc {
namespace {

// GBK byte constants: 中 D6 D0, 文 CE C4.
const std::string zhong_wen = "\xD6\xD0\xCE\xC4";

ScriptJson parsed(std::string_view text) {
  ScriptJson json;
  EXPECT_TRUE(json.parse(text)) << text;
  return json;
}

TEST(ScriptJsonParse, ResultsCountsAndValues) {
  struct Case {
    const char* text;
    bool result;
    std::int32_t count;
    const char* json;
  };
  const Case cases[] = {
      {"[]", true, 0, "[]"},
      {"{}", true, 0, "{}"},
      {" [1, [2], {\"a\":3}] ", true, 3, "[1,[2],{\"a\":3}]"},
      {"7", true, 0, "7"},
      {"false", true, 0, "false"},
      {"", false, 0, "null"},
      {"null", false, 0, "null"},
      {"{a:1}", false, 0, "null"},
      {"[1,2", false, 0, "null"},
      {"[1] [2]", false, 0, "null"},
      {"undefined", false, 0, "null"},
  };
  for (const auto& c : cases) {
    ScriptJson json;
    EXPECT_EQ(json.parse(c.text), c.result) << c.text;
    EXPECT_EQ(json.count(), c.count) << c.text;
    EXPECT_EQ(json.to_json(), c.json) << c.text;
  }
}

TEST(ScriptJsonParse, TextIsDataNeverScript) {
  ScriptJson json;
  // A string literal stays that string: its content is not run again.
  EXPECT_TRUE(json.parse("\"1+1\""));
  EXPECT_EQ(json.type_of(), ValueKind::string);
  EXPECT_EQ(json.to_json(), "\"1+1\"");

  const auto start = std::chrono::steady_clock::now();
  for (const char* program : {"(function(){for(;;){}})()", "while(true){}", "g_regexp = 1",
                              "[1, (function(){ da = 5; return 2 })()]"}) {
    EXPECT_FALSE(json.parse(program)) << program;
    EXPECT_EQ(json.type_of(), ValueKind::null) << program;
    EXPECT_EQ(json.get_engine()->eval_text("g_regexp"), "?") << program;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(ScriptJsonParse, EachParseStartsAFreshEngine) {
  ScriptJson json = parsed(R"({"a":1})");
  ScriptJson holder = json.clone();
  json.set_number("b", 2);
  EXPECT_TRUE(json.parse(R"({"c":3})"));
  EXPECT_FALSE(json.has_path("b"));
  EXPECT_NE(json.get_engine(), holder.get_engine());
  // The clone keeps the engine it shared, with what was written into it.
  EXPECT_EQ(holder.to_json(), R"({"a":1,"b":2})");
}

TEST(ScriptJsonRead, ChartPathsThroughTheEnginesConversion) {
  ScriptJson json =
      parsed(R"([{"name":"a","id":5,"v":0.1,"big":12345678901234567,"artists":[{"name":")" +
             zhong_wen + R"("}]}])");
  EXPECT_EQ(json.count(), 1);
  struct Case {
    const char* path;
    std::string text;
  };
  const Case cases[] = {
      {"[0].name", "a"},
      {"[0].id", "5"},
      {"[0].v", "0.1"},
      {"[0].big", "12345678901234568"},
      {"[0].artists[0].name", zhong_wen},
      {"[1].name", ""},
      {"[0].missing", ""},
      {"[0]", "[object Object]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json.get_text(c.path), c.text) << c.path;
  }
  EXPECT_EQ(json.get_text("[0].artists", true), "[{\"name\":\"" + zhong_wen + "\"}]");
}

TEST(ScriptJsonRead, CommentPathsThroughTheNumberTextRule) {
  ScriptJson json = parsed(
      R"({"hotComments":[{"time":1579839817837,"likedCount":12,"half":0.5,"big":12345678901234567,)"
      R"("tiny":0.00001,"user":{"nickname":")" +
      zhong_wen + R"(\ud83d\ude00!"},"content":"line\nbreak"}],"comments":[]})");
  EXPECT_EQ(json.count("hotComments"), 1);
  EXPECT_EQ(json.count("comments"), 0);
  struct Case {
    const char* path;
    std::string text;
  };
  const Case cases[] = {
      {"hotComments[0].time", "1579839817837"},
      {"hotComments[0].likedCount", "12"},
      {"hotComments[0].half", "0.5"},
      {"hotComments[0].big", "1.234567890123e+16"},
      {"hotComments[0].tiny", "1e-05"},
      // A character outside the BMP becomes one "?".
      {"hotComments[0].user.nickname", zhong_wen + "?!"},
      {"hotComments[0].content", "line\nbreak"},
      {"hotComments[1].content", ""},
      {"nothing.at.all", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json.get_text(c.path), c.text) << c.path;
  }
  EXPECT_DOUBLE_EQ(json.get_number("hotComments[0].half"), 0.5);
  EXPECT_EQ(json.get_number("hotComments[0].user.nickname"), 0);
  EXPECT_EQ(json.get_number("[0].time"), 0);
}

TEST(ScriptJsonRead, TypeOfEveryKind) {
  ScriptJson json =
      parsed(R"({"s":"x","n":1.5,"b":false,"o":{"k":1},"a":[1],"z":null,"list":[{"s":"y"}]})");
  struct Case {
    const char* path;
    ValueKind kind;
  };
  const Case cases[] = {
      {"s", ValueKind::string},         {"n", ValueKind::number},
      {"b", ValueKind::boolean},        {"o", ValueKind::object},
      {"a", ValueKind::array},          {"z", ValueKind::null},
      {"missing", ValueKind::null},     {"missing.child", ValueKind::other},
      {"list[0].s", ValueKind::string}, {"[0]", ValueKind::other},
      {"", ValueKind::object},          {"a b", ValueKind::other},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json.type_of(c.path), c.kind) << c.path;
  }
  EXPECT_EQ(parsed("[1]").type_of(), ValueKind::array);
}

TEST(ScriptJsonRead, CountsOnlyArrays) {
  ScriptJson json =
      parsed(R"({"a":[1,2,3],"s":"abc","n":4,"b":true,"z":null,"o":{"length":2},"p":{}})");
  struct Case {
    const char* path;
    std::int32_t count;
  };
  const Case cases[] = {
      {"a", 3},
      {"s", 0},
      {"n", 0},
      {"b", 0},
      {"z", 0},
      {"o", 2},  // an object's own length member is what the counter reads
      {"p", 0},
      {"missing", 0},
      {"missing.child", 0},
      {"a[", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json.count(c.path), c.count) << c.path;
  }
}

TEST(ScriptJsonObjects, OwnEnginesDoNotMeet) {
  ScriptJson first = parsed(R"({"who":"first"})");
  ScriptJson second;
  EXPECT_EQ(second.to_json(), "{}");
  EXPECT_EQ(second.get_text("who"), "");
  second.set_value("who", "second");
  EXPECT_EQ(first.get_text("who"), "first");
  EXPECT_EQ(second.get_text("who"), "second");
}

TEST(ScriptJsonObjects, ClonesShareTheirEngine) {
  std::optional<ScriptJson> original;
  original.emplace();
  ScriptJson copy = original->clone();
  EXPECT_EQ(copy.get_engine(), original->get_engine());
  original->set_number("n", 3);
  EXPECT_EQ(copy.get_text("n"), "3");
  original.reset();
  // The engine lives while a holder does.
  copy.set_number("m", 4);
  EXPECT_EQ(copy.to_json(), R"({"n":3,"m":4})");
}

TEST(ScriptJsonObjects, WithoutAnEngineEveryCallGivesItsFailureValue) {
  ScriptJson empty;
  ScriptJson json = std::move(empty);  // what is moved from keeps no engine
  EXPECT_EQ(empty.get_engine(), nullptr);
  EXPECT_FALSE(empty.parse("[1]"));
  EXPECT_EQ(empty.get_engine(), nullptr);
  EXPECT_EQ(empty.get_text("a"), "");
  EXPECT_EQ(empty.get_text("a", true), "");
  EXPECT_EQ(empty.count(), 0);
  EXPECT_EQ(empty.type_of(), ValueKind::other);
  EXPECT_FALSE(empty.has_path("a"));
  EXPECT_EQ(empty.to_json(), "");
  std::vector<std::string> keys{"old"};
  EXPECT_EQ(empty.list_keys(keys), 0);
  EXPECT_TRUE(keys.empty());
  empty.set_value("a", "b");
  empty.push("x", "list");
  EXPECT_EQ(empty.get_text("a"), "");
  EXPECT_EQ(empty.get_object("a").type_of(), ValueKind::null);
  EXPECT_EQ(empty.get_element_object(0).type_of(), ValueKind::null);
  EXPECT_EQ(json.to_json(), "{}");
}

}  // namespace
}  // namespace hc
