#include "web/key_value_list.h"

#include <algorithm>

#include "text/gbk.h"
#include "text/markers.h"
#include "text/rules.h"
#include "web/percent_encode.h"

namespace hc {

void KeyValueList::add(std::string_view name, std::string_view value, bool to_utf8) {
  names_.emplace_back(name);
  values_.push_back(to_utf8 ? gbk_to_utf8(value) : std::string(value));
}

void KeyValueList::parse_form(std::string_view text, bool to_utf8) {
  for (const std::string& piece : split(text, "&")) {
    add(text_before(piece, "="), text_after(piece, "="), to_utf8);
  }
}

std::string KeyValueList::get(std::string_view name) const {
  const auto it = std::find(names_.begin(), names_.end(), name);
  return it == names_.end() ? std::string()
                            : values_[static_cast<std::size_t>(it - names_.begin())];
}

void KeyValueList::set(std::string_view name, std::string_view value) {
  const auto it = std::find(names_.begin(), names_.end(), name);
  if (it == names_.end()) {
    add(name, value);
    return;
  }
  values_[static_cast<std::size_t>(it - names_.begin())] = value;
}

std::string KeyValueList::render(std::string_view between, std::string_view after,
                                 bool encode) const {
  std::string result;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    result += names_[i];
    result += between;
    result += encode ? percent_encode(values_[i], true, false) : values_[i];
    result += after;
  }
  // The separator after the last pair goes.
  if (!result.empty()) {
    result.resize(result.size() - after.size());
  }
  return result;
}

std::string KeyValueList::to_form(bool encode) const {
  return render("=", "&", encode);
}

std::string KeyValueList::to_headers(bool encode) const {
  return render(": ", "\r\n", encode);
}

std::vector<std::string>& KeyValueList::copy_names(std::vector<std::string>& out) const {
  out = names_;
  return out;
}

std::vector<std::string>& KeyValueList::copy_values(std::vector<std::string>& out) const {
  out = values_;
  return out;
}

void KeyValueList::clear() {
  names_.clear();
  values_.clear();
}

void KeyValueList::remove(std::string_view name) {
  const auto it = std::find(names_.begin(), names_.end(), name);
  if (it == names_.end()) {
    return;
  }
  const auto index = it - names_.begin();
  names_.erase(it);
  values_.erase(values_.begin() + index);
}

std::string KeyValueList::to_json() const {
  std::string result = "{";
  for (std::size_t i = 0; i < names_.size(); ++i) {
    result += '"';
    result += names_[i];
    result += "\":\"";
    result += json_escape(values_[i]);
    result += "\",";
  }
  trim_marker(result, ",");
  result += '}';
  return result;
}

std::string KeyValueList::json_escape(std::string_view text) {
  return replace_all(text, "\"", "\\\"");
}

std::string KeyValueList::trim_marker(std::string& text, std::string_view marker) {
  if (!marker.empty()) {
    if (text.ends_with(marker)) {
      text.resize(text.size() - marker.size());
    }
    if (text.starts_with(marker)) {
      text.erase(0, marker.size());
    }
  }
  return text;
}

}  // namespace hc
