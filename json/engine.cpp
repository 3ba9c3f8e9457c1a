#include "json/engine.h"

#include <duktape.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "json/engine_text.h"

namespace hc {
namespace {

// Each block carries its size in a header, so that freeing or resizing it tells the budget
// what comes back. The header keeps the block aligned for any type.
constexpr std::size_t header_size = alignof(std::max_align_t);

std::size_t size_of_block(const void* header) {
  std::size_t size = 0;
  std::memcpy(&size, header, sizeof size);
  return size;
}

void* user_part(void* header, std::size_t size) {
  std::memcpy(header, &size, sizeof size);
  return static_cast<unsigned char*>(header) + header_size;
}

void* header_of(void* user) {
  return static_cast<unsigned char*>(user) - header_size;
}

// Whether a block of the size, with its header, fits beside what the others already use.
bool fits(std::size_t limit, std::size_t used_by_others, std::size_t size) {
  return used_by_others <= limit && header_size <= limit - used_by_others &&
         size <= limit - used_by_others - header_size;
}

// Every call into the engine is protected, so this only runs on an error the engine cannot
// hand back (it must not return).
[[noreturn]] void on_fatal(void*, const char* message) {
  std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "");
  std::fflush(stderr);
  std::abort();
}

// The functions below run inside duk_safe_call: an engine error unwinds them with longjmp, so
// they hold no object with a destructor.

struct Script {
  std::string_view source;
  Engine::ReadAs read_as;
};

void read_top_as_text(duk_context* context) {
  switch (duk_get_type(context, -1)) {
    case DUK_TYPE_UNDEFINED:
      duk_pop(context);
      duk_push_string(context, "");
      return;
    case DUK_TYPE_NULL:
      duk_type_error(context, "null read as text");
    case DUK_TYPE_STRING:
      return;
    default:
      duk_to_string(context, -1);
      return;
  }
}

void read_top_as_number(duk_context* context) {
  switch (duk_get_type(context, -1)) {
    case DUK_TYPE_NUMBER:
      return;
    case DUK_TYPE_UNDEFINED:
      duk_pop(context);
      duk_push_number(context, 0);
      return;
    case DUK_TYPE_STRING:
    case DUK_TYPE_BOOLEAN:
      if (std::isnan(duk_to_number(context, -1))) {
        duk_type_error(context, "not a number");
      }
      return;
    default:
      duk_type_error(context, "not a number");
  }
}

void read_top_as_boolean(duk_context* context) {
  switch (duk_get_type(context, -1)) {
    case DUK_TYPE_BOOLEAN:
      return;
    case DUK_TYPE_UNDEFINED:
      duk_pop(context);
      duk_push_false(context);
      return;
    case DUK_TYPE_NUMBER: {
      const double number = duk_get_number(context, -1);
      duk_pop(context);
      duk_push_boolean(context, number != 0 && !std::isnan(number));
      return;
    }
    default:
      duk_type_error(context, "not a boolean");
  }
}

duk_ret_t evaluate_script(duk_context* context, void* data) {
  const auto& script = *static_cast<const Script*>(data);
  duk_eval_raw(context, script.source.data(), script.source.size(),
               DUK_COMPILE_EVAL | DUK_COMPILE_NOSOURCE | DUK_COMPILE_NOFILENAME);
  switch (script.read_as) {
    case Engine::ReadAs::nothing:
      break;
    case Engine::ReadAs::text:
      read_top_as_text(context);
      break;
    case Engine::ReadAs::number:
      read_top_as_number(context);
      break;
    case Engine::ReadAs::boolean:
      read_top_as_boolean(context);
      break;
  }
  return 1;
}

duk_ret_t compile_program(duk_context* context, void* data) {
  const auto& script = *static_cast<const Script*>(data);
  duk_compile_raw(context, script.source.data(), script.source.size(),
                  DUK_COMPILE_NOSOURCE | DUK_COMPILE_NOFILENAME);
  duk_dump_function(context);
  return 1;
}

duk_ret_t load_and_run_program(duk_context* context, void* data) {
  const auto& bytecode = *static_cast<const std::string_view*>(data);
  void* buffer = duk_push_fixed_buffer(context, bytecode.size());
  std::memcpy(buffer, bytecode.data(), bytecode.size());
  duk_load_function(context);
  duk_call(context, 0);
  return 1;
}

// Every engine runs the same support script when it starts, and compiling it costs more than
// the rest of a start. So the last program compiled on this thread is kept as bytecode, which
// the next engine loads instead of compiling the text again. Only bytecode dumped here, by the
// same engine library, is ever loaded.
struct CompiledProgram {
  std::string source;
  std::string bytecode;
};

CompiledProgram& last_compiled_program() {
  thread_local CompiledProgram program;
  return program;
}

// Member-access expressions that are looked up without the compiler.

bool is_identifier_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool is_identifier_part(char c) {
  return is_identifier_start(c) || (c >= '0' && c <= '9');
}

std::size_t identifier_length(std::string_view text, std::size_t from) {
  if (from >= text.size() || !is_identifier_start(text[from])) {
    return 0;
  }
  std::size_t end = from + 1;
  while (end < text.size() && is_identifier_part(text[end])) {
    ++end;
  }
  return end - from;
}

// Digits of an array index without a leading zero and below 2^32 - 1, closed by "]".
std::size_t index_length(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && end - from < 10 && text[end] >= '0' && text[end] <= '9') {
    ++end;
  }
  const std::size_t length = end - from;
  if (length == 0 || length > 9 || (length > 1 && text[from] == '0') || end >= text.size() ||
      text[end] != ']') {
    return 0;
  }
  return length;
}

