#include "diagnostics/memory_budget.h"

#include <unistd.h>

#include <cstdio>
#include <new>

namespace {

[[noreturn]] void report_out_of_memory() {
  // No allocation from here on: the streams' buffers already exist.
  std::fflush(nullptr);
  static const char kLine[] = "tarn: out of memory\n";
  ssize_t ignored = write(STDERR_FILENO, kLine, sizeof kLine - 1);
  (void)ignored;
  _exit(1);
}

#ifdef TARN_FUZZ_BUDGETS
uint64_t g_steps_left = UINT64_MAX;
uint64_t g_memory_budget = uint64_t(256) << 20;
#endif

}  // namespace

#ifdef TARN_FUZZ_BUDGETS

uint64_t memory_limit() { return g_memory_budget; }

void out_of_memory() { throw BudgetExceeded{}; }

void reset_budgets(uint64_t steps, uint64_t memory_bytes) {
  g_steps_left = steps;
  g_memory_budget = memory_bytes;
}

void spend_step() {
  if (g_steps_left-- == 0) throw BudgetExceeded{};
}

#else

uint64_t memory_limit() {
  static const uint64_t memory =
      uint64_t(sysconf(_SC_PHYS_PAGES)) * uint64_t(sysconf(_SC_PAGE_SIZE));
  return memory;
}

void out_of_memory() { report_out_of_memory(); }

#endif

void install_out_of_memory_handler() { std::set_new_handler(report_out_of_memory); }
