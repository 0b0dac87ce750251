// The rating summary report: safety factors, stresses, lives and damage of both gears, the contact
// ratios and the mesh forces on one screen of a results pane, shown from its first line.
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

#include "rating_report_rows.h"
#include "report_lines.h"
#include "results_pane.h"

namespace morvell {

void write_rating_summary_report(const DesignData& d, ResultsPane& pane) {
  // A focused pane keeps its lines and is overwritten where the report writes, but a rating that did not
  // run leaves no result of an earlier rating standing beneath its notice.
  // Nor does a notice of a dynamic factor outside its range that no longer holds.
  const ReportLines lines = rating_summary_lines(d);
  if (pane.has_focus() && d.rating_valid == 1) {
    pane.remove_line(ResultsPane::kLineCount);
    clear_stale_range_notices(pane, lines);
  } else {
    pane.clear_lines(0, kRatingSummaryLastBlankLine);
  }
  for (const ReportLine& line : lines) pane.set_line(line.index, line.text);
}

void scroll_to_first_line(QTextEdit* view) {
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QTextCursor caret = view->textCursor();
  caret.setPosition(0);
  view->setTextCursor(caret);
  show_both_scroll_bars(view);
  // Hiding the bars does not move the view here as it does in the window system's own panes.
  view->horizontalScrollBar()->setValue(0);
  view->verticalScrollBar()->setValue(0);
}

}  // namespace morvell
