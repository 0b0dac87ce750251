#include "trial_loops.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backlash_chain.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "ordered_workers.h"

namespace morvell {

namespace {

// The loops on one thread, from the shift sum `sum` on.
void run_on_one_thread(DesignData& d, const TrialLoops& loops, GeometryPass geometry, float sum) {
  while (loops.more_sums(d, sum)) {
    loops.begin_sum(d, sum);
    for (int32_t z1 = loops.first_pinion_teeth; loops.more_teeth(z1); ++z1) {
      loops.start_row(d, z1);
      const ModuleLoop m = loops.module_loop(d, geometry);
      loops.after_row(d, sum, z1, m);
    }
    sum = loops.next_sum(d, sum);
    loops.progress(d, sum);
  }
}

struct RowKey {
  std::size_t sum_index = 0;
  float sum = 0;
  int32_t z1 = 0;
  bool first_of_sum = false, last_of_sum = false;
};

struct Row {
  std::unique_ptr<DesignData> start;  // the design the module loop began from
  std::unique_ptr<DesignData> left;   // the design it left
  ModuleLoop loop;
  std::vector<BacklashInputs> passes;  // what the backlash step of each geometry pass read
  std::vector<std::string> reports;    // domain-error reports, in order
};

// Runs a row's module loop from `start`; a survey leaves out the inspection dimensions.
Row run_row(std::unique_ptr<DesignData> start, const TrialLoops& loops, bool survey = false) {
  Row row;
  row.start = std::make_unique<DesignData>(*start);
  {
    DomainErrorCollector collect(row.reports);
    BacklashRecorder record(row.passes);
    row.loop = loops.module_loop(*start, survey ? recording_geometry_without_inspection : recording_geometry);
  }
  row.left = std::move(start);
  return row;
}

// The loops on worker threads, a row each (trial_loops.h): the rows are laid out from the shift sums and
// tooth counts before any trial, then run twice.
class RowsOnWorkers {
 public:
  RowsOnWorkers(DesignData& d, const TrialLoops& loops, int threads)
      : d_(d), loops_(loops), threads_(threads), before_(std::make_unique<DesignData>(d)) {
    // The rows, with the shift sums as the loops give them before any trial.
    auto scratch = std::make_unique<DesignData>(d);
    float sum = loops.first_sum;
    for (std::size_t s = 0; s < 100 && loops.more_sums(*scratch, sum); ++s) {
      sums_.push_back(sum);
      loops.begin_sum(*scratch, sum);
      const std::size_t first = rows_.size();
      for (int32_t z1 = loops.first_pinion_teeth; loops.more_teeth(z1); ++z1)
        rows_.push_back({s, sum, z1, rows_.size() == first, false});
      if (rows_.size() > first) rows_.back().last_of_sum = true;
      sum = loops.next_sum(*scratch, sum);
    }
  }

  bool has_rows() const { return !rows_.empty() && rows_.front().first_of_sum && rows_.size() % sums_.size() == 0; }

  void run() {
    // First run: what each row does, with the backlash of the design before the search and without the
    // inspection dimensions, which no row reads.
    passes_.assign(rows_.size(), {});
    last_module_.assign(rows_.size(), 0.0f);
    run_rows_in_order<Row>(
        threads_, rows_.size(),
        [&](std::size_t k) {
          auto start = before_row(k);
          return run_row(std::move(start), loops_, true);
        },
        [&](std::size_t k, Row& row) {
          passes_[k] = std::move(row.passes);
          last_module_[k] = row.loop.tried_module;
          return true;
        });
    follow(0, backlash_carried_by(*before_));

    // Second run, taken in loop order.
    auto expected = std::make_unique<DesignData>(d_);  // the design the row being taken must begin from
    std::size_t first_row = 0;
    bool off_course = false;  // the shift sums went other ways than the rows assumed
    float sum = loops_.first_sum;
    while (first_row < rows_.size() && !off_course) {
      std::size_t next_row = rows_.size();
      std::unique_ptr<Row> changed;
      BacklashCarried into_changed;
      std::size_t changed_row = 0;
      run_rows_in_order<Row>(
          threads_, rows_.size() - first_row,
          [&](std::size_t n) { return run_row(rebuilt_before_row(first_row + n), loops_); },
          [&](std::size_t n, Row& row) {
            const std::size_t k = first_row + n;
            const RowKey& key = rows_[k];
            if (key.first_of_sum) {
              if (!loops_.more_sums(*expected, sum) || sum != key.sum) {
                off_course = true;
                return false;
              }
              loops_.begin_sum(*expected, sum);
            }
            const BacklashCarried into_row = backlash_carried_by(*expected);
            loops_.start_row(*expected, key.z1);
            bool again = false;
            if (std::memcmp(row.start.get(), expected.get(), sizeof(DesignData)) != 0) {
              row = run_row(std::make_unique<DesignData>(*expected), loops_);
              again = true;
            }
            for (const std::string& report : row.reports) report_domain_error(report);
            loops_.after_row(*row.left, key.sum, key.z1, row.loop);
            *expected = *row.left;
            if (key.last_of_sum) {
              sum = loops_.next_sum(*expected, sum);
              loops_.progress(*expected, sum);
            }
            if (again && (row.passes.size() != passes_[k].size() || row.loop.tried_module != last_module_[k] ||
                          !(carried_after(k, row.passes, into_row) == carried_[first_pass_[k] + passes_[k].size()]))) {
              changed = std::make_unique<Row>(std::move(row));
              changed_row = k;
              into_changed = into_row;
              next_row = k + 1;
              return false;
            }
            return true;
          });
      if (changed) {
        // The row did other than the first run found: follow the backlash again from it and rebuild the
        // rows after it (the workers have stopped).
        passes_[changed_row] = std::move(changed->passes);
        last_module_[changed_row] = changed->loop.tried_module;
        follow(changed_row, into_changed);
      }
      first_row = next_row;
    }
    d_ = *expected;
    // Whatever is left of the loops (nothing, unless the shift sums went other ways) on this thread.
    run_on_one_thread(d_, loops_, calc_gear_geometry, sum);
  }

