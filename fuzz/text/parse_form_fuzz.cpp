// Reads fuzzed form text into a KeyValueList and renders it every way the list can.

#include <cstdlib>
#include <string>
#include <vector>

#include "web/key_value_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const bool to_utf8 = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  hc::KeyValueList list;
  list.parse_form(text, to_utf8);
  std::vector<std::string> names;
  std::vector<std::string> values;
  if (list.copy_names(names).size() != list.copy_values(values).size()) {
    std::abort();
  }
  // Without conversion no pair can hold more than the text it came from.
  if (!to_utf8 && list.to_form().size() > text.size() + list.size()) {
    std::abort();
  }
  (void)list.to_form(true);
  (void)list.to_headers(false);
  (void)list.to_headers(true);
  (void)list.to_json();
  if (!names.empty()) {
    list.set(names.back(), text);
    list.remove(names.front());
  }
  return 0;
}
