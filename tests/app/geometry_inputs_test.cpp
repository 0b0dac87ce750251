// The geometry inputs of the main window, driven as a user drives them: enter a field, put a text in,
// leave it for another control; click boxes, choose list entries, move and leave the track bars.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "design_data.h"
#include "field_events.h"
#include "finished_teeth.h"
#include "measured_teeth.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "standard_rack_form.h"
#include "modal_services.h"
#include "numeric.h"
#include "scripted_modal_services.h"
#include "startup.h"
#include "startup_values.h"
#include "test_support.h"

using namespace morvell;
using forms::ScriptedModalServices;

namespace {

// First lines of every warning a geometry input shows.
const std::set<QString> kInputWarnings = {
    "Minimum value of module is 0.5 mm",
    "Maximum value of module has been exceeded",
    "Minimum value of pressure angle is 10 degrees",
    "Maximum value of pressure angle is 30 degrees",
    "Minimum value of helix angle is 0 degrees",
    "Maximum value of helix angle is 45 degrees",
    "Minimum value of centre distance has been exceeded",
    "Maximum value of centre distance has been exceeded",
    "Face width must be greater than zero",
    "Face width must be less than 1000 mm",
    "Chamfer cannot be less than zero",
    "Chamfer cannot be greater than 0.25*Mn",
    "Ratio must be greater than 1",
    "Ratio has exceeded limit",
    "Number of teeth is out of range",
    "Value is out of range",
    "Ball of pinion is too small to reach the tooth flanks",
    "Ball of wheel is too small to reach the tooth flanks",
    "Ball of pinion does not fit: it touches the flank below the form diameter",
    "Ball of wheel does not fit: it touches the flank below the form diameter",
};

class GeometryInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->unit_system = 1;
    set_unit_factors(*d);
    const std::string here = QDir::currentPath().toStdString();
    set_start_directory_path(here);
    copy_text(d->start_directory, here);
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
    use = std::make_unique<forms::ScopedServices>(scripted);
    w = std::make_unique<TMainForm>(*d);
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    park();
    scripted.clear();
  }

  void TearDown() override {
    w.reset();
    use.reset();
  }

  // Focus to a control without exit handler of its own.
  void park() { w->Showplotbutton->setFocus(Qt::TabFocusReason); }

  // Enters the field, puts the text in (as typing or pasting does) and leaves it. A field that refused
  // the value has the focus back; it is left once more, as the user then does.
  void enter(QLineEdit* edit, const QString& text) {
    ASSERT_TRUE(edit->isEnabled()) << edit->objectName().toStdString();
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(forms::active_control(w.get()), edit);
    edit->setText(text);
    park();
    if (w->focusWidget() == edit) park();
  }

  void click(QCheckBox* box) { box->click(); }

  void choose(QComboBox* combo, int entry) {
    combo->setCurrentIndex(entry);
    emit combo->activated(entry);
  }

  // Moves a track bar and leaves it.
  void slide(QSlider* bar, int position) {
    bar->setFocus(Qt::TabFocusReason);
    bar->setValue(position);
    park();
  }

  // Frees the centre distance, which fixes the module: geometry-manager mode 0, shift sum held.
  void fix_module() {
    if (w->CheckBoxCentre->isChecked()) click(w->CheckBoxCentre);
    ASSERT_TRUE(w->CheckBoxmodule->isChecked());
    ASSERT_EQ(d->geometry_manager_mode, 0);
    if (!w->sigmaXCheckBox->isChecked()) click(w->sigmaXCheckBox);
    ASSERT_EQ(d->geometry_manager_mode, 0);
  }

  // The first lines of the input warnings shown, in order.
  QStringList warnings() const {
    QStringList out;
    for (const auto& r : scripted.of(ScriptedModalServices::Kind::Modal)) {
      if (r.caption != "Warning!") continue;
      const QStringList lines = r.text.split('\n');
      if (kInputWarnings.count(lines.value(0))) out << lines.value(0) + "|" + lines.value(1) + "|" + lines.value(2);
    }
    return out;
  }

  std::unique_ptr<DesignData> d;
  ScriptedModalServices scripted;
  std::unique_ptr<forms::ScopedServices> use;
  std::unique_ptr<TMainForm> w;
};

