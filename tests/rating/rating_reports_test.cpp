// The rating details and rating summary reports: their lines for the start-up design in both unit
// systems against reviewed golden files, the not-run lines, the English conversions, the notation of
// the damage, values that are not finite, and what the reports do to the results pane.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include "design_data.h"
#include "golden.h"
#include "life_and_damage.h"
#include "rated_design.h"
#include "rating.h"
#include "rating_report_rows.h"
#include "report_lines.h"
#include "results_pane.h"
#include "startup_values.h"

using namespace morvell;
using morvell::testing::rated_start_up_design;

namespace {

// Report lines as text, one per line: the two-digit index, a bar, the text with tabs shown as \t.
std::string as_text(const ReportLines& lines) {
  std::string s;
  for (const ReportLine& l : lines) {
    char index[8];
    std::snprintf(index, sizeof index, "%02d|", l.index);
    s += index;
    for (char c : l.text) s += c == '\t' ? std::string("\\t") : std::string(1, c);
    s += '\n';
  }
  return s;
}

std::map<int, std::string> by_index(const ReportLines& lines) {
  std::map<int, std::string> m;
  for (const ReportLine& l : lines) {
    EXPECT_FALSE(m.count(l.index)) << "line " << l.index << " written twice";
    m[l.index] = l.text;
  }
  return m;
}

// A results pane as the main window's layout has it: 100 empty lines, no word wrap.
struct Pane {
  QTextEdit view;
  std::unique_ptr<ResultsPane> pane;
  Pane() {
    view.setLineWrapMode(QTextEdit::NoWrap);
    view.setPlainText(QString(ResultsPane::kLineCount - 1, QChar('\n')));
    pane = std::make_unique<ResultsPane>(&view);
  }
  void fill(const char* text) {
    for (int i = 0; i < ResultsPane::kLineCount; ++i) pane->set_line(i, text + std::to_string(i));
  }
  void focus() {
    view.show();
    view.activateWindow();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(pane->has_focus());
  }
};

}  // namespace

// The golden files (golden.h) hold the lines this program wrote for the start-up design.
TEST(RatingReportLines, StartUpDesignInBothUnitSystemsMatchesTheReviewedLines) {
  struct Case {
    const char* file;
    int unit_system;
    ReportLines (*build)(const DesignData&);
  };
  const Case cases[] = {{"rating_details_metric.txt", 1, rating_details_lines},
                        {"rating_details_english.txt", 2, rating_details_lines},
                        {"rating_summary_metric.txt", 1, rating_summary_lines},
                        {"rating_summary_english.txt", 2, rating_summary_lines}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto d = rated_start_up_design(c.unit_system);
    morvell::testing::expect_golden(as_text(c.build(*d)), c.file);
  }
}

TEST(RatingReportLines, LinesFollowTheFixedLayout) {
  const auto d = rated_start_up_design(1);
  const auto details = by_index(rating_details_lines(*d));
  // limited pitting is off for both gears of the start-up design: lines 70 and 88 are not written.
  for (int empty : {25, 47, 60, 67, 70, 73, 78, 85, 88, 91}) EXPECT_FALSE(details.count(empty)) << empty;
  EXPECT_EQ(details.size(), 96u - 10u);
  EXPECT_EQ(details.rbegin()->first, 95);
  const auto summary = by_index(rating_summary_lines(*d));
  for (int empty : {1, 3, 11, 13, 21, 24}) EXPECT_FALSE(summary.count(empty)) << empty;
  EXPECT_EQ(summary.size(), 28u - 6u);

  // The intermediate pitting point of a gear is listed only when that gear has limited pitting.
  DesignData limited = *d;
  limited.limited_pitting[1] = 1;
  limited.sigma_h_pit_wheel = 1600;
  limited.nl_pit_contact_wheel = 2e7f;
  const auto with_pit = by_index(rating_details_lines(limited));
  EXPECT_FALSE(with_pit.count(70));
  ASSERT_TRUE(with_pit.count(88));
  EXPECT_EQ(with_pit.at(88), "1600.000        \t\t2.000e+07       ");
}

