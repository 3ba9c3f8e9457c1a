#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "web/cookies.h"

namespace hc {
namespace {

struct MergeCase {
  const char* old_cookies;
  const char* new_cookies;
  const char* merged;
};

void PrintTo(const MergeCase& c, std::ostream* out) {
  *out << "[" << c.old_cookies << "] + [" << c.new_cookies << "]";
}

class MergeCookieText : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookieText, ResultIsReturnedAndStoredIntoTheOldText) {
  std::string old_cookies = GetParam().old_cookies;
  EXPECT_EQ(merge_cookie_text(old_cookies, GetParam().new_cookies), GetParam().merged);
  EXPECT_EQ(old_cookies, GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeCookieText,
    ::testing::Values(MergeCase{"a=1; b=2", "b=3", "b=3; a=1"},
                      MergeCase{"a=1; b=2", "b=deleted", "a=1"},
                      MergeCase{"a=1", "a=deleted; c=5", "c=5"}, MergeCase{"a=1;", "", "a=1"},
                      MergeCase{"a=1; a=2", "", "a=1"}, MergeCase{"", "", ""},
                      MergeCase{"z=deleted; a=1", "", "a=1"}, MergeCase{"A=1", "a=2", "a=2; A=1"},
                      MergeCase{"flag", "flag=1", "flag=1"}, MergeCase{"", "x=1; x=1", "x=1"},
                      MergeCase{"a=1;b=2", "a=3", "a=3"},
                      // Blanks around the texts go; names are compared trimmed.
                      MergeCase{"  a=1; b=2 ", " b =3;", "b =3; a=1"},
                      // New items keep their order, then the old ones that remain keep theirs.
                      MergeCase{"c=1; a=1; d=1", "b=2; a=2", "b=2; a=2; c=1; d=1"},
                      // An empty item between two separators is an item with an empty name.
                      MergeCase{"a=1; ; b=2", "", "a=1; ; b=2"},
                      MergeCase{"a=1", "a=Deleted", "a=Deleted"}));

TEST(CookieName, TextBeforeTheFirstEqualsTrimmed) {
  EXPECT_EQ(cookie_name(" sid = abc=def"), "sid");
  EXPECT_EQ(cookie_name("flag"), "flag");
  EXPECT_EQ(cookie_name("\xA1\xA1name=1"), "name");
  EXPECT_EQ(cookie_name("=v"), "");
  EXPECT_EQ(cookie_name(""), "");
}

TEST(RemoveDuplicateItems, KeepsTheFirstOfExactRepeats) {
  EXPECT_EQ(remove_duplicate_items("a; b; a; A; b", "; "), "a; b; A");
  EXPECT_EQ(remove_duplicate_items("x,,x,", ","), "x,");
  EXPECT_EQ(remove_duplicate_items("", "; "), "");
}

struct CollectCase {
  const char* block;
  const char* cookies;
};

void PrintTo(const CollectCase& c, std::ostream* out) {
  *out << c.block;
}

class CollectSetCookies : public ::testing::TestWithParam<CollectCase> {};

TEST_P(CollectSetCookies, FromRawHeaderBlock) {
  EXPECT_EQ(collect_set_cookies(GetParam().block), GetParam().cookies);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CollectSetCookies,
    ::testing::Values(CollectCase{"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/\r\nX: y\r\n"
                                  "Set-Cookie: b=2\r\n\r\n",
                                  "a=1; b=2"},
                      // A name in another case, or no space after the colon: not a Set-Cookie line.
                      CollectCase{"HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2\r\n"
                                  "Set-Cookie:c=3\r\nSet-Cookie: d=4\r\n\r\n",
                                  "d=4"},
                      CollectCase{"HTTP/1.1 200 OK\r\nSet-Cookie:  e=5 ; Expires=Wed\r\n\r\n",
                                  "e=5"},
                      // Every "Set-Cookie:" inside the line goes, in any case.
                      CollectCase{"Set-Cookie: v=set-cookie:x\r\n", "v=x"},
                      CollectCase{"HTTP/1.1 204 No Content\r\n\r\n", ""}, CollectCase{"     ", ""},
                      CollectCase{"", ""}));

}  // namespace
}  // namespace hc
