#include <benchmark/benchmark.h>

#include "numeric.h"

// Placeholder measurement of the numeric helpers; the calculation benchmarks join this file's folder.
static void BM_Involute(benchmark::State& state) {
  morvell::ld a = 0.3L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(morvell::involute(a));
  }
}
BENCHMARK(BM_Involute);
