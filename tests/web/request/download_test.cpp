#include "web/download.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/web/request/test_servers.h"
#include "text/find.h"
#include "web/web_request.h"

namespace hc {
namespace {

using test::HttpServer;
using test::RawReply;
using test::RawServer;
using test::TestCertificates;

std::string text_of(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(DownloadBytes, PlainHttp10GetWithItsOwnAgent) {
  RawServer server(
      "HTTP/1.0 404 Not Found\r\nSet-Cookie: d=1\r\nContent-Length: 9\r\n\r\nnot found");
  EXPECT_EQ(text_of(download_bytes(server.url("/a/b.png?s=1"))), "not found");
  EXPECT_EQ(server.request(),
            "GET /a/b.png?s=1 HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows "
                "NT 5.0)\r\nAccept: */*\r\n\r\n");
}

TEST(DownloadBytes, NoCookiesOfOursGoOutOrAreKept) {
  RawServer server("HTTP/1.1 200 OK\r\nSet-Cookie: d=1\r\nContent-Length: 1\r\n\r\nx");
  // A cookie in the process store for this host, put there by a request without cookie text.
  WebRequest seeding;
  seeding.url = server.url("/seed");
  web_request(seeding);
  download_bytes(server.url("/1"));
  download_bytes(server.url("/2"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(contains(requests[0], "GET /seed"));
  EXPECT_FALSE(contains(requests[1], "Cookie", true)) << requests[1];
  EXPECT_FALSE(contains(requests[2], "Cookie", true)) << requests[2];
}

TEST(DownloadBytes, FollowsRedirectsBetweenHttpAndHttps) {
  auto tls = test::make_tls_server(TestCertificates::server(), TestCertificates::server_key());
  tls->Get("/avatar", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("picture", "image/png");
  });
  HttpServer secure(std::move(tls));
  const std::string target = "https://127.0.0.1:" + std::to_string(secure.port()) + "/avatar";
  auto plain = std::make_unique<httplib::Server>();
  plain->Get("/moved", [&target](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(target);
  });
  plain->Get("/to-file", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("file:///etc/hostname");
  });
  HttpServer running(std::move(plain));
  const std::string root = "http://127.0.0.1:" + std::to_string(running.port());
  EXPECT_EQ(text_of(download_bytes(target)), "picture");
  EXPECT_EQ(text_of(download_bytes(root + "/moved")), "picture");
  EXPECT_TRUE(download_bytes(root + "/to-file").empty());
}

TEST(DownloadBytes, EmptyBytesForWhatCannotBeFetched) {
  RawServer other_scheme("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx");
  auto stranger =
      test::make_tls_server(TestCertificates::stranger(), TestCertificates::stranger_key());
  stranger->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("x", "text/plain");
  });
  HttpServer untrusted(std::move(stranger));
  RawServer resetting(
      {RawReply{"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(1000, 'p'),
                RawReply::Then::reset}});
  const std::string other_port = std::to_string(other_scheme.port());
  for (const std::string& url :
       {std::string(), std::string("not a url"), std::string("http://"),
        std::string("file:///etc/hostname"), "ftp://127.0.0.1:" + other_port + "/x",
        "gopher://127.0.0.1:" + other_port + "/x",
        "https://127.0.0.1:" + std::to_string(untrusted.port()) + "/", resetting.url("/cut")}) {
    EXPECT_TRUE(download_bytes(url).empty()) << url;
  }
  EXPECT_TRUE(other_scheme.requests().empty());
}

}  // namespace
}  // namespace hc
