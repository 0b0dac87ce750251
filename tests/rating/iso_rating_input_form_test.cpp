// The rating input window: the range of every field with its warning lines and the value restored, the
// load relations with the load case written back, the hardness scales, the application factor, the
// material choice filling the material properties and S-N data, and the nested load-case window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "edit_fields.h"
#include "hardness.h"
#include "input_limits.h"
#include "iso_rating_input_form.h"
#include "load_case_form.h"
#include "load_relations.h"
#include "material_table.h"
#include "rating_form_support.h"
#include "rating_forms_fixture.h"

using namespace morvell;
using morvell::testing::default_design;

namespace {

// The default design with pinion 20 and wheel 40 teeth and three load cases; case 3 current.
std::unique_ptr<DesignData> prepared(int unit_system, int hardness_scale = 0) {
  auto d = default_design(unit_system);
  d->teeth[0] = 20;
  d->teeth[1] = 40;
  d->hardness_scale = hardness_scale;
  for (int i = 0; i < 3; ++i) {
    d->load_case_table[i] = LoadCase{1000.0f * (i + 1), 100.0f * (i + 1), 10.0f * (i + 1), float(i)};
    d->load_case_fixed_for[i] = 1;
  }
  d->load_case_count = 3;
  d->current_load_case = 2;
  load_case_into_inputs(*d, 2);
  return d;
}

struct Inputs : morvell::testing::Shown<TISO_rating_input_form> {
  explicit Inputs(int unit_system = 1, int hardness_scale = 0) : Shown(prepared(unit_system, hardness_scale)) {}
  explicit Inputs(std::unique_ptr<DesignData> design) : Shown(std::move(design)) {}
  void type(QLineEdit* e, const QString& text) { enter(e, text, w->OKbutton); }
  void choose(QComboBox* list, int index, void (TISO_rating_input_form::*handler)()) {
    list->setCurrentIndex(index);
    (w.get()->*handler)();
  }
};

using Value = std::function<float(const DesignData&)>;

}  // namespace

TEST(RatingInputDialog, FieldRangesRefuseWithTheirWarningsAndBringTheValueBack) {
  const struct {
    const char* field;
    const char* typed;
    Value value;
    float stored;          // NAN: the value before the entry stays
    const char* warning;   // the warning's three lines joined by '|', or nullptr
  } cases[] = {
      {"sigmaflimpinedit", "800", [](auto& d) { return d.sigma_flim[0]; }, 800.0f, nullptr},
      {"sigmaflimpinedit", "0", [](auto& d) { return d.sigma_flim[0]; }, NAN, "Value is out of range| | "},
      {"sigmahlimwheeledit", "2000", [](auto& d) { return d.sigma_hlim[1]; }, 2000.0f, nullptr},
      {"sigmahlimwheeledit", "2000.5", [](auto& d) { return d.sigma_hlim[1]; }, NAN, "Value is out of range| | "},
      {"poisson1edit", "0.2", [](auto& d) { return d.poisson_ratio[0]; }, NAN, "Value is out of range| | "},
      {"poisson1edit", "0.35", [](auto& d) { return d.poisson_ratio[0]; }, 0.35f, nullptr},
      {"E2edit", "210000", [](auto& d) { return d.elastic_modulus[1]; }, 210000.0f, nullptr},
      {"E2edit", "300000", [](auto& d) { return d.elastic_modulus[1]; }, NAN, "Value is out of range| | "},
      {"sigmab1edit", "100", [](auto& d) { return d.yield_stress_pinion; }, NAN, "Value is out of range| | "},
      {"sigmas2edit", "3000", [](auto& d) { return d.tensile_stress_wheel; }, 3000.0f, nullptr},
      {"ISOgradepinedit", "13", [](auto& d) { return float(d.iso_grade[0]); }, NAN,
       "Value is out of range|Quality grade can be 0 to 12| "},
      {"ISOgradepinedit", "1e30", [](auto& d) { return float(d.iso_grade[0]); }, NAN,
       "Value is out of range|Quality grade can be 0 to 12| "},
      {"ISOgradepinedit", "7.9", [](auto& d) { return float(d.iso_grade[0]); }, 7.0f, nullptr},
      {"viscosityedit", "29", [](auto& d) { return d.lubricant_viscosity; }, NAN, "Value is out of range| | "},
      {"viscosityedit", "500", [](auto& d) { return d.lubricant_viscosity; }, 500.0f, nullptr},
      {"speedpinedit", "25001", [](auto& d) { return d.speed; }, NAN, "Value is out of range| | "},
      {"torquepinedit", "x", [](auto& d) { return d.torque; }, NAN, "Value is out of range| | "},
      {"poweredit", "25000010", [](auto& d) { return d.power; }, NAN, "Value is out of range| | "},
      {"timeedit", "100001", [](auto& d) { return d.life_hours; }, NAN, "Value is out of range| | "},
      {"FbetaXedit", "1000", [](auto& d) { return d.f_beta_x; }, 1000.0f, nullptr},
      {"FbetaXedit", "-1", [](auto& d) { return d.f_beta_x; }, NAN, "Value is out of range| | "},
      {"applicationfactoredit", "0.5", [](auto& d) { return d.application_factor; }, NAN,
       "Value is out of range| | "},
      {"applicationfactoredit", "10", [](auto& d) { return d.application_factor; }, 10.0f, nullptr},
  };
  Inputs in;
  DesignData& d = *in.d;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.typed);
    in.scripted.clear();
    QLineEdit* e = in.w->findChild<QLineEdit*>(c.field);
    ASSERT_NE(e, nullptr);
    const float before = c.value(d);
    in.type(e, c.typed);
    EXPECT_EQ(c.value(d), std::isnan(c.stored) ? before : c.stored);
    EXPECT_EQ(in.warnings(), c.warning ? QStringList{c.warning} : QStringList{});
    EXPECT_EQ(e->text(), e->objectName().startsWith("ISOgrade") ? QString::number(c.value(d))
                                                               : QString::fromStdString(format_number(c.value(d), 3)));
  }
  EXPECT_EQ(in.w->ISOgradepinedit->toolTip(), "7");
}

