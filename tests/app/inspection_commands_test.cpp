// The main window's Inspection menu: "Measurement Over Balls" refused while the module follows the
// centre distance, and opening the measurement window otherwise, whose typed measurement outlasts the
// closing refresh; "Tolerancing" leaving the geometry manager as it found it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QTest>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "main_window.h"
#include "measurement.h"
#include "metrology_form.h"
#include "program.h"
#include "scripted_modal_services.h"
#include "test_support.h"
#include "tolerances_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<Tmetrologyform> metrology{metrologyform, *d};
  morvell::testing::ProgramWindow<TTolerancesform> tolerances{Tolerancesform, *d};

  QStringList modal_captions() const {
    QStringList out;
    for (const auto& r : scripted.of(Kind::Modal)) out << r.caption;
    return out;
  }
};

// The backlash of the finished teeth at the working centre distance, worked out from their thicknesses on
// the base circles: along the transverse line of action (the base pitch less both base thicknesses, opened
// up by the working pressure angle), in the normal plane, on the working pitch circle and in the normal
// section of the working pitch cylinder.
struct TeethBacklash {
  double along_line, normal, circular, normal_circular;
};
TeethBacklash backlash_of_the_teeth(const DesignData& d) {
  auto inv = [](double a) { return std::tan(a) - a; };
  const double deg = M_PI / 180, beta = d.helix_angle * deg, alpha_n = d.normal_pressure_angle * deg;
  const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  const double beta_b = std::asin(std::sin(beta) * std::cos(alpha_n));
  double ref[2], base[2], s_base[2];
  for (int i = 0; i < 2; ++i) {
    ref[i] = d.teeth[i] * d.normal_module / std::cos(beta);
    base[i] = ref[i] * std::cos(alpha_t);
    s_base[i] = base[i] * (d.thickness_finished_transverse[i] / ref[i] + inv(alpha_t));
  }
  const double a = d.centre_distance, alpha_w = std::acos((base[0] + base[1]) / (2 * a));
  const double along = M_PI * base[0] / d.teeth[0] - s_base[0] - s_base[1] + (base[0] + base[1]) * inv(alpha_w);
  double circular = M_PI * base[0] / std::cos(alpha_w) / d.teeth[0];
  for (int i = 0; i < 2; ++i) circular -= base[i] / std::cos(alpha_w) * (s_base[i] / base[i] - inv(alpha_w));
  const double beta_w = std::atan(std::tan(beta) * (2 * a / (d.teeth[0] + d.teeth[1])) / (ref[0] / d.teeth[0]));
  return {along, along * std::cos(beta_b), circular, circular * std::cos(beta_w)};
}

void expect_backlash_of_the_teeth(const DesignData& d) {
  const TeethBacklash t = backlash_of_the_teeth(d);
  EXPECT_NEAR(d.backlash_normal, t.normal, 3e-5);
  EXPECT_NEAR(d.backlash_transverse, t.along_line, 3e-5);
  EXPECT_NEAR(d.backlash_transverse_circular, t.circular, 3e-5);
  EXPECT_NEAR(d.backlash_normal_circular, t.normal_circular, 3e-5);
}

}  // namespace

