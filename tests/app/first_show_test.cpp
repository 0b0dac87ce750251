// The main window's first show acting on the start-up choice: no choice ends the program, a chosen file
// is read, "Size gears" sizes the pair, "Enter geometry data" reduces the window until Continue. Each runs
// once: showing the window again does nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "design_data.h"
#include "design_file.h"
#include "file_bytes.h"
#include "file_commands.h"
#include "main_window.h"
#include "material_table.h"
#include "preferences.h"
#include "program.h"
#include "progress_form.h"
#include "scripted_modal_services.h"
#include "sizing_form.h"
#include "sizing_search.h"
#include "startup.h"
#include "startup_form.h"
#include "test_support.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

// The program up to the start-up window: prepared design (preferences in `unit_system`), warning dialog,
// main window, progress window.
struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<TProgressform> progress{Progressform};

  explicit Program(int unit_system = 1)
      : morvell::testing::Program<>(morvell::testing::program_design(("0\n" + std::to_string(unit_system)).c_str())) {}
  explicit Program(std::unique_ptr<DesignData> design) : morvell::testing::Program<>(std::move(design)) {}
  ~Program() { std::remove(kPreferenceFileName); }

  // The main window's first show after the start-up window left `mode`.
  void first_show(int mode) {
    d->start_mode = mode;
    if (mode != 1) copy_text(d->design_file_name, "");
    scripted.clear();
    main->show();
    QApplication::processEvents();
  }
};

// The 45 controls of the full layout that the reduced one hides.
QList<QWidget*> reduced_away(TMainForm& m) {
  return {m.Centredistedit,   m.Pinfacewidthedit,  m.Wheelfacewidthedit, m.Pinedgechamedit,   m.Wheeledgechamedit,
          m.Ratioedit,        m.Actratioedit,      m.x1edit,             m.x2edit,            m.Backlashedit,
          m.Pinthickedit,     m.Wheelthickedit,    m.Pinfinthick,        m.Wheelfinthick,     m.Pintipdiaedit,
          m.Wheeltipdiaedit,  m.pinchamedit,       m.wheelchamedit,      m.Pinrootdiaedit,    m.Wheelrootdiaedit,
          m.Pinfilletedit,    m.Wheelfilletedit,   m.ha1rackedit,        m.ha2rackedit,       m.hf1rackedit,
          m.hf2rackedit,      m.rho1rackedit,      m.rho2rackedit,       m.pinprotedit,       m.wheelprotedit,
          m.CheckBoxmodule,   m.CheckBoxCentre,    m.RatioCheckBox,      m.sigmaXCheckBox,    m.XCheckBox,
          m.thicknessComboBox, m.backlashComboBox, m.xtrackbar,          m.backlashtrackbar,  m.finthicknessComboBox,
          m.Tooth_prop,       m.tipdiaredcheckbox, m.pinwheelcheckbox,   m.mainresults,       m.Showplotbutton};
}

QList<QAction*> reduced_menus(TMainForm& m) {
  return {m.Window1->menuAction(),   m.Rating1->menuAction(),  m.Optimizer1->menuAction(),
          m.Metrology1->menuAction(), m.Manufacturing1->menuAction(), m.Constraints1->menuAction(),
          m.Graphics1->menuAction(),  m.Report1->menuAction(),  m.Options1->menuAction(),
          m.TE1,                      m.Tolerancing1,           m.Open1,
          m.Save1,                    m.Close1};
}

}  // namespace

TEST(FirstShow, NoStartUpChoiceEndsTheProgramAfterTheFirstRefresh) {
  Program p;
  Tstartupform startup(*p.d);
  startupform = &startup;
  const int32_t history = p.d->history_record_number;
  p.first_show(0);
  startupform = nullptr;
  EXPECT_FALSE(p.main->isVisible());
  EXPECT_LT(p.d->history_record_number, history);  // the first refresh ran
  EXPECT_EQ(p.d->rating_enabled, 1);
  QFile prefs(kPreferenceFileName);  // closing wrote the preferences
  ASSERT_TRUE(prefs.open(QIODevice::ReadOnly));
  EXPECT_EQ(prefs.readAll(), "0\r\n1");
}

