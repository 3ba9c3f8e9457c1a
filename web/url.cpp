#include "web/url.h"

#include <algorithm>
#include <limits>

#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"

namespace hc {
namespace {

// The decimal digits at the start of the text, 0 when there are none; a number too large for
// any port stops growing rather than overflowing.
std::int64_t leading_number(std::string_view text) {
  constexpr std::int64_t ceiling = std::numeric_limits<std::int32_t>::max();
  std::int64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      break;
    }
    number = std::min(ceiling, number * 10 + (c - '0'));
  }
  return number;
}

}  // namespace

std::string url_host(std::string_view url, bool keep_port) {
  std::string lowered = to_lower_ascii(url);
  if (!lowered.ends_with('/')) {
    lowered += '/';
  }
  std::string host;
  if (lowered.starts_with("https://")) {
    host = text_between(lowered, "https://", "/");
  } else {
    if (!contains(lowered, "http://")) {
      lowered.insert(0, "http://");
    }
    host = text_between(lowered, "http://", "/");
  }
  if (!keep_port && contains(host, ":")) {
    host = text_before(host, ":");
  }
  return host;
}

std::int64_t url_port(std::string_view url) {
  const std::string host = url_host(url, true);
  const Position colon = reverse_find(host, ":");
  if (colon != not_found) {
    return leading_number(std::string_view(host).substr(static_cast<std::size_t>(colon)));
  }
  return to_lower_ascii(url).starts_with("https") ? 443 : 80;
}

std::string url_path(std::string_view url) {
  const std::string host = url_host(url, false);
  const Position host_position = find(url, host, 1, true);
  const Position slash = find(url, "/", host_position);
  if (slash == not_found) {
    return "/";
  }
  return std::string(url.substr(static_cast<std::size_t>(slash - 1)));
}

}  // namespace hc
