#include "design_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "geometry_pass.h"
#include "input_limits.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "ordered_workers.h"
#include "rating.h"
#include "rating_input.h"
#include "tooth_proportions.h"

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

// What a shift variant 1 or 2 takes from the candidate evaluated before it, the variant before it at
// the same grid point: it moves that one's pinion shift towards the gear that was weaker in bending
// there. Everything else every candidate takes from the user's design and its own place in the grid.
struct Predecessor {
  float pinion_shift = 0;
  float bending_safety_factor[2]{};
};

Predecessor predecessor_of(const DesignData& d) {
  return {d.profile_shift[0], {d.bending_safety_factor_pinion, d.bending_safety_factor_wheel}};
}

// The rating results of a candidate that is not rated: none.
RatingResults not_rated() {
  RatingResults r;
  float* v = reinterpret_cast<float*>(&r);
  static_assert(sizeof(RatingResults) % sizeof(float) == 0);
  std::fill(v, v + sizeof(RatingResults) / sizeof(float), nan_f());
  return r;
}

// The evaluation of one candidate. Each starts from the user's design (its backlash, load, material and
// every other value) and takes of the candidate before it only what the grid's rules read (Predecessor).
// A candidate is rated when its geometry pass gave a transverse contact ratio above 1.0 without leaving
// the domain of a formula; a candidate that is not rated, or whose rating left one, is listed without a
// rating. A candidate whose pair the main window could not take as listed is not listed at all.
class Evaluation {
 public:
  using Pass = void (*)(DesignData&);
  // The shifts of a pair close the held centre distance to within this share of it (the geometry pass
  // closes it to the rounding of its 32-bit values, a few parts in 10^7).
  static constexpr ld kCentreDistanceClosed = 1e-5L;

  Evaluation(const DesignData& user, const SearchCalculations& calc)
      : user_(user),
        geometry_(calc.geometry ? calc.geometry : calc_gear_geometry),
        rate_(calc.rate ? calc.rate : rate_design) {}

  // Evaluates candidate `index` into d after a candidate that left `before` (read by shift variants 1
  // and 2 only); the domain-error reports of the candidate go to `reports`. Returns whether the candidate
  // is listed.
  bool operator()(DesignData& d, const Candidate& c, std::size_t index, const Predecessor& before,
                  std::vector<std::string>& reports) const {
    d = user_;
    d.search_eval_count = int32_t(std::min<std::size_t>(index + 1, INT32_MAX));
    d.geometry_manager_mode = c.pass;
    // Pass 1 holds the shift sum at 0; in pass 2 the geometry pass finds the one that fills the centre
    // distance with the teeth it finds.
    d.profile_shift_sum = 0;
    d.profile_shift[0] = before.pinion_shift;
    d.bending_safety_factor_pinion = before.bending_safety_factor[0];
    d.bending_safety_factor_wheel = before.bending_safety_factor[1];

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

    // No module above the one at which 13 pinion teeth and their wheel fill the centre distance without
    // profile shift at the candidate's helix angle, where the reference diameters sum to twice the centre
    // distance (in pass 1 the geometry pass derives the module from the centre distance anyway).
    const ld z2_at_13 = whole_part_of_float_product(13.0L * d.desired_ratio);
    const float m13 = to_float(2.0L * ld(d.centre_distance) * std::cos(deg_to_rad(ld(d.helix_angle))) / (13.0L + z2_at_13));
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

    DomainErrorCollector collect(reports);
    if (c.pass == 1) {
      // The pair's own ratio: the geometry pass splits the shift sum by it.
      const float u = d.desired_ratio;
      const ld z1_u = ld(d.teeth[0]) * ld(u);
      d.teeth[1] = to_int32_clamped(g.rounding_variant == 0 ? std::ceil(z1_u) : std::floor(z1_u));
      d.desired_ratio = float(ld(d.teeth[1]) / ld(d.teeth[0]));
      d.actual_ratio = d.desired_ratio;
      geometry_(d);
      d.desired_ratio = u;
    } else {
      geometry_(d);
    }

    const bool rated = reports.empty() && d.transverse_contact_ratio > 1.0f && !tooth_proportions_kept(d);
    if (rated) rate_(d);
    if (!rated || !reports.empty()) {
      static_cast<RatingResults&>(d) = kNotRated;
      d.rating_valid = 0;
    }
    return listable(d, g);
  }

  // Whether the main window can take the candidate's pair as it is listed: both gears of 6 to 999 teeth,
  // a design that a design file holds, and shifts that close the centre distance the search holds (a
  // module whose teeth cannot fill it leaves the pair of another; the rest would go into the backlash),
  // and teeth that the constraints cut soundly (otherwise the pass kept the proportions it had).
  static bool listable(const DesignData& d, const SearchGridPoint& g) {
    const DesignPointRecord r = design_point_of(d, g);
    const ld a = d.centre_distance;
    return !tooth_proportions_kept(d) && design_point_usable(r) && teeth_ok(r.teeth[0]) && teeth_ok(r.teeth[1]) &&
           std::fabs(ld(d.centre_distance_from_shifts) - a) <= kCentreDistanceClosed * a;
  }

