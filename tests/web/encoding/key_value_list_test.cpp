#include "web/key_value_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace hc {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs pairs_of(const KeyValueList& list) {
  std::vector<std::string> names;
  std::vector<std::string> values;
  list.copy_names(names);
  list.copy_values(values);
  Pairs pairs;
  for (std::size_t i = 0; i < names.size(); ++i) {
    pairs.emplace_back(names[i], values.at(i));
  }
  return pairs;
}

KeyValueList list_of(const Pairs& pairs) {
  KeyValueList list;
  for (const auto& [name, value] : pairs) {
    list.add(name, value);
  }
  return list;
}

TEST(KeyValueList, DuplicatesGetSetAndRemove) {
  KeyValueList list = list_of({{"a", "1"}, {"a", "1"}});
  EXPECT_EQ(list.to_form(), "a=1&a=1");
  EXPECT_EQ(list.get("a"), "1");
  EXPECT_EQ(list.get("missing"), "");

  list = list_of({{"b", "1"}, {"c", "x"}, {"b", "3"}});
  list.set("b", "2");
  EXPECT_EQ(pairs_of(list), (Pairs{{"b", "2"}, {"c", "x"}, {"b", "3"}}));
  list.set("d", "4");
  EXPECT_EQ(pairs_of(list), (Pairs{{"b", "2"}, {"c", "x"}, {"b", "3"}, {"d", "4"}}));

  list.remove("b");
  EXPECT_EQ(pairs_of(list), (Pairs{{"c", "x"}, {"b", "3"}, {"d", "4"}}));
  list.remove("nothing");
  EXPECT_EQ(list.size(), 3u);
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.to_form(), "");
}

TEST(KeyValueList, NamesCompareExactly) {
  KeyValueList list = list_of({{"Host", "h"}, {"", "empty name"}});
  EXPECT_EQ(list.get("host"), "");
  EXPECT_EQ(list.get("Host "), "");
  EXPECT_EQ(list.get(""), "empty name");
  list.remove("host");
  EXPECT_EQ(list.size(), 2u);
  list.set("HOST", "other");
  EXPECT_EQ(list.get("Host"), "h");
}

TEST(KeyValueList, CloneAndCopiesShareNothing) {
  const KeyValueList original = list_of({{"k", "v"}});
  KeyValueList copy = original.clone();
  copy.set("k", "changed");
  copy.add("n", "m");
  EXPECT_EQ(pairs_of(original), (Pairs{{"k", "v"}}));
  EXPECT_EQ(pairs_of(copy), (Pairs{{"k", "changed"}, {"n", "m"}}));

  std::vector<std::string> out = {"old", "older", "oldest"};
  EXPECT_EQ(&original.copy_values(out), &out);
  EXPECT_EQ(out, std::vector<std::string>{"v"});
}

TEST(KeyValueList, AddConvertsToUtf8OnRequest) {
  KeyValueList list;
  list.add("\xD6\xD0", "\xD6\xD0", true);
  EXPECT_EQ(pairs_of(list), (Pairs{{"\xD6\xD0", "\xE4\xB8\xAD"}}));
}

TEST(KeyValueList, Rendering) {
  struct Case {
    Pairs pairs;
    bool encode;
    std::string form, headers;
  };
  const Case cases[] = {
      {{}, false, "", ""},
      {{{"params", "x"}, {"encSecKey", "y"}},
       false,
       "params=x&encSecKey=y",
       "params: x\r\nencSecKey: y"},
      {{{"Accept", "*/*"}}, false, "Accept=*/*", "Accept: */*"},
      {{{"Host", "h"}, {"Connection", "Keep-Alive"}},
       false,
       "Host=h&Connection=Keep-Alive",
       "Host: h\r\nConnection: Keep-Alive"},
      {{{"a b", " /_"}, {"k", "Az09-."}},
       true,
       "a b=%20%2F%5F&k=Az09-.",
       "a b: %20%2F%5F\r\nk: Az09-."},
      {{{"t", "\xD6\xD0\xCE\xC4"}}, true, "t=%D6%D0%CE%C4", "t: %D6%D0%CE%C4"},
      {{{"", ""}}, false, "=", ": "},
  };
  for (const auto& c : cases) {
    const KeyValueList list = list_of(c.pairs);
    EXPECT_EQ(list.to_form(c.encode), c.form) << c.form;
    EXPECT_EQ(list.to_headers(c.encode), c.headers) << c.headers;
  }
}

TEST(KeyValueList, ToJson) {
  struct Case {
    Pairs pairs;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "{}"},
      {{{"a", "1"}}, R"({"a":"1"})"},
      {{{"a", "1"}, {"b", ""}}, R"({"a":"1","b":""})"},
      {{{"q", R"(say "hi")"}}, R"({"q":"say \"hi\""})"},
      {{{"p", R"(C:\dir)"}}, R"({"p":"C:\dir"})"},
      {{{"a\"b", ","}}, R"({"a"b":","})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(list_of(c.pairs).to_json(), c.expected);
  }
  EXPECT_EQ(KeyValueList::json_escape(R"("a\"")"), R"(\"a\\"\")");
}

TEST(KeyValueList, ParseForm) {
  struct Case {
    std::string text;
    Pairs expected;
  };
  const Case cases[] = {
      {"a=1&b=2", {{"a", "1"}, {"b", "2"}}},
      {"x", {{"", ""}}},
      {"k=v=", {{"k", "v="}}},
      {"k=a=b", {{"k", "b"}}},
      {"k=", {{"k", ""}}},
      {"=v", {{"", "v"}}},
      {"a=1&&b=2", {{"a", "1"}, {"", ""}, {"b", "2"}}},
      {"a=1&", {{"a", "1"}}},
      {"", {}},
      {"a=%20+", {{"a", "%20+"}}},
      // the "&" inside a two-byte character (B0 26) does not split
      {"t=\xB0&u&v=1", {{"t", "\xB0&u"}, {"v", "1"}}},
  };
  for (const auto& c : cases) {
    KeyValueList list;
    list.parse_form(c.text);
    EXPECT_EQ(pairs_of(list), c.expected) << c.text;
  }

  KeyValueList appended = list_of({{"first", "0"}});
  appended.parse_form("t=\xD6\xD0", true);
  EXPECT_EQ(pairs_of(appended), (Pairs{{"first", "0"}, {"t", "\xE4\xB8\xAD"}}));
}

TEST(KeyValueList, TrimMarker) {
  struct Case {
    std::string text, marker, expected;
  };
  const Case cases[] = {
      {",x,", ",", "x"}, {",,", ",", ""},  {",", ",", ""},       {",,,", ",", ","},
      {"x", ",", "x"},   {"ab", "", "ab"}, {"--x--", "--", "x"}, {"", ",", ""},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(KeyValueList::trim_marker(text, c.marker), c.expected) << c.text;
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

}  // namespace
}  // namespace hc
