// The rating details report: the full ISO 6336 rating of the pair, its load and its materials,
// written into a results pane by line index.
#include <QTextEdit>

#include "rating_report_rows.h"
#include "report_lines.h"
#include "results_pane.h"

namespace morvell {

void write_rating_details_report(const DesignData& d, ResultsPane& pane) {
  // A focused pane keeps its lines and is overwritten where the report writes, but a rating that did not
  // run leaves no result of an earlier rating standing beneath its notice.
  // Nor does a notice of a dynamic factor outside its range that no longer holds.
  const ReportLines lines = rating_details_lines(d);
  if (d.rating_valid != 1) {
    pane.clear_lines(0, ResultsPane::kLineCount - 1);
  } else if (pane.has_focus()) {
    pane.remove_line(ResultsPane::kLineCount);
    clear_stale_range_notices(pane, lines);
  } else {
    pane.clear_lines(0, kRatingDetailsLastBlankLine);
  }
  for (const ReportLine& line : lines) pane.set_line(line.index, line.text);
}

void show_both_scroll_bars(QTextEdit* view) {
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

}  // namespace morvell
