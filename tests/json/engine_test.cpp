#include "json/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "json/engine_text.h"

namespace hc {
namespace {

// GBK byte constants: 中 D6 D0, 文 CE C4; 乗 81 5C has a backslash as its second byte.
const std::string zhong = "\xD6\xD0";
const std::string wen = "\xCE\xC4";
const std::string jou = "\x81\x5C";

std::shared_ptr<Engine> new_engine() {
  auto engine = Engine::create();
  EXPECT_NE(engine, nullptr);
  return engine;
}

TEST(ScriptEngineText, EngineBytesComeBackAsGbk) {
  struct Case {
    std::string engine_bytes;
    std::string gbk;
  };
  const Case cases[] = {
      {"plain ascii", "plain ascii"},
      {"\xE4\xB8\xAD\xE6\x96\x87", zhong + wen},
      // A character outside the BMP, as UTF-8 and as an encoded surrogate pair: one "?" each.
      {"a\xF0\x9F\x98\x80"
       "b",
       "a?b"},
      {"a\xED\xA0\xBD\xED\xB8\x80"
       "b",
       "a?b"},
      // Lone surrogates, high then low.
      {"\xED\xA0\xBD"
       "x\xED\xB8\x80",
       "?x?"},
      // Characters GBK lacks: the symbol for null, U+2400.
      {"\xE2\x90\x80", "?"},
      // Bytes that start no valid sequence, a cut sequence, an overlong encoding.
      {"\xFF\xFE", "??"},
      {"\xE4\xB8", "??"},
      {"\xC0\xAF", "??"},
      // Texts end at the first zero.
      {std::string("ab\0cd", 5), "ab"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(from_engine_text(c.engine_bytes), c.gbk) << c.engine_bytes;
  }
}

TEST(ScriptEngineText, GbkTextRoundTripsThroughTheEngine) {
  auto engine = new_engine();
  const std::string text = zhong + "a'" + jou + wen;
  EXPECT_EQ(from_engine_text(to_engine_text(text)), text);
  // The trailing 5C of 乗 stays inside its character in a string literal.
  EXPECT_EQ(engine->eval_text("'" + jou + "'"), jou);
  EXPECT_EQ(engine->eval_number("'" + zhong + wen + "'.length"), 2);
}

TEST(ScriptEngine, ReadsResultsAsText) {
  auto engine = new_engine();
  struct Case {
    const char* script;
    const char* text;
  };
  const Case cases[] = {
      {"'abc'", "abc"},
      {"1579839817837", "1579839817837"},
      {"12", "12"},
      {"-0", "0"},
      {"0.5", "0.5"},
      {"undefined", ""},
      {"var x = 3", ""},
      {"true", "true"},
      {"[1,2]", "1,2"},
      // Failures: null, a syntax error, a thrown exception, an unknown name.
      {"null", ""},
      {"da.[0]", ""},
      {"throw new Error('x')", ""},
      {"no_such_name", ""},
      {"({toString:function(){throw 1}})", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine->eval_text(c.script), c.text) << c.script;
  }
}

TEST(ScriptEngine, ReadsResultsAsNumbersAndBooleans) {
  auto engine = new_engine();
  struct NumberCase {
    const char* script;
    double number;
  };
  const NumberCase numbers[] = {
      {"2.5", 2.5}, {"'42'", 42}, {"undefined", 0},     {"null", 0},
      {"'abc'", 0}, {"({})", 0},  {"syntax error(", 0},
  };
  for (const auto& c : numbers) {
    EXPECT_EQ(engine->eval_number(c.script), c.number) << c.script;
  }
  struct BooleanCase {
    const char* script;
    bool value;
  };
  const BooleanCase booleans[] = {
      {"true", true},       {"1 == 2", false}, {"3", true},       {"0", false},
      {"undefined", false}, {"null", false},   {"'true'", false}, {"syntax error(", false},
  };
  for (const auto& c : booleans) {
    EXPECT_EQ(engine->eval_boolean(c.script), c.value) << c.script;
  }
}

TEST(ScriptEngine, DeclarationsLastAcrossCalls) {
  auto engine = new_engine();
  EXPECT_TRUE(engine->add_code("function twice(n){return 2*n}\r\nvar base=20"));
  EXPECT_TRUE(engine->run("var extra = 1"));
  EXPECT_EQ(engine->eval_number("twice(base) + extra"), 41);
  EXPECT_EQ(engine->eval_text("var s = 'a'; for (var i = 0; i < 3; i++) { s = s + i; }"), "a012");
  EXPECT_FALSE(engine->add_code("function ("));
  EXPECT_FALSE(engine->add_code("throw 1"));
  EXPECT_FALSE(engine->run("throw 1"));
}

TEST(ScriptEngine, ParsesJsonAsDataOnly) {
  auto engine = new_engine();
  EXPECT_TRUE(engine->parse_json_into("v", R"({"a":[1,"x"]})"));
  EXPECT_EQ(engine->eval_text("v.a[1]"), "x");
  EXPECT_TRUE(engine->parse_json_into("v", R"("1+1")"));
  EXPECT_EQ(engine->eval_text("typeof v"), "string");
  engine->run("var ran = false");
  for (const char* text : {"", "ran = true", "(function(){ran = true})()", "{a:1}", "[1,]"}) {
    EXPECT_FALSE(engine->parse_json_into("v", text)) << text;
    EXPECT_EQ(engine->eval_text("v"), "1+1") << text;
  }
  EXPECT_FALSE(engine->eval_boolean("ran"));
}

// The member queries skip the compiler for plain chains; they must answer exactly as
// evaluating the scripts does, whichever way an expression goes.
TEST(ScriptEngine, MemberQueriesAgreeWithEvaluation) {
  auto engine = new_engine();
  ASSERT_TRUE(engine->parse_json_into(
      "da", R"({"s":"text","n":12.5,"big":12345678901234567,"b":true,"z":null,"o":{"k":"v"},)"
            R"("a":["x",{"k":3}],"if":1,"\u4e2d":"zh"})"));
  ASSERT_TRUE(
      engine->run("da.f = function(){}; da.u = undefined; da.nan = NaN; "
                  "da.g = {}; Object.defineProperty(da.g, 'k', {get: function(){ "
                  "throw new Error('no'); }}); var other = {k: 'o'}"));
  const std::string expressions[] = {
      "da",
      "da.s",
      "da.n",
      "da.big",
      "da.b",
      "da.z",
      "da.o",
      "da.o.k",
      "da.a",
      "da.a[0]",
      "da.a[1].k",
      "da.a[7]",
      "da.a[01]",
      "da.a[4294967295]",
      "da.missing",
      "da.missing.x",
      "da.z.x",
      "da.u",
      "da.u.x",
      "da.nan",
      "da.s.length",
      "da.s[1]",
      "da.n.toFixed",
      "da.f",
      "da.a.length",
      "da.o.toString",
      "da.if",
      "da.g.k",
      "da.[0]",
      "da.a.[0]",
      "da[0]",
      "nowhere",
      "nowhere.x",
      "other.k",
      "undefined",
      "NaN",
      "true",
      "null",
      "this",
      "typeof",
      "da .s",
      "da['s']",
      "da.s + 1",
      "da." + zhong,
      "",
      "da.",
      "da.a[",
      "da.a[]",
      "da.a[0",
  };
  for (const auto& e : expressions) {
    EXPECT_EQ(engine->is_null(e), engine->eval_boolean(e + "==null")) << e;
    EXPECT_EQ(engine->type_name(e), engine->eval_text("typeof (" + e + ")")) << e;
    EXPECT_EQ(engine->value_text(e), engine->eval_text(e)) << e;
    const double number = engine->value_number(e);
    const double evaluated = engine->eval_number(e);
    EXPECT_TRUE(number == evaluated || (std::isnan(number) && std::isnan(evaluated))) << e;
  }
  EXPECT_EQ(engine->value_text("da.a[1].k"), "3");
  EXPECT_EQ(engine->type_name("da.f"), "function");
}

TEST(ScriptEngine, ScriptsCannotExhaustMemoryOrStack) {
  auto engine = Engine::create(16 << 20);
  ASSERT_NE(engine, nullptr);
  const std::size_t at_start = engine->memory_in_use();
  EXPECT_FALSE(engine->run("var s = 'x'; for (;;) { s = s + s; }"));
  EXPECT_FALSE(engine->run("var a = []; for (;;) { a.push([1, 2, 3]); }"));
  EXPECT_FALSE(engine->run("function f() { return f() + 1; } f()"));
  EXPECT_FALSE(engine->run(std::string(100000, '(') + "1" + std::string(100000, ')')));
  EXPECT_FALSE(
      engine->run("a = null; s = null; " + std::string(100000, '[') + std::string(100000, ']')));
  // The engine goes on working, and gives its memory back.
  EXPECT_EQ(engine->eval_number("1 + 1"), 2);
  engine->run("a = null; s = null");
  EXPECT_LT(engine->memory_in_use(), at_start + (1 << 20));
}

// Before its heap goes, an engine lets go of what its globals hold. Whatever they hold, it ends
// without running any script (a setter that never returns would hang here) and without a fault.
TEST(ScriptEngine, EndsWhateverItsGlobalsHold) {
  const char* scripts[] = {
      // Far longer than a C stack could follow by recursion.
      "var chain = null; for (var i = 0; i < 200000; i++) { chain = {next: chain}; }",
      "var a = {}; var b = {a: a}; a.b = b; a.self = a;",
      // A global that cannot be set, between two that can.
      "var before = [1, 2]; Object.defineProperty(this, 'fixed', {value: [3], enumerable: true});"
      " var after = {a: [4]};",
      "Object.defineProperty(this, 'trap', {set: function (v) { for (;;) {} }, enumerable: true,"
      " configurable: true}); var data = [1];",
      "Object.defineProperty(this, 'trap', {set: function (v) { for (;;) {} }, enumerable: true});"
      " var data = [1];",
  };
  for (const char* script : scripts) {
    auto engine = new_engine();
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(engine->run(script)) << script;
    engine.reset();
  }
}

}  // namespace
}  // namespace hc