// A refused entry gives the focus back to its field, whose refresh wrote the value's rounded display
// into it; leaving the field again stores nothing (on 23 / 32 teeth the wheel torque of 200 N m shows
// as 278.261, which would store 200.0001 N m, and the wheel cycles' display would move the time).
TEST(RatingInputDialog, LeavingARefusedFieldAgainStoresNothing) {
  auto design = default_design();
  ASSERT_EQ(design->teeth[0], 23);
  ASSERT_EQ(design->teeth[1], 32);
  Inputs in(std::move(design));
  DesignData& d = *in.d;
  const float torque = d.torque, hours = d.life_hours, cycles = d.load_cycles_pinion;
  in.type(in.w->torquewheeledit, "0");  // refused; the helper leaves the field once more
  in.type(in.w->cycleswheeledit, "-1");
  EXPECT_EQ(in.warnings().size(), 2);
  EXPECT_EQ(d.torque, torque);
  EXPECT_EQ(d.life_hours, hours);
  EXPECT_EQ(d.load_cycles_pinion, cycles);
  EXPECT_EQ(d.edit_changed, 0);
}

// In English units a bound in um is judged and told in thou, the unit typed: an entry whose six
// decimals stand for the bound is taken as the bound, one beyond it is refused, and the pitch error's
// message gives its bound in thou.
TEST(RatingInputDialog, BoundsAreJudgedAndToldInTheUnitTyped) {
  Inputs in(2, 0);
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  in.choose(w.RaComboBox, 0, &TISO_rating_input_form::RaComboBoxChange);
  struct Case {
    const char* text;  // thou; the least roughness is 0.1 um = 0.0039370079 thou
    bool taken;
  };
  for (const Case& c : {Case{"0.0039371", true}, Case{"0.003937", true},
                        Case{"0.003936", false}, Case{"1.9685", true}, Case{"1.9686", false}}) {
    SCOPED_TRACE(c.text);
    d.flank_roughness[0] = 1.0f;
    in.scripted.clear();
    in.type(w.roughnesspinedit, c.text);
    EXPECT_EQ(in.warnings().isEmpty(), c.taken);
    if (c.taken) {
      EXPECT_TRUE(roughness_ok(d.flank_roughness[0])) << d.flank_roughness[0];
      EXPECT_NEAR(d.flank_roughness[0], std::strtod(c.text, nullptr) * 25.4, 2e-5);
    } else {
      EXPECT_EQ(d.flank_roughness[0], 1.0f);
    }
  }
  w.pticherrorfromgradecheckbox->setChecked(false);
  in.scripted.clear();
  in.type(w.pitcherrorpinedit, "15.75");
  EXPECT_EQ(in.warnings(), QStringList({"Value is out of range|Value can be 0 to 15.748 thou| "}));
  in.scripted.clear();
  in.type(w.pitcherrorpinedit, "15.748");
  EXPECT_TRUE(in.warnings().isEmpty());
  EXPECT_TRUE(pitch_error_ok(d.base_pitch_error[0]));
}

