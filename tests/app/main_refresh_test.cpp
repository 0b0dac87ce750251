// The main-window refresh on the start-up design: field texts and hints, the enabling by the modes,
// the track bars, the geometry report in the pane, the warnings it shows, the start directory and the
// history record it appends.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "design_refresh.h"
#include "file_bytes.h"
#include "life_and_damage.h"
#include "main_window.h"
#include "numeric.h"
#include "preferences.h"
#include "program.h"
#include "results_pane.h"
#include "scripted_modal_services.h"
#include "shown_figures.h"
#include "startup.h"
#include "startup_values.h"
#include "test_support.h"
#include "warning_dialog.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

// Records in the history file: each begins with its number and a row of x.
int history_records() {
  const std::string bytes = file_bytes(kHistoryFileName);
  int n = 0;
  for (std::size_t p = 0; (p = bytes.find(" xxxxxxxxxx", p)) != std::string::npos; p = bytes.find('\n', p)) ++n;
  return n;
}

// The program as it starts: the default design, the warning dialog, the main window (whose creation
// runs the first refresh and empties the history).
using Program = morvell::testing::Program<>;

}  // namespace

TEST(Refresh, StartUpDesignInMetricAndEnglishUnits) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  EXPECT_EQ(d.second_geometry_pass, 1);
  EXPECT_EQ(d.rating_valid, 1);  // the contact ratio allows it, though the refresh has not rated yet
  EXPECT_EQ(m.Moduleedit->text(), "2.250");
  EXPECT_EQ(m.Moduleedit->toolTip(), "   2.25000");
  EXPECT_EQ(m.Pressureangleedit->text(), "20.000");
  EXPECT_EQ(m.Helixangleedit->text(), "27.880");
  EXPECT_EQ(m.Centredistedit->text(), "70.000");
  EXPECT_EQ(m.Z1edit->text(), "23");  // printed "%10.0f", its blanks removed by the change event
  EXPECT_EQ(m.Z2edit->text(), "32");
  EXPECT_EQ(m.Z1edit->toolTip(), "        23");
  EXPECT_EQ(m.x1edit->text(), "0.2500");
  EXPECT_EQ(m.x2edit->text(), "-0.2500");
  EXPECT_EQ(m.x2edit->toolTip(), "  -0.25000");
  EXPECT_EQ(m.Pinfacewidthedit->text(), "17.500");
  EXPECT_EQ(m.Actratioedit->text(), "1.391");
  // No file chosen yet (the name begins with a line feed): the status line shows no name.
  EXPECT_EQ(m.statusbartextleft->text(), "Filename: ");
  EXPECT_EQ(std::string(d.line_text), "Filename: \nefault_input_file.mvl");
  EXPECT_EQ(m.xtrackbar->value(), 20);  // x1 = 0.25
  EXPECT_TRUE(m.pinhelixhandbutton->isVisibleTo(&m));
  EXPECT_EQ(m.pinhelixhandbutton->text(), "L");
  EXPECT_EQ(m.wheelhelixhandbutton->text(), "R");

  ResultsPane pane(m.mainresults);
  EXPECT_EQ(pane.line_count(), 100);
  EXPECT_EQ(pane.line(0), "\t\t\t\tPINION  \t\tWHEEL");
  EXPECT_EQ(pane.line(1), " Number of Teeth \t\t\t23\t\t32");
  EXPECT_EQ(pane.line(2), " Normal Module (mm)\t\t\t2.250           ");
  EXPECT_EQ(pane.line(12), " Centre Distance (mm)\t\t\t70.000          ");
  EXPECT_EQ(pane.line(17), "");

  d.unit_system = 2;
  set_unit_factors(d);
  m.SetMain_textboxes();
  EXPECT_EQ(m.Moduleedit->text(), "11.2889");  // the diametral pitch, one decimal more
  EXPECT_EQ(m.Moduleedit->toolTip(), "  11.28889");
  EXPECT_EQ(m.Centredistedit->text(), "2.7559");
  EXPECT_EQ(m.Pressureangleedit->text(), "20.000");
  EXPECT_EQ(m.Z1edit->text(), "23");
  EXPECT_EQ(pane.line(2), " Diametral Pitch (1/inch)\t\t\t11.2889         ");
  EXPECT_EQ(pane.line(12), " Centre Distance (inch)\t\t\t2.7559          ");
  EXPECT_EQ(pane.line_count(), 100);
  EXPECT_TRUE(p.scripted.records.empty());
}

