#include "web/internet.h"

#include <algorithm>
#include <array>

#include "text/rules.h"

namespace hc {
namespace {

constexpr long max_redirects = 30;

bool is_control(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool has_control(std::string_view text) {
  return std::ranges::any_of(text, is_control);
}

// A byte that would end a line of the request (or the text, for libcurl).
bool breaks_line(char c) {
  return c == '\r' || c == '\n' || c == '\0';
}

bool is_host_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

bool is_token_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// The words of a list separated by spaces or semicolons.
std::vector<std::string> list_words(std::string_view list) {
  std::vector<std::string> words;
  std::string word;
  for (char c : list) {
    if (c == ' ' || c == ';') {
      if (!word.empty()) {
        words.push_back(std::move(word));
        word.clear();
      }
    } else {
      word += c;
    }
  }
  if (!word.empty()) {
    words.push_back(std::move(word));
  }
  return words;
}

// Spaces and bytes beyond ASCII percent-encoded, the rest as written.
std::string encode_target(std::string_view path) {
  static constexpr std::string_view hex = "0123456789ABCDEF";
  std::string target;
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == ' ' || byte >= 0x80) {
      target += '%';
      target += hex[byte >> 4];
      target += hex[byte & 0x0F];
    } else {
      target += c;
    }
  }
  return target;
}

std::string_view trim_spaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// Header lines for libcurl, and which of the names it would otherwise add itself are present.
struct HeaderLines {
  std::vector<std::string> lines;
  bool has_user_agent = false;
  bool has_accept = false;
  bool has_content_type = false;
  bool has_expect = false;
};

// Splits the block into lines; a line that cannot be a header (no colon, no name, a stray
// carriage return or zero byte) is left out so nothing can be smuggled into the request.
HeaderLines header_lines(std::string_view block) {
  HeaderLines result;
  std::size_t start = 0;
  while (start <= block.size()) {
    std::size_t end = block.find('\n', start);
    if (end == std::string_view::npos) {
      end = block.size();
    }
    std::string_view line = block.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || std::ranges::any_of(line, breaks_line)) {
      continue;
    }
    const std::string_view name = trim_spaces(line.substr(0, colon));
    if (name.empty()) {
      continue;
    }
    result.has_user_agent = result.has_user_agent || equals_ignore_case(name, "User-Agent");
    result.has_accept = result.has_accept || equals_ignore_case(name, "Accept");
    result.has_content_type = result.has_content_type || equals_ignore_case(name, "Content-Type");
    result.has_expect = result.has_expect || equals_ignore_case(name, "Expect");
    // libcurl reads "Name:" with a blank value as "drop this header"; "Name;" sends it empty.
    if (trim_spaces(line.substr(colon + 1)).empty()) {
      result.lines.push_back(std::string(line.substr(0, colon)) + ";");
    } else {
      result.lines.emplace_back(line);
    }
  }
  return result;
}

// The agent up to any line break, which must not reach the wire.
std::string safe_agent(std::string_view agent) {
  const auto end = std::ranges::find_if(agent, breaks_line);
  return std::string(agent.begin(), end);
}

// The lines libcurl sends after the Host line: the session's agent unless the block names one,
// the block's own lines, then blank lines that keep libcurl from adding lines of its own that
// the caller did not write.
std::optional<CurlList> request_lines(std::string_view header_block, std::string_view agent) {
  const HeaderLines block = header_lines(header_block);
  const std::string sendable_agent = safe_agent(agent);
  std::vector<std::string> lines;
  if (!block.has_user_agent && !sendable_agent.empty()) {
    lines.push_back("User-Agent: " + sendable_agent);
  }
  lines.insert(lines.end(), block.lines.begin(), block.lines.end());
  if (!block.has_accept) {
    lines.emplace_back("Accept:");
  }
  if (!block.has_content_type) {
    lines.emplace_back("Content-Type:");
  }
  if (!block.has_expect) {
    lines.emplace_back("Expect:");
  }
  CurlList list;
  for (const std::string& line : lines) {
    if (!append_line(list, line)) {
      return std::nullopt;
    }
  }
  return list;
}

}  // namespace

std::optional<InternetSession> InternetSession::open(std::string agent, ProxyAccess access,
                                                     std::string_view proxy_list,
                                                     std::string_view bypass_list) {
  InternetSession session;
  session.agent_ = std::move(agent);
  if (access == ProxyAccess::direct) {
    return session;
  }
  for (std::string& word : list_words(proxy_list)) {
    if (has_control(word)) {
      continue;
    }
    const auto equals = word.find('=');
    if (equals == std::string::npos) {
      session.proxies_.push_back({"", std::move(word)});
    } else if (equals + 1 < word.size()) {
      session.proxies_.push_back({to_lower_ascii(word.substr(0, equals)), word.substr(equals + 1)});
    }
  }
  if (session.proxies_.empty()) {
    return std::nullopt;
  }
  for (const std::string& word : list_words(bypass_list)) {
    if (!has_control(word) && word.find(',') == std::string::npos) {
      session.bypass_hosts_ += (session.bypass_hosts_.empty() ? "" : ",") + word;
    }
  }
  return session;
}

