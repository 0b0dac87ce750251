// The lines of the two rating reports of the results pane, built from the design data alone.
//
// Each report is a fixed layout: every text goes to a fixed line index, the pinion's value under the
// PINION heading and the wheel's under WHEEL. The builders only read the design data and convert
// units; writing the lines into the pane (and blanking it first) is the report methods' work.
#pragma once

#include <cstdint>

#include "design_data.h"
#include "numeric.h"
#include "report_line_writer.h"

namespace morvell {

// The two lines that stand where the rating's results would when the rating did not run (the pair does
// not mesh with a transverse contact ratio of at least 1, or its rating inputs are missing).
inline constexpr const char* kRatingNotRunLines[2] = {"Rating not run ",
                                                      "check rating inputs and transverse contact ratio>1.0"};

// First line blanked by each report when the pane does not have the keyboard focus, and the last one.
// The details report leaves lines 95 to 99 alone until it overwrites them.
inline constexpr int kRatingDetailsLastBlankLine = 94;
inline constexpr int kRatingSummaryLastBlankLine = 99;

// The rating details: every factor and stress of the pitting and tooth-root rating (lines 0 to 46; on
// line 25, where the dynamic factor lies outside the range of its method, the sentence that says so),
// the load and rating inputs of the selected load case (48 to 59), and the material blocks with the
// S-N points of the pinion (61 to 77) and the wheel (79 to 95), in increasing line order.
// With rating_valid not 1: only the two "Rating not run" lines 3 and 4. With a unit system other than
// 1 (metric) or 2 (English): no line.
ReportLines rating_details_lines(const DesignData& d);

// The rating summary: safety factors, stresses, life factors, lives and damage of both gears for
// contact (lines 0 to 10) and bending (12 to 20), the contact ratios (22, 23) and the mesh forces
// (25 to 27); on line 1, where the dynamic factor lies outside the range of its method, the sentence
// that says so. With rating_valid not 1: only the two "Rating not run" lines 2 and 3. With a unit
// system other than 1 or 2: no line.
ReportLines rating_summary_lines(const DesignData& d);

// True when a damage pair is printed in exponent notation: when either value lies above 1000 or
// below 0.01 percent, or is not a number.
bool damage_in_exponent_notation(float pinion, float wheel);

}  // namespace morvell

class QTextEdit;

namespace morvell {

class ResultsPane;

// The two reports written into a results pane. When the pane has the keyboard focus nothing is blanked
// (only a 101st line the pane should not hold is removed) and the report overwrites its own lines;
// otherwise lines 0 to 94 (details) or 0 to 99 (summary) are emptied first.
void write_rating_details_report(const DesignData& d, ResultsPane& pane);
void write_rating_summary_report(const DesignData& d, ResultsPane& pane);

// Scroll bars of the pane: both shown as the layout has them.
void show_both_scroll_bars(QTextEdit* view);

// Brings the pane back to its first line: scroll bars off, the caret to the start of the text, scroll
// bars on again, the view at the top left.
void scroll_to_first_line(QTextEdit* view);

}  // namespace morvell