 private:
  // The design before the module loop of row k as the loops set it, without the trials before it.
  std::unique_ptr<DesignData> before_row(std::size_t k) const {
    auto d = std::make_unique<DesignData>(*before_);
    float sum = loops_.first_sum;
    for (std::size_t s = 0; s < rows_[k].sum_index; ++s) {
      loops_.begin_sum(*d, sum);
      sum = loops_.next_sum(*d, sum);
    }
    loops_.begin_sum(*d, sum);
    loops_.start_row(*d, rows_[k].z1);
    return d;
  }

  // The same after the last trial of the row before, run again with the backlash carried into it.
  std::unique_ptr<DesignData> rebuilt_before_row(std::size_t k) const {
    if (k == 0) return before_row(0);
    const std::size_t p = k - 1;
    auto d = before_row(p);
    const std::size_t passes = passes_[p].size();
    if (passes < 2) return before_row(k);
    carry_backlash(carried_[first_pass_[p] + passes - 2], *d);
    {
      std::vector<std::string> dropped;
      DomainErrorCollector collect(dropped);
      loops_.trial(*d, last_module_[p], calc_gear_geometry);
    }
    float sum = rows_[p].sum;
    if (rows_[p].last_of_sum) sum = loops_.next_sum(*d, sum);
    if (rows_[k].first_of_sum) loops_.begin_sum(*d, sum);
    loops_.start_row(*d, rows_[k].z1);
    return d;
  }

  // The backlash after a row's passes, from what is carried into it.
  BacklashCarried carried_after(std::size_t, const std::vector<BacklashInputs>& passes,
                                const BacklashCarried& into) const {
    std::vector<BacklashCarried> c(passes.size() + 1);
    follow_backlash(*before_, passes, 0, into, c);
    return c.back();
  }

  // Follows the backlash through every pass from row k on, with what is carried into row k.
  void follow(std::size_t k, const BacklashCarried& into) {
    first_pass_.assign(rows_.size() + 1, 0);
    for (std::size_t r = 0; r < rows_.size(); ++r) first_pass_[r + 1] = first_pass_[r] + passes_[r].size();
    std::vector<BacklashInputs> all;
    all.reserve(first_pass_.back());
    for (const auto& p : passes_) all.insert(all.end(), p.begin(), p.end());
    carried_.resize(all.size() + 1);
    follow_backlash(*before_, all, first_pass_[k], into, carried_);
  }

  DesignData& d_;
  const TrialLoops& loops_;
  int threads_;
  std::unique_ptr<DesignData> before_;
  std::vector<float> sums_;
  std::vector<RowKey> rows_;
  std::vector<std::vector<BacklashInputs>> passes_;
  std::vector<float> last_module_;
  std::vector<std::size_t> first_pass_;
  std::vector<BacklashCarried> carried_;
};

}  // namespace

void run_trial_loops(DesignData& d, const TrialLoops& loops, GeometryPass geometry, int threads) {
  const int workers = geometry == calc_gear_geometry ? search_thread_count(threads) : 1;
  if (workers > 1) {
    RowsOnWorkers rows(d, loops, workers);
    if (rows.has_rows()) {
      rows.run();
      return;
    }
  }
  run_on_one_thread(d, loops, geometry, loops.first_sum);
}

}  // namespace morvell
