// What the interpreter may take from the machine, and what happens when it runs out.
//
// A result is admitted while it fits in the machine's physical memory; a request beyond that,
// or an allocation that fails, ends the process with the one line "tarn: out of memory" on
// standard error and status 1 (the driver installs the handler that does it for operator new;
// leaves, which come from malloc, go through the same handler).
//
// The fuzz build (TARN_FUZZ_BUDGETS) has a small memory budget instead of the machine's memory
// and a budget of reduction steps; running out of either ends only the current input, with
// BudgetExceeded thrown to the fuzz harness, so that one input can neither take the machine
// nor run for ever.
#pragma once

#include <cstdint>

// Bytes a single result may need: the physical memory, or the fuzz build's budget.
uint64_t memory_limit();
[[noreturn]] void out_of_memory();
inline void require_memory(uint64_t bytes) {
  if (bytes > memory_limit()) [[unlikely]]
    out_of_memory();
}
// Saturating sum and product for size computations that feed require_memory.
inline uint64_t size_sum(uint64_t a, uint64_t b) { return a + b < a ? UINT64_MAX : a + b; }
inline uint64_t size_product(uint64_t a, uint64_t b) {
  return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}
// operator new reports through out_of_memory from now on.
void install_out_of_memory_handler();

#ifdef TARN_FUZZ_BUDGETS
struct BudgetExceeded {};
// Starts the budgets afresh for one input.
void reset_budgets(uint64_t steps, uint64_t memory_bytes);
void spend_step();
#else
inline void spend_step() {}
#endif