TEST(RatingInputDialog, PitchErrorsRoughnessAndHardnessInTheirScales) {
  Inputs in(1, 1);  // hardness in Brinell
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  // Base pitch errors follow the grades while the box is checked, locked; typed once it is unchecked.
  EXPECT_TRUE(w.pticherrorfromgradecheckbox->isChecked());
  EXPECT_TRUE(w.pitcherrorpinedit->isReadOnly());
  in.type(w.ISOgradewheeledit, "5");
  const float grade5 = d.base_pitch_error[1];
  in.type(w.ISOgradewheeledit, "9");
  EXPECT_GT(d.base_pitch_error[1], grade5);
  w.pticherrorfromgradecheckbox->setChecked(false);
  EXPECT_EQ(d.pitch_error_from_grade, 0);
  EXPECT_FALSE(w.pitcherrorpinedit->isReadOnly());
  in.type(w.pitcherrorpinedit, "400");
  EXPECT_EQ(d.base_pitch_error[0], 400.0f);
  EXPECT_EQ(w.pitcherrorpinedit->text(), "400");
  in.type(w.pitcherrorpinedit, "400.1");
  EXPECT_EQ(d.base_pitch_error[0], 400.0f);
  EXPECT_EQ(in.warnings(), QStringList({"Value is out of range|Value can be 0 to 400 um| "}));
  in.type(w.pitcherrorpinedit, "7.25");
  EXPECT_EQ(w.pitcherrorpinedit->text(), "7.2");

  // Roughness entered as Rz is held as Ra.
  in.choose(w.RaComboBox, 1, &TISO_rating_input_form::RaComboBoxChange);
  in.type(w.roughnesspinedit, "6");
  EXPECT_EQ(d.flank_roughness[0], 1.0f);
  EXPECT_EQ(w.roughnesspinedit->text(), "6.000");
  in.scripted.clear();
  in.type(w.roughnesspinedit, "60");
  EXPECT_EQ(d.flank_roughness[0], 1.0f);
  EXPECT_EQ(in.warnings(), QStringList({"Value is out of range| | "}));
  in.choose(w.RaComboBox, 0, &TISO_rating_input_form::RaComboBoxChange);
  EXPECT_EQ(w.roughnesspinedit->text(), "1.000");

  // Hardness in Brinell: 187 and 500 accepted, 186 refused and the hardness unchanged.
  EXPECT_EQ(w.ComboBoxhardness->currentText(), "Hardness (BHN)");
  in.type(w.HR1edit, "187");
  EXPECT_EQ(d.surface_hardness[0], 187.0f);
  in.type(w.HR1edit, "500");
  EXPECT_EQ(d.surface_hardness[0], 500.0f);
  in.scripted.clear();
  in.type(w.HR1edit, "186");
  EXPECT_EQ(d.surface_hardness[0], 500.0f);
  EXPECT_EQ(in.warnings(),
            QStringList({"Value entered is outside allowable range|Maximum value is 500|Minimum value is 187"}));
}

