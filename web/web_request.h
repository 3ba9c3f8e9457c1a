#pragma once

#include <optional>
#include <string>

#include "text/bytes.h"

namespace hc {

inline constexpr const char* DEFAULT_USER_AGENT =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// One HTTP or HTTPS request: what the caller gives, and the fields the call writes back.
struct WebRequest {
  std::string url;  // absolute, "http://" or "https://"
  // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; others mean GET.
  int method = 0;
  std::string body_text;  // sent when body_bytes is empty and the method is not GET
  // Cookie text to send. Given at all (even empty), it keeps the process cookie store out of
  // the request and receives the merged cookies when merging runs.
  std::optional<std::string> send_cookies;
  std::string received_cookies;  // out: name=value pairs the response set, joined by "; "
  std::string headers;           // in and out: the request header block, then the block as sent
  std::string response_headers;  // out: the raw response header block
  bool no_redirect = false;
  Bytes body_bytes;   // in and out: the body; filled from body_text when empty
  std::string proxy;  // "HOST:PORT", or empty for a direct connection
  bool auto_merge_cookies = true;
  bool add_default_headers = true;
  bool normalize_headers = true;
};

// Sends the request synchronously and returns the whole response body, whatever its status;
// empty bytes when the request could not be made. Certificates are always verified.
Bytes web_request(WebRequest& request);

}  // namespace hc
