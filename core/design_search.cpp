#include "design_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "backlash_chain.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "ordered_workers.h"
#include "rating.h"
#include "rating_input.h"

namespace morvell {

namespace {

// The tooth counts of pass 1: n_z counts from the range's minimum, `step` apart.
struct ToothSteps {
  int64_t count = 0;
  int64_t step = 0;
};

ToothSteps tooth_steps(const DesignData& d) {
  const int64_t span = int64_t(d.search_teeth_max) - int64_t(d.search_teeth_min);
  ToothSteps t;
  t.count = std::clamp<int64_t>(span + 1, 0, kSearchMaxToothCounts);
  // A single count has no step (the range's minimum alone).
  t.step = t.count > 1 ? span / (t.count - 1) : 0;
  return t;
}

// min + step (max - min) / divisions, in extended precision.
float grid_value(float min, float max, int step, int divisions) {
  return float(ld(min) + ld(step) * (ld(max) - ld(min)) / ld(divisions));
}

// One candidate of the grid: its pass and its place in the grid.
struct Candidate {
  int32_t pass = 1;
  SearchGridPoint g;
};

// Every candidate of a grid run in the order of the nested loops, outermost first: module step, tooth
// step, pressure angle, helix angle, fillet factor, rounding of the wheel teeth, shift variant.
std::vector<Candidate> grid_candidates(const DesignData& d) {
  std::vector<Candidate> out;
  out.reserve(std::size_t(std::max(0, search_record_count(d))));
  for (int32_t pass = 1; pass <= 2; ++pass) {
    const int64_t module_steps = pass == 1 ? 1 : kSearchModuleSteps;
    const int64_t teeth_count = pass == 1 ? tooth_steps(d).count : 1;
    const int32_t roundings = pass == 1 ? 2 : 1;
    Candidate c;
    c.pass = pass;
    SearchGridPoint& g = c.g;
    for (g.module_step = 0; g.module_step < module_steps; ++g.module_step)
      for (g.teeth_step = 0; g.teeth_step < teeth_count; ++g.teeth_step)
        for (g.pressure_angle_step = 0; g.pressure_angle_step < kSearchPressureAngleSteps; ++g.pressure_angle_step)
          for (g.helix_step = 0; g.helix_step < kSearchHelixSteps; ++g.helix_step)
            for (g.fillet_step = 0; g.fillet_step < kSearchFilletSteps; ++g.fillet_step)
              for (g.rounding_variant = 0; g.rounding_variant < roundings; ++g.rounding_variant)
                for (g.shift_variant = 0; g.shift_variant < kSearchShiftVariants; ++g.shift_variant)
                  out.push_back(c);
  }
  return out;
}

bool begins_pass(const std::vector<Candidate>& c, std::size_t i) { return i == 0 || c[i].pass != c[i - 1].pass; }

// What a pass sets before its first candidate; the pass number is the geometry manager's mode.
void begin_pass(DesignData& d, int32_t pass) {
  d.geometry_manager_mode = pass;
  if (pass == 1) d.profile_shift_sum = 0;
  d.shift_distribution_auto = 1;
}

// The evaluation of one candidate, which starts from the design the one before it left: the module
// cap reads the transverse pressure angle and (in pass 2) the shift sum of the previous geometry pass,
// the shift variants 1 and 2 move the pinion shift from the previous candidate's, and a candidate that
// is not rated keeps the rating results of the last one that was.
class Evaluation {
 public:
  explicit Evaluation(const SearchCalculations& calc)
      : geometry_(calc.geometry ? calc.geometry : calc_gear_geometry), rate_(calc.rate ? calc.rate : rate_design) {}

