// Parses fuzzed text as a response body and reads the result by path the way the handlers do;
// checks that a parsed value serialises to JSON that parses back to the same text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/script_json.h"

namespace {

// Member names usable in a path as they are; the handlers' paths never hold anything else.
bool is_plain_name(const std::string& name) {
  if (name.empty() || name.size() > 32) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (!letter && !(i > 0 && c >= '0' && c <= '9')) {
      return false;
    }
  }
  return true;
}

bool is_index(const std::string& name) {
  return !name.empty() && name.size() < 6 &&
         name.find_first_not_of("0123456789") == std::string::npos;
}

void read_paths(hc::ScriptJson& json, const std::vector<std::string>& paths) {
  for (const auto& path : paths) {
    (void)json.get_text(path);
    (void)json.count(path);
    (void)json.type_of(path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  hc::ScriptJson json;
  const bool parsed = json.parse(text);
  read_paths(json, {"", "[0]", "[0].name", "[0].artists[0].name", "hotComments[0].user.nickname",
                    "hotComments[0].time", "comments"});

  std::vector<std::string> keys;
  json.list_keys(keys);
  std::vector<std::string> paths;
  for (const auto& key : keys) {
    if (is_plain_name(key)) {
      paths.push_back(key);
      paths.push_back(key + "[0]");
    } else if (is_index(key)) {
      paths.push_back("[" + key + "]");
    }
    if (paths.size() > 8) {
      break;
    }
  }
  read_paths(json, paths);

  if (parsed) {
    const std::string serialised = json.to_json();
    hc::ScriptJson again;
    if (!again.parse(serialised) || again.to_json() != serialised) {
      std::abort();
    }
  }
  return 0;
}