TEST(Refresh, EveryRefreshAppendsOneHistoryRecord) {
  Program p;
  DesignData& d = p.design();
  ASSERT_EQ(history_records(), 0);  // emptied at creation
  for (int i = 1; i <= 3; ++i) {
    p.form().SetMain_textboxes();
    EXPECT_EQ(history_records(), i);
    EXPECT_EQ(d.history_record_number, -1 - i);
    EXPECT_EQ(d.history_mode, 0);
  }
  EXPECT_NE(file_bytes(kHistoryFileName).find("-3 xxxxxxxxxx"), std::string::npos);
}

TEST(Refresh, TrackBarsHelixHandsAndStatus) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  struct Case { float backlash; float distribution; int position; };
  for (const Case& c : {Case{0.1f, 0.4375f, 18}, Case{0.1f, 0.4f, 16}, Case{0.0f, 0.9f, 20}}) {
    d.backlash_normal = c.backlash;
    d.backlash_distribution = c.distribution;
    m.SetMain_textboxes();
    EXPECT_EQ(m.backlashtrackbar->value(), c.position) << c.distribution;
  }

  d.helix_angle = 0;
  d.helix_hand = -1;
  m.SetMain_textboxes();
  EXPECT_FALSE(m.pinhelixhandbutton->isVisibleTo(&m));
  EXPECT_FALSE(m.wheelhelixhandbutton->isVisibleTo(&m));
  EXPECT_EQ(m.pinhelixhandbutton->text(), "R");
  EXPECT_EQ(ResultsPane(m.mainresults).line(5), " Helix Hand \t\t\tN/A\t\tN/A");

  // Overridden geometry manager: the warning in the status line, the centre distance editable.
  m.CheckBoxCentre->setChecked(false);  // frees the centre distance (its handler fixes the module)
  d.geometry_manager_mode = 0;
  d.geometry_manager_override = 1;
  m.SetMain_textboxes();
  EXPECT_EQ(m.statusbartextmiddle->text(), "Warning : Geometry manager is overidden!");
  EXPECT_TRUE(m.statusbartextmiddle->styleSheet().contains("red"));
  EXPECT_TRUE(m.Centredistedit->isEnabled());
  d.geometry_manager_override = 0;
  m.SetMain_textboxes();
  EXPECT_EQ(m.statusbartextmiddle->text(), "");
  EXPECT_FALSE(m.Centredistedit->isEnabled());
  EXPECT_TRUE(m.Moduleedit->isEnabled());
}

TEST(Refresh, ShowsTheCorrectionsOfTheGeometryWarnings) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  m.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
  // Thinning from the backlash and a protuberance far below it.
  d.backlash_normal = 0.2f;
  d.backlash_distribution = 0.5f;
  d.protuberance[0] = 0.001f;
  p.scripted.clear();
  m.SetMain_textboxes();
  ASSERT_EQ(p.scripted.of(Kind::Modal).size(), 1u);
  EXPECT_EQ(p.scripted.records[0].caption, "Warning!");
  EXPECT_EQ(p.warning->warningmemo->toPlainText(),
            "Protuberance of pinion is too small for tooth thickness reduction\nProtuberance has been adjusted\n ");
  EXPECT_GT(d.protuberance[0], 0.001f);
  EXPECT_EQ(m.focusWidget(), m.pinprotedit);
  // The corrected value is what the second pass, the fields and the history use.
  EXPECT_EQ(m.pinprotedit->text().toStdString(), format_line("%.3f", double(d.protuberance[0])));

  // The correction holds: the next refresh finds nothing.
  p.scripted.clear();
  m.SetMain_textboxes();
  EXPECT_TRUE(p.scripted.records.empty());
}

