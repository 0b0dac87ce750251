// The sizing wizard: its presets on every show, the limits of its fields with their warnings, the
// aspect-ratio rule following the ratio, the material choice and what every close writes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <memory>

#include "design_data.h"
#include "field_events.h"
#include "material_table.h"
#include "scripted_modal_services.h"
#include "sizing_form.h"
#include "test_support.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

struct Wizard {
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  std::unique_ptr<Tsizingform> w;

  explicit Wizard(int unit_system = 1) {
    d->decimals = 3;
    d->unit_system = unit_system;
    d->torque_unit_factor = unit_system == 2 ? 1.356f : 1.0f;
    d->sigma_hlim[0] = d->sigma_hlim[1] = 777;  // not a material of the table
    d->load_case_table[0].f_beta_x = 9;
    d->load_case_count = 3;
    w = std::make_unique<Tsizingform>(*d);
    w->show();
    QApplication::setActiveWindow(w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    scripted.clear();
  }

  // Types the text into the field and leaves it for the OK button; a refused value brings the focus back.
  void enter(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(forms::active_control(w.get()), edit);
    edit->setText(text);
    w->okbutton->setFocus(Qt::TabFocusReason);
    if (w->focusWidget() == edit) w->okbutton->setFocus(Qt::TabFocusReason);
  }

  QStringList warnings() const {
    QStringList lines;
    for (const QString& text : scripted.warnings()) lines << text.split('\n').first();
    return lines;
  }
};

}  // namespace

TEST(SizingWizard, ShowSetsThePresetsAndTheirTexts) {
  Wizard z;
  DesignData& d = *z.d;
  EXPECT_EQ(z.w->windowTitle(), "Initial Sizing");
  EXPECT_EQ(d.desired_ratio, 1.5f);
  EXPECT_EQ(d.torque, 200.0f);
  EXPECT_EQ(d.helix_angle, 27.0f);
  EXPECT_EQ(d.load_cycles_pinion, 1e7f);
  EXPECT_EQ(d.speed, 2500.0f);
  EXPECT_NEAR(d.pinion_aspect_ratio, 3.137255f, 1e-6);
  EXPECT_NEAR(d.life_hours, 66.66666f, 1e-4);
  EXPECT_NEAR(d.power, 52359.88f, 0.01);
  EXPECT_EQ(d.material_type[0], 7);
  EXPECT_EQ(d.material_type[1], 7);
  // The material shown is the material the pair is sized with: case-hardening steel's stress numbers
  // and modulus, and contact and bending S-N curves estimated from them, for both gears.
  for (int g = 0; g < 2; ++g) {
    EXPECT_EQ(d.sigma_hlim[g], 1500.0f);
    EXPECT_EQ(d.sigma_flim[g], 500.0f);
    EXPECT_EQ(d.elastic_modulus[g], 207000.0f);
    EXPECT_EQ(d.sn_estimate[g], 1);
    EXPECT_EQ(d.sigma_f_static[g], 1250.0f);  // 2.5 x 500 at 1000 cycles
  }
  EXPECT_EQ(d.sigma_h_static_pinion, 2400.0f);  // 1.6 x 1500
  EXPECT_EQ(d.sigma_h_inf_wheel, 1275.0f);      // 0.85 x 1500
  EXPECT_EQ(d.nl_lim_contact_wheel, 5e7f);
  EXPECT_EQ(z.w->Ratioedit->text(), "1.500");
  EXPECT_EQ(z.w->torquepinedit->text(), "200.000");
  EXPECT_EQ(z.w->Helixangleedit->text(), "27.000");
  EXPECT_EQ(z.w->aspectratioedit->text(), "3.137");
  EXPECT_EQ(z.w->cyclespinedit->text(), "1.000e+07");
  EXPECT_EQ(z.w->aspectratioedit->toolTip(), "   3.13725");
  EXPECT_EQ(z.w->materialtypepin->currentText(), "Case Hardening Steel");
  EXPECT_EQ(z.w->materialtypepin->toolTip(), "Case Hardening Steel");
  EXPECT_EQ(z.w->materialtypepin->count(), 12);
  EXPECT_EQ(z.w->unitstorque->text(), "Nm");
  EXPECT_EQ(d.load_case_table[0].torque, 200.0f);
  EXPECT_EQ(d.load_case_table[0].f_beta_x, 9.0f);
  EXPECT_EQ(d.load_case_count, 3);

  // Every show starts from the presets again.
  z.enter(z.w->Ratioedit, "4");
  z.w->hide();
  z.w->show();
  EXPECT_EQ(d.desired_ratio, 1.5f);
  EXPECT_EQ(z.w->Ratioedit->text(), "1.500");
}