  // Evaluates candidate c on d; `backlash` (when given) receives what the candidate's backlash step read.
  void operator()(DesignData& d, const Candidate& c, BacklashInputs* backlash = nullptr) const {
    ++d.search_eval_count;
    const SearchGridPoint& g = c.g;
    if (c.pass == 1) {
      const ToothSteps t = tooth_steps(d);
      d.teeth[0] = int32_t(std::clamp<int64_t>(int64_t(d.search_teeth_min) + g.teeth_step * t.step, INT32_MIN,
                                               INT32_MAX));
    } else {
      d.normal_module = grid_value(d.search_module_min, d.search_module_max, g.module_step, kSearchModuleSteps - 1);
    }
    d.normal_pressure_angle = grid_value(d.search_pressure_angle_min, d.search_pressure_angle_max,
                                         g.pressure_angle_step, kSearchPressureAngleSteps - 1);
    d.helix_angle =
        grid_value(d.search_helix_angle_min, d.search_helix_angle_max, g.helix_step, kSearchHelixSteps - 1);

    // No module above the one at which 13 pinion teeth fill the centre distance (in pass 1 the
    // geometry pass derives the module from the centre distance anyway).
    const int32_t z2_at_13 = to_int32_clamped(whole_part_of_float_product(13.0L * d.desired_ratio));
    const float m13 = module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle,
                                                  d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
                                                  13, z2_at_13);
    if (m13 < d.normal_module) d.normal_module = m13;

    const float fillet =
        grid_value(d.search_fillet_coeff_min, d.search_fillet_coeff_max, g.fillet_step, kSearchFilletSteps - 1);
    d.min_root_fillet_coeff[0] = fillet;
    d.min_root_fillet_coeff[1] = fillet;

    // Variant 0 lets the geometry pass split the shift sum; variants 1 and 2 move the pinion's shift
    // from the previous evaluation towards the gear that was weaker in bending there.
    if (g.shift_variant == 0) {
      d.shift_distribution_auto = 1;
    } else {
      d.shift_distribution_auto = 0;
      if (d.bending_safety_factor_pinion <= d.bending_safety_factor_wheel)
        d.profile_shift[0] = float(ld(d.profile_shift[0]) + 0.2L);
      else
        d.profile_shift[0] = float(ld(d.profile_shift[0]) - 0.15L);
    }

    if (c.pass == 1) {
      const float u = d.desired_ratio;
      const ld z1_u = ld(d.teeth[0]) * ld(u);
      d.teeth[1] = to_int32_clamped(g.rounding_variant == 0 ? std::ceil(z1_u) : std::floor(z1_u));
      d.desired_ratio = float(ld(d.teeth[1]) / ld(d.teeth[0]));
      geometry_(d);
      d.desired_ratio = u;
    } else {
      geometry_(d);
    }
    if (backlash) *backlash = backlash_inputs_of(d);

    // An unrated candidate keeps the rating results of the one rated before it.
    if (d.transverse_contact_ratio > 1.0f) rate_(d);
  }

 private:
  void (*geometry_)(DesignData&);
  void (*rate_)(DesignData&);
};

// Progress position after `evaluations` candidates.
int progress_position(int64_t evaluations) {
  return int(std::clamp<int64_t>(evaluations / kSearchEvaluationsPerProgressStep, 0, 100));
}

// The grid on the caller's thread alone, candidate after candidate.
void run_on_one_thread(DesignData& d, const std::vector<Candidate>& candidates, const Evaluation& evaluate,
                       const SearchProgress& progress, SearchResultWriter& file, SearchRun& result) {
  int last_position = -1;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (begins_pass(candidates, i)) begin_pass(d, candidates[i].pass);
    const int position = progress_position(int64_t(d.search_eval_count) + 1);
    if (progress && position != last_position) progress(position);
    last_position = position;
    evaluate(d, candidates[i]);
    ++result.evaluations;
    if (!file.write(design_point_of(d, candidates[i].g))) return;
    ++result.records;
  }
  d.geometry_manager_mode = 3;  // one past the last pass, until a caller sets it
}

