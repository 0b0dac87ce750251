// Work of the searches spread over worker threads while its results are taken in their original order.
//
// A search splits its candidates into rows that can be evaluated apart, each on its own copy of the
// design data. Worker threads evaluate the rows, the calling thread takes the results row by row in
// the order of the rows (writing the result file, moving the progress bar, handing on reports), so
// that everything the caller sees happens in the order of a run on one thread.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace morvell {

// The number of threads a search runs on: `requested` when it is 1 or more, else one per core of the
// machine (at least one).
inline int search_thread_count(int requested) {
  if (requested >= 1) return requested;
  return int(std::max(1u, std::thread::hardware_concurrency()));
}

// Runs evaluate(k) for k = 0 .. count - 1 on `threads` worker threads and hands each result to
// take(k, result) on the calling thread in the order of k. When take returns false, no further row is
// started and no further result is taken. Workers run at most `ahead` rows beyond the one the caller
// waits for, so that the results held at any time stay few. `evaluate` must not touch state shared
// with other rows.
template <typename Result>
void run_rows_in_order(int threads, std::size_t count, const std::function<Result(std::size_t)>& evaluate,
                       const std::function<bool(std::size_t, Result&)>& take, std::size_t ahead = 0) {
  if (count == 0) return;
  threads = std::max(1, threads);
  if (ahead == 0) ahead = 4 * std::size_t(threads);
  std::mutex mutex;
  std::condition_variable row_done, row_taken;
  std::vector<std::optional<Result>> results(count);
  std::size_t next_row = 0;  // the next row a worker starts
  std::size_t waited = 0;    // the row the caller waits for
  bool stop = false;

  auto work = [&] {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      row_taken.wait(lock, [&] { return stop || next_row >= count || next_row < waited + ahead; });
      if (stop || next_row >= count) return;
      const std::size_t k = next_row++;
      lock.unlock();
      Result r = evaluate(k);
      lock.lock();
      results[k].emplace(std::move(r));
      row_done.notify_all();
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(std::size_t(threads));
  for (int t = 0; t < threads; ++t) workers.emplace_back(work);

  for (std::size_t k = 0; k < count; ++k) {
    std::optional<Result> r;
    {
      std::unique_lock<std::mutex> lock(mutex);
      row_done.wait(lock, [&] { return results[k].has_value(); });
      r = std::move(results[k]);
      results[k].reset();
    }
    const bool go_on = take(k, *r);
    {
      std::lock_guard<std::mutex> lock(mutex);
      waited = k + 1;
      if (!go_on) stop = true;
    }
    row_taken.notify_all();
    if (!go_on) break;
  }
  for (auto& w : workers) w.join();
}

}  // namespace morvell