TEST(RatingInputDialog, HardnessScaleChangeConvertsBothGears) {
  const struct {
    float pinion;
    bool warned;
  } cases[] = {{60.0f, true}, {52.0f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pinion);
    Inputs in;
    DesignData& d = *in.d;
    d.surface_hardness[0] = c.pinion;
    d.surface_hardness[1] = 30.0f;
    in.choose(in.w->ComboBoxhardness, 1, &TISO_rating_input_form::ComboBoxhardnessChange);
    EXPECT_EQ(in.warnings(), c.warned ? QStringList{"Hardness is off Brinell scale|Maximum value is 500 BHN|"
                                                    "Hardness has been reduced to 500 BHN"}
                                      : QStringList{});
    EXPECT_EQ(d.hardness_scale, 1);
    if (c.warned) {
      EXPECT_EQ(d.surface_hardness[0], 500.0f);
    }
    EXPECT_EQ(d.surface_hardness[1], convert_hardness(30.0f, kHrcToHb));
    EXPECT_EQ(in.w->HR2edit->text(), QString::number(d.surface_hardness[1], 'f', 3));
    EXPECT_EQ(QApplication::focusWidget(), in.w->ComboBoxhardness);
    // The same scale again changes nothing.
    const float wheel = d.surface_hardness[1];
    in.choose(in.w->ComboBoxhardness, 1, &TISO_rating_input_form::ComboBoxhardnessChange);
    EXPECT_EQ(d.surface_hardness[1], wheel);
  }
}

TEST(RatingInputDialog, LoadRelationsWriteTheSelectedCase) {
  Inputs in;
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  // Opened while case 3 was current: case 1 is shown.
  ASSERT_EQ(w.ComboBox2->count(), 3);
  EXPECT_EQ(w.ComboBox2->itemText(2), "loadcase 3");
  EXPECT_EQ(w.ComboBox2->currentIndex(), 0);
  EXPECT_EQ(d.speed, 1000.0f);
  EXPECT_EQ(d.load_cycles_pinion, 600000.0f);

  // Wheel speed 1000 rpm: pinion 2000, fixed for the wheel, power from the unchanged torque; the cycles
  // are no derived quantity, so they stay and the running time follows.
  in.type(w.speedwheeledit, "1000");
  EXPECT_EQ(d.speed, 2000.0f);
  EXPECT_EQ(w.speedwheeledit->text(), "1000.000");
  EXPECT_EQ(w.loaddatafixedforedit->text(), "Wheel");
  EXPECT_NEAR(d.power, 2.0 * M_PI * 2000 / 60 * 100, 0.01);
  EXPECT_EQ(d.load_cycles_pinion, 600000.0f);
  EXPECT_FLOAT_EQ(d.life_hours, 5.0f);
  EXPECT_EQ(d.load_case_table[0].speed, 2000.0f);
  EXPECT_EQ(d.load_case_table[0].life_hours, d.life_hours);
  EXPECT_EQ(d.load_case_fixed_for[0], 2);

  // A refused wheel torque brings the pinion torque back; the case keeps it.
  in.type(w.torquewheeledit, "200000");
  EXPECT_EQ(d.torque, 100.0f);
  EXPECT_EQ(in.warnings().size(), 1);
  in.type(w.torquewheeledit, "300");  // T1 = 300 x 20 / 40
  EXPECT_EQ(d.torque, 150.0f);
  EXPECT_EQ(d.load_case_table[0].torque, 150.0f);

  // Cycles entered for the wheel: the pinion's follow and so does the running time; a refused number
  // brings all three back.
  in.type(w.cycleswheeledit, "1e6");
  EXPECT_EQ(d.load_cycles_pinion, 2e6f);
  EXPECT_FLOAT_EQ(d.life_hours, 2e6f / (60 * 2000.0f));
  const float hours = d.life_hours;
  in.scripted.clear();
  in.type(w.cyclespinedit, "-5");
  EXPECT_EQ(d.load_cycles_pinion, 2e6f);
  EXPECT_EQ(d.load_cycles_wheel, 1e6f);
  EXPECT_EQ(d.life_hours, hours);
  EXPECT_EQ(in.warnings(), QStringList({"Value is out of range| | "}));
  EXPECT_EQ(w.cyclespinedit->toolTip(), "2.00000e+06");

  // Another case: its values become the inputs, and edits go to its slot.
  in.choose(w.ComboBox2, 1, &TISO_rating_input_form::ComboBox2Change);
  EXPECT_EQ(d.current_load_case, 1);
  EXPECT_EQ(d.speed, 2000.0f);
  EXPECT_EQ(d.torque, 200.0f);
  in.type(w.FbetaXedit, "12");
  EXPECT_EQ(d.load_case_table[1].f_beta_x, 12.0f);
  EXPECT_EQ(d.load_case_table[0].f_beta_x, 0.0f);

  // "Load Data Fixed For" takes no entry.
  in.enter(w.loaddatafixedforedit, "Pinion5", w.OKbutton);
  EXPECT_EQ(w.loaddatafixedforedit->text(), "Pinion");
  EXPECT_EQ(d.poisson_ratio[0], 0.3f);
}

