// The rows of the rating factors and stresses that two reports print: the rating details report
// (lines 1 to 46) and the search report (lines 95 to 140). Each row is a value or a pinion-wheel pair
// of the design data, its metric and English text and the unit it is converted by.
#pragma once

#include <span>

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
// its own, or of `texts`, prints its metric text in both unit systems.
void write_rating_rows(ReportLineWriter& w, const DesignData& d, int line_offset,
                       std::span<const RatingRowTexts> texts = {});

}  // namespace morvell