// The grid on worker threads.
//
// Every candidate starts from the design its predecessor left (see Evaluation), so the grid is cut into
// rows of consecutive candidates and each row is evaluated on its own copy of the design data. A row
// cannot wait for the design the row before it leaves; its worker rebuilds that design instead: it
// starts from the design before the search and evaluates the last candidates before the row once more
// (their records are not kept), and the last rated candidate before them with its own predecessors,
// whose rating unrated candidates keep. That gives the pass settings, the module cap, the shift split
// and the rating of the candidates before, but not the backlash, which every candidate since the start
// of the grid has moved (see BacklashCarried). So the grid runs twice:
// - a first run on the workers (without the inspection dimensions), with the backlash of the design
//   before the search, finds which candidates are rated and what the backlash step of each reads; the
//   caller's thread then follows the backlash from the first candidate to the last through the backlash
//   step alone;
// - the second run on the workers rebuilds each row's design with the backlash so found and keeps its
//   records.
// The caller's thread takes the rows of the second run in grid order and compares, byte for byte, the
// design each row began from with the one the row before it left. A row that began from another design
// (a module capped at 13 pinion teeth follows the shift sum of the candidate before it, and a run of
// capped modules does not forget where it started; a shift variant turned by a bending safety factor
// that the backlash moved, ...) is evaluated again from the right one, on the caller's thread; when that changes
// the backlash carried on, the backlash is followed anew and the rows after it are evaluated again.
// The file, the progress, the reports and the design left behind are those of a run on one thread.
constexpr std::size_t kRowCandidates = 36;     // whole groups of the three shift variants
constexpr std::size_t kRebuiltCandidates = 6;  // evaluated again before a row to rebuild its design

struct Row {
  std::size_t begin = 0, end = 0;
  std::unique_ptr<DesignData> start;  // the design the row began from
  std::unique_ptr<DesignData> left;   // the design its last candidate left
  std::string text;                   // its records, as the file takes them
  std::vector<std::size_t> record_ends;
  std::vector<std::vector<std::string>> reports;  // domain-error reports of each candidate
  std::vector<BacklashInputs> backlash;           // what the backlash step of each candidate read
  std::vector<uint8_t> rated;                     // whether each candidate was rated
};

// The first run goes back no further than this for a rated candidate.
constexpr std::size_t kMostRebuiltCandidates = 8 * kRowCandidates;

// Evaluates candidates [from, to) on d once more, as part of rebuilding a design, with their reports
// dropped; true when one of them was rated.
bool replay(DesignData& d, std::size_t from, std::size_t to, const std::vector<Candidate>& candidates,
            const Evaluation& evaluate) {
  std::vector<std::string> dropped;
  DomainErrorCollector collect(dropped);
  bool rated = false;
  for (std::size_t i = from; i < to; ++i) {
    if (begins_pass(candidates, i)) begin_pass(d, candidates[i].pass);
    evaluate(d, candidates[i]);
    if (d.transverse_contact_ratio > 1.0f) rated = true;
  }
  return rated;
}

// Evaluates candidates [begin, end) of a row from the design `start` and keeps what they give;
// `records` false keeps no records.
Row evaluate_row(std::unique_ptr<DesignData> start, std::size_t begin, std::size_t end,
                 const std::vector<Candidate>& candidates, const Evaluation& evaluate, bool records = true) {
  Row row;
  row.begin = begin;
  row.end = end;
  row.start = std::make_unique<DesignData>(*start);
  DesignData& d = *start;
  row.reports.resize(end - begin);
  row.backlash.resize(end - begin);
  row.rated.resize(end - begin);
  row.record_ends.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    DomainErrorCollector collect(row.reports[i - begin]);
    if (begins_pass(candidates, i)) begin_pass(d, candidates[i].pass);
    evaluate(d, candidates[i], &row.backlash[i - begin]);
    row.rated[i - begin] = d.transverse_contact_ratio > 1.0f;
    if (records) row.text += format_design_point(design_point_of(d, candidates[i].g));
    row.record_ends.push_back(row.text.size());
  }
  row.left = std::move(start);
  return row;
}

// The design a rebuild starts from before candidate `first`: the design before the search with the
// settings of the passes begun before that candidate and the backlash carried into it.
std::unique_ptr<DesignData> rebuild_start(const DesignData& before_search, const std::vector<Candidate>& candidates,
                                          std::size_t first, const BacklashCarried& carried) {
  auto d = std::make_unique<DesignData>(before_search);
  for (std::size_t i = 0; i < first; ++i)
    if (begins_pass(candidates, i)) begin_pass(*d, candidates[i].pass);
  d->search_eval_count = int32_t(first);
  carry_backlash(carried, *d);
  return d;
}

