#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hc {

// A URL taken apart by plain text searches, not by a URL grammar: odd URLs give whatever these
// rules give.

// The host, lower-cased: the text after "https://" or "http://" (a URL without a scheme is
// taken as plain) up to the next "/"; without its ":port" unless keep_port.
std::string url_host(std::string_view url, bool keep_port = false);

// The digits after the host's last ":" (0 when there are none); without a port 443 for a URL
// beginning with "https", 80 otherwise.
std::int64_t url_port(std::string_view url);

// Everything from the first "/" after the host, query included and case kept; "/" when there
// is none.
std::string url_path(std::string_view url);

}  // namespace hc
