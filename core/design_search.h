// The design-space search: a fixed grid of candidate gear pairs around the current design, each run
// through the geometry pass and the ISO 6336 rating and written as one record of optimizer.dat.
//
// Pass 1 (geometry-manager mode 1, the centre distance held and the module following) takes every
// pinion tooth count of the teeth range with the wheel teeth rounded up and down from the desired
// ratio; pass 2 (mode 2, centre distance and module held, the teeth and shift sum following) takes 20
// modules over the module range. Within each pass: 5 normal pressure angles, 5 helix angles, 3 minimum
// root fillet factors and 3 splits of the profile shift. The search writes straight into the design
// data; its caller decides afterwards which design remains.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "design_data.h"
#include "search_result_file.h"

namespace morvell {

// The steps of the grid (kSearchModuleSteps and the others) stand with the grid position of a record
// in search_result_file.h.

// The calculations one evaluation runs. Tests put stand-ins here.
struct SearchCalculations {
  void (*geometry)(DesignData&) = nullptr;  // nullptr: calc_gear_geometry
  void (*rate)(DesignData&) = nullptr;      // nullptr: rate_gear_pair(make_rating_input(d), d)
};

// Receives the progress bar position, trunc(evaluations / 180) kept within 0..100, whenever it changes.
using SearchProgress = std::function<void(int)>;

struct SearchRun {
  int32_t evaluations = 0;  // candidates evaluated
  int32_t records = 0;      // records written: the candidates listed
  int32_t unlisted = 0;     // candidates not listed: a pair the main window cannot hold (see below)
  std::string message;      // empty when the result file was written completely; else the text for the user
  // The records of a complete run as the result file lists them (as a reader takes them), for a caller
  // that shows and picks from them without reading the file back, which another copy of the program in
  // the same folder may have replaced meanwhile. Empty when the file was not written completely.
  std::vector<DesignPointRecord> listed;
  bool ok() const { return message.empty(); }
};

// Number of records a grid run writes for the search ranges of d.
int32_t search_record_count(const DesignData& d);

// The search. With d.search_single_design = 1 it evaluates the design held in d once (the geometry
// pass, and the rating when the transverse contact ratio is at least 1.0) and touches no file, counter
// or grid variable. Otherwise it sets search_eval_count to 0 and runs the grid over the ranges of d,
// rewriting the result file at `path` record by record; afterwards geometry_manager_mode holds 3 and d
// the last candidate. When the file cannot be created the grid does not run; when a record cannot be
// written the grid stops there. Both are reported in the result.
//
// Every candidate is evaluated from the design held in d when the search begins (the user's design:
// its backlash, load, material and every other value) with the values of its place in the grid; shift
// variants 1 and 2 also take the pinion shift and the bending safety factors of the variant before them
// at the same grid point. The module of pass 2 is capped at the one at which 13 pinion teeth and their
// wheel fill the centre distance without profile shift, at the candidate's own angles. A candidate is
// rated when its transverse contact ratio is above 1.0 and its
// evaluation left the domain of no formula; one that is not is listed without a rating (every rating
// field "nan"). Only a candidate whose pair the main window can take as listed is listed: both gears of
// 6 to 999 teeth, a design that a design file can hold, and shifts that close the centre distance the
// search holds (in pass 2 a module at which no teeth fill it leaves the teeth of another pair). Pass 1 takes at most kSearchMaxToothCounts tooth
// counts, spread over a wider range, so a search evaluates at most 9000 candidates; the progress
// positions run from 0 to 50 over them, the plot of the results carries the bar on to 100.
//
// The grid runs on `threads` threads (0: one per core of the machine; stand-in calculations always run
// on the caller's thread). The file, the progress positions, the domain-error reports and the design
// left in d are the same whatever the number of threads; progress and reports reach the caller on its
// own thread, in the order of the candidates.
SearchRun search_design_space(DesignData& d, const SearchProgress& progress = {},
                              const SearchCalculations& calc = {}, const char* path = kSearchResultFileName,
                              int threads = 0);

}  // namespace morvell