// The dynamic factor's method holds while z1 v / 100 (u^2 / (1 + u^2))^0.5 stays below 10 m/s. Beyond,
// the details report says so between its contact and bending rows and the summary above its safety
// factors, with the term worked out here in the unit system shown; within, neither says anything.
TEST(RatingReportLines, ADynamicFactorBeyondItsMethodsRangeIsSaid) {
  for (const int units : {1, 2}) {
    SCOPED_TRACE(units);
    for (const float speed : {2500.0f, 17000.0f, 25000.0f}) {
      SCOPED_TRACE(speed);
      auto d = rated_start_up_design(units);
      d->speed = speed;
      rate_design(*d);
      life_and_damage(*d);
      const double u = double(d->teeth[1]) / d->teeth[0];
      const double v = M_PI * d->reference_diameter[0] * speed / 60000;
      const double term = d->teeth[0] * v / 100 * u / std::sqrt(1 + u * u);
      const auto details = by_index(rating_details_lines(*d));
      const auto summary = by_index(rating_summary_lines(*d));
      char kv[32];
      std::snprintf(kv, sizeof kv, "%-16.3f", double(d->dynamic_factor));
      EXPECT_EQ(details.at(7), std::string("Dynamic Factor \t\tKV\t\t ") + kv);
      if (term < 10) {
        EXPECT_FALSE(details.count(25));
        EXPECT_FALSE(summary.count(1));
        continue;
      }
      char notice[200];
      if (units == 1)
        std::snprintf(notice, sizeof notice,
                      "Dynamic Factor KV %.3f outside its method's range: z1 v/100 (u^2/(1+u^2))^0.5 = %.3f m/s, "
                      "not below 10",
                      double(d->dynamic_factor), term);
      else
        std::snprintf(notice, sizeof notice,
                      "Dynamic Factor KV %.3f outside its method's range: z1 v/100 (u^2/(1+u^2))^0.5 = %.3f ft/s, "
                      "not below 32.808",
                      double(d->dynamic_factor), term / 0.3048);
      ASSERT_TRUE(details.count(25));
      EXPECT_EQ(details.at(25), notice);
      ASSERT_TRUE(summary.count(1));
      EXPECT_EQ(summary.at(1), notice);
    }
  }
}

TEST(RatingReportLines, NotRunGivesOnlyTheTwoNotRunLines) {
  for (const uint8_t valid : {uint8_t(0), uint8_t(2)}) {
    for (const int units : {1, 2, 0}) {
      const auto d = rated_start_up_design(units == 0 ? 1 : units);
      d->unit_system = units;
      d->rating_valid = valid;
      EXPECT_EQ(as_text(rating_details_lines(*d)),
                "03|Rating not run \n04|check rating inputs and transverse contact ratio>1.0\n");
      EXPECT_EQ(as_text(rating_summary_lines(*d)),
                "02|Rating not run \n03|check rating inputs and transverse contact ratio>1.0\n");
    }
  }
  // Rated, but in a unit system the program does not know: nothing is written.
  const auto d = rated_start_up_design(1);
  d->unit_system = 3;
  EXPECT_TRUE(rating_details_lines(*d).empty());
  EXPECT_TRUE(rating_summary_lines(*d).empty());
}