// Every entry of the design that a geometry input writes.
std::vector<std::pair<std::string, float>> input_values(const DesignData& d) {
  std::vector<std::pair<std::string, float>> v = {
      {"normal_module", d.normal_module}, {"normal_pressure_angle", d.normal_pressure_angle},
      {"helix_angle", d.helix_angle}, {"centre_distance", d.centre_distance}, {"desired_ratio", d.desired_ratio},
      {"profile_shift_sum", d.profile_shift_sum}, {"backlash_normal", d.backlash_normal},
      {"backlash_transverse", d.backlash_transverse}, {"backlash_distribution", d.backlash_distribution}};
  for (int i = 0; i < 2; ++i) {
    const std::string g = i == 0 ? "[0]" : "[1]";
    for (auto [name, value] : {std::pair{"face_width", d.face_width[i]}, {"edge_chamfer", d.edge_chamfer[i]},
                               {"profile_shift", d.profile_shift[i]}, {"tip_diameter", d.tip_diameter[i]},
                               {"root_diameter", d.root_diameter[i]}, {"addendum", d.addendum[i]},
                               {"dedendum", d.dedendum[i]}, {"root_fillet_radius", d.root_fillet_radius[i]},
                               {"tip_chamfer", d.tip_chamfer[i]}, {"protuberance", d.protuberance[i]},
                               {"thickness_nominal_transverse", d.thickness_nominal_transverse[i]},
                               {"thickness_finished_transverse", d.thickness_finished_transverse[i]},
                               {"ball_diameter", d.ball_diameter[i]}})
      v.emplace_back(name + g, value);
    v.emplace_back("teeth" + g, float(d.teeth[i]));
  }
  return v;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Basic dimensions
// ---------------------------------------------------------------------------------------------

TEST_F(GeometryInputs, BasicValuesInsideTheLimitsAreStoredAndShown) {
  fix_module();
  struct Case {
    QLineEdit* edit;
    const char* text;
    std::function<float()> stored;
    float expected;
  };
  const Case cases[] = {
      {w->Moduleedit, "3", [&] { return d->normal_module; }, 3.0f},
      {w->Moduleedit, "0.5", [&] { return d->normal_module; }, 0.5f},
      {w->Moduleedit, "25.4", [&] { return d->normal_module; }, 25.4f},
      {w->Moduleedit, "2.25", [&] { return d->normal_module; }, 2.25f},
      {w->Pressureangleedit, "22.5", [&] { return d->normal_pressure_angle; }, 22.5f},
      {w->Pressureangleedit, "30", [&] { return d->normal_pressure_angle; }, 30.0f},
      {w->Helixangleedit, "44.99", [&] { return d->helix_angle; }, 44.99f},
      {w->Helixangleedit, "15", [&] { return d->helix_angle; }, 15.0f},
      {w->Pinfacewidthedit, "1000", [&] { return d->face_width[0]; }, 1000.0f},
      {w->Wheelfacewidthedit, "22", [&] { return d->face_width[1]; }, 22.0f},
      {w->Pinedgechamedit, "0.3", [&] { return d->edge_chamfer[0]; }, 0.3f},
      {w->Wheeledgechamedit, "0", [&] { return d->edge_chamfer[1]; }, 0.0f},
      {w->SigmaXedit, "1.5", [&] { return d->profile_shift_sum; }, 1.5f},
      {w->SigmaXedit, "-1", [&] { return d->profile_shift_sum; }, -1.0f},
      {w->SigmaXedit, "0.1", [&] { return d->profile_shift_sum; }, 0.1f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
    scripted.clear();
    const int32_t history = d->history_record_number;
    enter(c.edit, c.text);
    EXPECT_FLOAT_EQ(c.stored(), c.expected);
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join("; ").toStdString();
    EXPECT_LT(d->history_record_number, history) << "refreshed";
    EXPECT_EQ(c.edit->text().toDouble(), std::stod(c.text)) << c.edit->text().toStdString();
  }
}

TEST_F(GeometryInputs, BasicValuesOutsideTheLimitsAreClampedWithTheirWarning) {
  fix_module();
  struct Case {
    QLineEdit* edit;
    const char* text;
    std::function<float()> stored;
    float expected;
    const char* warning;
  };
  const Case cases[] = {
      {w->Moduleedit, "0.49", [&] { return d->normal_module; }, 0.5f,
       "Minimum value of module is 0.5 mm|Value of module has been adjusted| "},
      {w->Moduleedit, "25.5", [&] { return d->normal_module; }, 25.4f,
       "Maximum value of module has been exceeded|Value of module has been adjusted| "},
      {w->Moduleedit, "abc", [&] { return d->normal_module; }, 0.5f,
       "Minimum value of module is 0.5 mm|Value of module has been adjusted| "},
      {w->Pressureangleedit, "9.9", [&] { return d->normal_pressure_angle; }, 10.0f,
       "Minimum value of pressure angle is 10 degrees|Value of pressure angle has been adjusted| "},
      {w->Pressureangleedit, "30.1", [&] { return d->normal_pressure_angle; }, 30.0f,
       "Maximum value of pressure angle is 30 degrees|Value of pressure angle has been adjusted| "},
      {w->Helixangleedit, "45", [&] { return d->helix_angle; }, 44.99f,
       "Maximum value of helix angle is 45 degrees|Value of helix angle has been adjusted| "},
      {w->Helixangleedit, "-1", [&] { return d->helix_angle; }, 0.0f,
       "Minimum value of helix angle is 0 degrees|Value of helix angle has been adjusted| "},
      {w->Pinfacewidthedit, "0", [&] { return d->face_width[0]; }, 0.1f,
       "Face width must be greater than zero|Value of face width has been adjusted| "},
      {w->Wheelfacewidthedit, "1000.5", [&] { return d->face_width[1]; }, 1000.0f,
       "Face width must be less than 1000 mm|Value of face width has been adjusted| "},
      {w->Pinedgechamedit, "-0.1", [&] { return d->edge_chamfer[0]; }, 0.0f,
       "Chamfer cannot be less than zero|Value has been adjusted| "},
      {w->Wheeledgechamedit, "1", [&] { return d->edge_chamfer[1]; }, 0.25f * 2.25f,
       "Chamfer cannot be greater than 0.25*Mn|Value has been adjusted| "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
    d->normal_module = 2.25f;
    scripted.clear();
    enter(c.edit, c.text);
    EXPECT_FLOAT_EQ(c.stored(), c.expected);
    EXPECT_EQ(warnings(), QStringList{c.warning});
  }
}

TEST_F(GeometryInputs, ModuleChangeScalesTheRackAndSetsTheBalls) {
  fix_module();
  enter(w->Moduleedit, "2");
  ASSERT_FLOAT_EQ(d->normal_module, 2.0f);
  const float ha[2] = {d->addendum[0], d->addendum[1]};
  const float hf[2] = {d->dedendum[0], d->dedendum[1]};
  const float rho[2] = {d->root_fillet_radius[0], d->root_fillet_radius[1]};
  enter(w->Moduleedit, "3");
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(d->addendum[i], 1.5f * ha[i], 1e-5f) << i;
    EXPECT_NEAR(d->dedendum[i], 1.5f * hf[i], 1e-5f) << i;
    EXPECT_NEAR(d->root_fillet_radius[i], 1.5f * rho[i], 1e-5f) << i;
    EXPECT_FLOAT_EQ(d->ball_diameter[i], 5.4f) << i;
    const float di = float(d->teeth[i] * 3.0L / std::cos(deg_to_rad(d->helix_angle)));
    EXPECT_NEAR(d->tip_diameter[i], di + 2 * d->addendum[i], 1e-4f) << i;
  }
}

// Balls the user typed stay his through a change of module, typed or following the centre distance, as
// far as they fit the new teeth by the measurement window's rule (an own model of the measurement,
// measured_teeth.h): a ball that no longer fits (the pinion's 3 mm at module 4 no longer reaches its
// flanks, the wheel's 4.3 mm touches below its form circle) is enlarged by 5 % steps to the first ball
// that fits, and said so from what to what; the balls' kind stays, and both are measured.
TEST_F(GeometryInputs, TypedBallsStayThroughAModuleChange) {
  for (const bool typed_module : {true, false}) {
    SCOPED_TRACE(typed_module);
    if (!typed_module) {  // a fresh start-up design
      TearDown();
      SetUp();
    }
    d->default_ball_diameter = 0;
    d->ball_diameter[0] = 3.0f;
    d->ball_diameter[1] = 4.3f;
    w->SetMain_textboxes();
    ASSERT_TRUE(warnings().isEmpty());
    scripted.clear();
    if (typed_module) {
      fix_module();
      enter(w->Moduleedit, "4");
    } else {
      ASSERT_EQ(d->geometry_manager_mode, 1);
      const double a = d->centre_distance * 4 / d->normal_module;
      enter(w->Centredistedit, QString::number(a, 'f', 4));
    }
    ASSERT_NEAR(d->normal_module, 4.0f, 1e-3);
    const double typed[2] = {3.0, 4.3};
    QStringList expected;
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i);
      const double ball = d->ball_diameter[i], form = form_diameter_of(*d, i), tol = 2e-4 * d->normal_module;
      EXPECT_TRUE(ball_fits_by_model(*d, i, ball, form, tol));
      EXPECT_TRUE(std::isfinite(d->ball_measurement_finished[i]));
      if (ball_fits_by_model(*d, i, typed[i], form, -tol)) {
        EXPECT_EQ(ball, float(typed[i]));
        continue;
      }
      const double steps = std::log(ball / typed[i]) / std::log(1.05);
      EXPECT_NEAR(steps, std::round(steps), 1e-4);
      EXPECT_GE(steps, 0.5);
      EXPECT_FALSE(ball_fits_by_model(*d, i, ball / 1.05, form, tol));
      const Balls at_typed = balls_of(*d, i, typed[i], d->thickness_finished_transverse[i]);
      const QString gear = i == 0 ? "pinion" : "wheel";
      expected << (std::isfinite(at_typed.contact) ? "Ball of " + gear + " does not fit: it touches the flank below the form diameter"
                                                   : "Ball of " + gear + " is too small to reach the tooth flanks") +
                      "|" + QString::asprintf("Ball diameter has been changed from %6.3f to %6.3f ", typed[i], ball) +
                      "| ";
    }
    EXPECT_EQ(d->default_ball_diameter, 0);
    EXPECT_EQ(warnings(), expected);
  }
}

