// Collects the cookies of a fuzzed response header block and merges them into a fuzzed cookie
// text (the two are split at the first zero byte), checking what every merge must hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "text/rules.h"
#include "web/cookies.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string_view block = input.substr(0, zero);
  std::string old_cookies(zero == std::string_view::npos ? std::string_view()
                                                         : input.substr(zero + 1));

  const std::string received = hc::collect_set_cookies(block);
  check(received.size() <= block.size());

  const std::string merged = hc::merge_cookie_text(old_cookies, received);
  check(merged == old_cookies);
  std::set<std::string> items;
  for (const std::string& item : hc::split(merged, "; ")) {
    check(!item.ends_with("=deleted"));
    check(items.insert(item).second);
  }
  return 0;
}
