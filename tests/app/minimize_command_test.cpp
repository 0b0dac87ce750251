// The main window's "Minimize centre distance": its refusals, the protuberance it clears, the minimum
// safety factor dialog and the design the search leaves.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <memory>
#include <string>
#include <utility>

#include "centre_distance_minimisation.h"
#include "centre_minimize_form.h"
#include "design_data.h"
#include "design_file.h"
#include "domain_error_box.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "material_table.h"
#include "numeric.h"
#include "program.h"
#include "progress_form.h"
#include "rating.h"
#include "rating_input.h"
#include "scripted_modal_services.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<TProgressform> progress{Progressform};
  morvell::testing::ProgramWindow<Tcentreminimizeform> minima{centreminimizeform, *d};

  int dialogs_shown() const {
    int n = 0;
    for (const auto& r : scripted.of(Kind::Modal)) n += r.caption == "Minimize Centre Distance";
    return n;
  }
};

}  // namespace

TEST(MinimizeCentreDistance, MenuItemIsEnabled) {
  Program p;
  EXPECT_TRUE(p.main->Minimizecentredistance1->isEnabled());
  EXPECT_EQ(p.main->Minimizecentredistance1->text(), "Minimize centre distance");
}

// Refused unless the tooth proportions are calculated and the geometry manager is active: one warning,
// nothing changed but a protuberance, which is cleared (with its own warning) before the test.
TEST(MinimizeCentreDistance, RefusalsShowTheirWarningAndChangeNothingElse) {
  const QString proportions = "Tooth proportions must be calculated for this option.\n"
                              "Set basic rack proportions to calculated\n";
  const QString overridden = "Geometry manager cannot be overidden for this option.\n"
                             "Activate the Geometry Manager from the Options menu \n";
  const QString protuberance = "Protuberance has been set to zero for centre distance minimization\n \n ";
  struct Case {
    int32_t proportion_mode;
    uint8_t override_flag;
    float protuberance;
    QStringList warnings;
  } cases[] = {
      {0, 0, 0.0f, {proportions}},
      {1, 0, 0.3f, {protuberance, proportions}},
      {2, 1, 0.0f, {overridden}},
      {0, 1, 0.2f, {protuberance, overridden}},
  };
  for (const Case& c : cases) {
    Program p;
    DesignData& d = *p.d;
    p.main->show();
    QApplication::setActiveWindow(p.main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.main.get()));
    d.tooth_proportion_mode = c.proportion_mode;
    // A standard basic rack for "Standard Rack" (the start-up holds none: no pressure angle, no
    // addendum, whose teeth end on their root circles).
    d.basic_rack.pressure_angle = 20;
    for (int i = 0; i < 2; ++i) {
      d.basic_rack.addendum_coeff[i] = 1;
      d.basic_rack.dedendum_coeff[i] = 1.25f;
      d.basic_rack.fillet_radius_coeff[i] = 0.38f;
    }
    d.geometry_manager_override = c.override_flag;
    d.protuberance[1] = c.protuberance;
    d.tip_chamfer[0] = 0.15f;
    d.tip_chamfer[1] = 0.05f;
    const int32_t z1 = d.teeth[0];
    const float module = d.normal_module;
    const int32_t mode = d.geometry_manager_mode;
    p.scripted.clear();
    p.main->Minimizecentredistance1Click();
    SCOPED_TRACE(c.warnings.join("|").toStdString());
    EXPECT_EQ(p.warnings(), c.warnings);
    EXPECT_EQ(p.dialogs_shown(), 0);
    EXPECT_EQ(d.protuberance[1], 0.0f);
    EXPECT_EQ(d.tip_chamfer[0], 0.15f);
    EXPECT_EQ(d.tip_chamfer[1], 0.05f);
    EXPECT_EQ(d.teeth[0], z1);
    EXPECT_FLOAT_EQ(d.normal_module, module);
    EXPECT_EQ(d.geometry_manager_mode, mode);
    EXPECT_FALSE(p.progress->isVisible());
    if (c.override_flag == 0) { EXPECT_EQ(p.main->focusWidget(), p.main->Tooth_prop); }
  }
}

