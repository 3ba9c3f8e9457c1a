#include "web/response_collector.h"

#include <string_view>

#include "text/rules.h"
#include "web/curl_easy.h"

namespace hc {
namespace {

// Far beyond any block a caller can take; stops a hostile server from filling memory.
constexpr std::size_t header_block_limit = 64 * 1024;

std::string_view without_line_end(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

// The three-digit code of a status line such as "HTTP/1.1 302 Found", or 0.
int status_code(std::string_view status_line) {
  const auto space = status_line.find(' ');
  if (space == std::string_view::npos || status_line.size() < space + 4) {
    return 0;
  }
  int code = 0;
  for (char digit : status_line.substr(space + 1, 3)) {
    if (digit < '0' || digit > '9') {
      return 0;
    }
    code = code * 10 + (digit - '0');
  }
  return code;
}

}  // namespace

void ResponseCollector::attach(CURL* handle, bool follows_redirects) {
  handle_ = handle;
  follows_redirects_ = follows_redirects;
  idle_limit_ = receive_timeout();
  last_activity_ = Clock::now();
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &ResponseCollector::on_progress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &ResponseCollector::on_header);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &ResponseCollector::on_body);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
  // Responses of a proxy's CONNECT are the tunnel's business, not the caller's.
  curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
}

void ResponseCollector::finish() {
  if (!final_headers_complete_) {
    header_block_.clear();
    body_.clear();
  }
}

std::optional<std::string> ResponseCollector::header_block(std::size_t buffer_size) const {
  if (!final_headers_complete_ || header_block_too_long_ ||
      header_block_.size() + 1 > buffer_size) {
    return std::nullopt;
  }
  return header_block_;
}

std::size_t ResponseCollector::on_header(char* data, std::size_t size, std::size_t count,
                                         void* self) {
  auto* collector = static_cast<ResponseCollector*>(self);
  collector->last_activity_ = Clock::now();
  collector->add_header_line(std::string_view(data, size * count));
  return size * count;
}

std::size_t ResponseCollector::on_body(char* data, std::size_t size, std::size_t count,
                                       void* self) {
  auto* collector = static_cast<ResponseCollector*>(self);
  collector->last_activity_ = Clock::now();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  collector->body_.insert(collector->body_.end(), bytes, bytes + size * count);
  return size * count;
}

int ResponseCollector::on_progress(void* self, curl_off_t, curl_off_t received, curl_off_t,
                                   curl_off_t sent) {
  auto* collector = static_cast<ResponseCollector*>(self);
  const auto now = Clock::now();
  curl_off_t connected_at = 0;
  curl_easy_getinfo(collector->handle_, CURLINFO_CONNECT_TIME_T, &connected_at);
  // Connecting has a time-out of its own; the silence is counted from the connection on.
  if (connected_at == 0 || received != collector->received_ || sent != collector->sent_) {
    collector->received_ = received;
    collector->sent_ = sent;
    collector->last_activity_ = now;
    return 0;
  }
  return now - collector->last_activity_ > collector->idle_limit_ ? 1 : 0;
}

void ResponseCollector::add_header_line(std::string_view raw_line) {
  const std::string_view line = without_line_end(raw_line);
  if (awaiting_status_line_) {
    // Anything else here is a trailer after a chunked body, which the block does not hold.
    if (line.starts_with("HTTP/")) {
      start_response();
      header_block_.append(line).append("\r\n");
    }
    return;
  }
  if (line.empty()) {
    end_of_headers();
    return;
  }
  if (starts_with_ignore_case(line, "Location:")) {
    has_location_ = true;
  }
  if (header_block_.size() + line.size() > header_block_limit) {
    header_block_too_long_ = true;
    return;
  }
  header_block_.append(line).append("\r\n");
}

void ResponseCollector::start_response() {
  awaiting_status_line_ = false;
  has_location_ = false;
  final_headers_complete_ = false;
  header_block_too_long_ = false;
  header_block_.clear();
  body_.clear();
}

void ResponseCollector::end_of_headers() {
  header_block_.append("\r\n");
  awaiting_status_line_ = true;
  const int code = status_code(header_block_);
  const bool interim = code < 200;
  const bool redirect_to_follow = follows_redirects_ && has_location_ && code >= 300 && code < 400;
  final_headers_complete_ = !interim && !redirect_to_follow;
}

}  // namespace hc
