// Reduction speed on combinator-heavy programs: steps per second of the engine.
//
//   cmake --preset bench && cmake --build --preset bench && build/bench/bench/reduce_bench
#include <benchmark/benchmark.h>

#include <string>

#include "frontend/definitions.h"
#include "eval/engine.h"
#include "frontend/linker.h"
#include "common/tables.h"
#include "driver/builtin_families.h"

namespace {

// Church numerals: 3^9 applications of the identity, then the result selected with K.
const char* const kChurch =
    "a\\(pw thr nin) (x\\I x) 5,"
    "thr\\f\\x\\f(f(f x)),"
    "nin\\f\\x\\f(f(f(f(f(f(f(f(f x)))))))),"
    "pw\\b\\e\\e b";

// The same power, with the identity spelled S K K: more combinator rewrites per application.
const char* const kCombinators =
    "a\\(pw thr nin) (S K K) 5,"
    "thr\\f\\x\\f(f(f x)),"
    "nin\\f\\x\\f(f(f(f(f(f(f(f(f x)))))))),"
    "pw\\b\\e\\e b";

void run_program_text(benchmark::State& state, const char* text) {
  install_builtin_families();
  uint64_t steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    load_prelude();
    load_program(text);
    link_program();
    Term main = definition_table()[""];
    state.ResumeTiming();
    uint64_t before = reduction_steps();
    Term result = reduce(make_pair(main, make_leaf("0")));
    steps += reduction_steps() - before;
    benchmark::DoNotOptimize(result.get());
  }
  state.counters["steps/s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
}

void BM_ChurchPower(benchmark::State& state) { run_program_text(state, kChurch); }
void BM_Combinators(benchmark::State& state) { run_program_text(state, kCombinators); }

BENCHMARK(BM_ChurchPower)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Combinators)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