// A helical pair with a shift sum: a "Transverse" backlash entered in the main window is the distance
// along the transverse line of action between the finished teeth, all five values shown are those of
// the teeth, the radial value entered back gives the same backlash, and the teeth measured over balls in
// the measurement window give it again. Overridden to a centre distance 0.2 mm beyond the zero-backlash
// one, the values shown are those of the teeth at that centre distance, after a finished thickness
// entered in the main window as after a measurement typed in the measurement window.
TEST(InspectionCommands, BacklashEnteredInTheMainWindowAndMeasuredOverBallsAgree) {
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  m.show();
  m.activateWindow();
  QApplication::setActiveWindow(&m);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
  auto enter = [&](QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(text);
    m.Showplotbutton->setFocus(Qt::TabFocusReason);
  };
  auto choose = [](QComboBox* combo, int entry) {
    combo->setCurrentIndex(entry);
    emit combo->activated(entry);
  };
  Tmetrologyform& form = *p.metrology;
  // Types the finished measurements over balls of both gears into the measurement window and closes it.
  auto measure = [&](const float (&measured)[2]) {
    p.scripted.modal_actions["metrologyform"].push_back([&](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      for (int i = 0; i < 2; ++i) {
        QLineEdit* box = i == 0 ? form.measball1finedit : form.measball2finedit;
        box->setFocus(Qt::TabFocusReason);
        box->setText(QString::number(measured[i], 'f', 6));
        form.OKbutton->setFocus(Qt::TabFocusReason);
      }
      expect_backlash_of_the_teeth(d);
      form.OKbutton->click();
      return int(QDialog::Accepted);
    });
    m.MeasurementOverBalls1->trigger();
  };
  m.CheckBoxCentre->setChecked(false);  // the module stays
  m.sigmaXCheckBox->setChecked(true);    // the shift sum is entered
  ASSERT_EQ(d.geometry_manager_mode, 0);
  enter(m.SigmaXedit, "0.4");
  ASSERT_NEAR(d.profile_shift_sum, 0.4f, 1e-6f);
  ASSERT_NE(d.helix_angle, 0.0f);

  choose(m.backlashComboBox, 1);
  enter(m.Backlashedit, "0.12");
  EXPECT_NEAR(backlash_of_the_teeth(d).along_line, 0.12, 3e-5);
  expect_backlash_of_the_teeth(d);

  choose(m.backlashComboBox, 2);
  const float normal = d.backlash_normal;
  const float thickness[2] = {d.thickness_finished_transverse[0], d.thickness_finished_transverse[1]};
  enter(m.Backlashedit, QString::number(d.backlash_radial, 'f', 6));
  EXPECT_NEAR(d.backlash_normal, normal, 5e-6);

  measure({d.ball_measurement_finished[0], d.ball_measurement_finished[1]});
  // Within what the measurement's tolerance of 5e-5 m_n leaves of a thickness.
  EXPECT_NEAR(d.thickness_finished_transverse[0], thickness[0], 1e-4);
  EXPECT_NEAR(d.thickness_finished_transverse[1], thickness[1], 1e-4);
  EXPECT_NEAR(d.backlash_transverse, 0.12, 2e-4);
  expect_backlash_of_the_teeth(d);

  // Overridden: the centre distance and the finished thicknesses are the inputs.
  m.Overide2->trigger();
  ASSERT_EQ(d.geometry_manager_override, 1);
  d.centre_distance = d.centre_distance_from_shifts + 0.2f;
  m.SetMain_textboxes();
  expect_backlash_of_the_teeth(d);
  choose(m.finthicknessComboBox, 1);
  const float thinner = float(d.thickness_finished_transverse[0] - 0.03);
  enter(m.Pinfinthick, QString::number(thinner, 'f', 6));
  EXPECT_NEAR(d.thickness_finished_transverse[0], thinner, 2e-6);
  expect_backlash_of_the_teeth(d);
  measure({d.ball_measurement_finished[0] - 0.02f, d.ball_measurement_finished[1]});
  EXPECT_LT(d.thickness_finished_transverse[0], thinner - 0.005f);
  expect_backlash_of_the_teeth(d);
  QStringList warnings;
  for (const QString& text : p.warnings()) warnings << text.section('\n', 0, 0);
  EXPECT_EQ(warnings, QStringList{"Geometry manager will be overidden."});
}

TEST(InspectionCommands, MeasurementOverBallsRefusedWhileTheModuleFollowsTheCentreDistance) {
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  EXPECT_TRUE(m.MeasurementOverBalls1->isEnabled());
  EXPECT_TRUE(m.Tolerancing1->isEnabled());
  ASSERT_EQ(d.geometry_manager_mode, 1);
  const float thickness = d.thickness_finished_transverse[0];
  d.plot_zoom = 4;
  m.MeasurementOverBalls1->trigger();
  EXPECT_EQ(p.modal_captions(), QStringList{"Warning!"});
  EXPECT_EQ(p.scripted.records[0].text, "To be able to set measurement over balls module must be fixed\n\n ");
  EXPECT_EQ(d.plot_zoom, 4);
  EXPECT_EQ(d.thickness_finished_transverse[0], thickness);
}

