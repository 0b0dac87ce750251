// The main window's two rating reports in its results pane.
#include <QTextEdit>

#include "main_window.h"
#include "report_lines.h"
#include "results_pane.h"

namespace morvell {

void TMainForm::ratingdetails_report() {
  {
    ResultsPane pane(mainresults);
    write_rating_details_report(d_, pane);
  }  // the lines reach the pane here
  show_both_scroll_bars(mainresults);
}

void TMainForm::ratingsummary_report() {
  {
    ResultsPane pane(mainresults);
    write_rating_summary_report(d_, pane);
  }  // the lines reach the pane here, before it is scrolled
  scroll_to_first_line(mainresults);
}

}  // namespace morvell