TEST(Refresh, MissingStartDirectoryIsReportedAndTheHistoryStillWritten) {
  Program p;
  DesignData& d = p.design();
  const QString here = QDir::currentPath();
  {
    QTemporaryDir gone;
    copy_text(d.start_directory, gone.path().toStdString());
    set_start_directory_path(gone.path().toStdString());
  }
  p.scripted.clear();
  const int before = history_records();
  p.form().SetMain_textboxes();
  EXPECT_EQ(p.scripted.texts(Kind::Message), QStringList{"Start up directory not found"});
  EXPECT_EQ(history_records(), before + 1);
  EXPECT_EQ(QDir::currentPath(), here);
  set_start_directory_path(here.toStdString());
}

TEST(Refresh, RatesOnceEnabledWhileTheTeethMesh) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  EXPECT_EQ(d.contact_safety_factor[0], 0.0f);  // the first refresh does not rate
  d.rating_enabled = 1;
  m.SetMain_textboxes();
  EXPECT_EQ(d.rating_valid, 1);
  EXPECT_GT(d.contact_safety_factor[0], 0.5f);
  EXPECT_GT(d.bending_safety_factor_wheel, 0.5f);
  EXPECT_GT(d.contact_life_pinion, 0.0f);  // life and damage of the load case ran too
  EXPECT_GT(d.contact_damage[0], 0.0f);

  // Tips cut down to a transverse contact ratio below 1: no rating, the last results stay.
  const float kept = d.contact_safety_factor[0];
  d.tooth_proportion_mode = 0;
  for (int i = 0; i < 2; ++i) d.tip_diameter[i] = d.reference_diameter[i] + 0.5f * d.normal_module;
  d.addendum[0] = d.addendum[1] = 0.25f * d.normal_module;
  m.SetMain_textboxes();
  EXPECT_LT(d.transverse_contact_ratio, 1.0f);
  EXPECT_EQ(d.rating_valid, 0);
  EXPECT_EQ(d.contact_safety_factor[0], kept);

  // The S-N curves command follows the report shown.
  d.report_selection = 2;
  m.SetMain_textboxes();
  EXPECT_TRUE(m.RateGears1->isEnabled());
  d.report_selection = 0;
  m.SetMain_textboxes();
  EXPECT_FALSE(m.RateGears1->isEnabled());

  copy_text(d.design_file_name, "gears.mvl");
  m.SetMain_textboxes();
  EXPECT_EQ(m.statusbartextleft->text(), "Filename: gears.mvl");
}

