// Diagnostics: error records and their report, colouring, assertions, fatal stops, debug log.
//
// Errors in program text travel as an ErrorRecord from stage to stage and are reported once by
// the driver. Broken internal invariants stop the process at once with
// "ASSERTION FAILED:" + source file + ":" + line, where the source file is "b" for the core,
// "tarn" for the driver and "l" for the assert built-in; the line number is the only
// diagnostic a user sees.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What went wrong; a report shows it as its five-letter word (error_type_word). A record of
// type none carries no error.
enum class ErrorType : uint8_t {
  none,   // "Empty"
  match,  // a bracket without its partner
  comma,  // a comma where no call list is
  built,  // a program defines a built-in that cannot be redefined
  place,  // a name in a place it cannot stand
  alive,  // a name that is defined nowhere
  arity,  // more parameters than a definition may take
  funky,  // an expression key that is no name
  local,  // a local definition that cannot be made
  cycle,  // the value of a definition needs itself
  range,  // the program's result is no integer
};

std::string_view error_type_word(ErrorType type);

struct ErrorRecord {
  std::string name;
  int64_t position = -1;
  ErrorType type = ErrorType::none;
  std::string message;
};

inline bool record_ok(const ErrorRecord& r) { return r.type == ErrorType::none; }

std::string format_report(const ErrorRecord& r);
std::string colour_text(std::string_view text);
std::string display_name(std::string_view path);

[[noreturn]] void assertion_failed(const char* file, int line);
[[noreturn]] void fatal(std::string_view word);
void debug_log(std::string_view text);
// Appends one line to a trace file the way the debug log does (no link followed).
void append_to_file(const char* path, std::string_view text);

inline void core_assert(bool ok, int line) {
  if (!ok) [[unlikely]]
    assertion_failed("b", line);
}