  const DesignData& user() const { return user_; }

 private:
  static inline const RatingResults kNotRated = not_rated();
  const DesignData& user_;
  Pass geometry_;
  Pass rate_;
};

// Progress position after `evaluations` of `count` candidates: the search fills the bar to half, the
// plot of its results the other half.
int progress_position(int64_t evaluations, int64_t count) {
  if (count <= 0) return 0;
  return int(std::clamp<int64_t>(evaluations * 50 / count, 0, 100));
}

// Hands the reports of one candidate to the reporter of the caller's thread (or its collector).
void pass_on(const std::vector<std::string>& reports) {
  for (const std::string& report : reports) report_domain_error(report);
}

// The grid on the caller's thread alone, candidate after candidate.
void run_on_one_thread(DesignData& d, const std::vector<Candidate>& candidates, const Evaluation& evaluate,
                       const SearchProgress& progress, SearchResultWriter& file, SearchRun& result) {
  Predecessor before = predecessor_of(evaluate.user());
  int last_position = -1;
  std::vector<std::string> reports;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const int position = progress_position(int64_t(i) + 1, int64_t(candidates.size()));
    if (progress && position != last_position) progress(position);
    last_position = position;
    reports.clear();
    const bool listed = evaluate(d, candidates[i], i, before, reports);
    pass_on(reports);
    ++result.evaluations;
    if (listed) {
      if (!file.write(design_point_of(d, candidates[i].g))) return;
      ++result.records;
    } else {
      ++result.unlisted;
    }
    before = predecessor_of(d);
  }
  d.geometry_manager_mode = 3;  // one past the last pass, until a caller sets it
}

// The grid on worker threads.
//
// A candidate takes nothing of the candidates before it but a shift variant of the one before it at the
// same grid point, so the grid is cut into rows of whole grid points, each evaluated by a worker on its
// own copy of the design data. The caller's thread takes the rows in grid order: the file, the progress,
// the reports and the design left behind are those of a run on one thread.
constexpr std::size_t kRowCandidates = 36;  // whole grid points of the three shift variants
static_assert(kRowCandidates % kSearchShiftVariants == 0);

struct Row {
  std::size_t begin = 0, end = 0;
  std::unique_ptr<DesignData> left;  // the design its last candidate left
  std::string text;                  // its records, as the file takes them
  std::vector<std::size_t> record_ends;
  std::vector<uint8_t> listed;
  std::vector<std::vector<std::string>> reports;  // domain-error reports of each candidate
};

// Evaluates candidates [begin, end), which begin at a grid point.
Row evaluate_row(std::size_t begin, std::size_t end, const std::vector<Candidate>& candidates,
                 const Evaluation& evaluate) {
  Row row;
  row.begin = begin;
  row.end = end;
  row.left = std::make_unique<DesignData>();
  DesignData& d = *row.left;
  row.reports.resize(end - begin);
  row.listed.resize(end - begin);
  row.record_ends.reserve(end - begin);
  Predecessor p = predecessor_of(evaluate.user());
  for (std::size_t i = begin; i < end; ++i) {
    const bool listed = evaluate(d, candidates[i], i, p, row.reports[i - begin]);
    row.listed[i - begin] = listed;
    if (listed) row.text += format_design_point(design_point_of(d, candidates[i].g));
    row.record_ends.push_back(row.text.size());
    p = predecessor_of(d);
  }
  return row;
}

void run_on_workers(int threads, DesignData& d, const std::vector<Candidate>& candidates,
                    const Evaluation& evaluate, const SearchProgress& progress, SearchResultWriter& file,
                    SearchRun& result) {
  const std::size_t count = candidates.size();
  const std::size_t rows = (count + kRowCandidates - 1) / kRowCandidates;
  int last_position = -1;
  bool complete = true;
  run_rows_in_order<Row>(
      threads, rows,
      [&](std::size_t k) {
        const std::size_t begin = k * kRowCandidates;
        return evaluate_row(begin, std::min(count, begin + kRowCandidates), candidates, evaluate);
      },
      [&](std::size_t, Row& row) {
        std::size_t from = 0;
        for (std::size_t i = row.begin; i < row.end; ++i) {
          const std::size_t n = i - row.begin;
          const int position = progress_position(int64_t(i) + 1, int64_t(count));
          if (progress && position != last_position) progress(position);
          last_position = position;
          pass_on(row.reports[n]);
          ++result.evaluations;
          if (!row.listed[n]) {
            ++result.unlisted;
            continue;
          }
          if (!file.write_text(std::string_view(row.text).substr(from, row.record_ends[n] - from))) {
            // The grid stops at this candidate and leaves its design, as on one thread.
            d = *evaluate_row(row.begin, i + 1, candidates, evaluate).left;
            complete = false;
            return false;
          }
          ++result.records;
          from = row.record_ends[n];
        }
        d = *row.left;
        return true;
      });
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
    const auto user = std::make_unique<DesignData>(d);
    const Evaluation evaluate(*user, calc);
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
