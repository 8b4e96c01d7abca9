// Times one top-level step of each large product method on balanced random operands, the
// general choice below it, to place the thresholds between Karatsuba, Toom-3 and the transform.
// Usage: limb_product_timing [limbs ...]; prints microseconds per product (best of runs, CPU time).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

namespace {

using Method = void (*)(uint64_t*, const uint64_t*, size_t, const uint64_t*, size_t);

// CPU time of this thread: the machine is shared, and wall time counts the other jobs.
double cpu_us() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// The fastest of several runs of at least 10 ms each: the least disturbed by cache sharing.
double best_us(Method m, const Limbs& a, const Limbs& b) {
  Limbs r(a.size() + b.size());
  double best = 1e300;
  for (int run = 0; run < 7; ++run) {
    int reps = 0;
    double start = cpu_us(), elapsed = 0;
    do {
      m(r.data(), a.data(), a.size(), b.data(), b.size());
      ++reps;
      elapsed = cpu_us() - start;
    } while (elapsed < 10000);
    best = std::min(best, elapsed / reps);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {200, 300, 400, 500, 600, 700, 800, 1000, 1200, 1500, 2000, 3000};
  std::mt19937_64 rng(1);
  std::printf("%8s %12s %12s %12s %12s\n", "limbs", "karatsuba", "toom3", "transform", "chosen");
  for (size_t n : sizes) {
    Limbs a(n), b(n);
    for (auto& x : a) x = rng() % kLimbBase;
    for (auto& x : b) x = rng() % kLimbBase;
    std::printf("%8zu %12.1f %12.1f %12.1f %12.1f\n", n,
                best_us(limb_detail::multiply_karatsuba, a, b),
                best_us(limb_detail::multiply_toom3, a, b),
                best_us(limb_detail::multiply_transform, a, b),
                best_us(limb_detail::multiply_runs, a, b));
  }
}
