#include "diagnostics/stack_room.h"

#include <pthread.h>

#include <cstdint>
#include <exception>

#include "diagnostics/memory_budget.h"

namespace {

// Stacks that a deep walk continues on (reserved, committed only as they are used), and the
// room a walk keeps below each check.
constexpr size_t kFreshStackBytes = size_t(256) << 20;
constexpr size_t kStackMargin = size_t(1) << 20;

// Lowest usable address of this thread's stack (stacks grow down), found on first use.
thread_local uintptr_t t_stack_floor = 0;

uintptr_t stack_floor() {
  if (t_stack_floor == 0) {
    pthread_attr_t attr;
    void* low = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &low, &size);
      pthread_attr_destroy(&attr);
    }
    t_stack_floor = reinterpret_cast<uintptr_t>(low) + kStackMargin;
  }
  return t_stack_floor;
}

struct Job {
  const std::function<void()>* work;
  std::exception_ptr budget;  // the fuzz build's budget stop, carried back to the caller
};

void* run_job(void* arg) {
  auto* job = static_cast<Job*>(arg);
#ifdef TARN_FUZZ_BUDGETS
  try {
    (*job->work)();
  } catch (const BudgetExceeded&) {
    job->budget = std::current_exception();
  }
#else
  (*job->work)();
#endif
  return nullptr;
}

}  // namespace

bool stack_is_low() {
  char here;
  return reinterpret_cast<uintptr_t>(&here) < stack_floor();
}

void run_on_fresh_stack(const std::function<void()>& work) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  Job job{&work, nullptr};
  bool started = pthread_attr_setstacksize(&attr, kFreshStackBytes) == 0 &&
                 pthread_create(&thread, &attr, run_job, &job) == 0;
  pthread_attr_destroy(&attr);
  // A thread that cannot be had means no memory is left for a stack either.
  if (!started) out_of_memory();
  pthread_join(thread, nullptr);
  if (job.budget) std::rethrow_exception(job.budget);
}