TEST(FirstShow, ChosenFileIsReadAndTheRatingEnabled) {
  Program p;
  DesignData& d = *p.d;
  // A design of its own: the same pair with 25 / 40 teeth.
  d.teeth[0] = 25;
  d.teeth[1] = 40;
  copy_text(d.design_file_name, "chosen.mvl");
  ASSERT_TRUE(write_design_file(d).ok());
  d.teeth[0] = 23;
  d.teeth[1] = 32;
  d.load_case_count = 3;  // the file holds one load case
  p.first_show(1);
  TMainForm& m = *p.main;
  EXPECT_TRUE(m.isVisible());
  EXPECT_EQ(d.teeth[0], 25);
  EXPECT_EQ(d.teeth[1], 40);
  EXPECT_EQ(d.rating_enabled, 1);
  EXPECT_EQ(d.shift_distribution_auto, 0);
  EXPECT_EQ(d.ratio_fixed, 1);
  EXPECT_EQ(d.mouse_tool, 0);
  EXPECT_TRUE(m.RatioCheckBox->isChecked());
  EXPECT_FALSE(m.XCheckBox->isChecked());
  EXPECT_FALSE(m.sigmaXCheckBox->isChecked());
  EXPECT_EQ(m.Tooth_prop->currentIndex(), d.tooth_proportion_mode);
  EXPECT_FALSE(m.Panel2->isVisible());
  EXPECT_FALSE(m.continuebutton->isVisible());
  ASSERT_EQ(m.ListBox1->count(), d.load_case_count);
  EXPECT_EQ(m.ListBox1->item(0)->text(), "load1");
  EXPECT_EQ(m.ListBox1->currentRow(), 0);
  EXPECT_EQ(m.unitsMn->text(), "mm");
  EXPECT_EQ(m.unitsx->text(), "/module");
  EXPECT_FALSE(m.dplabel2->isVisibleTo(&m));
  EXPECT_TRUE(m.English1->isEnabled());
  EXPECT_FALSE(m.Metric1->isEnabled());
  QFile::remove("chosen.mvl");
}

TEST(FirstShow, FileThatCannotBeReadIsReportedAndTheWindowStillLaidOut) {
  Program p;
  copy_text(p.d->design_file_name, "missing.mvl");
  p.first_show(1);
  EXPECT_EQ(p.scripted.of(Kind::Message).size(), 1u);
  EXPECT_TRUE(p.main->isVisible());
  EXPECT_EQ(p.d->rating_enabled, 1);
  EXPECT_EQ(p.d->teeth[0], 23);
}