// Words that mean something else than a global variable at the start of an expression.
bool is_reserved(std::string_view word) {
  static constexpr std::string_view words[] = {
      "break",   "case",       "catch",     "class",    "const",  "continue",   "debugger",
      "default", "delete",     "do",        "else",     "enum",   "export",     "extends",
      "false",   "finally",    "for",       "function", "if",     "implements", "import",
      "in",      "instanceof", "interface", "let",      "new",    "null",       "package",
      "private", "protected",  "public",    "return",   "static", "super",      "switch",
      "this",    "throw",      "true",      "try",      "typeof", "var",        "void",
      "while",   "with",       "yield",
  };
  for (const auto reserved : words) {
    if (word == reserved) {
      return true;
    }
  }
  return false;
}

enum class Shape { member_chain, rejected, other };

Shape shape_of(std::string_view expression) {
  std::size_t at = identifier_length(expression, 0);
  if (at == 0 || is_reserved(expression.substr(0, at))) {
    return Shape::other;
  }
  while (at < expression.size()) {
    if (expression[at] == '.') {
      if (at + 1 < expression.size() && expression[at + 1] == '[') {
        return Shape::rejected;
      }
      const std::size_t name = identifier_length(expression, at + 1);
      if (name == 0) {
        return Shape::other;
      }
      at += 1 + name;
    } else if (expression[at] == '[') {
      const std::size_t digits = index_length(expression, at + 1);
      if (digits == 0) {
        return Shape::other;
      }
      at += digits + 2;
    } else {
      return Shape::other;
    }
  }
  return Shape::member_chain;
}

// Pushes the value of a member chain, with the errors the engine's own evaluation would throw:
// a global name that does not exist, or a member of undefined or null. Only typeof takes a bare
// name that does not exist, as undefined.
void push_member_chain(duk_context* context, std::string_view chain, bool for_typeof) {
  std::size_t at = identifier_length(chain, 0);
  duk_push_global_object(context);
  if (!duk_has_prop_lstring(context, -1, chain.data(), at)) {
    if (!for_typeof || at != chain.size()) {
      duk_error(context, DUK_ERR_REFERENCE_ERROR, "not defined");
    }
  }
  duk_get_prop_lstring(context, -1, chain.data(), at);
  while (at < chain.size()) {
    duk_remove(context, -2);
    if (chain[at] == '.') {
      const std::size_t name = identifier_length(chain, at + 1);
      duk_get_prop_lstring(context, -1, chain.data() + at + 1, name);
      at += 1 + name;
    } else {
      const std::size_t digits = index_length(chain, at + 1);
      duk_uarridx_t index = 0;
      for (std::size_t i = at + 1; i < at + 1 + digits; ++i) {
        index = index * 10 + static_cast<duk_uarridx_t>(chain[i] - '0');
      }
      duk_get_prop_index(context, -1, index);
      at += digits + 2;
    }
  }
  duk_remove(context, -2);
}