std::optional<std::string> InternetSession::proxy_for(std::string_view scheme) const {
  auto entry =
      std::ranges::find_if(proxies_, [&](const ProxyEntry& e) { return e.scheme == scheme; });
  if (entry == proxies_.end()) {
    entry = std::ranges::find_if(proxies_, [](const ProxyEntry& e) { return e.scheme.empty(); });
  }
  if (entry == proxies_.end()) {
    return std::nullopt;
  }
  if (entry->address.find("://") != std::string::npos) {
    return entry->address;
  }
  return "http://" + entry->address;
}

std::optional<InternetConnection> InternetConnection::open(const InternetSession& session,
                                                           std::string host, std::int64_t port) {
  if (host.empty() || !std::ranges::all_of(host, is_host_character) || port < 0 || port > 65535) {
    return std::nullopt;
  }
  return InternetConnection(session, std::move(host), static_cast<int>(port));
}

InternetRequest::InternetRequest(const InternetConnection& connection, CurlEasy handle,
                                 std::string method, std::string target, bool http_1_0,
                                 std::uint32_t flags)
    : connection_(connection),
      handle_(std::move(handle)),
      method_(std::move(method)),
      target_(std::move(target)),
      http_1_0_(http_1_0),
      flags_(flags) {}

std::optional<InternetRequest> InternetRequest::open(const InternetConnection& connection,
                                                     std::string_view method, std::string_view path,
                                                     std::string_view version,
                                                     std::uint32_t flags) {
  if (method.empty() || !std::ranges::all_of(method, is_token_character)) {
    return std::nullopt;
  }
  if (!path.starts_with('/') || has_control(path)) {
    return std::nullopt;
  }
  if (!version.empty() && version != "HTTP/1.1" && version != "HTTP/1.0") {
    return std::nullopt;
  }
  CurlEasy handle = make_curl_easy();
  if (handle == nullptr) {
    return std::nullopt;
  }
  return InternetRequest(connection, std::move(handle), std::string(method), encode_target(path),
                         version == "HTTP/1.0", flags);
}

bool InternetRequest::set_security_flags(std::uint32_t flags) {
  if ((flags & security_flags::certificate_checks) != 0) {
    return false;
  }
  security_flags_ = flags;
  return true;
}

std::string InternetRequest::url() const {
  const int port = connection_.port() != 0 ? connection_.port() : (secure() ? 443 : 80);
  return (secure() ? "https://" : "http://") + connection_.host() + ":" + std::to_string(port) +
         target_;
}

std::string InternetRequest::allowed_redirect_schemes() const {
  if (secure()) {
    return (security_flags_ & security_flags::ignore_redirect_to_http) != 0 ? "https,http"
                                                                            : "https";
  }
  const bool to_https = (flags_ & request_flags::ignore_redirect_to_https) != 0 ||
                        (security_flags_ & security_flags::ignore_redirect_to_https) != 0;
  return to_https ? "http,https" : "http";
}

void InternetRequest::set_destination() {
  CURL* handle = handle_.get();
  const std::string address = url();
  curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
  // The first URL's scheme is ours; the redirect list decides where the transfer may go next.
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  const std::string redirect_schemes = allowed_redirect_schemes();
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, redirect_schemes.c_str());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, follows_redirects() ? 1L : 0L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, max_redirects);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION,
                   http_1_0_ ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  if ((flags_ & request_flags::no_cookies) == 0) {
    use_cookie_store(handle);
  }
  const InternetSession& session = connection_.session();
  if (const auto proxy = session.proxy_for(secure() ? "https" : "http")) {
    curl_easy_setopt(handle, CURLOPT_PROXY, proxy->c_str());
    curl_easy_setopt(handle, CURLOPT_NOPROXY, session.bypass_hosts().c_str());
  }
}

void InternetRequest::set_body(std::span<const std::uint8_t> body) {
  CURL* handle = handle_.get();
  static constexpr std::array<std::uint8_t, 1> no_data{};
  if (method_ == "HEAD") {
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);  // a HEAD answer has no body to wait for
  } else if (method_ == "GET" && body.empty()) {
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  } else {
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.empty() ? no_data.data() : body.data());
    if (method_ != "POST") {
      curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, method_.c_str());
    }
  }
}

bool InternetRequest::send(std::string_view header_block, std::span<const std::uint8_t> body) {
  CURL* handle = handle_.get();
  apply_common_options(handle);
  set_destination();
  const std::optional<CurlList> lines = request_lines(header_block, connection_.session().agent());
  if (!lines) {
    return false;
  }
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, lines->get());
  set_body(body);

  response_.attach(handle, follows_redirects());
  curl_easy_perform(handle);
  response_.finish();
  read_offset_ = 0;
  return response_.has_response();
}

std::size_t InternetRequest::read(std::span<std::uint8_t> buffer) {
  const Bytes& body = response_.body();
  const std::size_t count = std::min(buffer.size(), body.size() - read_offset_);
  std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(read_offset_), count, buffer.begin());
  read_offset_ += count;
  return count;
}

std::optional<std::string> InternetRequest::raw_headers(std::size_t buffer_size) const {
  return response_.header_block(buffer_size);
}

}  // namespace hc
