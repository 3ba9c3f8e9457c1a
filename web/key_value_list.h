#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hc {

// An ordered list of name/value pairs of GBK text, rendered as a header block, a form body or
// a flat JSON object. Names need not be unique and compare exactly, byte for byte. A copy is
// a deep copy that shares nothing with the original.
class KeyValueList {
 public:
  KeyValueList() = default;

  KeyValueList clone() const { return *this; }

  // Appends the pair; with to_utf8 the value is stored converted to UTF-8. An existing pair of
  // the same name stays: the list then holds both.
  void add(std::string_view name, std::string_view value, bool to_utf8 = false);

  // Adds a pair for each "&"-separated piece: the name left of its first "=", the value right
  // of its last "=" that is not the piece's final byte. Nothing is percent-decoded.
  void parse_form(std::string_view text, bool to_utf8 = false);

  // The value of the first pair with that name, or empty text.
  std::string get(std::string_view name) const;

  // Replaces the value of the first pair with that name, or appends the pair.
  void set(std::string_view name, std::string_view value);

  // name=value pairs joined by "&"; with encode, values (never names) are percent-encoded.
  std::string to_form(bool encode = false) const;

  // "name: value" lines joined by CR LF, with no line break after the last one.
  std::string to_headers(bool encode = false) const;

  // Replace the contents of out with the names (the values) and return it.
  std::vector<std::string>& copy_names(std::vector<std::string>& out) const;
  std::vector<std::string>& copy_values(std::vector<std::string>& out) const;

  void clear();

  // Removes the first pair with that name, if any.
  void remove(std::string_view name);

  // {"name":"value",...} with every value a string; only double quotes in values are escaped.
  std::string to_json() const;

  // The text with a backslash before every double quote.
  static std::string json_escape(std::string_view text);

  // Removes one marker from the end of the text and then one from its start, where they are;
  // writes the result back into text and returns a copy of it.
  static std::string trim_marker(std::string& text, std::string_view marker);

  std::size_t size() const { return names_.size(); }
  bool empty() const { return names_.empty(); }

 private:
  std::string render(std::string_view between, std::string_view after, bool encode) const;

  // Parallel: the i-th value belongs to the i-th name.
  std::vector<std::string> names_;
  std::vector<std::string> values_;
};

}  // namespace hc
