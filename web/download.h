#pragma once

#include <string_view>

#include "text/bytes.h"

namespace hc {

// A plain HTTP/1.0 GET of an http or https URL, redirects followed (to http or https only),
// straight to the server without cookies. Returns the whole body whatever the status; empty
// bytes for an empty or unusable URL, another scheme, or a transfer that failed.
Bytes download_bytes(std::string_view url);

}  // namespace hc