TEST(SizingWizard, EnglishUnitsShowTheTorqueInPoundFeet) {
  Wizard z(2);
  EXPECT_EQ(z.w->unitstorque->text(), "lbf.ft");
  EXPECT_EQ(z.w->torquepinedit->text(), "147.493");
  z.enter(z.w->torquepinedit, "100");
  EXPECT_NEAR(z.d->torque, 135.6f, 1e-3);
}

TEST(SizingWizard, FieldLimitsWithTheirWarnings) {
  const struct Case {
    const char* field;
    const char* typed;
    float stored;
    const char* warning;  // first warning line, or nullptr
  } cases[] = {
      {"Ratioedit", "0.5", 1.0f, "Ratio must be greater than 1"},
      {"Ratioedit", "25", 20.0f, "Ratio has exceeded limit"},
      {"Ratioedit", "20", 20.0f, nullptr},
      {"Ratioedit", "1", 1.0f, nullptr},
      {"Ratioedit", "", 1.0f, "Ratio must be greater than 1"},
      {"torquepinedit", "0", 200.0f, "Value is out of range"},
      {"torquepinedit", "60000", 200.0f, "Value is out of range"},
      {"torquepinedit", "", 200.0f, "Value is out of range"},
      {"torquepinedit", "50000", 50000.0f, nullptr},
      {"Helixangleedit", "45", 44.99f, "Maximum value of helix angle is 45 degrees"},
      {"Helixangleedit", "-1", 0.0f, "Minimum value of helix angle is 0 degrees"},
      {"Helixangleedit", "12.3456789", 12.345679f, nullptr},
      {"aspectratioedit", "0.5", 1.0f, "Aspect ratio must be greater than 1"},
      {"aspectratioedit", "25", 20.0f, "Aspectratio has exceeded limit"},
      {"aspectratioedit", "1", 1.0f, nullptr},
      {"cyclespinedit", "-5", 1e7f, "Value is out of range"},
      {"cyclespinedit", "1e40", 1e7f, "Value is out of range"},
      {"cyclespinedit", "1e8", 1e8f, nullptr},
      // No cycles give no running time, which the rating input window would refuse.
      {"cyclespinedit", "", 1e7f, "Value is out of range"},
      {"cyclespinedit", "0", 1e7f, "Value is out of range"},
      // 100000 h at 2500 rpm are 1.5e10 cycles: a running time past the rating window's range.
      {"cyclespinedit", "1.6e10", 1e7f, "Value is out of range"},
  };
  for (const Case& c : cases) {
    Wizard z;
    SCOPED_TRACE(std::string(c.field) + " \"" + c.typed + "\"");
    auto* edit = z.w->findChild<QLineEdit*>(c.field);
    ASSERT_TRUE(edit);
    z.enter(edit, c.typed);
    const DesignData& d = *z.d;
    const float stored = edit == z.w->Ratioedit        ? d.desired_ratio
                         : edit == z.w->torquepinedit  ? d.torque
                         : edit == z.w->Helixangleedit ? d.helix_angle
                         : edit == z.w->aspectratioedit ? d.pinion_aspect_ratio
                                                         : d.load_cycles_pinion;
    EXPECT_FLOAT_EQ(stored, c.stored);
    if (c.warning) {
      EXPECT_EQ(z.warnings(), QStringList{c.warning});
    } else {
      EXPECT_TRUE(z.warnings().isEmpty());
    }
    EXPECT_EQ(d.edit_changed, 0);
    if (edit == z.w->cyclespinedit) { EXPECT_FLOAT_EQ(d.life_hours, float(c.stored / 2500.0L / 60.0L)); }
  }
}

TEST(SizingWizard, RatioSetsTheAspectRatioByTheRule) {
  Wizard z;
  DesignData& d = *z.d;
  z.enter(z.w->Ratioedit, "0.5");
  EXPECT_NEAR(d.pinion_aspect_ratio, 4.166667f, 1e-6);
  z.enter(z.w->Ratioedit, "25");
  EXPECT_NEAR(d.pinion_aspect_ratio, 0.317460f, 1e-6);
  EXPECT_EQ(z.w->aspectratioedit->text(), "0.317");
  // A typed aspect ratio gives way to the rule when the ratio changes.
  z.enter(z.w->aspectratioedit, "5");
  EXPECT_EQ(d.pinion_aspect_ratio, 5.0f);
  z.enter(z.w->Ratioedit, "2");
  EXPECT_NEAR(d.pinion_aspect_ratio, 2.469136f, 1e-6);
  // Leaving the ratio unchanged rewrites the aspect-ratio field all the same.
  d.pinion_aspect_ratio = 7.0f;
  z.w->Ratioedit->setFocus(Qt::TabFocusReason);
  z.w->okbutton->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(z.w->aspectratioedit->text(), "7.000");
  EXPECT_EQ(d.desired_ratio, 2.0f);
}

