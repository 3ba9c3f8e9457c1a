#include "json/engine.h"

#include <duktape.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
  const char* source;
  std::size_t length;
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
  duk_eval_raw(context, script.source, script.length,
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

duk_ret_t run_program(duk_context* context, void* data) {
  const auto& script = *static_cast<const Script*>(data);
  duk_compile_raw(context, script.source, script.length,
                  DUK_COMPILE_NOSOURCE | DUK_COMPILE_NOFILENAME);
  duk_call(context, 0);
  return 1;
}

struct JsonInto {
  const char* name;
  std::size_t name_length;
  const char* text;
  std::size_t text_length;
};

duk_ret_t decode_json_into(duk_context* context, void* data) {
  const auto& request = *static_cast<const JsonInto*>(data);
  duk_push_lstring(context, request.text, request.text_length);
  duk_json_decode(context, -1);
  duk_put_global_lstring(context, request.name, request.name_length);
  duk_push_undefined(context);
  return 1;
}

}  // namespace

void Engine::HeapCloser::operator()(duk_hthread* context) const {
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
  Script call{source.data(), source.size(), read_as};
  return call_protected(&evaluate_script, &call);
}

bool Engine::add_code(std::string_view script) {
  const std::string source = to_engine_text(script);
  Script call{source.data(), source.size(), ReadAs::nothing};
  if (!call_protected(&run_program, &call)) {
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
  duk_context* context = heap_.get();
  duk_size_t length = 0;
  const char* bytes = duk_get_lstring(context, -1, &length);
  std::string text = from_engine_text(std::string_view(bytes, length));
  duk_pop(context);
  return text;
}

double Engine::eval_number(std::string_view script) {
  if (!evaluate(script, ReadAs::number)) {
    return 0;
  }
  const double number = duk_get_number(heap_.get(), -1);
  duk_pop(heap_.get());
  return number;
}

bool Engine::eval_boolean(std::string_view script) {
  if (!evaluate(script, ReadAs::boolean)) {
    return false;
  }
  const bool value = duk_get_boolean(heap_.get(), -1) != 0;
  duk_pop(heap_.get());
  return value;
}

bool Engine::parse_json_into(std::string_view global_name, std::string_view json_text) {
  const std::string name = to_engine_text(global_name);
  const std::string text = to_engine_text(json_text);
  JsonInto request{name.data(), name.size(), text.data(), text.size()};
  if (!call_protected(&decode_json_into, &request)) {
    return false;
  }
  duk_pop(heap_.get());
  return true;
}

}  // namespace hc
