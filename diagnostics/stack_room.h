// Room on the native stack for recursive walks.
//
// Recursive walks call with_stack_room at each level: the work runs in place while the stack
// has room, and continues on a new thread with a fresh stack when it has not, so that nesting
// depth is bounded by memory alone, whatever the build's frame sizes are.
#pragma once

#include <functional>
#include <optional>
#include <utility>

// True when the calling thread's stack has less than a safe margin left.
bool stack_is_low();
// Runs work on a new thread with a fresh stack and waits for it.
void run_on_fresh_stack(const std::function<void()>& work);

template <class Work>
auto with_stack_room(Work&& work) -> decltype(work()) {
  if (!stack_is_low()) [[likely]]
    return work();
  std::optional<decltype(work())> result;
  run_on_fresh_stack([&] { result.emplace(work()); });
  return std::move(*result);
}
