// Program text into the bracket check, the prelude, the loader and the linker: every input
// ends in success or an error record, never in a crash, a leak or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frontend/definitions.h"
#include "frontend/linker.h"
#include "diagnostics/memory_budget.h"
#include "driver/builtin_families.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  reset_budgets(UINT64_MAX, uint64_t(1) << 20);
  install_builtin_families();
  load_prelude();
  try {
    ErrorRecord record = load_program(text);
    if (record_ok(record)) record = link_program();
  } catch (const BudgetExceeded&) {
  }
  return 0;
}
