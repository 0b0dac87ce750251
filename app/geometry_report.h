// The geometry report of the results pane: one line per quantity with the pinion's and the wheel's
// value in two tab-separated columns, in metric or English units.
#pragma once

#include "design_data.h"
#include "results_pane.h"

namespace morvell {

// Writes the report of d into the pane by line index. When the pane has the keyboard focus only a
// 101st line is removed before writing; otherwise lines 0 to 99 are emptied first. Unit system 1
// writes the metric lines, 2 the English ones, any other value nothing more.
void write_geometry_report(const DesignData& d, ResultsPane& pane);

}  // namespace morvell
