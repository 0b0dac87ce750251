// The report of the design-space search window: the design held in the design data (the last record
// read, or the picked design) in the window's own 150-line results pane: the main data with the safety
// factors and stresses (lines 0 to 15), the full geometry with inspection dimensions, accuracy-grade
// deviations and mesh forces (17 to 93) and the rating factors (95 to 140).
#pragma once

#include "design_data.h"
#include "report_line_writer.h"

namespace morvell {

class ResultsPane;

inline constexpr int kSearchReportPaneLines = 150;

// The lines of the report in increasing line order. Unit system 1 gives the metric texts, 2 the English
// ones, any other value no line. With a transverse contact ratio of 1.0 or less (or not a number) the
// rating lines are replaced by the one line 95 "Rating not run (Transverse contact ratio <1.0)".
ReportLines search_report_lines(const DesignData& d);

// Writes the report into the pane: when the pane has the keyboard focus only a 151st line is removed
// and the report writes over the old lines; otherwise lines 0 to 149 are emptied first.
void write_search_report(const DesignData& d, ResultsPane& pane);

}  // namespace morvell