TEST_F(GeometryInputs, ModuleInModeTwoIsHeldToTheOneThatFitsASixToothPinion) {
  click(w->CheckBoxmodule);  // centre distance and module fixed
  ASSERT_EQ(d->geometry_manager_mode, 2);
  ASSERT_NEAR(d->profile_shift_sum, 0.0f, 1e-5f);  // so the centre distance is m (z1 + z2) / (2 cos beta)
  // The ratio as the program stores it (a float of z2 / z1), and the wheel's whole teeth at a 6-tooth pinion:
  // 32/23 gives 8.35 teeth, cut to 8; 7/6 gives 7 exactly, though its float times 6 lies just below 7.
  const struct {
    int z1, z2, wheel_at_six;
  } cases[] = {{23, 32, 8}, {6, 7, 7}, {6, 43, 43}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z2);
    d->desired_ratio = float(double(c.z2) / c.z1);
    const double m_max =
        2.0 * d->centre_distance * std::cos(deg_to_rad(d->helix_angle)) / double(6 + c.wheel_at_six);
    ASSERT_LT(m_max, 25.4);
    const auto shown = warnings().size();
    enter(w->Moduleedit, QString::number(m_max + 0.5));
    EXPECT_NEAR(d->normal_module, m_max, 5e-4);  // the clamped value, as shown with three decimals
    EXPECT_EQ(warnings().mid(shown),
              QStringList{"Maximum value of module has been exceeded|Value of module has been adjusted| "});
  }
}

TEST_F(GeometryInputs, HelixChangeKeepsTheRackCoefficients) {
  fix_module();
  auto coefficients = [&](int i) {
    return std::pair{d->addendum[i] / d->normal_module - d->profile_shift[i],
                     d->dedendum[i] / d->normal_module + d->profile_shift[i]};
  };
  const auto before0 = coefficients(0), before1 = coefficients(1);
  enter(w->Helixangleedit, "10");
  ASSERT_FLOAT_EQ(d->helix_angle, 10.0f);
  EXPECT_NEAR(coefficients(0).first, before0.first, 1e-5f);
  EXPECT_NEAR(coefficients(0).second, before0.second, 1e-5f);
  EXPECT_NEAR(coefficients(1).first, before1.first, 1e-5f);
  EXPECT_NEAR(coefficients(1).second, before1.second, 1e-5f);
  const float d0 = float(d->teeth[0] * ld(d->normal_module) / std::cos(deg_to_rad(10.0L)));
  EXPECT_NEAR(d->tip_diameter[0], d0 + 2 * d->addendum[0], 1e-4f);
}

