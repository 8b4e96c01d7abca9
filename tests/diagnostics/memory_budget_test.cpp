// Running out of memory ends the process with one line and status 1; deep recursion moves to
// fresh stacks instead of overflowing.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>

#include "diagnostics/stack_room.h"
#include "diagnostics/memory_budget.h"

namespace {

TEST(MemoryBudget, RequestsBeyondMemoryAreReported) {
  require_memory(1 << 20);  // small requests pass
  EXPECT_EXIT(require_memory(UINT64_MAX), testing::ExitedWithCode(1), "^tarn: out of memory\n$");
  EXPECT_EQ(size_sum(UINT64_MAX, 1), UINT64_MAX);
  EXPECT_EQ(size_product(uint64_t(1) << 40, uint64_t(1) << 40), UINT64_MAX);
  EXPECT_EQ(size_product(6, 7), 42u);
}

#if !defined(__SANITIZE_ADDRESS__)
// (AddressSanitizer's operator new reports a failure itself, before any handler.)
TEST(MemoryBudget, FailedOperatorNewIsReported) {
  EXPECT_EXIT(
      {
        install_out_of_memory_handler();
        volatile size_t huge = size_t(1) << 62;
        char* p = new char[huge];
        p[0] = 1;
      },
      testing::ExitedWithCode(1), "^tarn: out of memory\n$");
}
#endif

// Recursion that asks for room at every level, with frames of over 1 KiB: 300,000 levels
// take more than one fresh stack holds, so the walk must move on to further ones.
uint64_t depth(uint64_t n) {
  volatile char frame[1024];
  frame[0] = 1;
  if (n == 0) return 0;
  return with_stack_room([&] { return depth(n - 1); }) + uint64_t(frame[0]);
}

TEST(BigStack, DeepRecursionContinuesOnFreshStacks) {
  uint64_t result = 0;
  run_on_fresh_stack([&] { result = depth(300'000); });
  EXPECT_EQ(result, 300'000u);
}

}  // namespace
