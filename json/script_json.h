#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/engine.h"

namespace hc {

// What type_of reports, and what reset_as makes.
enum class ValueKind : std::int32_t {
  null = 0,  // null or undefined; also a missing member of an existing parent
  boolean = 1,
  number = 2,
  object = 4,  // for reset_as: an empty object
  array = 5,   // for reset_as: an empty array
  string = 6,
  other = -1,  // anything else, including an expression the engine rejects
};

// A JSON value kept in a JavaScript engine under the global name "da" (the root) and reached by
// member-access paths such as hotComments[0].user.nickname or [3].artists[0].name. Every
// operation builds a short script from the root name and its arguments and has the engine
// evaluate it; a path is pasted in as it is, so it must be valid script. Nothing reports an
// error: a failed evaluation gives empty text, 0 or false.
//
// Each object constructed has an engine of its own. clone() and get_engine() share it: the
// engine lives while any holder does. Texts are GBK, both ways; characters that GBK lacks come
// back as "?".
//
// Paths join the root by one of four rules (R the root, P the path):
// - bracket-aware: R + P when P starts with "[", else R + "." + P;
// - always dot: R + "." + P;
// - dot unless empty: R + "." + P, or R alone for an empty P;
// - probed: P is first evaluated on its own; R + P when that gives non-empty text, else
//   R + "." + P.
// Operations that take a value have is_json: false quotes the value as a string literal, true
// pastes it into the script as it is (for the program's own script texts only).
class ScriptJson {
 public:
  // A new engine holding an empty object.
  ScriptJson();
  ~ScriptJson();
  ScriptJson(ScriptJson&&) noexcept;
  ScriptJson& operator=(ScriptJson&&) noexcept;
  ScriptJson(const ScriptJson&) = delete;
  ScriptJson& operator=(const ScriptJson&) = delete;

  // A second holder of the same engine: both read and change the same value.
  ScriptJson clone() const;

  // Starts a new engine with the support script and an empty object as the root.
  void start_engine();

  // Replaces the engine with a new one and reads the text into it as JSON data (it is never
  // run). True when the value is neither null nor undefined; text that is not JSON leaves the
  // root null. An object without an engine starts none and gives false.
  bool parse(std::string_view text);

  // The root serialised; each backslash stored by set_value comes out as a backslash again.
  std::string to_json();

  // Stores a value at the path (probed rule). A plain value is stored as a string (with its
  // backslashes kept as the stored-backslash character); a script value (is_json) is evaluated,
  // and an empty one counts as "{}". The overload taking a string writes that "{}" back.
  void set_value(std::string_view path, std::string_view value, bool is_json = false);
  void set_value(std::string_view path, std::string& value, bool is_json = false);

  // Evaluates the script text and stores its value at the path (always-dot rule).
  void set_json(std::string_view path, std::string_view script);
  void set_number(std::string_view path, double number);
  double get_number(std::string_view path);
  std::string get_json(std::string_view path);

  // The value at the path as text (bracket-aware rule): a number whose path begins with a name
  // is written by the "%.13g" rule, other values as the engine converts them; as_json gives the
  // value serialised.
  std::string get_text(std::string_view path, bool as_json = false);

  // A copy of the value at the path (bracket-aware rule), in an engine of its own.
  ScriptJson get_object(std::string_view path);

  // The element count of the array at the path (bracket-aware rule, the root for an empty
  // path); 0 for every other value and every failure.
  std::int32_t count(std::string_view path = {});

  // Appends the value to the array at the path (dot unless empty), which becomes an empty
  // array first when it is not one.
  void push(std::string_view value, std::string_view path = {}, bool is_json = false);

  ScriptJson get_element_object(std::int32_t index, std::string_view path = {});
  std::string get_element_text(std::int32_t index, std::string_view path = {},
                               bool as_json = false);
  // Element operations on the root array.
  void set_element(std::int32_t index, std::string_view value, bool is_json = false);
  void remove_element(std::int32_t index);

  // Removes element i of the array at name, for a path of the form name[i].
  void remove_path_element(std::string_view path);
  void delete_path(std::string_view path);

  // Makes the root an empty object (null, object) or an empty array (array); other kinds do
  // nothing.
  void reset_as(ValueKind kind);
  // Sets the root to the value.
  void assign(std::string_view value, bool is_json = false);

  // Whether the value at the path (always-dot rule) exists and is not null.
  bool has_path(std::string_view path);

  // The member names (an array's indexes) of the value at the path (bracket-aware rule, the root
  // for an empty path) into keys, replacing what it held; returns their number.
  std::int32_t list_keys(std::vector<std::string>& keys, std::string_view path = {});

  // The kind of the value at the path (always-dot rule, the root for an empty path).
  ValueKind type_of(std::string_view path = {});

  // Makes the root an empty object.
  void clear();

  // A new reference to the engine; null when the object has none.
  std::shared_ptr<Engine> get_engine() const;

 private:
  explicit ScriptJson(std::shared_ptr<Engine> engine);

  std::string eval_text(std::string_view script);
  double eval_number(std::string_view script);
  bool eval_boolean(std::string_view script);
  void run(std::string_view script);

  std::string bracket_aware(std::string_view path) const;
  std::string always_dot(std::string_view path) const;
  std::string dot_unless_empty(std::string_view path) const;
  std::string probed(std::string_view path);

  std::string root_name_ = "da";
  std::shared_ptr<Engine> engine_;
};

}  // namespace hc
