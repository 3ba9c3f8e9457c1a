#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "web/curl_easy.h"
#include "web/response_collector.h"

namespace hc {

// A small internet client in the shape of the platform's: a session (agent and proxy), a
// connection (host and port) and a request (method, path, flags) that is sent, read in chunks
// and asked for its raw response headers. Flags keep the platform's names and values.

namespace request_flags {
inline constexpr std::uint32_t reload = 0x80000000;     // we keep no cache: always fetched
inline constexpr std::uint32_t need_file = 0x00000010;  // no effect: bodies stay in memory
inline constexpr std::uint32_t no_cookies = 0x00080000;
inline constexpr std::uint32_t no_auto_redirect = 0x00200000;
inline constexpr std::uint32_t secure = 0x00800000;
inline constexpr std::uint32_t ignore_redirect_to_https = 0x00004000;
}  // namespace request_flags

namespace security_flags {
inline constexpr std::uint32_t ignore_redirect_to_https = 0x00004000;
inline constexpr std::uint32_t ignore_redirect_to_http = 0x00008000;
// Everything that would weaken certificate checks; the layer refuses these.
inline constexpr std::uint32_t certificate_checks =
    0x00000080 | 0x00000100 | 0x00000200 | 0x00001000 | 0x00002000 | 0x00010000;
}  // namespace security_flags

enum class ProxyAccess { direct, proxy };

struct ProxyEntry {
  std::string scheme;   // "http", "https", ... or empty for every scheme
  std::string address;  // host:port, as given
};

class InternetSession {
 public:
  // A proxy list holds entries such as "HOST:PORT" (every scheme) or "http=HOST:PORT" (plain
  // requests only), separated by spaces or semicolons; the bypass list names hosts reached
  // directly. Fails for a proxy session whose list holds no entry.
  static std::optional<InternetSession> open(std::string agent, ProxyAccess access,
                                             std::string_view proxy_list = {},
                                             std::string_view bypass_list = {});

  const std::string& agent() const { return agent_; }
  // The proxy, as a URL, for requests of the scheme ("http" or "https"), if one applies.
  std::optional<std::string> proxy_for(std::string_view scheme) const;
  // The hosts reached without the proxy, separated by commas.
  const std::string& bypass_hosts() const { return bypass_hosts_; }

 private:
  std::string agent_;
  std::vector<ProxyEntry> proxies_;
  std::string bypass_hosts_;
};

class InternetConnection {
 public:
  // Nothing goes over the network yet. Fails for an empty host, one with characters that no
  // host name has, or a port above 65535; port 0 means the scheme's default.
  static std::optional<InternetConnection> open(const InternetSession& session, std::string host,
                                                std::int64_t port);

  const InternetSession& session() const { return session_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }

 private:
  InternetConnection(InternetSession session, std::string host, int port)
      : session_(std::move(session)), host_(std::move(host)), port_(port) {}

  InternetSession session_;
  std::string host_;
  int port_;
};

class InternetRequest {
 public:
  // Fails for a method that is not a token, a path that does not begin with "/" or holds
  // control characters, a version other than "HTTP/1.0" or "HTTP/1.1" (empty: 1.1).
  static std::optional<InternetRequest> open(const InternetConnection& connection,
                                             std::string_view method, std::string_view path,
                                             std::string_view version, std::uint32_t flags);

  // Only the redirect flags are taken; a value that asks to ignore certificate problems is
  // refused whole and returns false.
  bool set_security_flags(std::uint32_t flags);

  // Sends the header block (lines separated by CRLF) and the body, and receives the response.
  // The block goes out line by line as written, after the Host line; a User-Agent line with
  // the session's agent goes first when the block has none. True when a response arrived.
  bool send(std::string_view header_block, std::span<const std::uint8_t> body);

  // Copies the next part of the body into the buffer; 0 at the end.
  std::size_t read(std::span<std::uint8_t> buffer);

  // The final response's raw header block, when it fits with a terminating zero into
  // buffer_size bytes.
  std::optional<std::string> raw_headers(std::size_t buffer_size) const;

 private:
  InternetRequest(const InternetConnection& connection, CurlEasy handle, std::string method,
                  std::string target, bool http_1_0, std::uint32_t flags);
  std::string url() const;
  std::string allowed_redirect_schemes() const;
  void set_destination();
  void set_body(std::span<const std::uint8_t> body);
  bool secure() const { return (flags_ & request_flags::secure) != 0; }
  bool follows_redirects() const { return (flags_ & request_flags::no_auto_redirect) == 0; }

  InternetConnection connection_;
  CurlEasy handle_;
  std::string method_;
  std::string target_;
  bool http_1_0_;
  std::uint32_t flags_;
  std::uint32_t security_flags_ = 0;
  ResponseCollector response_;
  std::size_t read_offset_ = 0;
};

}  // namespace hc