// Moves a rebuilt design from candidate `from` over to candidate `to` without evaluating the candidates
// between, which were not rated: what they leave behind, apart from the rating they keep, the
// candidates evaluated after `to` give again.
void skip_to(DesignData& d, std::size_t from, std::size_t to, const std::vector<Candidate>& candidates,
             const BacklashCarried& carried) {
  for (std::size_t i = from; i < to; ++i)
    if (begins_pass(candidates, i)) begin_pass(d, candidates[i].pass);
  d.search_eval_count = int32_t(to);
  carry_backlash(carried, d);
}

void run_on_workers(int threads, DesignData& d, const std::vector<Candidate>& candidates,
                    const Evaluation& evaluate, const SearchProgress& progress, SearchResultWriter& file,
                    SearchRun& result) {
  const auto before_search = std::make_unique<DesignData>(d);
  const std::size_t count = candidates.size();
  const std::size_t rows = (count + kRowCandidates - 1) / kRowCandidates;
  auto row_begin = [&](std::size_t k) { return k * kRowCandidates; };
  auto row_end = [&](std::size_t k) { return std::min(count, (k + 1) * kRowCandidates); };

  // First run: what each candidate's backlash step reads, with the backlash of the design before.
  // The rebuild of the first run goes back kRebuiltCandidates candidates, and further while none of them
  // was rated.
  std::vector<BacklashInputs> inputs(count);
  std::vector<uint8_t> rated(count);
  const BacklashCarried at_start = backlash_carried_by(d);
  // The first run needs no inspection dimensions: its geometry passes leave them out.
  const SearchCalculations survey_calculations{calc_gear_geometry_without_inspection, nullptr};
  const Evaluation survey(survey_calculations);
  run_rows_in_order<Row>(
      threads, rows,
      [&](std::size_t k) {
        const std::size_t begin = row_begin(k);
        std::unique_ptr<DesignData> start;
        for (std::size_t back = kRebuiltCandidates;; back *= 2) {
          const std::size_t first = begin > back ? begin - back : 0;
          start = rebuild_start(*before_search, candidates, first, at_start);
          if (replay(*start, first, begin, candidates, survey) || first == 0 || back >= kMostRebuiltCandidates)
            break;
        }
        return evaluate_row(std::move(start), begin, row_end(k), candidates, survey, false);
      },
      [&](std::size_t, Row& row) {
        std::copy(row.backlash.begin(), row.backlash.end(), inputs.begin() + std::ptrdiff_t(row.begin));
        std::copy(row.rated.begin(), row.rated.end(), rated.begin() + std::ptrdiff_t(row.begin));
        return true;
      });
  std::vector<BacklashCarried> carried(count + 1);
  follow_backlash(*before_search, inputs, 0, at_start, carried);

  // Second run, from `first_row` on; started again after a row that changed the backlash carried on.
  auto expected = std::make_unique<DesignData>(d);  // the design the row being taken must begin from
  int last_position = -1;
  bool complete = true, stopped = false;
  std::size_t first_row = 0;
  while (first_row < rows && !stopped) {
    std::size_t next_row = rows;
    std::unique_ptr<Row> changed_backlash;  // a row evaluated again that changed the backlash carried on
    BacklashCarried into_changed;
    const std::function<Row(std::size_t)> work = [&](std::size_t n) {
      // The rebuild of the second run evaluates the last rated candidate before the row (and the ones
      // before it) and then the last kRebuiltCandidates candidates before the row.
      const std::size_t k = first_row + n, begin = row_begin(k);
      std::size_t last_rated = begin;
      while (last_rated > 0 && !rated[last_rated - 1]) --last_rated;
      const std::size_t near = begin > kRebuiltCandidates ? begin - kRebuiltCandidates : 0;
      const std::size_t first =
          last_rated < near ? (last_rated > kRebuiltCandidates ? last_rated - kRebuiltCandidates : 0) : near;
      auto start = rebuild_start(*before_search, candidates, first, carried[first]);
      if (first < near) {
        replay(*start, first, last_rated, candidates, evaluate);
        skip_to(*start, last_rated, near, candidates, carried[near]);
      }
      replay(*start, near, begin, candidates, evaluate);
      return evaluate_row(std::move(start), begin, row_end(k), candidates, evaluate);
    };
    const std::function<bool(std::size_t, Row&)> take = [&](std::size_t, Row& row) {
      bool again = false;
      if (std::memcmp(row.start.get(), expected.get(), sizeof(DesignData)) != 0) {
        row = evaluate_row(std::make_unique<DesignData>(*expected), row.begin, row.end, candidates, evaluate);
        ++result.rows_evaluated_again;
        again = true;
      }
      std::size_t from = 0;
      for (std::size_t i = row.begin; i < row.end; ++i) {
        const std::size_t n = i - row.begin;
        const int position = progress_position(int64_t(i) + 1);
        if (progress && position != last_position) progress(position);
        last_position = position;
        for (const std::string& report : row.reports[n]) report_domain_error(report);
        ++result.evaluations;
        if (!file.write_text(std::string_view(row.text).substr(from, row.record_ends[n] - from))) {
          // The grid stops at this candidate and leaves its design, as on one thread.
          *expected = *evaluate_row(std::make_unique<DesignData>(*expected), row.begin, i + 1, candidates, evaluate,
                                    false).left;
          complete = false;
          stopped = true;
          return false;
        }
        ++result.records;
        from = row.record_ends[n];
      }
      const BacklashCarried from_row_start = backlash_carried_by(*expected);
      *expected = *row.left;
      if (again && !(backlash_carried_by(*expected) == carried[row.end])) {
        changed_backlash = std::make_unique<Row>(std::move(row));
        into_changed = from_row_start;
        next_row = changed_backlash->end / kRowCandidates;
        return false;
      }
      return true;
    };
    run_rows_in_order(threads, rows - first_row, work, take);
    if (changed_backlash) {
      // The backlash after that row differs from the one followed: follow it again from the row's start
      // with what the row's candidates read, and rebuild the rows after it with it (the workers have
      // stopped).
      const Row& row = *changed_backlash;
      std::copy(row.backlash.begin(), row.backlash.end(), inputs.begin() + std::ptrdiff_t(row.begin));
      std::copy(row.rated.begin(), row.rated.end(), rated.begin() + std::ptrdiff_t(row.begin));
      follow_backlash(*before_search, inputs, row.begin, into_changed, carried);
    }
    first_row = next_row;
  }
  d = *expected;
  if (complete) d.geometry_manager_mode = 3;  // one past the last pass, until a caller sets it
}

}  // namespace