TEST_F(GeometryInputs, RefusedCentreDistanceBecomesTheZeroBacklashOne) {
  // Mode 1 (the start-up mode): the centre distance is fixed and editable.
  ASSERT_EQ(d->geometry_manager_mode, 1);
  struct Case { const char* text; const char* warning; };
  for (const Case& c : {Case{"5001", "Maximum value of centre distance has been exceeded| | "},
                        Case{"5", "Minimum value of centre distance has been exceeded|The module would be 0.1607 mm "
                                  "(at least 0.5 mm)| "},
                        Case{"800", "Maximum value of centre distance has been exceeded|The module would be 25.71 mm "
                                    "(at most 25.4 mm)| "},
                        Case{"-70", "Minimum value of centre distance has been exceeded| | "},
                        Case{"1e999", "Maximum value of centre distance has been exceeded| | "}}) {
    SCOPED_TRACE(c.text);
    scripted.clear();
    const float zero_backlash = d->centre_distance_from_shifts;
    enter(w->Centredistedit, c.text);
    EXPECT_EQ(warnings(), QStringList{c.warning});
    EXPECT_NEAR(d->centre_distance, zero_backlash, 5e-4f);
  }
  scripted.clear();
  enter(w->Centredistedit, "72");
  EXPECT_FLOAT_EQ(d->centre_distance, 72.0f);
  EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(GeometryInputs, RatioIsClampedAndFixesTheWheel) {
  fix_module();
  ASSERT_TRUE(w->RatioCheckBox->isChecked());
  enter(w->Z1edit, "23");
  enter(w->Ratioedit, "1.5");
  EXPECT_EQ(d->teeth[1], 35);  // 34.5 goes up
  for (auto [text, expected, warning] :
       {std::tuple{"0.5", 1.0f, "Ratio must be greater than 1|Value has been adjusted| "},
        std::tuple{"25", 20.0f, "Ratio has exceeded limit|Value has been adjusted| "}}) {
    scripted.clear();
    enter(w->Ratioedit, text);
    EXPECT_FLOAT_EQ(d->desired_ratio, expected) << text;
    EXPECT_EQ(warnings(), QStringList{warning});
  }
}

// A load entered for the wheel stays the wheel's when the teeth change: 1000 rpm and 500 N m at the
// wheel of 21/84 are still 1000 rpm and 500 N m at the wheel after the ratio becomes 2 and after new
// teeth; the pinion's follow (n1 = u n2, T1 = T2 / u), and the load stays fixed for the wheel.
TEST_F(GeometryInputs, ALoadFixedForTheWheelStaysTheWheelsThroughTeethChanges) {
  fix_module();
  enter(w->Z1edit, "21");
  enter(w->Ratioedit, "4");
  ASSERT_EQ(d->teeth[1], 84);
  d->load_data_fixed_for = 2;
  d->speed = 4000;
  d->torque = 125;
  w->SetMain_textboxes();
  enter(w->Ratioedit, "2");
  ASSERT_EQ(d->teeth[1], 42);
  EXPECT_NEAR(d->speed, 2000.0, 2000 * 1e-6);
  EXPECT_NEAR(d->torque, 250.0, 250 * 1e-6);
  enter(w->Z1edit, "25");
  const double u = double(d->teeth[1]) / d->teeth[0];
  EXPECT_NEAR(d->speed, 1000 * u, 1000 * u * 1e-6);
  EXPECT_NEAR(d->torque, 500 / u, 500 / u * 1e-6);
  EXPECT_EQ(d->load_data_fixed_for, 2);
}

TEST_F(GeometryInputs, FixedRatioWorksOutTheOtherGear) {
  fix_module();
  enter(w->Z1edit, "20");
  enter(w->Ratioedit, "3");
  EXPECT_EQ(d->teeth[1], 60);
  enter(w->Z2edit, "75");
  EXPECT_EQ(d->teeth[0], 25);
  enter(w->Z1edit, "21");
  EXPECT_EQ(d->teeth[1], 63);
  // A wheel too small for the ratio leaves the pinion at the fewest teeth allowed, never at none.
  enter(w->Ratioedit, "20");
  enter(w->Z2edit, "6");
  EXPECT_EQ(d->teeth[1], 6);
  EXPECT_EQ(d->teeth[0], 6);
  EXPECT_FLOAT_EQ(d->actual_ratio, 1.0f);
}

TEST_F(GeometryInputs, RatioBoxCutsTheWheelTeeth) {
  fix_module();
  // A fractional product is cut; a ratio taken from the teeth themselves (float(z2 / z1), just below
  // 35 / 23 here) gives the wheel back its teeth.
  const struct {
    int32_t z1;
    float ratio;
    int32_t z2;
  } cases[] = {{23, 1.5f, 34}, {23, 35.0f / 23, 35}, {31, 89.0f / 31, 89}, {17, 2.99f, 50}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z1 * double(c.ratio));
    if (w->RatioCheckBox->isChecked()) click(w->RatioCheckBox);
    d->teeth[0] = c.z1;
    d->desired_ratio = c.ratio;
    click(w->RatioCheckBox);
    ASSERT_TRUE(w->RatioCheckBox->isChecked());
    EXPECT_EQ(d->teeth[1], c.z2);
  }
}

TEST_F(GeometryInputs, NumbersOfTeethOutsideTheRangeAreRefused) {
  fix_module();  // the centre distance follows: no limit from it
  click(w->RatioCheckBox);  // ratio free
  ASSERT_FALSE(w->RatioCheckBox->isChecked());
  struct Case { QLineEdit* edit; const char* text; int z1, z2; bool warned; };
  const Case cases[] = {
      {w->Z2edit, "999", 23, 999, false},
      {w->Z2edit, "1000", 23, 999, true},
      {w->Z1edit, "5.9", 23, 999, true},
      {w->Z1edit, "1e30", 23, 999, true},   // refused before it becomes a count
      {w->Z1edit, "-1e30", 23, 999, true},
      {w->Z1edit, "abc", 23, 999, true},    // no number reads as 0
      {w->Z2edit, "40.7", 23, 40, false},   // a fraction is cut off
      {w->Z1edit, "41", 40, 40, true},      // above the wheel: takes the wheel's number
      {w->Z2edit, "30", 40, 40, true},      // below the pinion: takes the pinion's number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
    scripted.clear();
    enter(c.edit, c.text);
    EXPECT_EQ(d->teeth[0], c.z1);
    EXPECT_EQ(d->teeth[1], c.z2);
    EXPECT_EQ(warnings(), c.warned ? QStringList{"Number of teeth is out of range|Value has been adjusted| "}
                                   : QStringList{});
  }
  EXPECT_FLOAT_EQ(d->actual_ratio, 1.0f);
}

TEST_F(GeometryInputs, TeethAboveWhatTheFixedCentreDistanceHoldsAreRefused) {
  ASSERT_TRUE(w->CheckBoxCentre->isChecked());
  const ld limit = 2.0L * d->centre_distance * std::cos(deg_to_rad(d->helix_angle)) * 25.0L / 12.0L /
                   (1.0L + d->desired_ratio);
  const int z1 = d->teeth[0];
  scripted.clear();
  enter(w->Z1edit, QString::number(int(std::floor(limit)) + 1));
  EXPECT_EQ(d->teeth[0], z1);
  EXPECT_EQ(warnings(), QStringList{"Number of teeth is out of range|Value has been adjusted| "});
}

TEST_F(GeometryInputs, ShiftCoefficientsOutsideTheRangeAreRestored) {
  fix_module();
  for (auto [edit, text] : {std::pair{w->x1edit, "1.6"}, {w->x2edit, "-1.1"}, {w->SigmaXedit, "1.51"},
                            {w->SigmaXedit, "-1.01"}}) {
    SCOPED_TRACE(text);
    scripted.clear();
    const float x[2] = {d->profile_shift[0], d->profile_shift[1]};
    const float sum = d->profile_shift_sum;
    enter(edit, text);
    EXPECT_EQ(warnings(), QStringList{"Value is out of range| | "});
    EXPECT_NEAR(d->profile_shift[0], x[0], 1e-6f);
    EXPECT_NEAR(d->profile_shift[1], x[1], 1e-6f);
    EXPECT_NEAR(d->profile_shift_sum, sum, 1e-6f);
  }
}