// A file chosen in the start-up window that the reader refuses is reported with the field named, and
// the design it does not hold keeps no file name: the next Save asks where to save instead of writing the
// start-up design over the user's file. One file of each kind the reader refuses.
TEST(FirstShow, RefusedStartUpFileIsReportedAndNeverSavedOver) {
  const std::string shipped = file_bytes(MORVELL_SOURCE_DIR "/data/default_input_file.mvl");
  // The shipped file with the value of one field (a line) replaced.
  const auto with_field = [&](int field, const std::string& value) {
    std::string text = shipped;
    std::size_t start = 0;
    for (int i = 1; i < field; ++i) start = text.find("\r\n", start) + 2;
    return text.replace(start, text.find("\r\n", start) - start, value);
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"helix of 45 degrees", with_field(4, "45.000000"),
       "helix angle (field 4) must be at least 0 and less than 45 degrees"},
      {"empty", "", "the file is empty"},
      {"cut inside a value", shipped.substr(0, shipped.find("27.879999") + 4),
       "helix angle (field 4) \"27.8\" is cut off: the file ends inside it"},
      {"accuracy grade of 1000", with_field(77, "1000"), "accuracy grade (pinion) (field 77) must lie between 0 and 12"},
      {"geometry manager mode 7", with_field(110, "7"), "geometry manager mode (field 110) must be 0, 1 or 2"},
      {"a centre distance beyond the window's", with_field(5, "50000.000000"),
       "centre distance (field 5) must be greater than 0 and at most 5000 mm"},
      // 4000 mm where 70 mm hold the teeth at 2.25 mm: 4000 / 70 x 2.25 mm.
      {"a centre distance that gives a module of 128.6 mm", with_field(5, "4000.000000"),
       "centre distance (field 5) gives a normal module of 128.571 mm with these numbers of teeth, which must lie "
       "between 0.5 and 25.4 mm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_bytes("refused.mvl", c.bytes);
    Program p;
    copy_text(p.d->design_file_name, "refused.mvl");
    p.first_show(1);
    ASSERT_EQ(p.scripted.texts(Kind::Message),
              QStringList{QString::fromStdString("Design file refused.mvl not read: " + std::string(c.message))});
    EXPECT_TRUE(design_file_unnamed(*p.d));
    EXPECT_EQ(p.main->statusbartextleft->text(), "Filename: ");
    EXPECT_EQ(p.d->teeth[0], 23);  // the start-up design

    p.scripted.clear();
    p.main->Save1->trigger();  // the save dialog is cancelled
    EXPECT_EQ(p.scripted.of(Kind::SaveFile).size(), 1u);
    EXPECT_EQ(file_bytes("refused.mvl"), c.bytes);
  }
  QFile::remove("refused.mvl");
}

// A start-up file that ends early at a line end opens, named, with a note that says where it ended.
TEST(FirstShow, StartUpFileEndingEarlyOpensWithANote) {
  const std::string shipped = file_bytes(MORVELL_SOURCE_DIR "/data/default_input_file.mvl");
  std::string text = shipped.substr(0, shipped.find("\r\n23\r\n") + 2);  // up to field 12
  text.replace(text.find("\r\n20.000000\r\n"), 13, "\r\n25.000000\r\n");  // pressure angle 25
  write_bytes("early.mvl", text);
  Program p;
  copy_text(p.d->design_file_name, "early.mvl");
  p.first_show(1);
  EXPECT_EQ(p.scripted.texts(Kind::Message),
            QStringList{"Design file early.mvl ends before field 13, number of teeth (pinion): that field, the "
                        "fields after it and the load cases keep the values of the design shown before"});
  EXPECT_EQ(p.scripted.of(Kind::Message)[0].icon, forms::MessageIcon::Information);
  EXPECT_EQ(std::string(text_of(p.d->design_file_name)), "early.mvl");
  EXPECT_EQ(p.d->normal_pressure_angle, 25.0f);
  EXPECT_EQ(p.d->teeth[0], 23);
  QFile::remove("early.mvl");
}

TEST(FirstShow, EnglishUnitTexts) {
  Program p(2);
  p.first_show(1);
  TMainForm& m = *p.main;
  EXPECT_EQ(m.Modulelabel->text(), "Diametral Pitch");
  EXPECT_EQ(m.Modulelabel->toolTip(), "Normal Diametral Pitch");
  EXPECT_TRUE(m.dplabel2->isVisibleTo(&m));
  EXPECT_EQ(m.rackaddlabel->toolTip(), "Basic rack addendum multiplied by diametral pitch");
  for (QLabel* l : {m.unitsMn, m.unitsa, m.unitsb, m.unitsj, m.unitsda, m.unitsdf, m.unitsprotuberance})
    EXPECT_EQ(l->text(), "inch") << l->objectName().toStdString();
  for (QLabel* l : {m.unitsrackaddendum, m.unitssigmax, m.unitsx}) EXPECT_EQ(l->text(), ".DP");
  EXPECT_EQ(m.unitsbeta->text(), "degrees");
  EXPECT_FALSE(m.English1->isEnabled());
  EXPECT_TRUE(m.Metric1->isEnabled());
}