// Each change of the teeth in the main window (the ratio, either gear's teeth, with the ratio fixed or
// free) rates the wheel at the load cycles of the new teeth, N2 = N1 z1 / z2: its figures are those of a
// fresh rating of the same design with N2 worked out here. For the ratios 3 and 1.2 the wheel's figures are also
// those an independent rating of the start-up design found.
TEST(Refresh, TeethEntriesRateTheWheelAtTheCyclesOfItsTeeth) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  d.rating_enabled = 1;
  m.show();
  QApplication::setActiveWindow(&m);
  const auto enter = [&m](QLineEdit* edit, const char* text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(text);
    m.Showplotbutton->setFocus(Qt::TabFocusReason);
  };
  struct Case {
    const char* what;
    std::function<void()> change;
    double wheel_contact_safety, wheel_contact_damage;  // 0: no independent figure
  };
  const Case cases[] = {
      {"ratio 3", [&] { enter(m.Ratioedit, "3"); }, 0.9270, 272},
      {"ratio 1.2", [&] { enter(m.Ratioedit, "1.2"); }, 1.2282, 0},
      {"pinion teeth", [&] { enter(m.Z1edit, "19"); }, 0, 0},
      {"wheel teeth", [&] { enter(m.Z2edit, "41"); }, 0, 0},
      {"pinion teeth, ratio free", [&] { m.RatioCheckBox->click(); enter(m.Z1edit, "30"); }, 0, 0},
  };
  int32_t teeth_before[2] = {d.teeth[0], d.teeth[1]};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    ASSERT_TRUE(d.teeth[0] != teeth_before[0] || d.teeth[1] != teeth_before[1]);
    teeth_before[0] = d.teeth[0];
    teeth_before[1] = d.teeth[1];
    ASSERT_EQ(d.rating_valid, 1);
    auto fresh = std::make_unique<DesignData>(d);
    fresh->load_cycles_wheel = float(double(d.load_cycles_pinion) * d.teeth[0] / d.teeth[1]);
    ASSERT_TRUE(rate_if_ratable(*fresh));
    EXPECT_FLOAT_EQ(d.load_cycles_wheel, fresh->load_cycles_wheel);
    const std::pair<float, float> figures[] = {
        {d.contact_safety_factor[1], fresh->contact_safety_factor[1]},
        {d.permissible_contact_stress[1], fresh->permissible_contact_stress[1]},
        {d.contact_life_wheel, fresh->contact_life_wheel},
        {d.contact_damage[1], fresh->contact_damage[1]},
        {d.bending_safety_factor_wheel, fresh->bending_safety_factor_wheel},
        {d.bending_damage[1], fresh->bending_damage[1]},
    };
    for (const auto& [shown, expected] : figures) EXPECT_NEAR(shown, expected, 1e-6 * std::fabs(expected));
    if (c.wheel_contact_safety > 0) {
      EXPECT_NEAR(d.contact_safety_factor[1], c.wheel_contact_safety, 5e-5);
    }
    if (c.wheel_contact_damage > 0) {
      EXPECT_NEAR(d.contact_damage[1], c.wheel_contact_damage, 0.5);
    }
  }
}

TEST(Refresh, TipBoxesFollowTheToothProportionMode) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  // "Calculate" with the pinion and wheel box clear: tip reduction forced on and locked.
  d.tooth_proportion_mode = 2;
  m.pinwheelcheckbox->setChecked(false);
  m.SetMain_textboxes();
  EXPECT_TRUE(m.pinwheelcheckbox->isEnabled());
  EXPECT_TRUE(m.tipdiaredcheckbox->isChecked());
  EXPECT_FALSE(m.tipdiaredcheckbox->isEnabled());
  EXPECT_EQ(d.allow_tip_diameter_reduction, 1);
  // "Input": both boxes cleared and locked.
  d.tooth_proportion_mode = 0;
  m.SetMain_textboxes();
  EXPECT_FALSE(m.tipdiaredcheckbox->isChecked());
  EXPECT_FALSE(m.tipdiaredcheckbox->isEnabled());
  EXPECT_FALSE(m.pinwheelcheckbox->isChecked());
  EXPECT_FALSE(m.pinwheelcheckbox->isEnabled());
  EXPECT_EQ(d.allow_tip_diameter_reduction, 0);
  EXPECT_EQ(d.keep_pinion_wheel_same, 0);
}

