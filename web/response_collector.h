#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "text/bytes.h"

namespace hc {

// Gathers one transfer's final response in memory: its raw header block (status line first,
// every line ending in CRLF, then the empty line) and its body. Interim responses and the
// responses of followed redirects are dropped as the next one begins. It also ends a connected
// transfer on which nothing has moved for receive_timeout().
class ResponseCollector {
 public:
  // Installs the callbacks; follows_redirects tells whether libcurl will follow a 3xx. The
  // collector must stay where it is until the transfer ends.
  void attach(CURL* handle, bool follows_redirects);

  // Settles the outcome once curl_easy_perform has returned. A transfer that failed before a final
  // response had all its headers counts as not sent at all: no headers, no body. One that failed
  // later keeps the body as far as it came.
  void finish();

  bool has_response() const { return final_headers_complete_; }
  const Bytes& body() const { return body_; }
  // The header block when it fits, with a terminating zero, into buffer_size bytes.
  std::optional<std::string> header_block(std::size_t buffer_size) const;

 private:
  static std::size_t on_header(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t on_body(char* data, std::size_t size, std::size_t count, void* self);
  static int on_progress(void* self, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent);
  void add_header_line(std::string_view line);
  void start_response();
  void end_of_headers();

  using Clock = std::chrono::steady_clock;

  CURL* handle_ = nullptr;
  bool follows_redirects_ = false;
  std::chrono::seconds idle_limit_{};
  Clock::time_point last_activity_{};
  curl_off_t received_ = 0;
  curl_off_t sent_ = 0;
  bool awaiting_status_line_ = true;
  bool has_location_ = false;
  bool final_headers_complete_ = false;
  bool header_block_too_long_ = false;
  std::string header_block_;
  Bytes body_;
};

}  // namespace hc
