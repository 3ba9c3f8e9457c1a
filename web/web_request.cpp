#include "web/web_request.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"
#include "web/cookies.h"
#include "web/headers.h"
#include "web/internet.h"
#include "web/url.h"

namespace hc {
namespace {

constexpr std::array<std::string_view, 8> MethodNames = {"GET",     "POST",   "HEAD",  "PUT",
                                                         "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int method_get = 0;
constexpr int method_post = 1;

constexpr std::size_t read_chunk_size = 1024;
constexpr std::size_t response_header_buffer_size = 5000;

int checked_method(int method) {
  return method >= 0 && method < static_cast<int>(MethodNames.size()) ? method : method_get;
}

bool is_secure(std::string_view url) {
  return to_lower_ascii(left(url, 8)) == "https://";
}

std::string agent_from(const std::string& headers) {
  if (!contains(headers, "User-Agent:", true)) {
    return DEFAULT_USER_AGENT;
  }
  std::string agent = trim_blanks(text_between(headers + "\r\n", "User-Agent:", "\r\n"));
  if (agent.empty()) {
    agent = value_after_colon(headers);
  }
  return agent;
}

std::optional<InternetSession> open_session(const WebRequest& request, const std::string& agent,
                                            bool secure) {
  if (request.proxy.empty()) {
    return InternetSession::open(agent, ProxyAccess::direct);
  }
  // A plain request names its proxy for plain requests only, as the platform reads "http=".
  const std::string proxy = secure ? request.proxy : "http=" + request.proxy;
  return InternetSession::open(agent, ProxyAccess::proxy, proxy, "");
}

std::uint32_t request_flags_for(const WebRequest& request, bool secure) {
  std::uint32_t flags = request_flags::reload | request_flags::need_file;
  if (request.send_cookies) {
    flags |= request_flags::no_cookies;
  }
  if (request.no_redirect) {
    flags |= request_flags::no_auto_redirect;
  }
  flags |= secure ? request_flags::secure : request_flags::ignore_redirect_to_https;
  return flags;
}

void add_default_headers(std::string& headers, int method, const std::string& url) {
  if (headers.empty()) {
    headers = "Accept: */*";
  }
  if (!contains(headers, "Accept:", true)) {
    headers += "\r\nAccept: */*";
  }
  if (!contains(headers, "Referer:", true)) {
    headers += "\r\nReferer: " + url;
  }
  if (!contains(headers, "Accept-Language:", true)) {
    headers += "\r\nAccept-Language: zh-cn";
  }
  if (method == method_post && !contains(headers, "Content-Type:", true)) {
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
}

void add_cookie_line(std::string& headers, const std::string& cookies) {
  if (cookies.empty()) {
    return;
  }
  // A cookie text that carries its own Cookie line goes in as it is.
  headers += contains(cookies, "Cookie:") ? "\r\n" + cookies : "\r\nCookie: " + cookies;
}

Bytes read_body(InternetRequest& request) {
  Bytes body;
  std::array<std::uint8_t, read_chunk_size> chunk{};
  for (std::size_t count = request.read(chunk); count > 0; count = request.read(chunk)) {
    body.insert(body.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return body;
}

}  // namespace

Bytes web_request(WebRequest& request) {
  if (request.normalize_headers) {
    request.headers = normalize_header_names(request.headers);
  }
  const int method = checked_method(request.method);
  const bool secure = is_secure(request.url);
  const std::string agent = agent_from(request.headers);

  const std::optional<InternetSession> session = open_session(request, agent, secure);
  if (!session) {
    return {};
  }
  const std::optional<InternetConnection> connection =
      InternetConnection::open(*session, url_host(request.url, false), url_port(request.url));
  if (!connection) {
    return {};
  }
  std::optional<InternetRequest> internet_request =
      InternetRequest::open(*connection, MethodNames[static_cast<std::size_t>(method)],
                            url_path(request.url), "HTTP/1.1", request_flags_for(request, secure));
  if (!internet_request) {
    return {};
  }
  // Certificate checks stay on; only following redirects across schemes is allowed here.
  internet_request->set_security_flags(security_flags::ignore_redirect_to_https |
                                       security_flags::ignore_redirect_to_http);

  if (request.add_default_headers) {
    add_default_headers(request.headers, method, request.url);
  }
  if (request.send_cookies) {
    add_cookie_line(request.headers, *request.send_cookies);
  }

  if (method == method_get) {
    internet_request->send(request.headers, {});
  } else {
    if (request.body_bytes.empty()) {
      request.body_bytes = bytes_from_text(request.body_text);
    }
    internet_request->send(request.headers, request.body_bytes);
  }

  Bytes body = read_body(*internet_request);
  request.response_headers = std::string(response_header_buffer_size, ' ');
  if (std::optional<std::string> raw = internet_request->raw_headers(response_header_buffer_size)) {
    request.response_headers = std::move(*raw);
  }
  internet_request.reset();

  request.received_cookies = collect_set_cookies(request.response_headers);
  if (request.auto_merge_cookies && request.send_cookies) {
    request.received_cookies = merge_cookie_text(*request.send_cookies, request.received_cookies);
  }
  return body;
}

}  // namespace hc