// Round values whose conversions are known by hand.
TEST(RatingReportLines, EnglishUnitsConvertStressesForcesPowerLengthsAndTorque) {
  DesignData d{};
  d.rating_valid = 1;
  d.unit_system = 2;
  set_unit_factors(d);
  d.contact_stress[0] = 689.5f;          // MPa: 100000 psi
  d.contact_stress[1] = 1379.0f;         // 200000 psi
  d.tooth_root_stress_pinion = 344.75f;  // 50000 psi
  d.tangential_force = 4448.0f;          // N: 1000 lbf
  d.axial_force = 2224.0f;               // 500 lbf
  d.power = 1500.0f;                     // W: 2.012 hp, 1.500 kW
  d.bending_face_width[0] = 25.4f;       // mm: 1 inch
  d.bending_lever_arm_wheel = 12.7f;     // 0.5 inch
  d.f_beta_x = 25.4f;                    // um: 1 thou
  d.single_pair_stiffness = 4.448f;      // N/(mm um): 25.4^2 lbf/(inch thou)
  d.torque = 135.6f;                     // N m: 100 lbf ft on the pinion
  d.speed = 1000.0f;
  d.actual_ratio = 2.5f;                 // the wheel: 250 lbf ft at 400 rpm
  d.elastic_modulus[0] = 206850.0f;      // MPa: 3.0e7 psi
  d.sigma_h_static_wheel = 1034.25f;     // 150000 psi
  d.nl_static_contact_wheel = 1e5f;      // cycles unconverted

  const auto details = by_index(rating_details_lines(d));
  EXPECT_EQ(details.at(15), "Actual Cont. Stress \t\tSigmaH\t 100000          \t200000          ");
  EXPECT_EQ(details.at(26), "Facewidth for bending (inch)\tsb\t 1.0000          \t0.0000          ");
  EXPECT_EQ(details.at(29), "Lever Arm (inch)\t\thFe\t 0.0000          \t0.5000          ");
  EXPECT_EQ(details.at(53), "FBetaX (thou)\t\t\t\t 1.000           ");
  EXPECT_EQ(details.at(10), "Single Pair Stiff.(lbf/inch/thou)\tcdash\t\t 645.160         ");
  EXPECT_EQ(details.at(48), "Torque (lbf.ft)\t\t\t 100.000         \t250.000         ");
  EXPECT_EQ(details.at(49), "Speed (rpm)\t\t\t 1000.000        \t400.000         ");
  EXPECT_EQ(details.at(50), "Power (hp)\t\t\t\t 2.012           ");
  EXPECT_EQ(details.at(64), "Elastic modulus (psi)       \t3.000e+07       ");
  EXPECT_EQ(details.at(87), "150000          \t\t1.000e+05       ");

  const auto summary = by_index(rating_summary_lines(d));
  EXPECT_EQ(summary.at(6), "Actual Cont. Stress \t\tSigmaH\t 100000          \t200000          ");
  EXPECT_EQ(summary.at(16), "Actual Bend. Stress       \tSigmaF\t 50000           \t0               ");
  EXPECT_EQ(summary.at(25), "Tangential force (lbf)     \t\t\t1000.000        ");
  EXPECT_EQ(summary.at(27), "Axial force (lbf)\t\t\t\t500.000         ");

  // The same values in metric units are printed as stored; the power in kW.
  d.unit_system = 1;
  set_unit_factors(d);
  const auto metric = by_index(rating_details_lines(d));
  EXPECT_EQ(metric.at(50), "Power (KW)\t\t\t\t 1.500           ");
  EXPECT_EQ(metric.at(48), "Torque (Nm)\t\t\t 135.600         \t339.000         ");
  EXPECT_EQ(by_index(rating_summary_lines(d)).at(25), "Tangential force (N)     \t\t\t4448.000        ");
}