// A run: the dialog's minima are used, the design left has the module fixed with the centre box
// unchecked, the shift sum split automatically, no protuberance, and meets the minima when rated.
namespace {

// The window shown with calculated tooth proportions, the centre distance fixed (the module follows),
// shifts split by hand and a ratio of 8 (11 to 25 pinion teeth keep a run short).
void prepare_run(Program& p) {
  DesignData& d = *p.d;
  p.main->show();
  QApplication::setActiveWindow(p.main.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(p.main.get()));
  d.tooth_proportion_mode = 2;
  p.main->Tooth_prop->setCurrentIndex(2);
  d.geometry_manager_override = 0;
  p.main->CheckBoxmodule->setChecked(false);
  ASSERT_EQ(d.geometry_manager_mode, 1);
  p.main->XCheckBox->setChecked(false);
  ASSERT_EQ(d.shift_distribution_auto, 0);
  p.main->RatioCheckBox->setChecked(true);
  p.main->Ratioedit->setFocus(Qt::TabFocusReason);
  p.main->Ratioedit->setText("8");
  p.main->Helixangleedit->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(d.desired_ratio, 8.0f);
}

}  // namespace

TEST(MinimizeCentreDistance, RunLeavesTheBestPairWithModuleFixedAndAutomaticShifts) {
  Program p;
  DesignData& d = *p.d;
  prepare_run(p);
  d.protuberance[0] = 0.25f;
  d.tip_chamfer[0] = d.tip_chamfer[1] = 0;
  d.rating_enabled = 1;
  p.scripted.modal_actions["centreminimizeform"].push_back([](QDialog& w) {
    auto& f = static_cast<Tcentreminimizeform&>(w);
    QApplication::setActiveWindow(&f);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Edit2->setFocus(Qt::TabFocusReason);
    f.Edit2->setText("1.5");
    f.okbutton->setFocus(Qt::TabFocusReason);
    return int(QDialog::Accepted);
  });
  p.scripted.clear();
  p.main->Minimizecentredistance1Click();

  EXPECT_EQ(p.warnings(), QStringList{"Protuberance has been set to zero for centre distance minimization\n \n "});
  EXPECT_EQ(p.dialogs_shown(), 1);
  EXPECT_EQ(d.min_contact_safety_factor, 1.0f);
  EXPECT_EQ(d.min_bending_safety_factor, 1.5f);
  EXPECT_EQ(d.protuberance[0], 0.0f);
  EXPECT_EQ(d.geometry_manager_mode, 0);
  EXPECT_FALSE(p.main->CheckBoxCentre->isChecked());
  EXPECT_TRUE(p.main->CheckBoxmodule->isChecked());
  EXPECT_EQ(d.shift_distribution_auto, 1);
  EXPECT_EQ(p.progress->windowTitle(), "Minimum Centre Distance Progress");
  EXPECT_FALSE(p.progress->isVisible());
  EXPECT_EQ(p.progress->ProgressBar1->value(), 100);
  EXPECT_GE(d.teeth[0], 11);
  EXPECT_LE(d.teeth[0], 25);
  EXPECT_EQ(d.teeth[1], sizing_wheel_teeth(d.teeth[0], 8.0f));
  EXPECT_EQ(p.main->focusWidget(), p.main->mainresults);

  // The refresh rated the pair left: it meets both minima.
  ASSERT_GE(d.transverse_contact_ratio, 1.0f);
  EXPECT_TRUE(minimum_safety_factors_met(d));
  EXPECT_FLOAT_EQ(d.face_width[0], d.reference_diameter[0] / d.pinion_aspect_ratio);
}