TEST_F(GeometryInputs, ShiftCoefficientWithTheSumHeldOrFree) {
  fix_module();
  ASSERT_TRUE(w->sigmaXCheckBox->isChecked());
  enter(w->SigmaXedit, "0.2");
  enter(w->x1edit, "0.5");
  EXPECT_FLOAT_EQ(d->profile_shift[0], 0.5f);
  EXPECT_NEAR(d->profile_shift[1], -0.3f, 1e-6f);  // the sum is held
  click(w->sigmaXCheckBox);
  ASSERT_FALSE(w->sigmaXCheckBox->isChecked());
  enter(w->x2edit, "0.1");
  EXPECT_FLOAT_EQ(d->profile_shift[1], 0.1f);
  EXPECT_FLOAT_EQ(d->profile_shift[0], 0.5f);
  EXPECT_NEAR(d->profile_shift_sum, 0.6f, 1e-6f);  // the sum follows
}

TEST_F(GeometryInputs, ShiftTrackBarSetsThePinionShift) {
  fix_module();
  for (auto [position, x1] : {std::pair{16, 0.0f}, {40, 1.5f}, {0, -1.0f}, {20, 0.25f}}) {
    slide(w->xtrackbar, position);
    EXPECT_NEAR(d->profile_shift[0], x1, 1e-6f) << position;
    EXPECT_NEAR(d->profile_shift[1], d->profile_shift_sum - x1, 1e-6f) << position;
  }
}

// ---------------------------------------------------------------------------------------------
// Fix boxes and helix hand
// ---------------------------------------------------------------------------------------------

