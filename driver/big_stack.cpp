#include "driver/big_stack.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Reserved, not committed: pages are only touched as deep recursion reaches them.
constexpr size_t kStackBytes = size_t(4) << 30;

struct Job {
  const std::function<int()>* work;
  int result;
};

void* run_job(void* arg) {
  auto* job = static_cast<Job*>(arg);
  job->result = (*job->work)();
  return nullptr;
}

}  // namespace

int run_on_big_stack(const std::function<int()>& work) {
  Job job{&work, 0};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attr, kStackBytes) == 0 &&
                 pthread_create(&thread, &attr, run_job, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!started) return work();  // fall back to the ordinary stack
  pthread_join(thread, nullptr);
  return job.result;
}