TEST(SizingWizard, MaterialChoiceLoadsBothGears) {
  Wizard z;
  DesignData& d = *z.d;
  z.w->materialtypepin->setCurrentIndex(2);
  emit z.w->materialtypepin->activated(2);
  EXPECT_EQ(d.material_type[0], 2);
  EXPECT_EQ(d.material_type[1], 2);
  EXPECT_EQ(z.w->materialtypepin->toolTip(), "Through Hardening Steel, Through Hardened");
  DesignData expected{};
  expected.material_type[0] = expected.material_type[1] = 2;
  material_properties(expected, 0);
  material_properties(expected, 1);
  EXPECT_EQ(d.sigma_hlim[0], expected.sigma_hlim[0]);
  EXPECT_EQ(d.sigma_flim[1], expected.sigma_flim[1]);
  EXPECT_EQ(d.yield_stress_wheel, expected.yield_stress_wheel);
  EXPECT_NE(d.sigma_hlim[0], 777.0f);

  // "Input" takes the stress numbers of "Steel" (400 and 130 MPa) and the curves that belong to them,
  // however the curves stood before: contact 1.6 x 400 at 1e5 cycles, the knee at 5e7, 0.85 x 400 at
  // 1e10; bending 1.6 x 130 at 1e3, the knee at 3e6, 0.85 x 130 at 1e10.
  d.sigma_h_static_pinion = d.sigma_h_static_wheel = 9999;
  d.nl_lim_contact_pinion = d.nl_lim_contact_wheel = 1;
  z.w->materialtypepin->setCurrentIndex(0);
  emit z.w->materialtypepin->activated(0);
  EXPECT_EQ(d.material_type[1], 0);
  for (int g = 0; g < 2; ++g) {
    EXPECT_EQ(d.sigma_hlim[g], 400.0f);
    EXPECT_EQ(d.sigma_flim[g], 130.0f);
    EXPECT_EQ(d.sigma_f_static[g], 208.0f);
  }
  EXPECT_EQ(d.sigma_h_static_pinion, 640.0f);
  EXPECT_EQ(d.sigma_h_static_wheel, 640.0f);
  EXPECT_EQ(d.nl_static_contact_wheel, 1e5f);
  EXPECT_EQ(d.nl_lim_contact_pinion, 5e7f);
  EXPECT_EQ(d.sigma_h_inf_pinion, 340.0f);
  EXPECT_EQ(d.sigma_h_pit_wheel, 400.0f);
  EXPECT_EQ(d.nl_static_bending_pinion, 1e3f);
  EXPECT_EQ(d.nl_lim_bending_wheel, 3e6f);
  EXPECT_FLOAT_EQ(d.sigma_f_inf_wheel, 110.5f);
}

TEST(SizingWizard, EveryCloseStoresThePendingEntryAndDerivesTheLoad) {
  Wizard z;
  DesignData& d = *z.d;
  z.enter(z.w->cyclespinedit, "1e8");
  // Typed but not yet left: closing moves the focus to OK first.
  z.w->torquepinedit->setFocus(Qt::TabFocusReason);
  z.w->torquepinedit->setText("300");
  z.w->reject();  // Escape or the close box
  EXPECT_FALSE(z.w->isVisible());
  EXPECT_EQ(d.torque, 300.0f);
  EXPECT_NEAR(d.life_hours, 666.6666f, 1e-3);
  EXPECT_NEAR(d.power, 78539.82f, 0.01);
  EXPECT_EQ(d.load_case_table[0].speed, 2500.0f);
  EXPECT_EQ(d.load_case_table[0].torque, 300.0f);
  EXPECT_NEAR(d.load_case_table[0].life_hours, 666.6666f, 1e-3);
  EXPECT_EQ(d.load_case_table[0].f_beta_x, 9.0f);
  EXPECT_EQ(d.load_case_count, 3);
  EXPECT_EQ(d.load_case_fixed_for[0], 1);  // the torque entered is the pinion's

  // OK closes as well.
  Wizard ok;
  ok.w->okbutton->click();
  EXPECT_FALSE(ok.w->isVisible());
  EXPECT_NEAR(ok.d->life_hours, 66.66666f, 1e-4);
  EXPECT_NEAR(ok.d->power, 52359.88f, 0.01);

  // A design without load cases (begun without the default design file) takes the targets as its first.
  Wizard none;
  none.d->load_case_count = 0;
  none.w->okbutton->click();
  EXPECT_EQ(none.d->load_case_count, 1);
  EXPECT_EQ(none.d->load_case_table[0].torque, 200.0f);
}