TEST(FirstShow, OverriddenGeometryManagerOfTheFileIsLaidOut) {
  Program p;
  DesignData& d = *p.d;
  d.geometry_manager_override = 1;
  copy_text(d.design_file_name, "overridden.mvl");
  ASSERT_TRUE(write_design_file(d).ok());
  d.geometry_manager_override = 0;
  p.first_show(1);
  TMainForm& m = *p.main;
  ASSERT_EQ(d.geometry_manager_override, 1);
  EXPECT_EQ(d.geometry_manager_mode, 0);
  EXPECT_FALSE(m.Overide2->isEnabled());
  EXPECT_TRUE(m.Activate1->isEnabled());
  EXPECT_FALSE(m.XCheckBox->isEnabled());
  EXPECT_FALSE(m.XCheckBox->isChecked());
  EXPECT_FALSE(m.Tooth_prop->isEnabled());
  QFile::remove("overridden.mvl");
}

TEST(FirstShow, EnterGeometryReducesTheWindowUntilContinue) {
  Program p;
  DesignData& d = *p.d;
  p.first_show(3);
  TMainForm& m = *p.main;
  for (QWidget* c : reduced_away(m)) EXPECT_FALSE(c->isVisible()) << c->objectName().toStdString();
  for (QAction* a : reduced_menus(m)) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_TRUE(m.Close2->isEnabled());  // Exit
  EXPECT_TRUE(m.continuebutton->isVisible());
  for (QWidget* c : {static_cast<QWidget*>(m.Moduleedit), static_cast<QWidget*>(m.Pressureangleedit),
                     static_cast<QWidget*>(m.Helixangleedit), static_cast<QWidget*>(m.Z1edit),
                     static_cast<QWidget*>(m.Z2edit), static_cast<QWidget*>(m.SigmaXedit)})
    EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
  EXPECT_EQ(m.focusWidget(), m.Moduleedit);
  EXPECT_EQ(d.geometry_manager_mode, 0);
  EXPECT_EQ(d.tooth_proportion_mode, 2);
  EXPECT_EQ(d.keep_pinion_wheel_same, 1);
  EXPECT_EQ(d.allow_tip_diameter_reduction, 0);
  EXPECT_EQ(d.ratio_fixed, 0);
  EXPECT_EQ(d.rating_enabled, 1);
  EXPECT_EQ(m.Tooth_prop->currentIndex(), 2);
  EXPECT_FALSE(m.ha1rackedit->isEnabled());
  EXPECT_FALSE(m.Wheelfilletedit->isEnabled());
  EXPECT_TRUE(m.pinwheelcheckbox->isChecked());
  EXPECT_TRUE(m.CheckBoxmodule->isChecked());
  EXPECT_FALSE(m.CheckBoxCentre->isChecked());

  // Continue: face widths from the pinion's reference diameter and the aspect ratio of z2 / z1.
  d.teeth[0] = 20;
  d.teeth[1] = 60;  // u = 3: the upper rule
  m.SetMain_textboxes();
  const float d1 = d.reference_diameter[0];
  m.continuebutton->click();
  EXPECT_EQ(d.start_mode, 0);
  EXPECT_NEAR(d.pinion_aspect_ratio, 1.666667f, 1e-6);
  EXPECT_FLOAT_EQ(d.face_width[0], d1 / d.pinion_aspect_ratio);
  EXPECT_EQ(d.face_width[1], d.face_width[0]);
  for (QWidget* c : reduced_away(m)) EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
  for (QAction* a : reduced_menus(m)) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  EXPECT_FALSE(m.continuebutton->isVisible());

  // The first show ran once: a second show (after a hide, as a restore does) neither reduces the window
  // again nor, with start_mode now 0, ends the program.
  m.hide();
  m.show();
  QApplication::processEvents();
  EXPECT_TRUE(m.isVisible());
  EXPECT_TRUE(m.Centredistedit->isVisible());
  EXPECT_FALSE(m.continuebutton->isVisible());

  // Continue outside the reduced window does nothing.
  const float b = d.face_width[0];
  d.teeth[1] = 20;
  m.continuebuttonClick();
  EXPECT_EQ(d.face_width[0], b);
}

