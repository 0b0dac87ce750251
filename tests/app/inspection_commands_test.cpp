// The main window's Inspection menu: "Measurement Over Balls" refused while the module follows the
// centre distance, and opening the measurement window otherwise, whose typed measurement outlasts the
// closing refresh; "Tolerancing" leaving the geometry manager as it found it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "design_data.h"
#include "main_window.h"
#include "measurement.h"
#include "metrology_form.h"
#include "preferences.h"
#include "scripted_modal_services.h"
#include "startup.h"
#include "test_support.h"
#include "tolerances_form.h"
#include "warning_dialog.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

struct Program {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  std::unique_ptr<Tgeomwarningform> warning;
  std::unique_ptr<TMainForm> main;
  std::unique_ptr<Tmetrologyform> metrology;
  std::unique_ptr<TTolerancesform> tolerances;

  Program() {
    QFile::remove(kPreferenceFileName);
    QFile::remove(kDefaultDesignFileName);
    EXPECT_TRUE(QFile::copy(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", kDefaultDesignFileName));
    EXPECT_TRUE(prepare_design_data(*d).ok());
    warning = std::make_unique<Tgeomwarningform>(*d);
    geomwarningform = warning.get();
    main = std::make_unique<TMainForm>(*d);
    metrology = std::make_unique<Tmetrologyform>(*d);
    metrologyform = metrology.get();
    tolerances = std::make_unique<TTolerancesform>(*d);
    Tolerancesform = tolerances.get();
  }
  ~Program() {
    Tolerancesform = nullptr;
    metrologyform = nullptr;
    geomwarningform = nullptr;
  }
  QStringList modal_captions() const {
    QStringList out;
    for (const auto& r : scripted.of(Kind::Modal)) out << r.caption;
    return out;
  }
};

}  // namespace

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