TEST(Refresh, ContactRatioStartsAtTheFormCircle) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  // A wheel tip just clear of the pinion root reaches below the pinion's form circle: contact can only
  // begin at the form circle of the generated outline, the warning says so, and the rating runs on the
  // contact ratio the report shows (not on the one of the rack's form circle).
  d.tooth_proportion_mode = 0;
  d.tip_diameter[1] = 2 * d.centre_distance - d.root_diameter[0] - 0.3f;
  d.addendum[1] = (d.tip_diameter[1] - d.reference_diameter[1]) / 2;
  d.rating_enabled = 1;
  p.scripted.clear();
  m.SetMain_textboxes();
  EXPECT_TRUE(p.scripted.texts(Kind::Modal).join("|").contains("Tip of wheel reaches"));
  EXPECT_NEAR(d.sap_diameter[0], d.form_diameter[0], 1e-4);
  ASSERT_GE(d.sap_diameter[1], d.form_diameter[1]);
  auto roll = [](ld D, ld db) { return std::sqrt(D * D / 4 - db * db / 4); };
  const ld g = roll(d.working_pitch_diameter[0], d.base_diameter[0]) +
               roll(d.working_pitch_diameter[1], d.base_diameter[1]);
  const ld by_tip = g - roll(d.tip_diameter[1], d.base_diameter[1]);
  EXPECT_LT(by_tip, roll(d.form_diameter[0], d.base_diameter[0]));
  const ld rho = roll(d.form_diameter[0], d.base_diameter[0]) + roll(d.sap_diameter[1], d.base_diameter[1]);
  EXPECT_NEAR(d.transverse_contact_ratio, double((g - rho) / d.transverse_base_pitch), 1e-5);
  ASSERT_EQ(d.rating_valid, 1);
  ASSERT_NE(d.form_diameter[0], d.rack_form_diameter[0]) << "the two form circles differ";
  // Z_epsilon of a pair with an overlap ratio of at least 1 is sqrt(1 / eps_alpha).
  ASSERT_GE(d.axial_contact_ratio, 1.0f);
  EXPECT_NEAR(d.contact_ratio_factor, std::sqrt(1 / double(d.transverse_contact_ratio)), 1e-6);
  EXPECT_EQ(ResultsPane(m.mainresults).line(27),
            format_line(" Contact Ratio (Transverse) \t\t\t%-16.3f", double(d.transverse_contact_ratio)));
}

// The main window's refresh works a design out as the core's refresh does, which the reader and the
// benchmark run too: the same figures, bit for bit, on designs that take the checks' corrections, the
// rating, the standard rack and chamfered, undercut-prone teeth.
TEST(Refresh, ShowsTheFiguresOfTheCoreRefresh) {
  struct Case {
    const char* name;
    std::function<void(DesignData&)> set;
  } cases[] = {
      {"start-up design", [](DesignData&) {}},
      {"helical, chamfers, protuberance",
       [](DesignData& d) {
         d.helix_angle = 15;
         for (int g = 0; g < 2; ++g) {
           d.tip_chamfer[g] = 0.2f;
           d.edge_chamfer[g] = 0.5f;
           d.protuberance[g] = 0.06f;
         }
       }},
      {"standard rack of 25 degrees, 12 pinion teeth",
       [](DesignData& d) {
         d.tooth_proportion_mode = 1;
         d.basic_rack.pressure_angle = 25;
         d.teeth[0] = 12;
       }},
      {"wheel tip lowered by the interference check",
       [](DesignData& d) {
         d.tooth_proportion_mode = 0;
         d.tip_diameter[1] = 2 * d.centre_distance - d.root_diameter[0] + 0.5f;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program p;
    DesignData& d = p.design();
    d.rating_enabled = 1;
    c.set(d);
    p.form().SetMain_textboxes();
    const auto core = std::make_unique<DesignData>(d);
    p.form().SetMain_textboxes();
    refresh_design(*core);
    EXPECT_TRUE(morvell::testing::same_figures(d, *core));
    EXPECT_EQ(d.rating_valid, core->rating_valid);
  }
}

// The history record a refresh writes leaves the design shown as it was: a typed ratio that the numbers
// of teeth do not meet exactly (33/46 at 1.391) stays the ratio of the design and of its field, refresh
// after refresh, for the next entry of teeth to use.
TEST(Refresh, TheHistoryRecordLeavesATypedRatioAsItWas) {
  Program p;
  DesignData& d = p.design();
  TMainForm& m = p.form();
  d.teeth[0] = 33;
  d.teeth[1] = 46;
  d.desired_ratio = 1.391f;
  for (int k = 0; k < 3; ++k) {
    m.SetMain_textboxes();
    EXPECT_EQ(d.desired_ratio, 1.391f) << k;
    EXPECT_EQ(m.Ratioedit->text(), "1.391") << k;
  }
}