TEST(FirstShow, ContinueAspectRatioBands) {
  Program p;
  DesignData& d = *p.d;
  p.first_show(3);
  // u exactly 1 takes the middle rule, below 1 the lower one.
  d.teeth[0] = 30;
  d.teeth[1] = 30;
  p.main->continuebuttonClick();
  EXPECT_NEAR(d.pinion_aspect_ratio, 2 / (0.24 * 2), 1e-6);
  d.start_mode = 3;
  d.teeth[1] = 15;
  p.main->continuebuttonClick();
  EXPECT_NEAR(d.pinion_aspect_ratio, 2 / (1.5 * 0.24), 1e-5);
}

TEST(FirstShow, SizeGearsRunsTheSizingSearchOnTheWizardTargets) {
  Program p;
  DesignData& d = *p.d;
  {
    Tsizingform wizard(d);
    wizard.show();
    wizard.accept();
  }
  p.first_show(2);
  TMainForm& m = *p.main;
  EXPECT_EQ(p.progress->windowTitle(), "Gear Sizing Progress");
  EXPECT_FALSE(p.progress->isVisible());
  EXPECT_EQ(p.progress->ProgressBar1->value(), 100);  // 120 after the last pass shows a full bar
  // The design of least centre distance, rated by the first refresh.
  DesignData check = d;
  check.desired_ratio = 1.5f;
  const SizingResult r = run_sizing_search(check);
  EXPECT_EQ(d.teeth[0], r.pinion_teeth);
  EXPECT_EQ(d.teeth[1], sizing_wheel_teeth(r.pinion_teeth, 1.5f));
  EXPECT_EQ(d.normal_module, r.normal_module);
  EXPECT_EQ(d.profile_shift_sum, r.profile_shift_sum);
  EXPECT_FLOAT_EQ(d.load_cycles_wheel, 1e7f * d.teeth[0] / d.teeth[1]);
  EXPECT_EQ(d.shift_distribution_auto, 1);
  EXPECT_EQ(d.tooth_proportion_mode, 2);
  EXPECT_EQ(d.keep_pinion_wheel_same, 1);
  EXPECT_EQ(d.geometry_manager_mode, 0);
  EXPECT_EQ(d.rating_enabled, 1);
  EXPECT_GE(d.contact_safety_factor[0], 1.0f);
  EXPECT_GE(d.bending_safety_factor_wheel, 1.0f);
  EXPECT_EQ(m.Tooth_prop->currentIndex(), 2);
  EXPECT_FALSE(m.Pintipdiaedit->isEnabled());
  EXPECT_TRUE(m.pinwheelcheckbox->isChecked());
  EXPECT_TRUE(m.isVisible());
  EXPECT_EQ(m.Moduleedit->text(), QString::number(double(d.normal_module), 'f', 3));
}

