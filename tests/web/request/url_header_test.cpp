#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "web/headers.h"
#include "web/url.h"

namespace hc {
namespace {

struct UrlCase {
  const char* url;
  const char* host;
  const char* host_with_port;
  std::int64_t port;
  const char* path;
};

void PrintTo(const UrlCase& c, std::ostream* out) {
  *out << c.url;
}

class UrlParts : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlParts, HostPortAndPath) {
  const UrlCase& c = GetParam();
  EXPECT_EQ(url_host(c.url, false), c.host);
  EXPECT_EQ(url_host(c.url, true), c.host_with_port);
  EXPECT_EQ(url_port(c.url), c.port);
  EXPECT_EQ(url_path(c.url), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlParts,
    ::testing::Values(
        UrlCase{"https://Music.Example.COM:8443/Api/V1?Id=Ab#Top", "music.example.com",
                "music.example.com:8443", 8443, "/Api/V1?Id=Ab#Top"},
        UrlCase{"https://a.example.com/x", "a.example.com", "a.example.com", 443, "/x"},
        UrlCase{"HTTPS://a.example.com/x", "a.example.com", "a.example.com", 443, "/x"},
        UrlCase{"http://a.example.com/x/y", "a.example.com", "a.example.com", 80, "/x/y"},
        // Without a scheme a URL is plain, its host the text before the first "/".
        UrlCase{"a.example.com/x", "a.example.com", "a.example.com", 80, "/x"},
        UrlCase{"http://a.example.com", "a.example.com", "a.example.com", 80, "/"},
        UrlCase{"http://a.example.com:81", "a.example.com", "a.example.com:81", 81, "/"},
        // An empty port reads as 0; digits stop at the first other byte.
        UrlCase{"http://a.example.com:/x", "a.example.com", "a.example.com:", 0, "/x"},
        UrlCase{"http://x:80x/p", "x", "x:80x", 80, "/p"},
        UrlCase{"http://x:1:2/p", "x", "x:1:2", 2, "/p"},
        // A query without a path stays part of the host.
        UrlCase{"http://a.example.com?q=1", "a.example.com?q=1", "a.example.com?q=1", 80, "/"},
        // The host is searched from the start of the URL, so a host that "http" holds is
        // found there, and the path starts at the scheme's slashes.
        UrlCase{"http://t/x", "t", "t", 80, "//t/x"},
        // Only ASCII letters change case; a two-byte character stays as it is.
        UrlCase{"http://\xC4\xE3.Example/P", "\xC4\xE3.example", "\xC4\xE3.example", 80, "/P"},
        UrlCase{"", "", "", 80, "/"}));

TEST(UrlPort, HugeNumbersDoNotOverflow) {
  EXPECT_EQ(url_port("http://h:99999999999999999999999/"), 2147483647);
}

TEST(CapitalizeFirst, OnlyAnAsciiLetterAtTheStartChanges) {
  EXPECT_EQ(capitalize_first("abc"), "Abc");
  EXPECT_EQ(capitalize_first("aBC"), "ABC");
  EXPECT_EQ(capitalize_first("1a"), "1a");
  EXPECT_EQ(capitalize_first("\xE4\xE3"), "\xE4\xE3");
  EXPECT_EQ(capitalize_first(""), "");
}

struct BlockCase {
  const char* block;
  const char* normalized;
};

void PrintTo(const BlockCase& c, std::ostream* out) {
  *out << c.block;
}

class HeaderNames : public ::testing::TestWithParam<BlockCase> {};

TEST_P(HeaderNames, Normalize) {
  EXPECT_EQ(normalize_header_names(GetParam().block), GetParam().normalized);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeaderNames,
    ::testing::Values(BlockCase{"user-agent: x", "User-Agent: x"},
                      BlockCase{"x-requested-with: y", "X-Requested-With: y"},
                      BlockCase{"ACCEPT-LANGUAGE: zh", "ACCEPT-LANGUAGE: zh"},
                      BlockCase{"accept: text/html-a; q=b", "Accept: text/html-a; q=b"},
                      BlockCase{"a: 1\r\n\r\nno colon here\r\nb: 2", "A: 1\r\nB: 2"},
                      BlockCase{"a: 1\r\n\r\nno colon here", "A: 1"}, BlockCase{"a: 1\r\n", "A: 1"},
                      BlockCase{"no colon", ""}, BlockCase{"", ""}, BlockCase{"x-: 1", "X-: 1"},
                      BlockCase{"x--y: 1", "X--Y: 1"}, BlockCase{"-x: 1", "-X: 1"},
                      BlockCase{": v", ": v"}, BlockCase{"a:b:c", "A:b:c"},
                      // A bare LF is no line break: the whole text is one line.
                      BlockCase{"a: 1\nb: 2", "A: 1\nb: 2"},
                      BlockCase{"\xC4\xE3-x: v", "\xC4\xE3-X: v"}));

TEST(ValueAfterColon, TrimmedTextAfterTheFirstColon) {
  EXPECT_EQ(value_after_colon("Name:  a: b  "), "a: b");
  EXPECT_EQ(value_after_colon("Name:\xA1\xA1v\xA1\xA1"), "v");
  EXPECT_EQ(value_after_colon("Name:\tv"), "\tv");
  EXPECT_EQ(value_after_colon("no colon"), "");
  EXPECT_EQ(value_after_colon("ends with:"), "");
  EXPECT_EQ(value_after_colon(""), "");
}

}  // namespace
}  // namespace hc
