#include "json/script_json.h"

#include <cmath>
#include <limits>
#include <utility>

#include "json/support_script.h"
#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"

namespace hc {
namespace {

// Texts are zero-terminated: whatever follows a zero byte is not part of them.
std::string_view text_of(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::string_view quote_for(bool is_json) {
  return is_json ? "" : "'";
}

std::string index_text(std::int32_t index) {
  return number_to_text(std::int64_t{index});
}

// A plain value as the body of a script string literal between apostrophes. GBK is walked a
// character at a time, so the second byte of a double-byte character (which may equal "\")
// is never taken for a character of its own.
std::string escape_for_literal(std::string_view value) {
  std::string out;
  out.reserve(value.size() + value.size() / 4);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      out += c;
      if (i + 1 < value.size()) {
        out += value[++i];
      }
      continue;
    }
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\'':
        out += "\\'";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::int32_t truncate_to_int32(double number) {
  const double whole = std::trunc(number);
  if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
        whole <= std::numeric_limits<std::int32_t>::max())) {
    return 0;
  }
  return static_cast<std::int32_t>(whole);
}

std::int32_t clamp_to_int32(std::int64_t number) {
  if (number < std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (number > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(number);
}

}  // namespace

ScriptJson::ScriptJson() {
  start_engine();
}

ScriptJson::ScriptJson(std::shared_ptr<Engine> engine) : engine_(std::move(engine)) {}

ScriptJson::~ScriptJson() = default;
ScriptJson::ScriptJson(ScriptJson&&) noexcept = default;
ScriptJson& ScriptJson::operator=(ScriptJson&&) noexcept = default;

ScriptJson ScriptJson::clone() const {
  return ScriptJson(engine_);
}

void ScriptJson::start_engine() {
  engine_ = Engine::create();
  if (!engine_) {
    return;
  }
  engine_->add_code(support_script());
  run("var " + root_name_ + "={}");
  run("var g_regexp = String.fromCharCode(9216)");
  run("var g_reg = new RegExp(g_regexp, 'g')");
}

bool ScriptJson::parse(std::string_view text) {
  if (!engine_) {
    return false;
  }
  start_engine();
  if (!engine_) {
    return false;
  }
  run("var " + root_name_ + "=null");
  // The text is handed over as data: a response body never runs as a program here.
  engine_->parse_json_into(root_name_, text_of(text));
  return eval_boolean("null !=" + root_name_);
}

std::string ScriptJson::to_json() {
  run("var strScr = JSON.stringify(" + root_name_ + ")");
  return eval_text("strScr.replace(g_reg, '\\\\')");
}

void ScriptJson::set_value(std::string_view path, std::string_view value, bool is_json) {
  path = text_of(path);
  value = text_of(value);
  const std::string target = probed(path);
  if (is_json) {
    run(target + " = eval(" + std::string(value.empty() ? "{}" : value) + ")");
    return;
  }
  run("var g_Str = '" + escape_for_literal(value) + "'.replace(/\\\\/g, g_regexp)");
  run(target + " = g_Str");
}

void ScriptJson::set_value(std::string_view path, std::string& value, bool is_json) {
  if (is_json && text_of(value).empty()) {
    value = "{}";
  }
  set_value(path, std::string_view(value), is_json);
}

void ScriptJson::set_json(std::string_view path, std::string_view script) {
  run(always_dot(path) + "= eval(" + std::string(text_of(script)) + ")");
}

void ScriptJson::set_number(std::string_view path, double number) {
  run(always_dot(path) + "=" + number_to_text(number));
}

double ScriptJson::get_number(std::string_view path) {
  return engine_ ? engine_->value_number(always_dot(path)) : 0;
}

std::string ScriptJson::get_json(std::string_view path) {
  return eval_text("JSON.stringify(" + always_dot(path) + ")");
}

std::string ScriptJson::get_text(std::string_view path, bool as_json) {
  path = text_of(path);
  const std::string expression = bracket_aware(path);
  if (as_json) {
    return eval_text("JSON.stringify(" + expression + ")");
  }
  if (!engine_) {
    return {};
  }
  if (type_of(path) == ValueKind::number) {
    return number_to_text(get_number(path));
  }
  return engine_->value_text(expression);
}

ScriptJson ScriptJson::get_object(std::string_view path) {
  ScriptJson copy;
  copy.parse(eval_text("JSON.stringify(" + bracket_aware(text_of(path)) + ")"));
  return copy;
}

std::int32_t ScriptJson::count(std::string_view path) {
  path = text_of(path);
  const std::string expression = path.empty() ? root_name_ : bracket_aware(path);
  return truncate_to_int32(eval_number("get__count(" + expression + ")"));
}

void ScriptJson::push(std::string_view value, std::string_view path, bool is_json) {
  const std::string target = dot_unless_empty(path);
  const std::string_view quote = quote_for(is_json);
  run("if (Object.prototype.toString.call(" + target + ") != '[object Array]') { " + target +
      "=new Array();} " + target + ".push(" + std::string(quote) + std::string(text_of(value)) +
      std::string(quote) + ")");
}

ScriptJson ScriptJson::get_element_object(std::int32_t index, std::string_view path) {
  ScriptJson copy;
  copy.parse(
      eval_text("JSON.stringify(" + dot_unless_empty(path) + "[" + index_text(index) + "])"));
  return copy;
}

std::string ScriptJson::get_element_text(std::int32_t index, std::string_view path, bool as_json) {
  const std::string element = dot_unless_empty(path) + "[" + index_text(index) + "]";
  if (as_json) {
    return eval_text("JSON.stringify(" + element + ")");
  }
  return eval_text(element);
}

void ScriptJson::set_element(std::int32_t index, std::string_view value, bool is_json) {
  const std::string quote(quote_for(is_json));
  run(root_name_ + "[" + index_text(index) + "]=" + quote + std::string(text_of(value)) + quote);
}

void ScriptJson::remove_element(std::int32_t index) {
  run(root_name_ + ".splice(" + index_text(index) + ",1)");
}

void ScriptJson::remove_path_element(std::string_view path) {
  path = text_of(path);
  const std::string array_path = text_before(path, "[");
  const std::string index = text_between(path, "[", "]");
  ScriptJson array;
  // Only an array is written back: anything else would turn a missing member into null, and
  // the write-back evaluates its text, which would run a string member's content as script.
  if (!array.parse(get_text(array_path, true)) || array.type_of() != ValueKind::array) {
    return;
  }
  array.remove_element(clamp_to_int32(text_to_int64(index)));
  set_json(array_path, array.to_json());
}

void ScriptJson::delete_path(std::string_view path) {
  run("delete " + probed(text_of(path)));
}

void ScriptJson::reset_as(ValueKind kind) {
  if (kind == ValueKind::null || kind == ValueKind::object) {
    run("var " + root_name_ + "={}");
  } else if (kind == ValueKind::array) {
    run("var " + root_name_ + "=new Array()");
  }
}

void ScriptJson::assign(std::string_view value, bool is_json) {
  const std::string quote(quote_for(is_json));
  eval_boolean(root_name_ + "=" + quote + std::string(text_of(value)) + quote);
}

bool ScriptJson::has_path(std::string_view path) {
  return eval_boolean(always_dot(path) + " !=null");
}

std::int32_t ScriptJson::list_keys(std::vector<std::string>& keys, std::string_view path) {
  path = text_of(path);
  const std::string expression = path.empty() ? root_name_ : bracket_aware(path);
  std::string names =
      eval_text("var ary=''; for (var key in " + expression + ") {ary=ary+ key+','; }");
  // The support script may have added these two methods to every object.
  names = replace_all(names, "toJSONString,", "");
  names = replace_all(names, "parseJSON,", "");
  run("ary=null");
  keys = split(names, ",");
  return static_cast<std::int32_t>(keys.size());
}

ValueKind ScriptJson::type_of(std::string_view path) {
  path = text_of(path);
  const std::string expression = path.empty() ? root_name_ : always_dot(path);
  if (!engine_) {
    return ValueKind::other;
  }
  if (engine_->is_null(expression)) {
    return ValueKind::null;
  }
  const std::string type = engine_->type_name(expression);
  if (type == "string") {
    return ValueKind::string;
  }
  if (type == "object") {
    // For the root, serialise the root itself: the bracket-aware rule would join "." to it.
    const std::string json =
        path.empty() ? eval_text("JSON.stringify(" + root_name_ + ")") : get_text(path, true);
    return json.starts_with('[') ? ValueKind::array : ValueKind::object;
  }
  if (type == "number") {
    return ValueKind::number;
  }
  if (type == "boolean") {
    return ValueKind::boolean;
  }
  return ValueKind::other;
}

void ScriptJson::clear() {
  run(root_name_ + "={}");
}

std::shared_ptr<Engine> ScriptJson::get_engine() const {
  return engine_;
}

std::string ScriptJson::eval_text(std::string_view script) {
  return engine_ ? engine_->eval_text(script) : std::string();
}

double ScriptJson::eval_number(std::string_view script) {
  return engine_ ? engine_->eval_number(script) : 0;
}

bool ScriptJson::eval_boolean(std::string_view script) {
  return engine_ && engine_->eval_boolean(script);
}

void ScriptJson::run(std::string_view script) {
  if (engine_) {
    engine_->run(script);
  }
}

std::string ScriptJson::bracket_aware(std::string_view path) const {
  path = text_of(path);
  return root_name_ + (path.starts_with('[') ? "" : ".") + std::string(path);
}

std::string ScriptJson::always_dot(std::string_view path) const {
  return root_name_ + "." + std::string(text_of(path));
}

std::string ScriptJson::dot_unless_empty(std::string_view path) const {
  path = text_of(path);
  return path.empty() ? root_name_ : always_dot(path);
}

std::string ScriptJson::probed(std::string_view path) {
  path = text_of(path);
  const bool joins_directly = !eval_text(path).empty();
  return root_name_ + (joins_directly ? "" : ".") + std::string(path);
}

}  // namespace hc
