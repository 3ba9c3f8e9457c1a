#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct duk_hthread;

namespace hc {

// A JavaScript engine (Duktape) with one global scope that lasts as long as the engine. Every
// call is protected: a script that does not compile, throws, or whose result cannot be read the
// way the caller asks is a failed call, and a failed call yields empty text, 0 or false. Texts
// go in and come out as GBK.
//
// Each engine has a memory budget; past it, allocations fail and so does the call that made
// them, so no script or data can take the whole machine.
class Engine {
  // Lets make_shared build an engine while only create() can.
  struct Key {
    explicit Key() = default;
  };

 public:
  static constexpr std::size_t default_memory_limit = std::size_t{1} << 30;

  // A new engine, or nullptr when it cannot be made.
  static std::shared_ptr<Engine> create(std::size_t memory_limit = default_memory_limit);

  explicit Engine(Key) {}
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Compiles and runs a program in the global scope: its function and var declarations become
  // lasting globals. False when it fails.
  bool add_code(std::string_view script);

  // Evaluates the script in the global scope and drops its value. False when it fails.
  bool run(std::string_view script);

  // Evaluates the script and reads the value of its last expression statement:
  // - as text: a string as it is, undefined as empty text, a number (an integral one below
  //   1e21 as its plain digits), a boolean or an object as the engine's own conversion gives
  //   it; null fails;
  // - as a number: a number as it is, a numeric string or a boolean converted, undefined as 0;
  //   null, an object and a non-numeric string fail;
  // - as a boolean: a boolean as it is, a number as "not zero", undefined as false; anything
  //   else fails.
  std::string eval_text(std::string_view script);
  double eval_number(std::string_view script);
  bool eval_boolean(std::string_view script);

  // Questions about the value of a member-access expression E such as da.list[0].name. Each
  // gives what evaluating the script in the comment gives, read the same way. An E made of a
  // name followed only by ".name" and "[digits]" steps is looked up without compiling a script,
  // and one in which "." is followed by "[" fails at once, as the engine rejects it; any other E
  // is evaluated.
  bool is_null(std::string_view expression);            // E + "==null", as a boolean
  std::string type_name(std::string_view expression);   // "typeof (" + E + ")", as text
  std::string value_text(std::string_view expression);  // E, as text
  double value_number(std::string_view expression);     // E, as a number

  // Reads the text as JSON data (never as a program) and stores the value in the global
  // variable. False, with the variable untouched, when the text is not JSON.
  bool parse_json_into(std::string_view global_name, std::string_view json_text);

  // Bytes the engine holds at the moment.
  std::size_t memory_in_use() const;

  // How a call's result is read, and what a member query asks.
  enum class ReadAs { nothing, text, number, boolean };
  enum class Query { is_null, type_name, text, number };

 private:
  struct Budget {
    std::size_t limit = default_memory_limit;
    std::size_t used = 0;
  };
  struct HeapCloser {
    void operator()(duk_hthread* context) const;
  };

  // On success the value, read as asked, is left on top of the engine's stack.
  bool evaluate(std::string_view script, ReadAs read_as);
  bool call_protected(int (*function)(duk_hthread*, void*), void* data);
  // On success the answer is left on top of the engine's stack.
  bool look_up(std::string_view expression, Query query);
  // Take the answer off the top of the stack.
  std::string take_text();
  double take_number();
  bool take_boolean();

  // The engine's memory functions, counting against the budget.
  static void* allocate(void* budget, std::size_t size);
  static void* reallocate(void* budget, void* block, std::size_t size);
  static void release(void* budget, void* block);

  // Declared before the heap, so the heap, whose blocks it counts, ends first.
  Budget budget_;
  std::unique_ptr<duk_hthread, HeapCloser> heap_;
};

}  // namespace hc
