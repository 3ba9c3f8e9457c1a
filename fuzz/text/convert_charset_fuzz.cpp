// Converts fuzzed bytes between a handful of charsets, with and without a skip.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "text/bytes.h"
#include "web/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const charsets[] = {"",           "UTF-8",   "GBK",  "UTF-16LE",
                                         "ISO-8859-1", "gb18030", "Big5", "no-such-charset"};
  FuzzedDataProvider input(data, size);
  std::string from = input.PickValueInArray(charsets);
  std::string to = input.PickValueInArray(charsets);
  std::optional<std::int64_t> skip;
  if (input.ConsumeBool()) {
    skip = input.ConsumeIntegral<std::int64_t>();
  }
  const std::string rest = input.ConsumeRemainingBytesAsString();
  const hc::Bytes bytes(rest.begin(), rest.end());

  const hc::Bytes result = hc::convert_charset(bytes, from, to, skip);
  if (from.empty() || to.empty()) {
    std::abort();  // the defaults are always written back
  }
  if (to == "GBK" && !skip && from == "GBK") {
    // GBK to GBK keeps valid text as it is and never grows it.
    if (result.size() > bytes.size()) {
      std::abort();
    }
  }
  return 0;
}