// A cycle entry within its range (up to 1e99) that derives a quantity beyond the float range is refused
// as the load-case window refuses it: "Value is out of range", every load quantity and the stored case
// as before the entry. 1e38 wheel cycles of a 20/80 pair give 4e38 pinion cycles and an infinite
// running time; of a 20/40 pair 2e38, which a float holds. (Smaller speeds and torques that could
// derive such values cannot be entered: entries keep six decimals.)
TEST(RatingInputDialog, ACycleEntryThatDerivesAQuantityBeyondTheFloatRangeIsRefused) {
  struct Case {
    int32_t wheel_teeth;
    const char* text;
    bool refused;
  };
  for (const Case& k : {Case{80, "1e38", true}, Case{40, "1e38", false}, Case{40, "2e38", true}}) {
    SCOPED_TRACE(std::to_string(k.wheel_teeth) + " wheel teeth, " + k.text);
    auto design = prepared(1);
    design->teeth[1] = k.wheel_teeth;
    Inputs in(std::move(design));
    if (!in.w->timecheckbox->isChecked()) in.w->timecheckbox->click();  // the running time is calculated
    const DesignData& d = *in.d;
    const float before[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    const LoadCase stored = d.load_case_table[0];
    in.scripted.clear();
    in.type(in.w->cycleswheeledit, k.text);
    const float after[] = {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel};
    if (k.refused) {
      EXPECT_EQ(in.warnings(), QStringList{"Value is out of range| | "});
      for (int i = 0; i < 6; ++i) EXPECT_EQ(after[i], before[i]) << i;
      EXPECT_EQ(d.load_case_table[0].life_hours, stored.life_hours);
      EXPECT_EQ(d.load_case_fixed_for[0], 1);
    } else {
      EXPECT_EQ(in.warnings(), QStringList());
      EXPECT_EQ(d.load_cycles_pinion, 2e38f);
      EXPECT_FLOAT_EQ(d.life_hours, 2e38f / (60 * 1000.0f));
      EXPECT_EQ(d.load_case_table[0].life_hours, d.life_hours);
      EXPECT_EQ(d.load_case_fixed_for[0], 2);
    }
    for (const float v : after) EXPECT_TRUE(std::isfinite(v));
  }
}

TEST(RatingInputDialog, ApplicationFactorFromTheMachines) {
  Inputs in;
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  EXPECT_TRUE(w.appfactorcheckbox->isChecked());
  EXPECT_FALSE(w.drivingcombo->isEnabled());
  w.appfactorcheckbox->setChecked(false);
  EXPECT_EQ(d.application_factor_enabled, 0);
  EXPECT_EQ(d.application_factor, 1.0f);
  EXPECT_EQ(w.drivingcombo->currentText(), "Uniform");
  EXPECT_EQ(w.drivencombo->currentText(), "Uniform");
  EXPECT_TRUE(w.drivencombo->isEnabled());
  EXPECT_FALSE(w.applicationfactoredit->isEnabled());
  EXPECT_EQ(w.applicationfactoredit->text(), "1.000");
  in.choose(w.drivingcombo, 3, &TISO_rating_input_form::drivingcomboChange);
  EXPECT_EQ(d.application_factor, 1.5f);
  in.choose(w.drivencombo, 3, &TISO_rating_input_form::drivencomboChange);
  EXPECT_EQ(d.application_factor, 2.25f);
  in.choose(w.drivingcombo, 1, &TISO_rating_input_form::drivingcomboChange);
  EXPECT_EQ(d.application_factor, 1.85f);
  w.appfactorcheckbox->setChecked(true);
  EXPECT_EQ(d.application_factor_enabled, 1);
  EXPECT_EQ(d.application_factor, 1.85f);
  EXPECT_TRUE(w.applicationfactoredit->isEnabled());
}

TEST(RatingInputDialog, MaterialChoiceSetsThePropertiesAndTheSnData) {
  Inputs in;
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  // Without stress-number estimation a new material only changes the type.
  d.sigma_hlim[1] = 777.0f;
  in.choose(w.materialtypewheel, 3, &TISO_rating_input_form::materialtypewheelChange);
  EXPECT_EQ(d.material_type[1], 3);
  EXPECT_EQ(w.materialtypewheel->toolTip(), "Grey Cast Iron");
  EXPECT_EQ(d.sigma_hlim[1], 777.0f);
  EXPECT_EQ(d.limited_pitting[1], 0);
  EXPECT_FALSE(w.limitedpittingboxwheel->isChecked());
  EXPECT_FALSE(w.limitedpittingboxwheel->isEnabled());

  // Estimating the stress numbers fills both gears from their materials and estimates both S-N curves.
  w.stressnumberpincheck->setChecked(true);
  EXPECT_EQ(d.sn_estimate[0], 1);
  EXPECT_EQ(d.sn_estimate[1], 1);
  EXPECT_TRUE(w.SNentercheckbox->isChecked());
  EXPECT_FALSE(w.SNentercheckbox->isEnabled());
  EXPECT_FALSE(w.sigmahlimpinedit->isEnabled());
  EXPECT_FALSE(w.EditSNdatabutton->isEnabled());
  EXPECT_EQ(d.sigma_hlim[1], 350.0f);
  EXPECT_EQ(d.elastic_modulus[1], 120000.0f);
  EXPECT_EQ(d.sigma_h_static_wheel, 455.0f);  // 1.3 x 350

  in.choose(w.materialtypepin, 7, &TISO_rating_input_form::materialtypepinChange);
  EXPECT_EQ(d.sigma_hlim[0], 1500.0f);
  EXPECT_EQ(d.sigma_flim[0], 500.0f);
  EXPECT_EQ(d.tensile_stress_pinion, 2250.0f);
  EXPECT_EQ(d.sigma_h_static_pinion, 2400.0f);
  EXPECT_EQ(d.nl_lim_contact_pinion, 5e7f);
  EXPECT_EQ(w.sigmahlimpinedit->text(), "1500.000");
  EXPECT_TRUE(w.limitedpittingbox->isEnabled());
  w.limitedpittingbox->setChecked(true);
  EXPECT_EQ(d.limited_pitting[0], 1);
  EXPECT_EQ(d.nl_lim_contact_pinion, 1e9f);

  // "Input" takes the stress numbers of "Steel" and the curves that belong to them (contact 1.6 x 400 at
  // 1e5 cycles, the knee at 5e7; bending 1.6 x 130 at 1e3), not the case-hardening curves held before.
  in.choose(w.materialtypepin, 0, &TISO_rating_input_form::materialtypepinChange);
  EXPECT_EQ(d.sigma_hlim[0], 400.0f);
  EXPECT_EQ(d.limited_pitting[0], 0);
  EXPECT_EQ(d.sigma_h_static_pinion, 640.0f);
  EXPECT_EQ(d.nl_static_contact_pinion, 1e5f);
  EXPECT_EQ(d.nl_lim_contact_pinion, 5e7f);
  EXPECT_EQ(d.sigma_f_static[0], 208.0f);
  EXPECT_EQ(d.nl_static_bending_pinion, 1e3f);
  // Shown again with the estimation on, the window takes the numbers anew and their curves with them,
  // whatever curves the design held.
  d.sigma_h_static_pinion = 9.0f;
  d.nl_lim_bending_wheel = 9.0f;
  w.hide();
  w.show();
  EXPECT_EQ(d.sigma_h_static_pinion, 640.0f);
  EXPECT_EQ(d.nl_lim_bending_wheel, 3e6f);
  in.choose(w.materialtypepin, 7, &TISO_rating_input_form::materialtypepinChange);

  // Unchecking the S-N estimate of a gear switches its limited pitting off.
  w.stressnumberpincheck->setChecked(false);
  EXPECT_TRUE(w.SNentercheckbox->isEnabled());
  w.SNentercheckbox->setChecked(false);
  EXPECT_EQ(d.sn_estimate[0], 0);
  EXPECT_EQ(d.limited_pitting[0], 0);
  EXPECT_FALSE(w.limitedpittingbox->isChecked());

  // The narrow material lists widen over their neighbour while in use.
  w.materialtypewheelEnter();
  EXPECT_EQ(w.materialtypewheel->x(), 263);
  EXPECT_EQ(w.materialtypewheel->width(), 180);
  EXPECT_FALSE(w.materialtypepin->isVisibleTo(&w));
  w.materialtypewheelExit();
  EXPECT_EQ(w.materialtypewheel->x(), 361);
  EXPECT_EQ(w.materialtypewheel->width(), 82);
  EXPECT_TRUE(w.materialtypepin->isVisibleTo(&w));
}

TEST(RatingInputDialog, ModifyAndEditSnDataOpenTheirWindowsModally) {
  Inputs in(2);
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  EXPECT_EQ(w.windowTitle(), "Gear Rating Inputs");
  EXPECT_EQ(w.bendingstresslabel->text(), "psi");
  EXPECT_EQ(w.pitchlabel->text(), "thou");
  EXPECT_EQ(w.viscositylabel->text(), " cSt");
  EXPECT_FALSE(w.viscositylabel2->isVisibleTo(&w));
  EXPECT_EQ(w.torquelabel->text(), "lbf.ft");
  EXPECT_EQ(w.powerlabel->text(), "hp");

  // In the load-case window the user creates a case from case 2 and deletes case 1.
  in.scripted.modal_actions["loadcasemultipleform"].push_back([](QDialog& dialog) {
    auto& cases = static_cast<Tloadcasemultipleform&>(dialog);
    cases.ComboBox2->setCurrentIndex(1);
    cases.ComboBox2Change();
    cases.Button2Click();
    cases.ComboBox2->setCurrentIndex(0);
    cases.ComboBox2Change();
    cases.Button3Click();
    return int(QDialog::Accepted);
  });
  w.ComboBox2->setCurrentIndex(2);
  w.Button1Click();
  EXPECT_EQ(d.load_case_count, 3);
  ASSERT_EQ(w.ComboBox2->count(), 3);
  EXPECT_EQ(w.ComboBox2->currentIndex(), 0);
  EXPECT_EQ(d.speed, 2000.0f);  // the old case 2 is case 1 now
  EXPECT_EQ(d.load_case_table[2].speed, 2000.0f);
  EXPECT_EQ(d.load_cycles_pinion, 2000.0f * 60 * 20);

  in.scripted.modal_actions["SNcurveForm"].push_back([](QDialog& dialog) {
    QApplication::setActiveWindow(&dialog);
    auto* edit = dialog.findChild<QLineEdit*>("sigmaflimwheeledit");
    edit->setFocus(Qt::TabFocusReason);
    edit->setText("50000");  // psi
    return int(QDialog::Accepted);
  });
  w.EditSNdatabuttonClick();
  EXPECT_NEAR(d.sigma_flim[1], 344.75f, 1e-3);
  EXPECT_EQ(w.sigmaflimwheeledit->text(), "50000.000");
}

TEST(RatingInputDialog, ACaseStoredWithoutSpeedOrTorqueGivesNoInfiniteLoad) {
  auto design = prepared(1);
  design->load_case_table[0] = LoadCase{0.0f, 0.0f, 10.0f, 0.0f};
  Inputs in(std::move(design));
  DesignData& d = *in.d;
  TISO_rating_input_form& w = *in.w;
  in.type(w.cyclespinedit, "5000");
  EXPECT_EQ(d.load_cycles_pinion, 5000.0f);
  EXPECT_EQ(d.life_hours, 10.0f);
  w.speedcheckbox->setChecked(true);
  in.type(w.poweredit, "1000");  // the speed would be the power over a zero torque
  EXPECT_EQ(d.power, 1000.0f);
  EXPECT_EQ(d.speed, 0.0f);
  for (float v : {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_case_table[0].life_hours})
    EXPECT_TRUE(std::isfinite(v));
}