namespace {

// The sizing wizard as the start-up window shows it, with the user's targets entered in its fields (the
// torque in the units of the program) and a material chosen from its list (7, the preset, is not
// chosen again).
void enter_sizing_targets(DesignData& d, const char* ratio, const char* torque, const char* helix_angle,
                          int material) {
  Tsizingform wizard(d);
  wizard.show();
  QApplication::setActiveWindow(&wizard);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
  for (auto [edit, text] : {std::pair{wizard.Ratioedit, ratio}, std::pair{wizard.torquepinedit, torque},
                            std::pair{wizard.Helixangleedit, helix_angle}}) {
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(text);
    wizard.okbutton->setFocus(Qt::TabFocusReason);
  }
  if (material != 7) {
    wizard.materialtypepin->setCurrentIndex(material);
    emit wizard.materialtypepin->activated(material);
  }
  wizard.accept();
}

// The design as the first show rated it meets the sizing's targets: rated, with a safety factor of at
// least 1.0 in contact and bending on both gears.
void expect_sizing_targets_met(const DesignData& d) {
  EXPECT_EQ(d.rating_valid, 1);
  EXPECT_GT(d.transverse_contact_ratio, 1.0f);
  EXPECT_GE(d.contact_safety_factor[0], 1.0f);
  EXPECT_GE(d.contact_safety_factor[1], 1.0f);
  EXPECT_GE(d.bending_safety_factor_pinion, 1.0f);
  EXPECT_GE(d.bending_safety_factor_wheel, 1.0f);
}

}  // namespace

// "Size gears" delivers a pair that the sizing rated and that meets a safety factor of 1.0 in contact and
// bending on both gears when the main window rates it afresh; targets that no pair meets are refused
// with the design left as it was. Ratios, helix angles (spur included), torques, materials and both unit
// systems.
TEST(FirstShow, SizeGearsDeliversARatedPairOrRefuses) {
  const struct Case {
    int unit_system;
    const char *ratio, *torque, *helix_angle;  // as typed, the torque in N m or lbf ft
    int material;
    int32_t z1, z2;  // the pair expected, 0: any pair that meets the targets, -1: refused
    float module;
    bool contact_ratio_reached = true;  // refused: some pair reached a transverse contact ratio of 1
  } cases[] = {
      {1, "1", "3000", "27", 7, 26, 26, 4.2f},  // its least centre distance among those that meet the targets
      {2, "1", "2212.39", "27", 7, 26, 26, 4.2f},
      {1, "1", "500", "0", 7, 0, 0, 0},       // spur
      {1, "2", "50", "15", 9, 0, 0, 0},       // nitrided
      {1, "6", "500", "30", 1, 0, 0, 0},      // steel
      {1, "3", "50", "0", 3, 0, 0, 0},        // grey cast iron, spur
      {1, "6", "5000", "0", 3, -1, -1, 0},    // cast iron beyond what a module below 10 can carry
      {1, "20", "500", "0", 7, -1, -1, 0, false},  // ten spur pinion teeth never reach a contact ratio of 1
      {2, "12", "3687.3", "0", 1, -1, -1, 0},  // 5000 N m on steel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ratio) + " " + c.torque + " " + c.helix_angle + " " + std::to_string(c.material) +
                 (c.unit_system == 2 ? " English" : ""));
    Program p(c.unit_system);
    DesignData& d = *p.d;
    const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
    const float module = d.normal_module, shift_sum = d.profile_shift_sum, face_width = d.face_width[0];
    enter_sizing_targets(d, c.ratio, c.torque, c.helix_angle, c.material);
    p.first_show(2);
    const QStringList warnings = p.warnings();
    EXPECT_FALSE(p.progress->isVisible());
    p.main->SetMain_textboxes();
    if (c.z1 < 0) {
      // The reason given is the one that holds: no pair rated at all, or none meeting the targets.
      EXPECT_EQ(warnings, c.contact_ratio_reached
                              ? QStringList{"No gear pair can be sized for these targets\n"
                                            "No pair meets a safety factor of 1.0 in contact and bending\n"
                                            "The design has been left as it was"}
                              : QStringList{"No gear pair can be sized: no pair reaches a transverse contact ratio of 1\n"
                                            "at a pressure angle of 20.000 and a helix angle of 0.000 degrees\n"
                                            "The design has been left as it was"});
      EXPECT_EQ(d.teeth[0], z1);
      EXPECT_EQ(d.teeth[1], z2);
      EXPECT_EQ(d.normal_module, module);
      EXPECT_EQ(d.profile_shift_sum, shift_sum);
      EXPECT_EQ(d.face_width[0], face_width);
      continue;
    }
    EXPECT_TRUE(warnings.isEmpty());
    if (c.z1 > 0) {
      EXPECT_EQ(d.teeth[0], c.z1);
      EXPECT_EQ(d.teeth[1], c.z2);
      EXPECT_NEAR(d.normal_module, c.module, 1e-5);
    }
    expect_sizing_targets_met(d);
  }
}