const char* type_name_of_top(duk_context* context) {
  switch (duk_get_type(context, -1)) {
    case DUK_TYPE_UNDEFINED:
      return "undefined";
    case DUK_TYPE_BOOLEAN:
      return "boolean";
    case DUK_TYPE_NUMBER:
      return "number";
    case DUK_TYPE_STRING:
      return duk_is_symbol(context, -1) ? "symbol" : "string";
    case DUK_TYPE_POINTER:
      return "pointer";
    case DUK_TYPE_LIGHTFUNC:
      return "function";
    case DUK_TYPE_OBJECT:
      return duk_is_function(context, -1) ? "function" : "object";
    default:  // null, and plain buffers, which act as Uint8Array objects
      return "object";
  }
}

struct MemberQuery {
  std::string_view chain;
  Engine::Query query;
};

duk_ret_t answer_member_query(duk_context* context, void* data) {
  const auto& request = *static_cast<const MemberQuery*>(data);
  push_member_chain(context, request.chain, request.query == Engine::Query::type_name);
  switch (request.query) {
    case Engine::Query::is_null: {
      const bool null = duk_is_null_or_undefined(context, -1);
      duk_pop(context);
      duk_push_boolean(context, null);
      break;
    }
    case Engine::Query::type_name: {
      const char* name = type_name_of_top(context);
      duk_pop(context);
      duk_push_string(context, name);
      break;
    }
    case Engine::Query::text:
      read_top_as_text(context);
      break;
    case Engine::Query::number:
      read_top_as_number(context);
      break;
  }
  return 1;
}

struct JsonInto {
  std::string_view name;
  std::string_view text;
};

duk_ret_t decode_json_into(duk_context* context, void* data) {
  const auto& request = *static_cast<const JsonInto*>(data);
  duk_push_lstring(context, request.text.data(), request.text.size());
  duk_json_decode(context, -1);
  duk_put_global_lstring(context, request.name.data(), request.name.size());
  duk_push_undefined(context);
  return 1;
}

// Sets every own enumerable property of the global object to undefined, without calling a
// setter; stops at one that cannot be set. What the scripts stored is then freed by reference
// counts, in one pass. Left to duk_destroy_heap, a heap full of data costs more per value the
// larger it is: a 10,000-song chart took longer to free than to parse.
duk_ret_t release_globals(duk_context* context, void*) {
  duk_push_global_object(context);
  duk_enum(context, -1, DUK_ENUM_OWN_PROPERTIES_ONLY);
  while (duk_next(context, -1, 0)) {
    duk_push_undefined(context);
    duk_def_prop(context, -4, DUK_DEFPROP_HAVE_VALUE);
  }
  return 0;
}

}  // namespace

void Engine::HeapCloser::operator()(duk_hthread* context) const {
  duk_safe_call(context, &release_globals, nullptr, 0, 0);
  duk_destroy_heap(context);
}

std::shared_ptr<Engine> Engine::create(std::size_t memory_limit) {
  auto engine = std::make_shared<Engine>(Key{});
  engine->budget_.limit = memory_limit;
  engine->heap_.reset(duk_create_heap(&Engine::allocate, &Engine::reallocate, &Engine::release,
                                      &engine->budget_, &on_fatal));
  if (!engine->heap_) {
    return nullptr;
  }
  return engine;
}

Engine::~Engine() = default;

void* Engine::allocate(void* budget_data, std::size_t size) {
  auto& budget = *static_cast<Budget*>(budget_data);
  if (size == 0 || !fits(budget.limit, budget.used, size)) {
    return nullptr;
  }
  void* header = std::malloc(size + header_size);
  if (header == nullptr) {
    return nullptr;
  }
  budget.used += size + header_size;
  return user_part(header, size);
}

void* Engine::reallocate(void* budget_data, void* block, std::size_t size) {
  if (block == nullptr) {
    return allocate(budget_data, size);
  }
  if (size == 0) {
    release(budget_data, block);
    return nullptr;
  }
  auto& budget = *static_cast<Budget*>(budget_data);
  void* header = header_of(block);
  const std::size_t old_size = size_of_block(header);
  const std::size_t others = budget.used - old_size - header_size;
  if (!fits(budget.limit, others, size)) {
    return nullptr;
  }
  void* moved = std::realloc(header, size + header_size);
  if (moved == nullptr) {
    return nullptr;
  }
  budget.used = others + size + header_size;
  return user_part(moved, size);
}