int32_t search_record_count(const DesignData& d) {
  const int64_t per_point = int64_t(kSearchPressureAngleSteps) * kSearchHelixSteps * kSearchFilletSteps *
                            kSearchShiftVariants;
  return int32_t(tooth_steps(d).count * 2 * per_point + kSearchModuleSteps * per_point);
}

SearchRun search_design_space(DesignData& d, const SearchProgress& progress, const SearchCalculations& calc,
                              const char* path, int threads) {
  SearchRun result;
  if (d.search_single_design == 1) {
    (calc.geometry ? calc.geometry : calc_gear_geometry)(d);
    if (d.transverse_contact_ratio >= 1.0f) (calc.rate ? calc.rate : rate_design)(d);
    return result;
  }

  d.search_eval_count = 0;
  SearchResultWriter file(path);
  if (file.ok()) {
    const std::vector<Candidate> candidates = grid_candidates(d);
    const Evaluation evaluate(calc);
    // Stand-in calculations may keep state of their own: they run on the caller's thread.
    const int workers = calc.geometry || calc.rate ? 1 : search_thread_count(threads);
    if (workers == 1)
      run_on_one_thread(d, candidates, evaluate, progress, file, result);
    else
      run_on_workers(workers, d, candidates, evaluate, progress, file, result);
  }
  file.close();
  result.message = file.message();
  if (result.ok()) result.listed = file.take_listed();
  return result;
}

}  // namespace morvell