// With tip chamfers the pair left is the one the chamfer fitting rated last: it meets the minima when the
// main window rates it afresh, and its module lies below the search's bound of 10. The start-up design
// made a 22 / 93 pair of module 1.5 at 10 degrees, 1566.8 N m and tip chamfers of 0.375 mm.
TEST(MinimizeCentreDistance, ChamferedPairLeftMeetsTheMinimaWhenRefreshed) {
  const struct Case {
    int32_t pinion_material, wheel_material;
    const char *contact, *bending;  // the minima as typed
    int32_t z1, z2;                 // 0: any pair
    float module;
  } cases[] = {
      {7, 7, "2", "3", 23, 97, 6.0f},  // the module rated, not the step after it (6.05)
      {1, 1, "1", "1.2", 27, 114, 0},  // steel: a step past the last rating would give 10.1
      {9, 1, "1.3", "1.6", 0, 0, 0},   // nitrided pinion on a steel wheel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.pinion_material) + "/" + std::to_string(c.wheel_material) + " " + c.contact + "/" +
                 c.bending);
    Program p;
    DesignData& d = *p.d;
    p.main->show();
    QApplication::setActiveWindow(p.main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.main.get()));
    d.rating_enabled = 1;
    p.main->CheckBoxmodule->setChecked(true);
    p.main->CheckBoxCentre->setChecked(false);
    ASSERT_EQ(d.geometry_manager_mode, 0);
    d.tooth_proportion_mode = 2;
    p.main->Tooth_prop->setCurrentIndex(2);
    d.teeth[0] = 22;
    d.teeth[1] = 93;
    d.desired_ratio = float(93.0L / 22);  // the ratio of these teeth, which the minimization keeps
    d.normal_module = 1.5f;
    d.helix_angle = 10;
    d.torque = d.load_case_table[0].torque = 1566.8f;
    d.material_type[0] = c.pinion_material;
    d.material_type[1] = c.wheel_material;
    material_properties(d, 0);
    material_properties(d, 1);
    updateSNcurves(d);
    d.tip_chamfer[0] = d.tip_chamfer[1] = 0.375f;
    p.main->SetMain_textboxes();
    const char *contact = c.contact, *bending = c.bending;
    p.scripted.modal_actions["centreminimizeform"].push_back([contact, bending](QDialog& w) {
      auto& f = static_cast<Tcentreminimizeform&>(w);
      QApplication::setActiveWindow(&f);
      EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
      f.Edit1->setFocus(Qt::TabFocusReason);
      f.Edit1->setText(contact);
      f.Edit2->setFocus(Qt::TabFocusReason);
      f.Edit2->setText(bending);
      f.okbutton->setFocus(Qt::TabFocusReason);
      return int(QDialog::Accepted);
    });
    p.scripted.clear();
    p.main->Minimizecentredistance1Click();
    EXPECT_EQ(p.warnings(), QStringList{});
    EXPECT_EQ(d.tip_chamfer[0], 0.375f);
    EXPECT_EQ(d.tip_chamfer[1], 0.375f);
    if (c.z1 > 0) {
      EXPECT_EQ(d.teeth[0], c.z1);
      EXPECT_EQ(d.teeth[1], c.z2);
    }
    if (c.module > 0) {
      EXPECT_NEAR(d.normal_module, c.module, 1e-5);
    }
    EXPECT_LT(d.normal_module, 10.0f);

    p.main->SetMain_textboxes();
    EXPECT_EQ(d.rating_valid, 1);
    EXPECT_TRUE(minimum_safety_factors_met(d))
        << d.contact_safety_factor[0] << " " << d.contact_safety_factor[1] << " " << d.bending_safety_factor_pinion
        << " " << d.bending_safety_factor_wheel;
    EXPECT_FLOAT_EQ(d.face_width[0], d.reference_diameter[0] / d.pinion_aspect_ratio);
  }
}

