// Time, environment and process control: the library's calendar functions on 8-byte time cells
// and tm records the program holds, getenv, system, exit, abort, raise, and the assert built-in.
//
// Where the library would dereference a null address it has no answer for (a time cell, a tm
// record, a name or a format), the built-in gives the library's failure value without calling.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "bridge/bridge_args.h"
#include "diagnostics/diagnostics.h"
#include "bridge/families.h"

namespace {

template <typename Record>
Record* record_at(int64_t address) {
  return reinterpret_cast<Record*>(static_cast<uintptr_t>(address));
}

Term time_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  return bridge_int(std::time(record_at<time_t>(call.integer[0])));
}

// ctime, gmtime, localtime: a time cell to the library's own text or tm record.
template <typename Result, Result* (*F)(const time_t*)>
Term from_time_cell(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  const time_t* cell = record_at<const time_t>(call.integer[0]);
  return bridge_address(cell ? F(cell) : nullptr);
}

Term asctime_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  const tm* record = record_at<const tm>(call.integer[0]);
  return bridge_address(record ? std::asctime(record) : nullptr);
}

Term mktime_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  tm* record = record_at<tm>(call.integer[0]);
  return bridge_int(record ? std::mktime(record) : time_t(-1));
}

Term difftime_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ii", call)) return bridge_error();
  return bridge_real(std::difftime(call.integer[0], call.integer[1]));
}

Term strftime_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "iisi", call)) return bridge_error();
  char* buffer = record_at<char>(call.integer[0]);
  auto size = static_cast<size_t>(call.integer[1]);
  const tm* record = record_at<const tm>(call.integer[3]);
  if (!call.text[2] || !record || (!buffer && size != 0)) return bridge_unsigned(0);
  return bridge_unsigned(std::strftime(buffer, size, call.text[2], record));
}

Term getenv_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  return bridge_address(call.text[0] ? std::getenv(call.text[0]) : nullptr);
}

// Output written before the command must come out before the command's own output.
Term system_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  std::fflush(nullptr);
  return bridge_int(std::system(call.text[0]));
}

Term exit_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  std::fflush(nullptr);
  std::exit(static_cast<int>(call.integer[0]));
}

Term abort_builtin(Term) { std::abort(); }

Term raise_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  return bridge_int(std::raise(static_cast<int>(call.integer[0])));
}

// The assert built-in reports as source file "l", line 242.
Term assert_builtin(Term m) {
  const Node* truth = bridge_arg(m, 1, 0);
  if (leaf_is(truth, "K")) return bridge_unit();
  if (leaf_is(truth, "H")) assertion_failed("l", 242);
  return bridge_error();
}

const BuiltinRow kRows[] = {
    {"time", 1, time_builtin},
    {"ctime", 1, from_time_cell<char, std::ctime>},
    {"asctime", 1, asctime_builtin},
    {"gmtime", 1, from_time_cell<tm, std::gmtime>},
    {"localtime", 1, from_time_cell<tm, std::localtime>},
    {"mktime", 1, mktime_builtin},
    {"difftime", 2, difftime_builtin},
    {"strftime", 4, strftime_builtin},
    {"getenv", 1, getenv_builtin},
    {"system", 1, system_builtin},
    {"exit", 1, exit_builtin},
    {"abort", 0, abort_builtin},
    {"raise", 1, raise_builtin},
    {"assert", 1, assert_builtin},
};

}  // namespace

std::span<const BuiltinRow> system_rows() { return kRows; }
