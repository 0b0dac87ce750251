// The 20 quantities the search plot can put on its axes, the range pairs of SearchRanges that go with
// them, the filter test of a design against every range, and the extents of a set of results.
#pragma once

#include "design_data.h"

namespace morvell {

inline constexpr int kPlotVariableCount = 20;
inline constexpr int kPinionTeethVariable = 1;
inline constexpr int kFirstStressVariable = 12;  // 12..19 are stresses (MPa), shown in display units

// The item text of plot variable `index` ("Module", "Pinion Teeth", ...); empty outside 0..19.
const char* plot_variable_name(int index);

// The value of plot variable `index` for the design held in d; false (v unchanged) outside 0..19.
bool plot_variable_value(const DesignData& d, int index, float& v);

// The range pair of SearchRanges that is the axis range of plot variable `index` (the tooth pair as
// reals); false outside 0..19.
bool plot_variable_range(const DesignData& d, int index, float& min, float& max);

// Writes an axis range into the pair of plot variable `index` (the tooth pair truncated to integers).
void set_plot_variable_range(DesignData& d, int index, float min, float max);

// A zoomed axis range written back into the pair of plot variable `index`: the part of [min, max] that
// lies within the pair as stored. Written only when that leaves a range the window's fields accept (the
// minimum below the maximum, at least one whole tooth between the tooth bounds); otherwise the pair
// stays, as it must when the drawn axis was only widened around equal bounds. Returns whether written.
bool zoom_plot_variable_range(DesignData& d, int index, float min, float max);

// True when the design held in d lies outside any of the 19 filter pairs (value above the upper or below
// the lower bound: both bounds belong to the range). The result-filter kind shown does not matter.
bool outside_search_ranges(const DesignData& d);

// The extents of the results, gathered record by record for Auto Scale: every real pair (all but the
// tooth pair and the fillet-factor pair) starts empty, the tooth pair starts as it is and only widens.
class SearchExtents {
 public:
  explicit SearchExtents(const DesignData& d);
  // Widens by the design held in d. Values that are not finite cannot make an axis and are passed over.
  void add(const DesignData& d);
  // Writes the extents into d's pairs. A pair that no finite value reached keeps its bounds.
  void apply(DesignData& d) const;

 private:
  static constexpr int kPairCount = 18;  // the real pairs
  float lo_[kPairCount];
  float hi_[kPairCount];
  int32_t teeth_min_, teeth_max_;
};

}  // namespace morvell