// Minima that no pair meets: the user is told, and the design and the lock boxes stay as they were.
TEST(MinimizeCentreDistance, NoPairMeetingTheMinimaLeavesTheDesignAsItWas) {
  Program p;
  DesignData& d = *p.d;
  prepare_run(p);
  d.torque = 50000;
  d.tip_chamfer[0] = 0.1f;
  d.tip_chamfer[1] = 0;
  p.main->SetMain_textboxes();
  d.rating_enabled = 1;
  p.scripted.modal_actions["centreminimizeform"].push_back([](QDialog& w) {
    auto& f = static_cast<Tcentreminimizeform&>(w);
    QApplication::setActiveWindow(&f);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Edit1->setFocus(Qt::TabFocusReason);
    f.Edit1->setText("5");
    f.Edit2->setFocus(Qt::TabFocusReason);
    f.Edit2->setText("5");
    f.okbutton->setFocus(Qt::TabFocusReason);
    return int(QDialog::Accepted);
  });
  const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
  const float module = d.normal_module, centre_distance = d.centre_distance, x1 = d.profile_shift[0];
  p.scripted.clear();
  p.main->Minimizecentredistance1Click();

  EXPECT_EQ(p.warnings(), QStringList{"No pair meets the minimum safety factors\nThe design has been left as it was\n "});
  EXPECT_EQ(d.teeth[0], z1);
  EXPECT_EQ(d.teeth[1], z2);
  EXPECT_FLOAT_EQ(d.normal_module, module);
  EXPECT_FLOAT_EQ(d.centre_distance, centre_distance);
  EXPECT_FLOAT_EQ(d.profile_shift[0], x1);
  EXPECT_EQ(d.tip_chamfer[0], 0.1f);
  EXPECT_EQ(d.geometry_manager_mode, 1);
  EXPECT_EQ(d.shift_distribution_auto, 0);
  EXPECT_TRUE(p.main->CheckBoxCentre->isChecked());
  EXPECT_FALSE(p.main->CheckBoxmodule->isChecked());
  EXPECT_FALSE(p.main->XCheckBox->isChecked());
  EXPECT_EQ(d.min_contact_safety_factor, 5.0f);
}

