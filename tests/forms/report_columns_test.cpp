// The columns of report lines: which column each text of a line of every shape the reports write stands
// in, and the tab stops that put it there whatever the widths of the texts before it and whatever the font.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <cmath>
#include <vector>

#include "report_columns.h"
#include "report_columns_check.h"
#include "test_support.h"

using namespace morvell;
using C = ReportColumn;

namespace {

::testing::AssertionResult same_stops(const std::vector<double>& actual, const std::vector<double>& expected) {
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i) same = std::abs(actual[i] - expected[i]) < 1e-9;
  if (same) return ::testing::AssertionSuccess();
  auto& failure = ::testing::AssertionFailure() << "stops";
  for (double x : actual) failure << " " << x;
  failure << ", expected";
  for (double x : expected) failure << " " << x;
  return failure;
}

}  // namespace

TEST(ReportColumns, EachTextOfALineHasItsColumn) {
  struct Case {
    const char* line;
    std::vector<C> columns;  // of the texts after the first (which is the label); none: no columns
  };
  const Case cases[] = {
      {"\t\t\t\tPINION  \t\tWHEEL", {C::Pinion, C::Wheel}},
      {"\t\t\t\t PINION  \t\tWHEEL", {C::Pinion, C::Wheel}},
      {" Number of Teeth \t\t\t23\t\t32", {C::Pinion, C::Wheel}},
      {" Normal Module (mm)\t\t\t2.250           ", {C::Pair}},
      {" Helix Hand \t\t\tleft\t\tright", {C::Pinion, C::Wheel}},
      {" Helix Hand \t\t\tN/A\t\tN/A", {C::Pinion, C::Wheel}},
      {"Zone Factor \t\tZH\t\t 2.259           ", {C::Symbol, C::Pair}},
      {"Contact Safety Factor \tSH\t 1.168           \t1.197           ", {C::Symbol, C::Pinion, C::Wheel}},
      {"Contact Stress Number \t \"  \"  Hlim\t 1500.000\t1500.000", {C::Symbol, C::Pinion, C::Wheel}},
      {"Bending damage (percent) \t\t 5.922e-13       \t6.847e-12", {C::Pinion, C::Wheel}},
      {"Contact damage (percent) \t\t inf             \t-nan", {C::Pinion, C::Wheel}},
      {"Torque (Nm)\t\t\t 200.000\t278.261", {C::Pinion, C::Wheel}},
      {"Power (KW)\t\t\t\t 52.360", {C::Pair}},
      {"Contact Stress (MPa)\tCycles", {C::Pair}},
      {"1500.000        \t\t1.000e+05", {C::Pair}},
      {"Poissons ratio \t\t0.300\t\t", {C::Pair}},  // tabs at the end lead nowhere
      {"Pinion material properties", {}},
      {"Rating not run ", {}},
      {"  ", {}},
      {"a\tb\tc\td\te", {}},
  };
  for (const Case& c : cases) {
    const std::vector<ReportField> fields = report_fields(QString::fromUtf8(c.line));
    std::vector<C> columns;
    for (std::size_t k = 1; k < fields.size(); ++k) columns.push_back(fields[k].column);
    EXPECT_EQ(columns, c.columns) << c.line;
    if (!fields.empty()) {
      EXPECT_EQ(fields[0].column, C::Label) << c.line;
    }
  }
}

// Texts measured one unit per character: the columns lie one gap right of the widest text before them,
// and a run of tabs ends at the column less the text's leading blanks whatever the length of the label.
TEST(ReportColumns, StopsPutEveryTextAtItsColumn) {
  const QStringList lines = {"\t\t\t\t PINION  \t\tWHEEL",           // heading: PINION 8 wide without its blank
                             "Contact Safety Factor \tSH\t 1.168\t1.197",  // label 22, symbol 2
                             "A long label, twenty-six: \t\t\t 1.0\t2.0",  // label 26
                             "Power (KW)\t\t\t\t 52.360",
                             "Note without values"};
  const auto width = [](const QString& s) { return double(s.size()); };
  const double gap = 2;
  const ReportColumns c = report_columns(lines, width, gap);
  EXPECT_EQ(c.symbol, 22 + gap);
  EXPECT_EQ(c.pinion, 26 + gap);  // right of the widest label, which reaches beyond the symbols
  EXPECT_EQ(c.wheel, c.pinion + 8 + gap);
  EXPECT_EQ(c.pair, (c.pinion + c.wheel) / 2);

  const std::vector<std::vector<double>> stops = report_tab_stops(lines, width, gap);
  ASSERT_EQ(stops.size(), 5u);
  EXPECT_TRUE(same_stops(stops[0], {c.pinion - 1 - 0.3, c.pinion - 1 - 0.2, c.pinion - 1 - 0.1,
                                           c.pinion - 1, c.wheel - 0.1, c.wheel}));
  EXPECT_TRUE(same_stops(stops[1], {c.symbol, c.pinion - 1, c.wheel}));
  EXPECT_TRUE(same_stops(stops[2], {c.pinion - 1 - 0.2, c.pinion - 1 - 0.1, c.pinion - 1, c.wheel}));
  EXPECT_TRUE(same_stops(stops[3], {c.pair - 1 - 0.3, c.pair - 1 - 0.2, c.pair - 1 - 0.1, c.pair - 1}));
  EXPECT_TRUE(stops[4].empty());
}

// A report of a line of every shape laid out in a pane's document, in two fonts of other widths: where
// the words are seen, every value stands under PINION or WHEEL or in the one pair column between them.
TEST(ReportColumns, ValuesStandUnderTheirHeadingsInTwoFonts) {
  const QStringList lines = {"\t\t\t\t PINION  \t\tWHEEL",
                             " Number of Teeth \t\t\t23\t\t32",
                             " Normal Module (mm)\t\t\t2.250           ",
                             " Helix Hand \t\t\tleft\t\tright",
                             " Tip Diameter (mm)\t\t\t56.322          \t74.818          ",
                             "Zone Factor \t\tZH\t\t 2.259           ",
                             "Contact Safety Factor \tSH\t 1.168           \t1.197           ",
                             "Contact Stress Number \t \"  \"  Hlim\t 1500.000\t1500.000",
                             "Bending damage (percent) \t\t 5.922e-13       \t6.847e-12",
                             "Torque (Nm)\t\t\t 200.000\t278.261",
                             "Power (KW)\t\t\t\t 52.360",
                             "Pinion material properties",
                             "Contact Stress (MPa)\tCycles",
                             "1500.000        \t\t1.000e+05"};
  const QFont fonts[] = {QFont("DejaVu Sans", 8), QFont("DejaVu Serif", 13)};
  for (const QFont& font : fonts) {
    SCOPED_TRACE(QFontInfo(font).family().toStdString() + " " + std::to_string(font.pointSize()));
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setPlainText(lines.join('\n'));
    lay_out_report_columns(&doc);
    EXPECT_EQ(morvell::testing::column_faults(morvell::testing::rows_of_document(&doc), 0.5), QStringList());
  }
}