// The sizing sizes the pair that the first show then rates: load case 1 of a design that holds several
// (the case read last is the one held until then), with the material the wizard shows ("Case Hardening
// Steel", untouched) whatever material the design held.
TEST(FirstShow, SizeGearsSizesForLoadCase1AndTheMaterialShown) {
  Program p;
  DesignData& d = *p.d;
  d.load_case_count = 2;
  d.load_case_table[1] = d.load_case_table[0];
  d.load_case_fixed_for[1] = d.load_case_fixed_for[0];
  d.load_case_table[0].f_beta_x = 80;
  d.load_case_table[1].f_beta_x = 5;
  d.f_beta_x = 5;
  d.material_type[0] = d.material_type[1] = 2;  // through hardened, with its own numbers and curves
  material_properties(d, 0);
  material_properties(d, 1);
  updateSNcurves(d);
  enter_sizing_targets(d, "1.5", "200", "27", 7);
  p.first_show(2);
  EXPECT_TRUE(p.warnings().isEmpty());
  EXPECT_EQ(d.current_load_case, 0);
  EXPECT_EQ(d.f_beta_x, 80.0f);
  for (int g = 0; g < 2; ++g) {
    EXPECT_EQ(d.material_type[g], 7);
    EXPECT_EQ(d.sigma_hlim[g], 1500.0f);
    EXPECT_EQ(d.surface_hardness[g], 62.0f);
  }
  EXPECT_EQ(d.sigma_h_static_wheel, 2400.0f);
  // The pair delivered meets the targets as the first show rates it.
  expect_sizing_targets_met(d);
}

// Started without the default design file, the design holds no rating input but those the wizard gives
// (its load and material): the sizing names what is missing instead of failing for a reason that is not
// the cause.
TEST(FirstShow, SizeGearsWithoutTheDefaultDesignNamesTheMissingRatingInputs) {
  auto bare = morvell::testing::program_design("0\n1");
  QFile::remove(kDefaultDesignFileName);
  *bare = DesignData{};
  EXPECT_FALSE(prepare_design_data(*bare).ok());
  Program p(std::move(bare));
  DesignData& d = *p.d;
  enter_sizing_targets(d, "1.5", "200", "27", 7);
  const int32_t z1 = d.teeth[0];
  p.first_show(2);
  EXPECT_EQ(p.warnings(), QStringList{"No gear pair can be sized without these rating inputs:\n"
                                      "application factor, lubricant viscosity, flank roughness and fillet roughness\n"
                                      "The default design that gives them could not be read; the design has been left "
                                      "as it was"});
  EXPECT_EQ(d.teeth[0], z1);
  EXPECT_FALSE(p.progress->isVisible());
}

// A ratio beyond what the sizing can reach with at most 200 wheel teeth is not sized: the user is told
// and the design stays as the file left it.
TEST(FirstShow, SizeGearsLeavesADesignWhoseRatioItCannotSize) {
  Program p;
  DesignData& d = *p.d;
  d.desired_ratio = 25.0f;
  const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
  const float module = d.normal_module;
  p.first_show(2);
  const QStringList warnings = p.warnings();
  EXPECT_EQ(warnings, QStringList{"No gear pair can be sized for this ratio\nThe design has been left as it was\n "});
  EXPECT_EQ(d.teeth[0], z1);
  EXPECT_EQ(d.teeth[1], z2);
  EXPECT_EQ(d.normal_module, module);
  EXPECT_FALSE(p.progress->isVisible());
}
