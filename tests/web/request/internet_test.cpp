#include "web/internet.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/web/request/test_servers.h"

namespace hc {
namespace {

using test::ClosedPort;
using test::HttpServer;
using test::RawServer;
using test::TestCertificates;

const std::string ok_reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

std::optional<InternetRequest> open_request(const std::string& agent, ProxyAccess access,
                                            const std::string& proxies, const std::string& host,
                                            int port, std::string_view path, std::uint32_t flags) {
  const auto session = InternetSession::open(agent, access, proxies, "");
  if (!session) {
    return std::nullopt;
  }
  const auto connection = InternetConnection::open(*session, host, port);
  if (!connection) {
    return std::nullopt;
  }
  return InternetRequest::open(*connection, "GET", path, "HTTP/1.1", flags);
}

TEST(InternetSession, ProxyListChoosesAProxyPerScheme) {
  struct Case {
    const char* list;
    bool plain_via_proxy;
    bool secure_via_proxy;
  };
  // @ stands for the proxy looked for, Q for another one.
  for (const Case& c :
       {Case{"http=@", true, false}, Case{"https=@", false, true}, Case{"@", true, true},
        Case{"HTTP=@", true, false}, Case{"ftp=@", false, false},
        Case{"https=Q http=@", true, false}, Case{"http=Q;@", false, true}}) {
    std::string list = c.list;
    list.replace(list.find('@'), 1, "127.0.0.1:1");
    const auto session = InternetSession::open("agent", ProxyAccess::proxy, list);
    ASSERT_TRUE(session) << c.list;
    EXPECT_EQ(session->proxy_for("http") == "http://127.0.0.1:1", c.plain_via_proxy) << c.list;
    EXPECT_EQ(session->proxy_for("https") == "http://127.0.0.1:1", c.secure_via_proxy) << c.list;
  }
  EXPECT_FALSE(InternetSession::open("agent", ProxyAccess::proxy, ""));
  EXPECT_FALSE(InternetSession::open("agent", ProxyAccess::proxy, " ; http="));
  EXPECT_FALSE(InternetSession::open("agent", ProxyAccess::direct)->proxy_for("http"));
}

TEST(InternetSession, RequestsGoThroughTheProxyOnlyForItsScheme) {
  RawServer proxy(ok_reply);
  ClosedPort target;
  const std::string list = "http=127.0.0.1:" + std::to_string(proxy.port());
  auto secure = open_request("a", ProxyAccess::proxy, list, "127.0.0.1", target.port(), "/s",
                             request_flags::secure);
  ASSERT_TRUE(secure);
  EXPECT_FALSE(secure->send("", {}));
  EXPECT_TRUE(proxy.requests().empty());

  auto plain = open_request("a", ProxyAccess::proxy, list, "127.0.0.1", target.port(), "/p", 0);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->send("", {}));
  EXPECT_EQ(proxy.requests().size(), 1u);
}

TEST(InternetConnection, HostAndPortAreChecked) {
  const auto session = InternetSession::open("agent", ProxyAccess::direct);
  ASSERT_TRUE(session);
  for (const auto& [host, port, opens] :
       {std::tuple{"example.com", 0, true}, std::tuple{"a-b_c.9", 65535, true},
        std::tuple{"", 80, false}, std::tuple{"a b", 80, false}, std::tuple{"a@b", 80, false},
        std::tuple{"a?b", 80, false}, std::tuple{"\xC4\xE3", 80, false},
        std::tuple{"example.com", 65536, false}, std::tuple{"example.com", -1, false}}) {
    EXPECT_EQ(InternetConnection::open(*session, host, port).has_value(), opens) << host << port;
  }
}

TEST(InternetRequest, MethodPathAndVersionAreChecked) {
  const auto session = InternetSession::open("agent", ProxyAccess::direct);
  const auto connection = InternetConnection::open(*session, "127.0.0.1", 1);
  ASSERT_TRUE(connection);
  struct Case {
    std::string_view method, path, version;
    bool opens;
  };
  for (const Case& c :
       {Case{"GET", "/", "HTTP/1.1", true}, Case{"PATCH", "/a?b#c", "", true},
        Case{"GET", "/", "HTTP/1.0", true}, Case{"", "/", "HTTP/1.1", false},
        Case{"G T", "/", "HTTP/1.1", false}, Case{"GET", "a", "HTTP/1.1", false},
        Case{"GET", "", "HTTP/1.1", false}, Case{"GET", "/a\r\nX: 1", "HTTP/1.1", false},
        Case{"GET", "/", "HTTP/2", false}}) {
    EXPECT_EQ(InternetRequest::open(*connection, c.method, c.path, c.version, 0).has_value(),
              c.opens)
        << c.method << " " << c.path << " " << c.version;
  }
}

TEST(InternetRequest, PathGoesOutWithSpacesAndHighBytesEncoded) {
  RawServer server(ok_reply);
  auto request = open_request("a", ProxyAccess::direct, "", "127.0.0.1", server.port(),
                              "/a b/\xC4\xE3?x=%41 1#frag", 0);
  ASSERT_TRUE(request);
  request->send("", {});
  EXPECT_TRUE(server.request().starts_with("GET /a%20b/%C4%E3?x=%41%201 HTTP/1.1\r\n"))
      << server.request();
}

TEST(InternetRequest, AgentCannotBreakTheRequestLines) {
  RawServer server(ok_reply);
  auto request =
      open_request("A/1\r\nEvil: 1", ProxyAccess::direct, "", "127.0.0.1", server.port(), "/", 0);
  ASSERT_TRUE(request);
  request->send("", {});
  EXPECT_EQ(server.request(), "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                                  "\r\nUser-Agent: A/1\r\n\r\n");
}

TEST(InternetRequest, BodyIsReadInChunksToTheEnd) {
  std::string body;
  for (int i = 0; i < 3000; ++i) {
    body += static_cast<char>('a' + i % 26);
  }
  RawServer server("HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + body);
  auto request = open_request("a", ProxyAccess::direct, "", "127.0.0.1", server.port(), "/", 0);
  ASSERT_TRUE(request);
  ASSERT_TRUE(request->send("", {}));
  std::string read;
  std::array<std::uint8_t, 1024> chunk{};
  std::vector<std::size_t> counts;
  for (std::size_t count = request->read(chunk); count > 0; count = request->read(chunk)) {
    counts.push_back(count);
    read.append(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count));
  }
  EXPECT_EQ(read, body);
  EXPECT_EQ(counts, (std::vector<std::size_t>{1024, 1024, 952}));
  EXPECT_EQ(request->read(chunk), 0u);
}

TEST(InternetRequest, CertificateChecksCannotBeSwitchedOff) {
  auto tls = test::make_tls_server(TestCertificates::stranger(), TestCertificates::stranger_key());
  bool handled = false;
  tls->Get("/", [&handled](const httplib::Request&, httplib::Response& response) {
    handled = true;
    response.set_content("x", "text/plain");
  });
  HttpServer server(std::move(tls));
  auto request = open_request("a", ProxyAccess::direct, "", "127.0.0.1", server.port(), "/",
                              request_flags::secure);
  ASSERT_TRUE(request);
  EXPECT_FALSE(request->set_security_flags(0x0001F380));
  EXPECT_FALSE(request->set_security_flags(security_flags::certificate_checks));
  EXPECT_FALSE(request->send("", {}));
  EXPECT_FALSE(request->raw_headers(5000));
  EXPECT_FALSE(handled);
}

// Following a redirect to the other scheme takes the flag that allows it.
TEST(InternetRequest, RedirectsAcrossSchemesNeedTheirFlag) {
  auto tls = test::make_tls_server(TestCertificates::server(), TestCertificates::server_key());
  auto plain = std::make_unique<httplib::Server>();
  tls->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("secure", "text/plain");
  });
  plain->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("plain", "text/plain");
  });
  HttpServer secure_server(std::move(tls));
  HttpServer plain_server(std::move(plain));
  const std::string to_secure = "https://127.0.0.1:" + std::to_string(secure_server.port()) + "/";
  const std::string to_plain = "http://127.0.0.1:" + std::to_string(plain_server.port()) + "/";
  auto redirector = std::make_unique<httplib::Server>();
  redirector->Get("/up", [&](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(to_secure);
  });
  auto secure_redirector =
      test::make_tls_server(TestCertificates::server(), TestCertificates::server_key());
  secure_redirector->Get("/down", [&](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(to_plain);
  });
  HttpServer up(std::move(redirector));
  HttpServer down(std::move(secure_redirector));

  struct Case {
    int port;
    const char* path;
    std::uint32_t flags;
    std::uint32_t security;
    const char* body;  // nullptr: no response
  };
  for (const Case& c :
       {Case{up.port(), "/up", 0, 0, nullptr},
        Case{up.port(), "/up", request_flags::ignore_redirect_to_https, 0, "secure"},
        Case{up.port(), "/up", 0, security_flags::ignore_redirect_to_https, "secure"},
        Case{down.port(), "/down", request_flags::secure, 0, nullptr},
        Case{down.port(), "/down", request_flags::secure, security_flags::ignore_redirect_to_http,
             "plain"}}) {
    auto request = open_request("a", ProxyAccess::direct, "", "127.0.0.1", c.port, c.path, c.flags);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->set_security_flags(c.security));
    EXPECT_EQ(request->send("", {}), c.body != nullptr) << c.path << " " << c.flags;
    std::array<std::uint8_t, 64> chunk{};
    const std::size_t count = request->read(chunk);
    EXPECT_EQ(std::string(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count)),
              c.body == nullptr ? "" : c.body);
  }
}

}  // namespace
}  // namespace hc
