#include "web/web_request.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "tests/web/request/test_servers.h"
#include "text/find.h"
#include "web/internet_testing.h"

namespace hc {
namespace {

using namespace std::string_literals;
using test::ClosedPort;
using test::HttpServer;
using test::RawReply;
using test::RawServer;
using test::TestCertificates;

const std::string ok_reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
const std::string spaces(5000, ' ');

std::string text_of(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::string with_url(std::string pattern, const std::string& url) {
  return replace_all(pattern, "{URL}", url);
}

std::string host_line(int port) {
  return "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
}

// How the routine builds the block, and what goes out on the wire after the request line and
// the Host line.
struct SentCase {
  const char* what;
  int method;
  const char* headers;
  std::optional<std::string> send_cookies;
  bool add_default_headers;
  bool normalize_headers;
  const char* block;
  const char* wire;
};

void PrintTo(const SentCase& c, std::ostream* out) {
  *out << c.what;
}

class BlockAsSent : public ::testing::TestWithParam<SentCase> {};

TEST_P(BlockAsSent, IsWrittenBackAndSentLineByLine) {
  const SentCase& c = GetParam();
  RawServer server(ok_reply);
  WebRequest request;
  request.url = server.url("/p?q=1");
  request.method = c.method;
  request.headers = c.headers;
  request.send_cookies = c.send_cookies;
  request.add_default_headers = c.add_default_headers;
  request.normalize_headers = c.normalize_headers;

  EXPECT_EQ(text_of(web_request(request)), "ok");
  EXPECT_EQ(request.headers, with_url(c.block, request.url));
  const std::string request_line =
      c.method == 1 ? "POST /p?q=1 HTTP/1.1\r\n" : "GET /p?q=1 HTTP/1.1\r\n";
  EXPECT_EQ(server.request(),
            request_line + host_line(server.port()) + with_url(c.wire, request.url) + "\r\n");
}

const std::string default_agent = std::string("User-Agent: ") + DEFAULT_USER_AGENT + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, BlockAsSent,
    ::testing::Values(
        SentCase{"empty get", 0, "", std::nullopt, true, true,
                 "Accept: */*\r\nReferer: {URL}\r\nAccept-Language: zh-cn",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "Accept: */*\r\nReferer: {URL}\r\nAccept-Language: zh-cn\r\n"},
        SentCase{"empty post", 1, "", std::nullopt, true, true,
                 "Accept: */*\r\nReferer: {URL}\r\nAccept-Language: zh-cn\r\n"
                 "Content-Type: application/x-www-form-urlencoded",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "Accept: */*\r\nReferer: {URL}\r\nAccept-Language: zh-cn\r\n"
                 "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 0\r\n"},
        SentCase{"cookie line alone begins with a line break", 0, "", "a=1; b=2", false, true,
                 "\r\nCookie: a=1; b=2",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "Cookie: a=1; b=2\r\n"},
        SentCase{"present lines in any case are not added again", 0,
                 "accept-language: en\r\nREFERER: r\r\naccept: a", std::nullopt, true, false,
                 "accept-language: en\r\nREFERER: r\r\naccept: a",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "accept-language: en\r\nREFERER: r\r\naccept: a\r\n"},
        SentCase{"names normalized before defaults", 1, "content-type: text/plain", std::nullopt,
                 true, true,
                 "Content-Type: text/plain\r\nAccept: */*\r\nReferer: {URL}\r\n"
                 "Accept-Language: zh-cn",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "Content-Type: text/plain\r\nAccept: */*\r\nReferer: {URL}\r\n"
                 "Accept-Language: zh-cn\r\nContent-Length: 0\r\n"},
        SentCase{"cookie text with its own line", 0, "A: 1", "Cookie: x=1", false, true,
                 "A: 1\r\nCookie: x=1",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "A: 1\r\nCookie: x=1\r\n"},
        SentCase{"empty cookie text adds no line", 0, "A: 1", "", false, true, "A: 1",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\nA: 1\r\n"},
        SentCase{"agent from the block's own line", 0, "user-agent: Test/1\r\nx-requested-with: y",
                 std::nullopt, false, true, "User-Agent: Test/1\r\nX-Requested-With: y",
                 "User-Agent: Test/1\r\nX-Requested-With: y\r\n"},
        SentCase{"agent found inside a value", 0, "X-Note: User-Agent: Bot/2", std::nullopt, false,
                 true, "X-Note: User-Agent: Bot/2",
                 "User-Agent: Bot/2\r\nX-Note: User-Agent: Bot/2\r\n"},
        SentCase{"a blank value is sent, lines without a colon are not", 0,
                 "X-Empty: \r\nnot a header\r\nB: 2\tb", std::nullopt, false, false,
                 "X-Empty: \r\nnot a header\r\nB: 2\tb",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                 "X-Empty:\r\nB: 2\tb\r\n"},
        SentCase{"a line break inside a line cannot add a header", 0, "A: 1\rEvil: 2\r\nB: 2",
                 std::nullopt, false, false, "A: 1\rEvil: 2\r\nB: 2",
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\nB: 2\r\n"}),
    [](const auto& param_info) {
      std::string name;
      for (const char* c = param_info.param.what; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

TEST(WebRequestMethod, TableNamesAndOutOfRangeNumbersMeanGet) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"}, {4, "OPTIONS"},
      {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {9, "GET"}, {-1, "GET"}};
  for (const auto& [method, name] : cases) {
    RawServer server(ok_reply);
    WebRequest request;
    request.url = server.url("/m");
    request.method = method;
    web_request(request);
    EXPECT_TRUE(server.request().starts_with(name + " /m HTTP/1.1\r\n"))
        << method << ": " << server.request();
    // Content-Type is added for POST alone, and a GET carries no body at all.
    EXPECT_EQ(contains(request.headers, "Content-Type"), method == 1) << method;
    EXPECT_EQ(contains(server.request(), "Content-Length"), name != "GET" && name != "HEAD")
        << method;
  }
}

TEST(WebRequestBody, PostTakesBodyTextAndWritesItBack) {
  RawServer server(ok_reply);
  WebRequest request;
  request.url = server.url("/post");
  request.method = 1;
  request.body_text = "a=b";
  web_request(request);
  EXPECT_EQ(text_of(request.body_bytes), "a=b");
  EXPECT_TRUE(server.request().ends_with("Content-Length: 3\r\n\r\na=b")) << server.request();
}

TEST(WebRequestBody, LargeBodyGoesOutAtOnceWithoutExpect) {
  RawServer server(ok_reply);
  WebRequest request;
  request.url = server.url("/post");
  request.method = 1;
  request.body_text = std::string(std::size_t{2} << 20, 'q');
  web_request(request);
  EXPECT_FALSE(contains(server.request(), "Expect", true));
  EXPECT_TRUE(server.request().ends_with("Content-Length: 2097152\r\n\r\n" + request.body_text));
}

TEST(WebRequestBody, GivenBytesWinOverTextAndGoOutExactly) {
  RawServer server(ok_reply);
  WebRequest request;
  request.url = server.url("/put");
  request.method = 3;
  request.body_text = "ignored";
  request.body_bytes = {'x', 0, 'y'};
  web_request(request);
  EXPECT_TRUE(server.request().ends_with("Content-Length: 3\r\n\r\nx\0y"s)) << server.request();
  EXPECT_EQ(request.body_bytes, (Bytes{'x', 0, 'y'}));
}

TEST(WebRequestBody, GetSendsNoBodyAndLeavesBodyBytesAlone) {
  RawServer server(ok_reply);
  WebRequest request;
  request.url = server.url("/get");
  request.body_text = "abc";
  web_request(request);
  EXPECT_TRUE(server.request().ends_with("zh-cn\r\n\r\n")) << server.request();
  EXPECT_TRUE(request.body_bytes.empty());
}

const std::string cookie_reply =
    "HTTP/1.1 404 Not Found\r\nSet-Cookie: a=1; Path=/\r\nset-cookie: b=2\r\n"
    "Set-Cookie:c=3\r\nSet-Cookie: d=4\r\nContent-Length: 4\r\n\r\nnope";
const std::string cookie_reply_head =
    "HTTP/1.1 404 Not Found\r\nSet-Cookie: a=1; Path=/\r\nset-cookie: b=2\r\n"
    "Set-Cookie:c=3\r\nSet-Cookie: d=4\r\nContent-Length: 4\r\n\r\n";

TEST(WebRequestResponse, BodyHeadersAndCookiesWithoutMerging) {
  RawServer server(cookie_reply);
  WebRequest request;
  request.url = server.url("/");
  EXPECT_EQ(text_of(web_request(request)), "nope");
  EXPECT_EQ(request.response_headers, cookie_reply_head);
  EXPECT_EQ(request.received_cookies, "a=1; d=4");
  EXPECT_FALSE(request.send_cookies.has_value());
}

TEST(WebRequestResponse, ReceivedCookiesMergeIntoTheSentText) {
  struct Case {
    std::string sent;
    bool auto_merge;
    std::string received;
    std::string sent_after;
  };
  for (const Case& c :
       {Case{"d=0; e=5", true, "a=1; d=4; e=5", "a=1; d=4; e=5"},
        Case{"", true, "a=1; d=4", "a=1; d=4"}, Case{"d=0; e=5", false, "a=1; d=4", "d=0; e=5"}}) {
    RawServer server(cookie_reply);
    WebRequest request;
    request.url = server.url("/");
    request.send_cookies = c.sent;
    request.auto_merge_cookies = c.auto_merge;
    web_request(request);
    EXPECT_EQ(request.received_cookies, c.received) << c.sent;
    EXPECT_EQ(request.send_cookies, c.sent_after) << c.sent;
  }
}

TEST(WebRequestResponse, LineEndsOfTheHeaderBlockBecomeCrlf) {
  RawServer server("HTTP/1.0 200 OK\nSet-Cookie: n=1\nContent-Length: 1\n\nx");
  WebRequest request;
  request.url = server.url("/");
  EXPECT_EQ(text_of(web_request(request)), "x");
  EXPECT_EQ(request.response_headers,
            "HTTP/1.0 200 OK\r\nSet-Cookie: n=1\r\nContent-Length: 1\r\n\r\n");
  EXPECT_EQ(request.received_cookies, "n=1");
}

TEST(WebRequestResponse, BodyIsNeitherContentDecodedNorLeftChunked) {
  RawServer gzip("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 5\r\n\r\nnotgz");
  WebRequest first;
  first.url = gzip.url("/");
  EXPECT_EQ(text_of(web_request(first)), "notgz");
  EXPECT_FALSE(contains(gzip.request(), "Accept-Encoding", true));

  RawServer chunked(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "3\r\nabc\r\n4\r\ndefg\r\n0\r\nX-Trailer: t\r\n\r\n");
  WebRequest second;
  second.url = chunked.url("/");
  EXPECT_EQ(text_of(web_request(second)), "abcdefg");
  EXPECT_EQ(second.response_headers, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
}

// The response header buffer holds 5000 bytes with the terminating zero.
TEST(WebRequestResponse, HeaderBlockOverTheBufferGivesSpacesAndNoCookies) {
  for (const std::size_t block_size : {4999u, 5000u, 20000u}) {
    const std::string head = "HTTP/1.1 200 OK\r\nSet-Cookie: k=1\r\nContent-Length: 4\r\nX-Pad: ";
    const std::string block = head + std::string(block_size - head.size() - 4, 'p') + "\r\n\r\n";
    RawServer server(block + "body");
    WebRequest request;
    request.url = server.url("/");
    EXPECT_EQ(text_of(web_request(request)), "body") << block_size;
    if (block_size < 5000) {
      EXPECT_EQ(request.response_headers, block);
      EXPECT_EQ(request.received_cookies, "k=1");
    } else {
      EXPECT_EQ(request.response_headers, spaces) << block_size;
      EXPECT_EQ(request.received_cookies, "") << block_size;
    }
  }
}

class CookieStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto server = std::make_unique<httplib::Server>();
    server->Get("/set", [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Set-Cookie", "s=1");
      response.set_content("set", "text/plain");
    });
    server->Get("/echo", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(request.get_header_value("Cookie"), "text/plain");
    });
    server_.emplace(std::move(server));
  }
  std::string get(const char* path, std::optional<std::string> send_cookies) {
    WebRequest request;
    request.url = "http://127.0.0.1:" + std::to_string(server_->port()) + path;
    request.send_cookies = std::move(send_cookies);
    return text_of(web_request(request));
  }

  std::optional<HttpServer> server_;
};

TEST_F(CookieStoreTest, WithoutCookieTextTheProcessStoreKeepsAndSendsCookies) {
  EXPECT_EQ(get("/set", std::nullopt), "set");
  EXPECT_EQ(get("/echo", std::nullopt), "s=1");
  // A given cookie text, even empty, keeps the store out of the request.
  EXPECT_EQ(get("/echo", ""), "");
  EXPECT_EQ(get("/echo", "own=2"), "own=2");
}

TEST_F(CookieStoreTest, WithCookieTextResponseCookiesAreNotStored) {
  EXPECT_EQ(get("/set", ""), "set");
  EXPECT_EQ(get("/echo", std::nullopt), "");
}

class RedirectTest : public ::testing::Test {
 protected:
  RedirectTest() {
    auto server = std::make_unique<httplib::Server>();
    server->Get("/start", [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Set-Cookie", "r=1");
      response.set_redirect("/final");
      response.set_content("moved", "text/plain");
    });
    server->Get("/final", [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Set-Cookie", "f=2");
      response.set_content("final", "text/plain");
    });
    server->Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/loop");
    });
    server->Get("/to-secure", [this](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(secure_root_ + "/secure");
    });
    plain_.emplace(std::move(server));
  }

  std::string url(const char* path) const {
    return "http://127.0.0.1:" + std::to_string(plain_->port()) + path;
  }

  std::string secure_root_;  // set before a request follows /to-secure
  std::optional<HttpServer> plain_;
};

TEST_F(RedirectTest, FollowedRedirectGivesTheFinalResponse) {
  WebRequest request;
  request.url = url("/start");
  request.send_cookies = "";
  EXPECT_EQ(text_of(web_request(request)), "final");
  EXPECT_TRUE(request.response_headers.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(request.received_cookies, "f=2");
}

TEST_F(RedirectTest, NoRedirectGivesTheRedirectItself) {
  WebRequest request;
  request.url = url("/start");
  request.send_cookies = "";
  request.no_redirect = true;
  EXPECT_EQ(text_of(web_request(request)), "moved");
  EXPECT_TRUE(request.response_headers.starts_with("HTTP/1.1 302 Found\r\n"));
  EXPECT_EQ(request.received_cookies, "r=1");
}

TEST_F(RedirectTest, LoopEndsWithEmptyResult) {
  WebRequest request;
  request.url = url("/loop");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(web_request(request).empty());
  EXPECT_EQ(request.response_headers, spaces);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(RedirectTest, RedirectsCrossBetweenPlainAndSecure) {
  auto tls = test::make_tls_server(TestCertificates::server(), TestCertificates::server_key());
  const std::string back = url("/final");
  tls->Get("/to-plain", [back](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(back);
  });
  tls->Get("/secure", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("secure", "text/plain");
  });
  HttpServer secure(std::move(tls));
  secure_root_ = "https://127.0.0.1:" + std::to_string(secure.port());

  WebRequest up;
  up.url = url("/to-secure");
  EXPECT_EQ(text_of(web_request(up)), "secure");
  WebRequest down;
  down.url = secure_root_ + "/to-plain";
  EXPECT_EQ(text_of(web_request(down)), "final");
}

class SecureTest : public ::testing::Test {
 protected:
  std::atomic<int> handled_{0};
};

TEST_F(SecureTest, TrustedServerAnswersWhateverTheSchemeCase) {
  auto tls = test::make_tls_server(TestCertificates::server(), TestCertificates::server_key());
  tls->Get("/s", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("secret", "text/plain");
  });
  HttpServer running(std::move(tls));
  for (const char* scheme : {"https://", "HTTPS://", "Https://"}) {
    WebRequest request;
    request.url = scheme + std::string("127.0.0.1:") + std::to_string(running.port()) + "/s";
    EXPECT_EQ(text_of(web_request(request)), "secret") << scheme;
  }
}

TEST_F(SecureTest, UntrustedServerGetsNoRequest) {
  for (const auto& [certificate, key] :
       {std::pair{TestCertificates::stranger(), TestCertificates::stranger_key()},
        std::pair{TestCertificates::other_name(), TestCertificates::other_name_key()}}) {
    auto tls = test::make_tls_server(certificate, key);
    tls->Get("/s", [this](const httplib::Request&, httplib::Response& response) {
      ++handled_;
      response.set_content("secret", "text/plain");
    });
    HttpServer running(std::move(tls));
    WebRequest request;
    request.url = "https://127.0.0.1:" + std::to_string(running.port()) + "/s";
    request.send_cookies = "a=1";
    EXPECT_TRUE(web_request(request).empty()) << certificate;
    EXPECT_EQ(request.response_headers, spaces);
    EXPECT_EQ(request.received_cookies, "a=1");
  }
  EXPECT_EQ(handled_, 0);
}

TEST(WebRequestProxy, PlainRequestGoesThroughTheProxy) {
  RawServer proxy("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nvia proxy");
  ClosedPort target;
  WebRequest request;
  request.url = "http://127.0.0.1:" + std::to_string(target.port()) + "/p";
  request.proxy = "127.0.0.1:" + std::to_string(proxy.port());
  EXPECT_EQ(text_of(web_request(request)), "via proxy");
  EXPECT_TRUE(proxy.request().starts_with("GET " + request.url + " HTTP/1.1\r\n"))
      << proxy.request();
}

TEST(WebRequestProxy, SecureRequestTunnelsThroughTheProxy) {
  RawServer proxy("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
  ClosedPort target;
  const std::string target_address = "127.0.0.1:" + std::to_string(target.port());
  WebRequest request;
  request.url = "https://" + target_address + "/p";
  request.proxy = "127.0.0.1:" + std::to_string(proxy.port());
  EXPECT_TRUE(web_request(request).empty());
  EXPECT_TRUE(proxy.request().starts_with("CONNECT " + target_address + " HTTP/1.1\r\n"))
      << proxy.request();
  EXPECT_EQ(request.response_headers, spaces);
}

// The caller's values that a request which never got going must leave as they were.
struct Untouched {
  std::string received_cookies = "received before";
  std::string response_headers = "headers before";
  Bytes body_bytes;
};

TEST(WebRequestFailure, HandlesThatCannotOpenLeaveTheResultsAlone) {
  ClosedPort closed;
  const std::string port = std::to_string(closed.port());
  struct Case {
    const char* what;
    std::string url;
    std::string proxy;
  };
  for (const Case& c :
       {Case{"blank proxy list: no session", "http://127.0.0.1:" + port + "/", "  "},
        Case{"host with a space: no connection", "http://bad host/x", ""},
        Case{"port beyond 65535: no connection", "http://127.0.0.1:70000/x", ""},
        Case{"empty host: no connection", "http:///x", ""},
        Case{"control byte in the path: no request", "http://127.0.0.1:" + port + "/a\tb", ""}}) {
    WebRequest request;
    request.url = c.url;
    request.proxy = c.proxy;
    request.method = 1;
    request.body_text = "abc";
    request.headers = "x-a: 1";
    request.send_cookies = "s=1";
    const Untouched before;
    request.received_cookies = before.received_cookies;
    request.response_headers = before.response_headers;

    EXPECT_TRUE(web_request(request).empty()) << c.what;
    EXPECT_EQ(request.headers, "X-A: 1") << c.what;
    EXPECT_EQ(request.received_cookies, before.received_cookies) << c.what;
    EXPECT_EQ(request.response_headers, before.response_headers) << c.what;
    EXPECT_EQ(request.body_bytes, before.body_bytes) << c.what;
    EXPECT_EQ(request.send_cookies, "s=1") << c.what;
  }
}

TEST(WebRequestFailure, UnreachableServerGivesSpacesAndStillMerges) {
  ClosedPort closed;
  WebRequest request;
  request.url = "http://127.0.0.1:" + std::to_string(closed.port()) + "/";
  EXPECT_TRUE(web_request(request).empty());
  EXPECT_EQ(request.response_headers, spaces);
  EXPECT_EQ(request.received_cookies, "");
  EXPECT_TRUE(request.headers.starts_with("Accept: */*\r\nReferer: "));

  request.send_cookies = "a=1;";
  request.headers.clear();
  web_request(request);
  EXPECT_EQ(request.received_cookies, "a=1");
  EXPECT_EQ(request.send_cookies, "a=1");
}

TEST(WebRequestHostile, ReplyWithoutACompleteHeadIsNoResponse) {
  for (const std::string& reply : {std::string(), std::string("hello world\r\n\r\n"),
                                   std::string("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n"),
                                   std::string("HTTP/1.1 100 Continue\r\n\r\n")}) {
    RawServer server(reply);
    WebRequest request;
    request.url = server.url("/");
    EXPECT_TRUE(web_request(request).empty()) << reply;
    EXPECT_EQ(request.response_headers, spaces) << reply;
  }
}

TEST(WebRequestHostile, ResetMidBodyKeepsTheBodySoFar) {
  const std::string part(3000, 'b');
  RawServer server(
      {RawReply{"HTTP/1.1 200 OK\r\nSet-Cookie: k=1\r\nContent-Length: 100000\r\n\r\n" + part,
                RawReply::Then::reset}});
  WebRequest request;
  request.url = server.url("/");
  EXPECT_EQ(text_of(web_request(request)), part);
  EXPECT_TRUE(request.response_headers.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(request.received_cookies, "k=1");
}

TEST(WebRequestHostile, SilentServerIsGivenUpAfterTheReceiveTimeout) {
  internet_testing::set_receive_timeout(std::chrono::seconds(2));
  const std::string part(100, 'b');
  RawServer mid_body(
      {RawReply{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + part, RawReply::Then::stall}});
  RawServer no_answer({RawReply{"", RawReply::Then::stall}});

  const auto started = std::chrono::steady_clock::now();
  WebRequest first;
  first.url = mid_body.url("/");
  EXPECT_EQ(text_of(web_request(first)), part);
  EXPECT_TRUE(first.response_headers.starts_with("HTTP/1.1 200 OK\r\n"));
  WebRequest second;
  second.url = no_answer.url("/");
  EXPECT_TRUE(web_request(second).empty());
  EXPECT_EQ(second.response_headers, spaces);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
  internet_testing::set_receive_timeout(std::chrono::seconds(30));
}

TEST(WebRequestHostile, LargeBodiesArriveWhole) {
  const std::string large(20 * 1024 * 1024, 'z');
  auto server = std::make_unique<httplib::Server>();
  server->Get("/large", [&large](const httplib::Request&, httplib::Response& response) {
    response.set_content(large, "application/octet-stream");
  });
  server->Get("/chunked", [&large](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider(
        "application/octet-stream", [&large](std::size_t offset, httplib::DataSink& sink) {
          const std::size_t size = std::min<std::size_t>(65536, large.size() - offset);
          sink.write(large.data() + offset, size);
          if (offset + size == large.size()) {
            sink.done();
          }
          return true;
        });
  });
  HttpServer running(std::move(server));
  for (const char* path : {"/large", "/chunked"}) {
    WebRequest request;
    request.url = "http://127.0.0.1:" + std::to_string(running.port()) + path;
    const Bytes body = web_request(request);
    EXPECT_EQ(body.size(), large.size()) << path;
    EXPECT_TRUE(text_of(body) == large) << path;
  }
}

}  // namespace
}  // namespace hc
