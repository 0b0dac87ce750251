// The rows of the rating factors and stresses that two reports print: the rating details report
// (lines 1 to 46) and the search report (lines 95 to 140). Each row is a value or a pinion-wheel pair
// of the design data, its metric and English text and the unit it is converted by.
#pragma once

#include <span>
#include <string>

#include "design_data.h"
#include "report_line_writer.h"

namespace morvell {

// Texts of the rows a report prints in its own wording: the row on report line `line` reads `metric`
// and `english` (either nullptr: the row's own text in that unit system).
struct RatingRowTexts {
  int line;
  const char* metric;
  const char* english;
};

// Writes the rows, row k of the rating details report on line k + line_offset, in increasing line
// order, in the unit system of d (2 English, any other value metric). A row without an English text of
// its own, or of `texts`, prints its metric text in both unit systems. Where the dynamic factor lies
// outside the range of its method, the sentence that says so (dynamic_factor_range_notice) stands on
// line 25 + line_offset, between the contact and the bending rows.
void write_rating_rows(ReportLineWriter& w, const DesignData& d, int line_offset,
                       std::span<const RatingRowTexts> texts = {});

// Where the rating's dynamic factor lies outside the range of its method, the sentence that says so in
// every report and window that shows the rating: the factor, and its speed term z1 v / 100 (u^2 / (1 +
// u^2))^0.5 that is not below its limit (in m/s, or ft/s in English units). Empty within the range.
std::string dynamic_factor_range_notice(const DesignData& d);

// A pane that keeps the lines a report does not write (one that has the focus) must not keep a notice
// of a dynamic factor outside its range that no longer holds: every line holding such a notice that
// `lines` (the report being written) does not write is emptied.
void clear_stale_range_notices(ResultsPane& pane, const ReportLines& lines);

}  // namespace morvell