// When no trial pair reaches a transverse contact ratio of 1 at the design's angles (both within the
// main window's ranges), none was rated, and the user is told so rather than that none met the minima;
// a design that lacks rating inputs is refused before the search, naming them.
TEST(MinimizeCentreDistance, NothingRatedOrNothingToRateIsToldAsSuch) {
  struct Case {
    const char* what;
    void (*change)(DesignData&);
    QStringList warnings;
    int dialogs;
  } cases[] = {
      {"angles of 30 degrees",
       [](DesignData& d) {
         d.normal_pressure_angle = 30;
         d.helix_angle = 30;
       },
       {"No pair reaches a transverse contact ratio of 1 at these angles\n"
        "(pressure angle 30.000, helix angle 30.000 degrees)\nThe design has been left as it was"},
       1},
      {"no lubricant viscosity, no fillet roughness",
       [](DesignData& d) {
         d.lubricant_viscosity = 0;
         d.fillet_roughness[1] = 0;
       },
       {"No pair can be rated without these rating inputs:\nlubricant viscosity and fillet roughness\n"
        "The design has been left as it was"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Program p;
    DesignData& d = *p.d;
    prepare_run(p);
    c.change(d);
    p.main->SetMain_textboxes();
    const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
    const float module = d.normal_module;
    p.scripted.clear();
    p.main->Minimizecentredistance1Click();
    EXPECT_EQ(p.warnings(), c.warnings);
    EXPECT_EQ(p.dialogs_shown(), c.dialogs);
    EXPECT_EQ(d.teeth[0], z1);
    EXPECT_EQ(d.teeth[1], z2);
    EXPECT_FLOAT_EQ(d.normal_module, module);
  }
}

// At a pressure angle of 10 degrees many trial pairs leave the domain of a formula: no box stops the
// search; one message tells the domain errors with their count once it is done.
TEST(MinimizeCentreDistance, DomainErrorsAreToldOnceAfterTheSearch) {
  Program p;
  DesignData& d = *p.d;
  p.main->show();
  d.tooth_proportion_mode = 2;
  p.main->Tooth_prop->setCurrentIndex(2);
  d.normal_pressure_angle = 10;
  d.constraints_use_defaults = 0;  // the constraints of the user's: the form well off the base circle
  d.min_base_to_form[0] = d.min_base_to_form[1] = 0.25f;
  p.main->SetMain_textboxes();
  // A wheel tip held just above its base circle under a chamfer: the trial pairs whose wheel EAP the
  // chamfer puts below the base circle meet domain errors in the tooth proportions.
  d.constraints_use_defaults = 0;
  d.max_tip_diameter[1] = d.base_diameter[1] + 1;
  d.tip_chamfer[1] = 0.3f;
  d.tip_chamfer_angle[1] = 60;
  const DomainErrorReporter previous = set_domain_error_reporter(DomainErrorBox());
  std::size_t boxes_during = 0;
  QObject::connect(p.progress->ProgressBar1, &QProgressBar::valueChanged,
                   [&] { boxes_during += p.scripted.of(Kind::Message).size(); });
  p.scripted.clear();
  p.main->Minimizecentredistance1Click();
  set_domain_error_reporter(previous);
  EXPECT_EQ(boxes_during, 0u);
  const QStringList messages = p.scripted.texts(Kind::Message);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("The centre distance minimization met ")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].endsWith("\nThe trial pairs concerned were not taken."));
  // What the warning dialog shows afterwards is the outcome of the minimisation and of the design it
  // left (whose constraints cut no sound tooth), never a domain error.
  for (const QString& w : p.warnings()) EXPECT_FALSE(w.contains("DOMAIN")) << w.toStdString();
}

// The minimum safety factor dialog: texts and hints of the stored minima, focus on OK, and entries held
// between 1 and 5 with their warnings.
TEST(MinimizeCentreDistance, DialogHoldsTheMinimaBetweenOneAndFive) {
  Program p;
  DesignData& d = *p.d;
  Tcentreminimizeform& f = *p.minima;
  EXPECT_EQ(f.windowTitle(), "Minimize Centre Distance");
  EXPECT_EQ(f.Label1->text(), "Minimum safety factor (contact)");
  EXPECT_EQ(f.aspectratiolabel->text(), "Minimum safety factor (bending)");
  EXPECT_EQ(f.okbutton->text(), "OK");
  EXPECT_EQ(f.Edit1->maxLength(), 12);
  f.show();
  QApplication::setActiveWindow(&f);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  EXPECT_EQ(f.Edit1->text(), "1.000");
  EXPECT_EQ(f.Edit1->toolTip(), "   1.00000");
  EXPECT_EQ(f.Edit2->text(), "1.200");
  EXPECT_EQ(f.Edit2->toolTip(), "   1.20000");
  EXPECT_EQ(f.focusWidget(), f.okbutton);

  const QString low = "Minimum safety factor must be greater than 1\nValue has been adjusted\n ";
  const QString high = "Minimum safety factor has exceeded limit\nValue has been adjusted\n ";
  struct Case {
    bool contact;
    const char* typed;
    float stored;
    QString warning;  // empty: none
  } cases[] = {
      {true, "0.5", 1.0f, low}, {true, "6", 5.0f, high}, {true, "1", 1.0f, ""},     {true, "2.25", 2.25f, ""},
      {false, "5", 5.0f, ""},   {false, "0.99", 1.0f, low}, {false, "12", 5.0f, high}, {false, "1.3", 1.3f, ""},
  };
  for (const Case& c : cases) {
    QLineEdit* edit = c.contact ? f.Edit1 : f.Edit2;
    const float& stored = c.contact ? d.min_contact_safety_factor : d.min_bending_safety_factor;
    p.scripted.clear();
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(forms::active_control(&f), edit);
    edit->setText(c.typed);
    f.okbutton->setFocus(Qt::TabFocusReason);
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(p.warnings(), c.warning.isEmpty() ? QStringList{} : QStringList{c.warning});
    if (!c.warning.isEmpty()) {
      EXPECT_EQ(f.focusWidget(), edit);  // back to the field
      f.okbutton->setFocus(Qt::TabFocusReason);
    }
    char hint[32];
    std::snprintf(hint, sizeof hint, "%10.5f", static_cast<double>(c.stored));
    EXPECT_EQ(edit->toolTip(), hint);
  }

  // Closing with an entry still being typed stores it.
  f.Edit1->setFocus(Qt::TabFocusReason);
  f.Edit1->setText("3");
  f.close();
  EXPECT_EQ(d.min_contact_safety_factor, 3.0f);
}

