// CPU time of the whole process (every thread), so that a benchmark of a search on worker threads
// shows the work it spent next to the wall-clock time; on a loaded machine the work is the steadier
// figure.
#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

class ProcessCpu {
 public:
  ProcessCpu() : start_(std::clock()) {}
  // Milliseconds of CPU time of all threads per iteration of `state`, as a counter.
  void report(benchmark::State& state) const {
    const double ms = double(std::clock() - start_) * 1000.0 / CLOCKS_PER_SEC;
    state.counters["cpu_ms_all_threads"] = state.iterations() ? ms / double(state.iterations()) : 0.0;
  }

 private:
  std::clock_t start_;
};
