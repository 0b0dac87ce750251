// The results pane: 100 lines written by index, never more, never fewer.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "results_pane.h"

using namespace morvell;

TEST(ResultsPane, HoldsOneHundredLinesWrittenByIndex) {
  QTextEdit view;
  view.setReadOnly(true);
  ResultsPane pane(&view);  // an empty pane is laid out with its 100 lines
  ASSERT_EQ(pane.line_count(), 100);
  EXPECT_FALSE(view.document()->isUndoRedoEnabled());  // rewritten on every refresh, never undone

  pane.set_line(0, "\t\t\t\tPINION  \t\tWHEEL");
  pane.set_line(99, "last");
  pane.set_line(5, "first text");
  pane.set_line(5, "second");  // replaces the whole line
  pane.set_line(100, "beyond the pane");
  pane.set_line(-1, "before the pane");
  pane.set_line(7, "two\nlines\r\xE2\x80\xA9here");  // breaks inside a text never make a new line
  EXPECT_EQ(pane.line_count(), 100);
  EXPECT_EQ(pane.line(0), "\t\t\t\tPINION  \t\tWHEEL");
  EXPECT_EQ(pane.line(5), "second");
  EXPECT_EQ(pane.line(7), "two lines  here");
  EXPECT_EQ(pane.line(99), "last");
  EXPECT_EQ(pane.line(100), "");
  pane.flush();
  EXPECT_EQ(view.toPlainText().split('\n').size(), 100);
  EXPECT_EQ(view.document()->findBlockByNumber(5).text(), "second");

  pane.clear_lines(0, 6);
  EXPECT_EQ(pane.line(0), "");
  EXPECT_EQ(pane.line(5), "");
  EXPECT_EQ(pane.line(7), "two lines  here");
  const std::string all = pane.text();
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 100);

  // A pane that holds its lines already keeps them when it is taken up again.
  pane.flush();
  ResultsPane again(&view);
  EXPECT_EQ(again.line(99), "last");
  EXPECT_EQ(again.line_count(), 100);
}

TEST(ResultsPane, WritesReachThePaneTogetherAndOnlyWhereTheTextChanged) {
  QTextEdit view;
  view.setPlainText(QString(99, QChar('\n')));  // the 100 lines of the layout
  int changes = 0;
  QObject::connect(view.document(), &QTextDocument::contentsChange, [&](int, int, int) { ++changes; });
  auto write_report = [&](const char* value) {
    ResultsPane pane(&view);
    pane.clear_lines(0, 99);  // as a report does first
    pane.set_line(3, "unchanging");
    pane.set_line(4, value);
    EXPECT_EQ(pane.line(4), value);                         // read back before it reaches the pane
    EXPECT_EQ(view.document()->findBlockByNumber(4).text(), changes ? "one" : "");
  };
  write_report("one");
  const int first = changes;
  EXPECT_GE(first, 1);
  EXPECT_EQ(view.document()->findBlockByNumber(4).text(), "one");
  write_report("one");  // the same report again changes nothing
  EXPECT_EQ(changes, first);
  write_report("two");
  EXPECT_EQ(view.document()->findBlockByNumber(4).text(), "two");
  EXPECT_EQ(view.document()->findBlockByNumber(3).text(), "unchanging");
  EXPECT_EQ(view.document()->blockCount(), 100);
}

// A report saved or printed ends with its last line that holds more than blanks; empty or blank lines
// before that are its own.
TEST(ResultsPane, AReportEndsWithItsLastLineThatHoldsText) {
  struct Case {
    std::vector<std::pair<int, const char*>> lines;  // written, the others empty
    int count;
    std::string text;
  };
  const Case cases[] = {
      {{}, 0, ""},
      {{{0, "a"}}, 1, "a\n"},
      {{{0, "a"}, {2, "b"}, {3, " "}, {4, "\t "}}, 3, "a\n\nb\n"},
      {{{1, "  x  "}, {60, " "}}, 2, "\n  x  \n"},
      {{{99, "last"}}, 100, std::string(99, '\n') + "last\n"},
  };
  for (const Case& c : cases) {
    QTextEdit view;
    ResultsPane pane(&view);
    for (const auto& [index, text] : c.lines) pane.set_line(index, text);
    EXPECT_EQ(pane.report_line_count(), c.count) << c.text;
    EXPECT_EQ(pane.report_text(), c.text);
  }
}

TEST(ResultsPane, RemovesALineItHolds) {
  QTextEdit view;
  view.setPlainText(QString(100, QChar('\n')));  // 101 lines
  ResultsPane pane(&view);
  pane.set_line(99, "line 99");
  pane.set_line(100, "line 100");
  ASSERT_EQ(pane.line_count(), 101);
  pane.remove_line(100);
  EXPECT_EQ(pane.line_count(), 100);
  EXPECT_EQ(pane.line(99), "line 99");
  pane.remove_line(100);  // none left to remove
  EXPECT_EQ(pane.line_count(), 100);
}

TEST(ResultsPane, LinesAreFormattedWithoutAFixedBuffer) {
  EXPECT_EQ(format_line(" Centre Distance (mm)\t\t\t%-16.3f", 125.5), " Centre Distance (mm)\t\t\t125.500         ");
  // The largest single-precision values print whole, and so does a long text.
  const float big = std::numeric_limits<float>::max();
  const std::string wide = format_line("%-16.3f\t%-16.3f", double(big), double(-big));
  EXPECT_EQ(wide.size(), 43u + 1 + 44);
  EXPECT_EQ(format_line("%s", std::string(5000, 'x').c_str()).size(), 5000u);
  // Not-a-number and infinite values print as short texts.
  EXPECT_EQ(format_line("%-16.3f|", std::numeric_limits<double>::quiet_NaN()), "nan             |");
  EXPECT_EQ(format_line("%-16.3f|", -std::numeric_limits<double>::infinity()), "-inf            |");
}