// The search tries at least 10 pinion teeth with at most 200 wheel teeth, so ratios up to 20: a pair of
// a larger ratio (12/290 is an ordinary design) is refused before the minima are asked for, saying so,
// and the design is left as it was, protuberance included.
TEST(MinimizeCentreDistance, ARatioBeyondWhatTheSearchTriesIsRefusedAsSuch) {
  struct Case {
    int32_t z1, z2;
    bool refused;
  } cases[] = {{12, 290, true}, {10, 201, true}, {10, 200, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.z1) + "/" + std::to_string(c.z2));
    Program p;
    DesignData& d = *p.d;
    p.main->show();
    QApplication::setActiveWindow(p.main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.main.get()));
    d.tooth_proportion_mode = 2;
    p.main->Tooth_prop->setCurrentIndex(2);
    p.main->CheckBoxCentre->setChecked(false);  // the module stays, the centre distance follows
    p.main->RatioCheckBox->setChecked(false);   // the ratio follows the teeth
    for (auto [edit, z] : {std::pair{p.main->Z2edit, c.z2}, std::pair{p.main->Z1edit, c.z1}}) {
      edit->setFocus(Qt::TabFocusReason);
      edit->setText(QString::number(z));
      p.main->Helixangleedit->setFocus(Qt::TabFocusReason);
    }
    ASSERT_EQ(d.teeth[0], c.z1);
    ASSERT_EQ(d.teeth[1], c.z2);
    ASSERT_EQ(d.desired_ratio, float(double(c.z2) / c.z1));
    d.protuberance[0] = 0.2f;
    p.main->SetMain_textboxes();
    const auto before = std::make_unique<DesignData>(d);
    p.scripted.clear();
    p.main->Minimizecentredistance1Click();
    const QString ratio_message = QString::asprintf("The ratio of %.3f is beyond what the minimization searches\n"
                                                    "Ratios up to 20 are searched (at most 200 wheel teeth)\n"
                                                    "The design has been left as it was",
                                                    double(c.z2) / c.z1);
    if (c.refused) {
      EXPECT_EQ(p.warnings(), QStringList{ratio_message});
      EXPECT_EQ(p.dialogs_shown(), 0);
      EXPECT_FALSE(p.progress->isVisible());
      // The design as it was: as it would be saved, and its geometry.
      EXPECT_EQ(design_file_text(d), design_file_text(*before));
      EXPECT_EQ(d.centre_distance, before->centre_distance);
      EXPECT_EQ(d.tip_diameter[1], before->tip_diameter[1]);
      EXPECT_EQ(d.protuberance[0], 0.2f);
    } else {
      EXPECT_FALSE(p.warnings().contains(ratio_message));
      EXPECT_EQ(p.dialogs_shown(), 1);
      EXPECT_EQ(d.teeth[0], 10);
    }
  }
}
