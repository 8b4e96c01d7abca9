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

struct ErrorRecord {
  std::string name;
  int64_t position = -1;
  std::string type = "Empty";
  std::string message;
};

inline bool record_ok(const ErrorRecord& r) { return r.type == "Empty"; }

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