TEST(InspectionCommands, MeasurementTypedInTheWindowOutlastsTheClosingRefresh) {
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  m.CheckBoxCentre->setChecked(false);  // the module stays, the centre distance follows
  ASSERT_EQ(d.geometry_manager_mode, 0);
  d.plot_zoom = 4;
  d.pan_x_3d = 3;
  const float target = d.thickness_nominal_transverse[1] - 0.04f;
  float ball = d.ball_diameter[1], contact = 0, centre = 0;
  const float measured = measurement_over_balls(d, d.teeth[1], &ball, target, d.normal_module, d.helix_angle,
                                                d.normal_pressure_angle, d.tip_diameter[1], &contact, &centre);
  const QString entry = QString::number(measured, 'f', 5);
  float implied = 0;
  Tmetrologyform& form = *p.metrology;
  p.scripted.modal_actions["metrologyform"].push_back([&](QDialog& dialog) {
    EXPECT_EQ(d.plot_zoom, 1);
    EXPECT_EQ(d.pan_x_3d, 0);
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    form.measball2finedit->setFocus(Qt::TabFocusReason);
    form.measball2finedit->setText(entry);
    form.OKbutton->setFocus(Qt::TabFocusReason);
    implied = d.thickness_finished_transverse[1];
    form.OKbutton->click();
    return int(QDialog::Accepted);
  });
  m.MeasurementOverBalls1->trigger();
  EXPECT_EQ(p.modal_captions(), QStringList{"Tooth Thickness Measurement"});
  EXPECT_NEAR(implied, target, 1e-4);
  EXPECT_NEAR(d.thickness_finished_transverse[1], implied, 2e-6);
  EXPECT_NEAR(d.ball_measurement_finished[1], entry.toFloat(), 1e-4 * d.normal_module);
  EXPECT_NEAR(d.backlash_transverse_circular,
              (d.thickness_nominal_transverse[0] - d.thickness_finished_transverse[0]) +
                  (d.thickness_nominal_transverse[1] - d.thickness_finished_transverse[1]),
              2e-6);
}

TEST(InspectionCommands, TolerancingLeavesTheGeometryManagerAsItFoundIt) {
  for (const bool overridden : {false, true}) {
    SCOPED_TRACE(overridden);
    Program p;
    DesignData& d = *p.d;
    TMainForm& m = *p.main;
    if (overridden) m.Overide2->trigger();
    const int32_t mode = d.geometry_manager_mode;
    const uint8_t override_flag = d.geometry_manager_override;
    ASSERT_EQ(override_flag, overridden ? 1 : 0);
    const float tip = d.tip_diameter[1], centre = d.centre_distance, backlash = d.backlash_normal;
    TTolerancesform& form = *p.tolerances;
    p.scripted.modal_actions["Tolerancesform"].push_back([&](QDialog& dialog) {
      EXPECT_EQ(d.geometry_manager_mode, 0);
      EXPECT_EQ(d.geometry_manager_override, 1);
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      form.ISOgradewheeledit->setFocus(Qt::TabFocusReason);
      form.ISOgradewheeledit->setText("5");
      form.Button1->setFocus(Qt::TabFocusReason);
      return int(QDialog::Accepted);
    });
    m.Tolerancing1->trigger();
    EXPECT_EQ(d.geometry_manager_mode, mode);
    EXPECT_EQ(d.geometry_manager_override, override_flag);
    EXPECT_EQ(d.iso_grade[1], 5);
    EXPECT_EQ(d.tip_diameter[1], tip);
    EXPECT_EQ(d.centre_distance, centre);
    EXPECT_EQ(d.backlash_normal, backlash);
  }
}

// OK in the tolerance window with nothing entered leaves the design's bytes as they were, for designs of
// many kinds (module, helix and teeth at random): the addenda, worked out again from the tip diameters,
// would differ in the last digit.
TEST(InspectionCommands, TolerancingWithoutAnEntryLeavesTheDesignAsItWas) {
  std::mt19937 rng(4411);
  auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  Program p;
  DesignData& d = *p.d;
  TMainForm& m = *p.main;
  for (int trial = 0; trial < 12; ++trial) {
    SCOPED_TRACE(trial);
    d.helix_angle = trial % 3 == 0 ? 0.0f : float(uniform(5, 30));
    d.teeth[0] = int(uniform(15, 40));
    d.teeth[1] = int(d.teeth[0] * uniform(1.2, 4));
    d.normal_module = float(uniform(1, 6));
    m.SetMain_textboxes();
    m.SetMain_textboxes();
    const std::string before = design_file_text(d);
    p.scripted.modal_actions["Tolerancesform"].push_back([&](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      p.tolerances->Button1->setFocus(Qt::TabFocusReason);
      return int(QDialog::Accepted);
    });
    m.Tolerancing1->trigger();
    EXPECT_EQ(design_file_text(d), before);
  }
}
