// Takes fuzzed URLs and header blocks apart and checks what every result must hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/find.h"
#include "text/rules.h"
#include "web/headers.h"
#include "web/url.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void check_url(std::string_view url) {
  const std::string host = hc::url_host(url, false);
  const std::string host_with_port = hc::url_host(url, true);
  check(host_with_port.starts_with(host));
  check(!hc::contains(host, ":"));
  check(host == hc::to_lower_ascii(host));
  check(hc::url_port(url) >= 0);
  const std::string path = hc::url_path(url);
  check(path.starts_with('/'));
  check(path == "/" || url.ends_with(path));
}

void check_block(std::string_view block) {
  const std::string normalized = hc::normalize_header_names(block);
  check(normalized.size() <= block.size());
  check(hc::normalize_header_names(normalized) == normalized);
  for (const std::string& line : hc::split(normalized, "\r\n")) {
    check(hc::contains(line, ":"));
  }
  // Only letters change case: the block lower-cased is the same before and after, bar lines
  // that were dropped.
  check(hc::to_lower_ascii(normalized) ==
        hc::to_lower_ascii(hc::normalize_header_names(hc::to_lower_ascii(block))));
  const std::string value = hc::value_after_colon(block);
  check(value.size() < block.size() || block.empty());
  check(hc::trim_blanks(value) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check_url(input);
  check_block(input);
  return 0;
}