TEST_F(GeometryInputs, FixBoxesChooseTheGeometryManagerModeAndOneIsAlwaysChecked) {
  struct Step { const char* what; std::function<void()> act; int mode; };
  const Step steps[] = {
      {"uncheck centre", [&] { click(w->CheckBoxCentre); }, 0},
      {"check centre", [&] { click(w->CheckBoxCentre); }, 2},
      {"uncheck module", [&] { click(w->CheckBoxmodule); }, 1},
      {"check module", [&] { click(w->CheckBoxmodule); }, 2},
      {"uncheck module, overridden", [&] { d->geometry_manager_override = 1; click(w->CheckBoxmodule); }, 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    EXPECT_EQ(d->geometry_manager_mode, s.mode);
    EXPECT_TRUE(w->CheckBoxCentre->isChecked() || w->CheckBoxmodule->isChecked());
  }
}

TEST_F(GeometryInputs, EstimateBoxAndHelixHandButtons) {
  click(w->XCheckBox);
  EXPECT_EQ(d->shift_distribution_auto, w->XCheckBox->isChecked() ? 1 : 0);
  d->helix_hand = 1;
  w->pinhelixhandbutton->click();
  EXPECT_EQ(d->helix_hand, -1);
  EXPECT_EQ(w->pinhelixhandbutton->text(), "R");
  EXPECT_EQ(w->wheelhelixhandbutton->text(), "L");
  w->wheelhelixhandbutton->click();
  EXPECT_EQ(d->helix_hand, 1);
  EXPECT_EQ(w->pinhelixhandbutton->text(), "L");
  EXPECT_EQ(w->wheelhelixhandbutton->text(), "R");
}

// ---------------------------------------------------------------------------------------------
// English units
// ---------------------------------------------------------------------------------------------

TEST_F(GeometryInputs, EnglishUnitsTakeTheDiametralPitchAndInches) {
  fix_module();
  d->unit_system = 2;
  set_unit_factors(*d);
  w->SetMain_textboxes();
  EXPECT_NEAR(w->Moduleedit->text().toDouble(), 25.4 / 2.25, 1e-4);
  struct Case { QLineEdit* edit; const char* text; std::function<float()> stored; float expected; bool warned; };
  const Case cases[] = {
      {w->Moduleedit, "10", [&] { return d->normal_module; }, 2.54f, false},
      {w->Moduleedit, "1", [&] { return d->normal_module; }, 25.4f, false},
      {w->Moduleedit, "0.5", [&] { return d->normal_module; }, 25.4f, true},
      {w->Moduleedit, "0", [&] { return d->normal_module; }, 25.4f, true},  // no infinite module
      {w->Moduleedit, "8", [&] { return d->normal_module; }, 3.175f, false},
      {w->Pinfacewidthedit, "1.5", [&] { return d->face_width[0]; }, 38.1f, false},
      {w->Pinfacewidthedit, "40", [&] { return d->face_width[0]; }, 1000.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
    scripted.clear();
    enter(c.edit, c.text);
    EXPECT_NEAR(c.stored(), c.expected, 1e-4f * c.expected);
    EXPECT_EQ(warnings().size(), c.warned ? 1 : 0) << warnings().join("; ").toStdString();
  }
  // Shown back in the entered units: pitch 8 and 1000 mm as inches with four decimals.
  EXPECT_EQ(w->Moduleedit->text(), "8.0000");
  EXPECT_EQ(w->Pinfacewidthedit->text(), "39.3701");
}

// ---------------------------------------------------------------------------------------------
// Tooth sizes
// ---------------------------------------------------------------------------------------------

TEST_F(GeometryInputs, BacklashIsStoredInItsKindAndHeldToItsRange) {
  fix_module();
  const float limit = 0.15f * d->normal_module;
  for (auto [kind, text, ok] : {std::tuple{0, "0", true}, {0, "0.1", true}, {1, "0.1", true}, {0, "-0.01", false},
                                {0, "0.34", false}, {2, "0.05", true}}) {
    SCOPED_TRACE(std::to_string(kind) + " " + text);
    choose(w->backlashComboBox, kind);
    scripted.clear();
    const float previous = d->backlash_normal;
    const float bb = d->base_helix_angle;
    enter(w->Backlashedit, text);
    EXPECT_EQ(warnings(), ok ? QStringList{} : QStringList{"Value is out of range| | "});
    const ld v = std::stod(text);
    EXPECT_LE(d->backlash_normal, limit);
    if (ok && kind == 2) {
      // Radial: the finished teeth mesh tight that much closer (finished_teeth.h, an own model of them).
      EXPECT_NEAR(d->centre_distance - tight_mesh_centre_distance(*d), double(v), 3e-5);
      continue;
    }
    const ld jn = !ok ? previous
                  : kind == 0 ? v
                              : v * std::cos(deg_to_rad(bb));  // along the transverse line of action
    EXPECT_NEAR(d->backlash_normal, float(jn), 2e-5f);
  }
}

TEST_F(GeometryInputs, BacklashThinsBothGearsByTheirShare) {
  fix_module();
  d->geometry_manager_override = 1;  // the refresh then keeps the thicknesses the field works out
  d->centre_distance = d->centre_distance_from_shifts;
  w->SetMain_textboxes();
  choose(w->backlashComboBox, 0);
  struct Case { int position; float share; };
  for (const Case& c : {Case{20, 0.5f}, Case{10, 0.25f}}) {
    slide(w->backlashtrackbar, c.position);
    ASSERT_FLOAT_EQ(d->backlash_distribution, c.share);
    const ld f = std::cos(deg_to_rad(d->working_transverse_pressure_angle)) * std::cos(deg_to_rad(d->base_helix_angle));
    const float st[2] = {d->thickness_nominal_transverse[0], d->thickness_nominal_transverse[1]};
    enter(w->Backlashedit, c.position == 20 ? "0.1" : "0.12");
    const ld jn = c.position == 20 ? 0.1L : 0.12L;
    EXPECT_NEAR(st[0] - d->thickness_finished_transverse[0], float(jn * c.share / f), 2e-5f) << c.position;
    EXPECT_NEAR(st[1] - d->thickness_finished_transverse[1], float(jn * (1 - c.share) / f), 2e-5f) << c.position;
    EXPECT_NEAR(d->backlash_normal, float(jn), 2e-5f) << c.position;
  }
}

TEST_F(GeometryInputs, BacklashTrackBarSetsTheDistribution) {
  for (auto [position, share] : {std::pair{0, 0.0f}, {10, 0.25f}, {40, 1.0f}}) {
    slide(w->backlashtrackbar, position);
    EXPECT_FLOAT_EQ(d->backlash_distribution, share) << position;
  }
}

TEST_F(GeometryInputs, NominalThicknessGivesTheShift) {
  fix_module();
  ASSERT_TRUE(w->sigmaXCheckBox->isChecked());
  const ld m = d->normal_module;
  const ld tan_a = std::tan(deg_to_rad(d->normal_pressure_angle));
  // Normal thickness of x = 0.4: m (pi/2 + 2 x tan alpha).
  const ld sn = m * (kPi / 2 + 2 * 0.4L * tan_a);
  enter(w->Pinthickedit, QString::number(double(sn), 'f', 6));
  EXPECT_NEAR(d->profile_shift[0], 0.4f, 1e-5f);
  EXPECT_NEAR(d->profile_shift[1], d->profile_shift_sum - 0.4f, 1e-5f);
  // Thicknesses that need a shift beyond -1 .. 1.5 are refused with thickness and shift together.
  for (const ld x : {1.6L, -1.1L}) {
    scripted.clear();
    enter(w->Wheelthickedit, QString::number(double(m * (kPi / 2 + 2 * x * tan_a)), 'f', 6));
    EXPECT_EQ(warnings(), QStringList{"Value is out of range| | "});
    EXPECT_NEAR(d->profile_shift[1], d->profile_shift_sum - 0.4f, 1e-5f);
    EXPECT_NEAR(d->profile_shift[0], 0.4f, 1e-5f);
  }
}

TEST_F(GeometryInputs, NominalThicknessInModeOneMovesTheModule) {
  ASSERT_EQ(d->geometry_manager_mode, 1);
  const float m_before = d->normal_module;
  const float x2_before = d->profile_shift[1];
  if (w->sigmaXCheckBox->isChecked()) click(w->sigmaXCheckBox);  // the sum follows the shifts
  ASSERT_FALSE(w->sigmaXCheckBox->isChecked());
  ASSERT_EQ(d->geometry_manager_mode, 1);
  const ld st = d->thickness_nominal_transverse[0] + 0.2L;
  choose(w->thicknessComboBox, 1);
  enter(w->Pinthickedit, QString::number(double(st), 'f', 6));
  EXPECT_TRUE(warnings().isEmpty());
  EXPECT_NE(d->normal_module, m_before);
  EXPECT_NEAR(d->profile_shift[1], x2_before, 1e-6f);
  EXPECT_NEAR(d->profile_shift_sum, d->profile_shift[0] + d->profile_shift[1], 1e-5f);
}

TEST_F(GeometryInputs, FinishedThicknessLimitsAndTheBacklashItGives) {
  fix_module();
  choose(w->finthicknessComboBox, 0);
  const float sn = d->thickness_nominal_normal[0];
  struct Case { double value; bool ok; };
  for (const Case& c : {Case{sn * 0.85 + 1e-5, true}, Case{sn * 0.85 - 1e-3, false}, Case{sn + 1e-3, false},
                        Case{std::floor(sn * 1e6) / 1e6, true}}) {
    SCOPED_TRACE(c.value);
    scripted.clear();
    const float before = d->thickness_finished_normal[0];
    enter(w->Pinfinthick, QString::number(c.value, 'f', 6));
    EXPECT_EQ(warnings(), c.ok ? QStringList{} : QStringList{"Value is out of range| | "});
    EXPECT_NEAR(d->thickness_finished_normal[0], c.ok ? c.value : before, 1e-4);
  }
  // Both gears at their nominal thickness: no backlash, shared half and half.
  d->geometry_manager_override = 1;  // keep the entered thicknesses through the refresh
  enter(w->Wheelfinthick, QString::number(std::floor(d->thickness_nominal_normal[1] * 1e6) / 1e6, 'f', 6));
  enter(w->Pinfinthick, QString::number(std::floor(d->thickness_nominal_normal[0] * 1e6) / 1e6, 'f', 6));
  EXPECT_LT(d->backlash_transverse_circular, 1e-4f);
  EXPECT_FLOAT_EQ(d->backlash_distribution, 0.5f);
}

TEST_F(GeometryInputs, DiametersFilletsRackAndProtuberanceRefuseOutsideTheirLimits) {
  fix_module();
  const float m = d->normal_module;
  struct Case { QLineEdit* edit; QString text; std::function<float()> stored; bool ok; };
  const Case cases[] = {
      {w->Pintipdiaedit, QString::number(d->rack_form_diameter[0] - 0.5f), [&] { return d->tip_diameter[0]; }, false},
      {w->Wheeltipdiaedit, QString::number(d->tip_diameter[1] - 0.2f), [&] { return d->tip_diameter[1]; }, true},
      {w->Pinrootdiaedit, "0", [&] { return d->root_diameter[0]; }, false},
      {w->Wheelrootdiaedit, QString::number(d->eap_diameter[1] + 1), [&] { return d->root_diameter[1]; }, false},
      {w->Pinfilletedit, QString::number(m + 0.01f), [&] { return d->root_fillet_radius[0]; }, false},
      {w->Wheelfilletedit, "-0.1", [&] { return d->root_fillet_radius[1]; }, false},
      {w->Pinfilletedit, "0.5", [&] { return d->root_fillet_radius[0]; }, true},
      {w->hf1rackedit, "3.01", [&] { return d->dedendum[0]; }, false},
      {w->ha2rackedit, "-2", [&] { return d->addendum[1]; }, false},
      {w->rho1rackedit, "1.01", [&] { return d->root_fillet_radius[0]; }, false},
      {w->rho2rackedit, "0.3", [&] { return d->root_fillet_radius[1]; }, true},
      {w->pinprotedit, QString::number(0.1f * m + 0.01f), [&] { return d->protuberance[0]; }, false},
      {w->wheelprotedit, "-0.01", [&] { return d->protuberance[1]; }, false},
      {w->pinchamedit, "0.01", [&] { return d->tip_chamfer[0]; }, false},  // below half the thinning + 0.025
      {w->wheelchamedit, "0", [&] { return d->tip_chamfer[1]; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text.toStdString());
    scripted.clear();
    const float before = c.stored();
    enter(c.edit, c.text);
    if (c.ok) {
      EXPECT_EQ(warnings(), QStringList{});
    } else {
      // The rack rows say why when the tooth they give has no active profile.
      ASSERT_EQ(warnings().size(), 1);
      EXPECT_TRUE(warnings()[0].startsWith("Value is out of range|")) << warnings()[0].toStdString();
      EXPECT_FLOAT_EQ(c.stored(), before);
    }
  }
}

// The form circle moves with the rack dedendum and fillet: an entry is judged against the form circle it
// gives, not the last pass's. A negative dedendum that lifts the form circle above the tip is refused
// and says so; the design keeps an active profile.
TEST_F(GeometryInputs, RackRowsAreJudgedOnTheGeometryTheyGive) {
  fix_module();
  struct Case {
    QLineEdit* edit;
    const char* text;
    bool ok;
  };
  for (const Case& c : {Case{w->hf1rackedit, "-0.8", false}, Case{w->hf2rackedit, "-0.8", false},
                        Case{w->hf1rackedit, "0.9", true}, Case{w->rho1rackedit, "0.2", true}}) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " " + c.text);
    scripted.clear();
    const float dedendum[2] = {d->dedendum[0], d->dedendum[1]};
    enter(c.edit, c.text);
    if (c.ok) {
      EXPECT_TRUE(warnings().isEmpty()) << warnings().join("; ").toStdString();
    } else {
      ASSERT_EQ(warnings().size(), 1);
      EXPECT_TRUE(warnings()[0].contains("lies below the form circle of its flank")) << warnings()[0].toStdString();
      EXPECT_EQ(d->dedendum[0], dedendum[0]);
      EXPECT_EQ(d->dedendum[1], dedendum[1]);
    }
    for (int i = 0; i < 2; ++i) {
      EXPECT_GE(d->tip_diameter[i], d->rack_form_diameter[i]);
      EXPECT_LT(d->root_diameter[i], d->tip_diameter[i]);
    }
  }
}

TEST_F(GeometryInputs, RackDedendumOfThreeIsAcceptedAndSetsTheRoot) {
  fix_module();
  const float x = d->profile_shift[0];
  enter(w->hf1rackedit, "1.3");
  EXPECT_TRUE(warnings().isEmpty());
  EXPECT_NEAR(d->dedendum[0], (1.3f - x) * d->normal_module, 1e-5f);
  const float di = float(d->teeth[0] * ld(d->normal_module) / std::cos(deg_to_rad(d->helix_angle)));
  EXPECT_NEAR(d->root_diameter[0], di - 2 * d->dedendum[0], 1e-4f);
  scripted.clear();
  enter(w->hf1rackedit, "3");
  EXPECT_TRUE(warnings().isEmpty()) << warnings().join("; ").toStdString();
}

// ---------------------------------------------------------------------------------------------
// Tooth proportions
// ---------------------------------------------------------------------------------------------

// A rack chosen in the rack dialog is taken only when it fits the design; one that leaves no active
// profile is told and the design keeps its proportions, Standard Rack mode or not.
TEST_F(GeometryInputs, AStandardRackThatDoesNotFitIsToldAndNotTaken) {
  TStandardrackform rack(*d);
  standardrackform = &rack;
  std::remove("data.dat");
  struct Case {
    float dedendum;
    float pressure_angle;
    bool taken;
  };
  for (const Case& c : {Case{-0.8f, 20.0f, false}, Case{1.25f, 35.0f, false}, Case{1.25f, 22.5f, true}}) {
    SCOPED_TRACE(std::to_string(c.dedendum) + " " + std::to_string(c.pressure_angle));
    choose(w->Tooth_prop, 0);
    scripted.clear();
    const float tip = d->tip_diameter[0], root = d->root_diameter[0];
    scripted.modal_actions["Standardrackform"].push_back([&](QDialog&) {
      d->basic_rack.dedendum_coeff[0] = c.dedendum;
      d->basic_rack.pressure_angle = c.pressure_angle;
      return int(QDialog::Accepted);
    });
    choose(w->Tooth_prop, 1);
    QStringList told;
    for (const auto& r : scripted.of(ScriptedModalServices::Kind::Modal))
      if (r.text.startsWith("The basic rack does not fit this design")) told << r.text;
    EXPECT_EQ(told.size(), c.taken ? 0 : 1) << told.join("; ").toStdString();
    EXPECT_EQ(d->tooth_proportion_mode, 1);
    if (c.taken) {
      EXPECT_FLOAT_EQ(d->normal_pressure_angle, c.pressure_angle);
    } else {
      EXPECT_FLOAT_EQ(d->tip_diameter[0], tip);
      EXPECT_FLOAT_EQ(d->root_diameter[0], root);
    }
    for (int i = 0; i < 2; ++i) EXPECT_GE(d->tip_diameter[i], d->rack_form_diameter[i]);
    EXPECT_LE(d->protuberance[0], 0.1f * d->normal_module);
  }
  standardrackform = nullptr;
}

TEST_F(GeometryInputs, ToothProportionModesChangeWhichFieldsAreInputs) {
  const QList<QLineEdit*> proportions = {w->ha1rackedit,   w->ha2rackedit,     w->hf1rackedit,    w->hf2rackedit,
                                         w->rho1rackedit,  w->rho2rackedit,    w->Pintipdiaedit,  w->Wheeltipdiaedit,
                                         w->Pinrootdiaedit, w->Wheelrootdiaedit, w->Pinfilletedit, w->Wheelfilletedit};
  struct Case { int entry; bool fields; bool pressure_angle; };
  for (const Case& c : {Case{2, false, true}, Case{0, true, true}, Case{1, false, false}, Case{0, true, true}}) {
    SCOPED_TRACE(c.entry);
    const ld m = d->normal_module;
    const float coefficient = float(d->addendum[1] / m - d->profile_shift[1]);
    choose(w->Tooth_prop, c.entry);
    EXPECT_EQ(d->tooth_proportion_mode, c.entry);
    EXPECT_EQ(w->Tooth_prop->currentIndex(), c.entry);
    for (QLineEdit* e : proportions) EXPECT_EQ(e->isEnabled(), c.fields) << e->objectName().toStdString();
    EXPECT_EQ(w->Pressureangleedit->isEnabled(), c.pressure_angle);
    if (c.entry != 0) {
      EXPECT_EQ(d->keep_pinion_wheel_same, 0);
    }
    // The rack starts from the design's proportions, whichever entry.
    EXPECT_NEAR(d->basic_rack.addendum_coeff[1], coefficient, 1e-5f);
    EXPECT_FLOAT_EQ(d->basic_rack.pressure_angle, d->normal_pressure_angle);
  }
}

TEST_F(GeometryInputs, ProportionBoxesSetTheirFlags) {
  choose(w->Tooth_prop, 2);
  w->pinwheelcheckbox->setEnabled(true);
  w->pinwheelcheckbox->setChecked(true);
  EXPECT_EQ(d->keep_pinion_wheel_same, 1);
  w->tipdiaredcheckbox->setEnabled(true);
  w->tipdiaredcheckbox->setChecked(!w->tipdiaredcheckbox->isChecked());
  EXPECT_EQ(d->allow_tip_diameter_reduction, w->tipdiaredcheckbox->isChecked() ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// The idiom around every field
// ---------------------------------------------------------------------------------------------

TEST_F(GeometryInputs, LeavingAFieldUnchangedStoresNothingButRefreshes) {
  fix_module();
  const DesignData before = *d;
  const int32_t history = d->history_record_number;
  w->Helixangleedit->setFocus(Qt::TabFocusReason);
  park();
  EXPECT_EQ(d->helix_angle, before.helix_angle);
  EXPECT_LT(d->history_record_number, history) << "refreshed";
}

TEST_F(GeometryInputs, EnterKeyMovesOnOnlyInTheReducedStartWindow) {
  for (int mode : {0, 3}) {
    d->start_mode = mode;
    w->Helixangleedit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w->Helixangleedit, Qt::Key_Return);
    // In the reduced window Enter moves on in tab order: the centre distance follows the helix angle.
    EXPECT_EQ(w->focusWidget(), mode == 3 ? static_cast<QWidget*>(w->Centredistedit) : w->Helixangleedit) << mode;
    park();
  }
  d->start_mode = 0;
}

TEST_F(GeometryInputs, GarbageInEveryFieldNeverStoresNaNOrInfinity) {
  const QList<QLineEdit*> fields = {
      w->Moduleedit,     w->Pressureangleedit, w->Helixangleedit,  w->Centredistedit,   w->Pinfacewidthedit,
      w->Wheelfacewidthedit, w->Pinedgechamedit, w->Wheeledgechamedit, w->Ratioedit,      w->Z1edit,
      w->Z2edit,         w->SigmaXedit,        w->x1edit,          w->x2edit,           w->Backlashedit,
      w->Pinthickedit,   w->Wheelthickedit,    w->Pinfinthick,     w->Wheelfinthick,    w->Pintipdiaedit,
      w->Wheeltipdiaedit, w->pinchamedit,      w->wheelchamedit,   w->Pinrootdiaedit,   w->Wheelrootdiaedit,
      w->Pinfilletedit,  w->Wheelfilletedit,   w->ha1rackedit,     w->ha2rackedit,      w->hf1rackedit,
      w->hf2rackedit,    w->rho1rackedit,      w->rho2rackedit,    w->pinprotedit,      w->wheelprotedit};
  // Texts without a number, numbers beyond any float, a text far longer than any buffer.
  const QStringList garbage = {"abc", "1e999", "-1e39", QString(300, '9') + ".5e-180"};
  const DesignData start = *d;
  for (int units : {1, 2}) {
    for (QLineEdit* field : fields) {
      *d = start;  // each field from the start-up design
      d->unit_system = units;
      set_unit_factors(*d);
      w->SetMain_textboxes();
      for (const QString& text : garbage) {
        if (!field->isEnabled()) continue;
        SCOPED_TRACE(field->objectName().toStdString() + " '" + text.left(20).toStdString() + "' units " +
                     std::to_string(units));
        enter(field, text);
        for (const auto& [name, value] : input_values(*d)) ASSERT_TRUE(std::isfinite(value)) << name;
        EXPECT_GE(d->teeth[0], 6);
        EXPECT_LE(d->teeth[1], 999);
        EXPECT_LE(d->normal_module, 25.4f);
      }
    }
  }
}