TEST(RatingReportLines, DamageNotationIsChosenPerLineByBothValues) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float pinion, wheel;
    bool exponent;
  } const cases[] = {
      {50.0f, 0.5f, false},    {50.0f, 0.005f, true}, {1000.0f, 1.0f, false}, {1.0f, 1000.0f, false},
      {1000.001f, 1.0f, true}, {0.01f, 1.0f, true},   {1.0f, 0.01f, true},    {0.0f, 1.0f, true},
      {inf, 1.0f, true},       {1.0f, nan, true},     {-nan, 1.0f, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(damage_in_exponent_notation(c.pinion, c.wheel), c.exponent) << c.pinion << " " << c.wheel;

  DesignData d{};
  d.rating_valid = 1;
  d.unit_system = 1;
  d.contact_damage[0] = 50.0f;
  d.contact_damage[1] = 0.005f;
  d.bending_damage[0] = 50.0f;
  d.bending_damage[1] = 0.5f;
  auto lines = by_index(rating_summary_lines(d));
  EXPECT_EQ(lines.at(10), "Contact damage (percent) \t\t 5.000e+01       \t5.000e-03       ");
  EXPECT_EQ(lines.at(20), "Bending damage (percent) \t\t 50.000          \t0.500           ");
  d.bending_damage[1] = inf;
  lines = by_index(rating_summary_lines(d));
  EXPECT_EQ(lines.at(20), "Bending damage (percent) \t\t 5.000e+01       \tinf             ");
}

// Values left undefined or infinite by the rating print as short fixed texts, and the largest finite
// values as the numbers they are, without overrunning anything.
TEST(RatingReportLines, ValuesThatAreNotFinitePrintAsBoundedText) {
  const auto d = rated_start_up_design(2);
  d->zone_factor = -std::numeric_limits<float>::quiet_NaN();
  d->contact_stress[0] = std::numeric_limits<float>::infinity();
  d->contact_stress[1] = -std::numeric_limits<float>::infinity();
  d->elastic_modulus[1] = std::numeric_limits<float>::max();
  d->nl_inf_bending_wheel = std::numeric_limits<float>::quiet_NaN();
  d->tangential_force = std::numeric_limits<float>::max();
  const auto details = by_index(rating_details_lines(*d));
  EXPECT_EQ(details.at(1), "Zone Factor \t\tZH\t\t nan             ");
  EXPECT_EQ(details.at(15), "Actual Cont. Stress \t\tSigmaH\t inf             \t-inf            ");
  EXPECT_EQ(details.at(82), "Elastic modulus (psi)        \t4.935e+40       ");
  EXPECT_EQ(details.at(95).substr(details.at(95).size() - 16), "nan             ");
  const auto summary = by_index(rating_summary_lines(*d));
  // 3.4e38 N / 4.448 in fixed notation: 38 digits and 3 decimals.
  EXPECT_EQ(summary.at(25).size(), std::string("Tangential force (lbf)     \t\t\t").size() + 38 + 4);
  for (const auto& [index, text] : details) EXPECT_LT(text.size(), 128u) << index;
}

TEST(RatingReportPane, DetailsBlankLinesUpTo94AndLeaveTheLastFive) {
  Pane p;
  p.fill("old ");
  const auto d = rated_start_up_design(1);

  // Rated: the report's lines in place, line 95 overwritten, the layout's gaps empty, 96 to 99 left.
  write_rating_details_report(*d, *p.pane);
  EXPECT_EQ(p.pane->line(0), "\t\t\t\t PINION  \t\tWHEEL");
  EXPECT_EQ(p.pane->line(62), "Case Hardening Steel");
  EXPECT_EQ(p.pane->line(95).substr(0, 7), "425.000");
  EXPECT_EQ(p.pane->line(60), "");
  for (int i = 96; i <= 99; ++i) EXPECT_EQ(p.pane->line(i), "old " + std::to_string(i));
  EXPECT_EQ(p.pane->line_count(), 100);

  // Not run: the notice alone, no line of the rating before it left standing.
  d->rating_valid = 0;
  write_rating_details_report(*d, *p.pane);
  for (int i = 0; i <= 99; ++i) {
    if (i == 3) EXPECT_EQ(p.pane->line(i), "Rating not run ");
    else if (i == 4) EXPECT_EQ(p.pane->line(i), "check rating inputs and transverse contact ratio>1.0");
    else EXPECT_EQ(p.pane->line(i), "") << i;
  }
  EXPECT_EQ(p.pane->line_count(), 100);
}

TEST(RatingReportPane, SummaryBlanksTheWholePane) {
  Pane p;
  p.fill("old ");
  const auto d = rated_start_up_design(1);
  write_rating_summary_report(*d, *p.pane);
  EXPECT_EQ(p.pane->line(0), "\t\t\t\t PINION  \t\tWHEEL");
  EXPECT_EQ(p.pane->line(27).substr(0, 15), "Axial force (N)");
  for (int i = 28; i < 100; ++i) EXPECT_EQ(p.pane->line(i), "") << i;

  p.fill("old ");
  d->rating_valid = 0;
  write_rating_summary_report(*d, *p.pane);
  for (int i = 0; i < 100; ++i) {
    if (i == 2) EXPECT_EQ(p.pane->line(i), "Rating not run ");
    else if (i == 3) EXPECT_EQ(p.pane->line(i), "check rating inputs and transverse contact ratio>1.0");
    else EXPECT_EQ(p.pane->line(i), "") << i;
  }
}

TEST(RatingReportPane, AFocusedPaneKeepsTheLinesTheReportDoesNotWrite) {
  Pane p;
  p.focus();
  const auto d = rated_start_up_design(1);
  write_rating_details_report(*d, *p.pane);  // an earlier details report
  const std::string details_line_40 = p.pane->line(40);
  p.pane->set_line(47, "note");

  write_rating_summary_report(*d, *p.pane);
  EXPECT_EQ(p.pane->line(2).substr(0, 21), "Contact Safety Factor");
  EXPECT_EQ(p.pane->line(40), details_line_40);  // beyond the summary: kept
  EXPECT_EQ(p.pane->line(47), "note");
  EXPECT_EQ(p.pane->line(1), "Zone Factor \t\tZH\t\t 2.259           ");  // a gap of the summary: kept

  EXPECT_EQ(p.pane->line_count(), 100);
}

// A rating that did not run leaves no earlier result beneath its notice, in a focused pane too: the
// stresses of a pair rated before would read as those of the pair shown.
TEST(RatingReportPane, ARatingNotRunClearsTheFocusedPane) {
  struct Case {
    void (*write)(const DesignData&, ResultsPane&);
    int notice;  // line of "Rating not run "
  } cases[] = {{write_rating_details_report, 3}, {write_rating_summary_report, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    Pane p;
    p.focus();
    const auto d = rated_start_up_design(1);
    write_rating_summary_report(*d, *p.pane);
    write_rating_details_report(*d, *p.pane);
    d->rating_valid = 0;
    c.write(*d, *p.pane);
    for (int i = 0; i < 100; ++i) {
      if (i == c.notice) EXPECT_EQ(p.pane->line(i), "Rating not run ");
      else if (i == c.notice + 1) EXPECT_EQ(p.pane->line(i), "check rating inputs and transverse contact ratio>1.0");
      else EXPECT_EQ(p.pane->line(i), "") << i;
    }
    EXPECT_EQ(p.pane->line_count(), 100);
  }
}

TEST(RatingReportPane, SummaryEndsShowingTheFirstLine) {
  Pane p;
  p.view.resize(200, 120);
  p.view.show();
  p.fill("a long line that runs well past the right edge of this small pane, line ");
  p.view.verticalScrollBar()->setValue(p.view.verticalScrollBar()->maximum());
  p.view.horizontalScrollBar()->setValue(p.view.horizontalScrollBar()->maximum());
  QTextCursor end = p.view.textCursor();
  end.movePosition(QTextCursor::End);
  p.view.setTextCursor(end);
  ASSERT_GT(p.view.verticalScrollBar()->value(), 0);

  scroll_to_first_line(&p.view);
  EXPECT_EQ(p.view.textCursor().position(), 0);
  EXPECT_EQ(p.view.verticalScrollBar()->value(), 0);
  EXPECT_EQ(p.view.horizontalScrollBar()->value(), 0);
  EXPECT_EQ(p.view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_EQ(p.view.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

// A focused pane keeps the lines a report does not write, but not a notice of a dynamic factor outside
// its range once the speed is lowered into the range: whichever of the two reports said it and
// whichever is written next.
TEST(RatingReportPane, ARangeNoticeThatNoLongerHoldsLeavesTheFocusedPane) {
  using Write = void (*)(const DesignData&, ResultsPane&);
  const Write writers[] = {write_rating_details_report, write_rating_summary_report};
  for (const Write first : writers) {
    for (const Write next : writers) {
      Pane p;
      p.focus();
      auto d = rated_start_up_design(1);
      d->speed = 21000;
      rate_design(*d);
      life_and_damage(*d);
      first(*d, *p.pane);
      const auto notices = [&] {
        int n = 0;
        for (int i = 0; i < ResultsPane::kLineCount; ++i)
          n += p.pane->line(i).find("outside its method's range") != std::string::npos;
        return n;
      };
      ASSERT_EQ(notices(), 1);
      d->speed = 800;
      rate_design(*d);
      life_and_damage(*d);
      ASSERT_TRUE(dynamic_factor_range_notice(*d).empty());
      next(*d, *p.pane);
      EXPECT_EQ(notices(), 0) << (first == writers[0] ? "details" : "summary") << " then "
                              << (next == writers[0] ? "details" : "summary");
      EXPECT_EQ(p.pane->line_count(), 100);
    }
  }
}

// The surface hardness is named after the scale it is held in, in both unit systems.
TEST(RatingReportLines, SurfaceHardnessIsNamedAfterItsScale) {
  for (const int units : {1, 2}) {
    auto d = rated_start_up_design(units);
    for (const auto& [scale, name] : {std::pair{0, "(HRC)"}, std::pair{1, "(BHN)"}, std::pair{2, "(HV)"}}) {
      d->hardness_scale = scale;
      const auto details = by_index(rating_details_lines(*d));
      ASSERT_TRUE(details.count(59));
      EXPECT_NE(details.at(59).find(std::string("Surface hardness") + (units == 1 ? " " : "") + name), std::string::npos)
          << details.at(59);
    }
  }
}
