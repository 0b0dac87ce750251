// The main window's refresh writes the rating report that the Report menu chose into the results pane.
#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "design_data.h"
#include "main_window.h"
#include "program.h"
#include "results_pane.h"
#include "startup.h"

using namespace morvell;

namespace {

struct RatedProgram : morvell::testing::Program<> {
  RatedProgram() { d->rating_enabled = 1; }  // as after the first show
  std::string line(int i) { return ResultsPane(main->mainresults).line(i); }
};

}  // namespace

TEST(RatingReportRefresh, TheRefreshWritesTheChosenRatingReport) {
  RatedProgram p;
  DesignData& d = *p.d;

  d.report_selection = 2;
  p.main->SetMain_textboxes();
  ASSERT_EQ(d.rating_valid, 1);
  EXPECT_EQ(p.line(0), "\t\t\t\t PINION  \t\tWHEEL");
  EXPECT_EQ(p.line(1), "Zone Factor \t\tZH\t\t 2.259           ");
  EXPECT_EQ(p.line(62), "Case Hardening Steel");
  EXPECT_EQ(p.main->mainresults->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

  // From the geometry report, whose lines differ from the first line on, with the caret at the end
  // and the pane scrolled down: the summary ends at the top.
  d.report_selection = 0;
  p.main->SetMain_textboxes();
  QTextEdit* pane = p.main->mainresults;
  pane->resize(300, 150);
  QTextCursor end = pane->textCursor();
  end.movePosition(QTextCursor::End);
  pane->setTextCursor(end);
  pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
  d.report_selection = 3;
  p.main->SetMain_textboxes();
  EXPECT_EQ(p.line(1), "");
  EXPECT_EQ(p.line(2), "Contact Safety Factor \tSH\t 1.168           \t1.197           ");
  EXPECT_EQ(p.line(27).substr(0, 15), "Axial force (N)");
  EXPECT_EQ(p.line(62), "");
  EXPECT_EQ(p.main->mainresults->textCursor().position(), 0);
  EXPECT_EQ(p.main->mainresults->verticalScrollBar()->value(), 0);
}

// Started without its default design file the program holds no material and no load: the rating counts
// as not run, in the summary and the details alike, until the rating inputs are filled in.
TEST(RatingReportRefresh, NoMaterialOrLoadMeansTheRatingWasNotRun) {
  QFile::remove(kDefaultDesignFileName);
  std::remove("mvl_pref.dat");
  auto started = std::make_unique<DesignData>();
  EXPECT_FALSE(prepare_design_data(*started).ok());
  morvell::testing::Program<> p(std::move(started));
  DesignData& d = *p.d;
  d.rating_enabled = 1;
  for (const int32_t selection : {3, 2}) {
    d.report_selection = selection;
    p.main->SetMain_textboxes();
    SCOPED_TRACE(selection);
    ASSERT_GE(d.transverse_contact_ratio, 1.0f);
    EXPECT_EQ(d.rating_valid, 0);
    const std::string text = p.main->mainresults->toPlainText().toStdString();
    EXPECT_NE(text.find("Rating not run"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
  }
}
