#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/bytes.h"

namespace hc {

// Re-encodes bytes from one charset into another. The content passes through GBK text on the
// way, so a character GBK lacks comes out as "?" whatever the target charset is; bytes that
// are not valid in the source charset come out as "?" as well.
//
// An empty from_charset becomes "UTF-8" and an empty to_charset "GBK", and the default is
// written back into the caller's variable. When skip_bytes is given (0 included) that many
// bytes are left out at the start of the result; a negative count skips nothing. A charset
// name the converter does not know gives empty bytes, as does empty data.
Bytes convert_charset(const Bytes& data, std::string& from_charset, std::string& to_charset,
                      std::optional<std::int64_t> skip_bytes = std::nullopt);

// UTF-8 to GBK, the conversion every response body goes through.
Bytes convert_charset(const Bytes& data);

}  // namespace hc
