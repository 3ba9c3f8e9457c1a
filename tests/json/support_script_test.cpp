#include "json/support_script.h"

#include <gtest/gtest.h>

#include <string>

#include "json/engine.h"

namespace hc {
namespace {

TEST(SupportScript, FirstLineDefinesGetCount) {
  const std::string_view script = support_script();
  EXPECT_EQ(script.substr(0, script.find("\r\n")),
            "function get__count(c){var t=typeof c;if(t=='object'){return c.length}return 0}");
  EXPECT_EQ(script.find('\n', script.find("\r\n") + 2), std::string_view::npos);
}

// An engine that lacks every JSON piece, then given the support script.
std::shared_ptr<Engine> engine_without_json() {
  auto engine = Engine::create();
  EXPECT_TRUE(engine->run("delete JSON; delete Date.prototype.toJSON"));
  EXPECT_EQ(engine->eval_text("typeof JSON"), "undefined");
  EXPECT_TRUE(engine->add_code(support_script()));
  return engine;
}

TEST(SupportScript, ProvidesStringifyWhereMissing) {
  auto engine = engine_without_json();
  struct Case {
    const char* script;
    const char* json;
  };
  const Case cases[] = {
      {"JSON.stringify({a:1, b:'x', c:[true, null], d:{}})",
       R"({"a":1,"b":"x","c":[true,null],"d":{}})"},
      {"JSON.stringify({u:undefined, f:function(){}, n:NaN, i:-Infinity})",
       R"({"n":null,"i":null})"},
      {"JSON.stringify([undefined, function(){}, 1])", "[null,null,1]"},
      {"JSON.stringify('q\"b\\\\\\b\\t\\n\\f\\r')", R"("q\"b\\\b\t\n\f\r")"},
      {"JSON.stringify('\\u0001\\u007f\\u00ad\\u0600\\u070f\\u17b5\\u200c\\u2028\\u2060\\ufeff"
       "\\ufff0')",
       R"("\u0001\u007f\u00ad\u0600\u070f\u17b5\u200c\u2028\u2060\ufeff\ufff0")"},
      // Written as they are (then narrowed to GBK, which lacks U+2400 and U+00A0).
      {"JSON.stringify(String.fromCharCode(9216, 0x4e2d, 0xa0))", "\"?\xD6\xD0?\""},
      {"JSON.stringify({a:[1,{b:2}]}, null, 2)",
       "{\n  \"a\": [\n    1,\n    {\n      \"b\": 2\n"
       "    }\n  ]\n}"},
      {"JSON.stringify([1], null, '--')", "[\n--1\n]"},
      {"JSON.stringify({a:1, b:2, c:3}, ['c', 'a'])", R"({"c":3,"a":1})"},
      {"JSON.stringify({a:1, b:'x'}, function(k, v){return typeof v === 'number' ? v * 10 : v})",
       R"({"a":10,"b":"x"})"},
      {"function P(){this.own = 1} P.prototype.inherited = 2; JSON.stringify(new P())",
       R"({"own":1})"},
      {"JSON.stringify(new Date(Date.UTC(2020, 0, 24, 3, 4, 5, 678)))", "\"2020-01-24T03:04:05Z\""},
      {"JSON.stringify(new Date(NaN))", "null"},
      {"JSON.stringify(new String('s'))", "\"s\""},
      {"JSON.stringify(undefined)", ""},
      {"({k: [1]}).toJSONString()", R"({"k":[1]})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine->eval_text(c.script), c.json) << c.script;
  }
}

TEST(SupportScript, ProvidesParseWhereMissing) {
  auto engine = engine_without_json();
  struct Case {
    const char* script;
    const char* result;
  };
  const Case cases[] = {
      {R"(JSON.parse('{"a":[1,2.5e1,-3],"b":"x\\u0041\\n","c":null}').a[1])", "25"},
      {R"(JSON.parse('{"a":[1,2.5e1,-3],"b":"x\\u0041\\n","c":null}').b)", "xA\n"},
      {R"(JSON.parse(' [ true , false ] ').length)", "2"},
      {R"(JSON.parse('{"a":1,"b":2}', function(k, v){ return k === 'a' ? undefined : v; }).a)", ""},
      {R"(JSON.parse('[1,2]', function(k, v){ return typeof v === 'number' ? v + 1 : v; })[1])",
       "3"},
      {R"('{"z":7}'.parseJSON().z)", "7"},
      // Text that fails the shape check is never evaluated.
      {"var hit = 0; try { JSON.parse('hit = 1') } catch (e) { e.name }", "SyntaxError"},
      {"hit", "0"},
      {"try { JSON.parse('[1,') } catch (e) { e.name }", "SyntaxError"},
      {"try { JSON.parse('(function(){})()') } catch (e) { e.name }", "SyntaxError"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine->eval_text(c.script), c.result) << c.script;
  }
}

TEST(SupportScript, AgreesWithTheNativeJson) {
  auto native = Engine::create();
  auto provided = engine_without_json();
  const char* documents[] = {
      R"({"songs":[{"name":"a b","id":5,"artists":[{"name":"x"}],"v":-1.5e-7,"t":true}],"n":null})",
      R"([[],{},[[1]],"\\\"\/",0,-0.25,1e21])",
  };
  for (const char* document : documents) {
    for (const char* space : {"", ", null, 3", ", null, '\t'"}) {
      const std::string script =
          std::string("JSON.stringify(JSON.parse('") + document + "')" + space + ")";
      const std::string expected = native->eval_text(script);
      EXPECT_FALSE(expected.empty()) << script;
      EXPECT_EQ(provided->eval_text(script), expected) << script;
    }
  }
}

TEST(SupportScript, AddsEnumerableHelpersButKeepsNativeJson) {
  auto engine = Engine::create();
  engine->run("var native_stringify = JSON.stringify, native_parse = JSON.parse");
  ASSERT_TRUE(engine->add_code(support_script()));
  EXPECT_TRUE(engine->eval_boolean("JSON.stringify === native_stringify"));
  EXPECT_TRUE(engine->eval_boolean("JSON.parse === native_parse"));
  EXPECT_EQ(engine->eval_text("get__count([1,2,3]) + ',' + get__count({}) + ',' + "
                              "get__count('abc') + ',' + get__count(7)"),
            "3,undefined,0,0");
  EXPECT_EQ(engine->eval_text("get__count(null)"), "");
  EXPECT_EQ(engine->eval_text("var names = ''; for (var k in {a:1}) { names += k + ','; } names"),
            "a,toJSONString,parseJSON,");
}

}  // namespace
}  // namespace hc
