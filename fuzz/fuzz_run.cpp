// Program text through the whole run: load, link, reduce and the result check. The fuzz build
// bounds each input by reduction steps and memory, and every built-in that reaches outside the
// interpreter (memory, files, processes, sockets, the environment) answers Z, so that only the
// core language is exercised.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frontend/definitions.h"
#include "frontend/linker.h"
#include "diagnostics/memory_budget.h"
#include "driver/builtin_families.h"
#include "eval/program_run.h"

namespace {
char kProgramName[] = "tarn";
char kProgramFile[] = "fuzz.tarn";
char* kArgv[] = {kProgramName, kProgramFile, nullptr};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  // Small values only: the kernels' quadratic cases would otherwise dominate the run time.
  reset_budgets(200'000, uint64_t(64) << 10);
  install_builtin_families();
  load_prelude();
  try {
    ErrorRecord record = load_program(text);
    if (record_ok(record)) record = link_program();
    if (record_ok(record)) record = run_program(kArgv);
    if (record_ok(record)) (void)program_status();
  } catch (const BudgetExceeded&) {
  }
  return 0;
}