void Engine::release(void* budget_data, void* block) {
  if (block == nullptr) {
    return;
  }
  auto& budget = *static_cast<Budget*>(budget_data);
  void* header = header_of(block);
  budget.used -= size_of_block(header) + header_size;
  std::free(header);
}

std::size_t Engine::memory_in_use() const {
  return budget_.used;
}

bool Engine::call_protected(duk_ret_t (*function)(duk_context*, void*), void* data) {
  duk_context* context = heap_.get();
  if (duk_safe_call(context, function, data, 0, 1) != DUK_EXEC_SUCCESS) {
    duk_pop(context);
    return false;
  }
  return true;
}

bool Engine::evaluate(std::string_view script, ReadAs read_as) {
  const std::string source = to_engine_text(script);
  Script call{source, read_as};
  return call_protected(&evaluate_script, &call);
}

bool Engine::add_code(std::string_view script) {
  std::string source = to_engine_text(script);
  CompiledProgram& compiled = last_compiled_program();
  if (compiled.source != source || compiled.bytecode.empty()) {
    Script call{source, ReadAs::nothing};
    if (!call_protected(&compile_program, &call)) {
      return false;
    }
    duk_size_t size = 0;
    const void* bytecode = duk_get_buffer(heap_.get(), -1, &size);
    compiled.bytecode.assign(static_cast<const char*>(bytecode), size);
    compiled.source = std::move(source);
    duk_pop(heap_.get());
  }
  std::string_view bytecode = compiled.bytecode;
  if (!call_protected(&load_and_run_program, &bytecode)) {
    return false;
  }
  duk_pop(heap_.get());
  return true;
}

bool Engine::run(std::string_view script) {
  if (!evaluate(script, ReadAs::nothing)) {
    return false;
  }
  duk_pop(heap_.get());
  return true;
}

std::string Engine::eval_text(std::string_view script) {
  if (!evaluate(script, ReadAs::text)) {
    return {};
  }
  return take_text();
}

double Engine::eval_number(std::string_view script) {
  if (!evaluate(script, ReadAs::number)) {
    return 0;
  }
  return take_number();
}

bool Engine::eval_boolean(std::string_view script) {
  if (!evaluate(script, ReadAs::boolean)) {
    return false;
  }
  return take_boolean();
}

std::string Engine::take_text() {
  duk_context* context = heap_.get();
  duk_size_t length = 0;
  const char* bytes = duk_get_lstring(context, -1, &length);
  std::string text = from_engine_text(std::string_view(bytes, length));
  duk_pop(context);
  return text;
}

double Engine::take_number() {
  const double number = duk_get_number(heap_.get(), -1);
  duk_pop(heap_.get());
  return number;
}

bool Engine::take_boolean() {
  const bool value = duk_get_boolean(heap_.get(), -1) != 0;
  duk_pop(heap_.get());
  return value;
}

bool Engine::look_up(std::string_view expression, Query query) {
  switch (shape_of(expression)) {
    case Shape::rejected:
      return false;
    case Shape::member_chain: {
      MemberQuery request{expression, query};
      return call_protected(&answer_member_query, &request);
    }
    case Shape::other:
      break;
  }
  switch (query) {
    case Query::is_null:
      return evaluate(std::string(expression) + "==null", ReadAs::boolean);
    case Query::type_name:
      return evaluate("typeof (" + std::string(expression) + ")", ReadAs::text);
    case Query::text:
      return evaluate(expression, ReadAs::text);
    case Query::number:
      return evaluate(expression, ReadAs::number);
  }
  return false;
}

bool Engine::is_null(std::string_view expression) {
  if (!look_up(expression, Query::is_null)) {
    return false;
  }
  return take_boolean();
}

std::string Engine::type_name(std::string_view expression) {
  if (!look_up(expression, Query::type_name)) {
    return {};
  }
  return take_text();
}

std::string Engine::value_text(std::string_view expression) {
  if (!look_up(expression, Query::text)) {
    return {};
  }
  return take_text();
}

double Engine::value_number(std::string_view expression) {
  if (!look_up(expression, Query::number)) {
    return 0;
  }
  return take_number();
}

bool Engine::parse_json_into(std::string_view global_name, std::string_view json_text) {
  const std::string name = to_engine_text(global_name);
  const std::string text = to_engine_text(json_text);
  JsonInto request{name, text};
  if (!call_protected(&decode_json_into, &request)) {
    return false;
  }
  duk_pop(heap_.get());
  return true;
}

}  // namespace hc
