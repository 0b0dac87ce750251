// The constraints dialog: limits of every row with the warning lines, defaults following the module,
// Cancel putting back the switch and every value, English units, and an entry committed by OK.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

#include "constraints_form.h"
#include "geometry_pass.h"
#include "dialog_test_support.h"

using namespace morvell;
using namespace morvell::testing;

namespace {

float& field_of(DesignData& d, int row, int gear) {
  float(*rows[8])[2] = {&d.min_tip_thickness_coeff, &d.min_eap_thickness_coeff, &d.min_form_to_sap,
                        &d.min_base_to_form,        &d.min_bottom_clearance_coeff, &d.max_tip_diameter,
                        &d.min_root_diameter,       &d.min_root_fillet_coeff};
  return (*rows[row])[gear];
}

}  // namespace

TEST(ConstraintsForm, EveryRowAcceptsItsBoundsAndRestoresARefusedValue) {
  DialogDesign p;
  p.d->normal_module = 2.25f;
  p.d->constraints_use_defaults = 0;
  TConstraintsform form(*p.d);
  struct Case {
    int row, gear;
    const char* text;
    bool accepted;
    float stored;                   // when accepted
    const char* refusal = nullptr;  // when refused: the warning, nullptr for the range's
  };
  const char* kBelowRoot = "Maximum tip diameter must be greater than\nthe root and form diameters\n ";
  const char* kAboveTip = "Minimum root diameter must be less than\nthe tip diameter\n ";
  const Case cases[] = {
      {0, 0, "0.75", true, 0.75f},   {0, 1, "0.7501", false, 0},    {0, 0, "-0.01", false, 0},
      {1, 1, "0", true, 0},          {1, 0, "0.76", false, 0},      {2, 0, "1.125", true, 1.125f},
      {2, 1, "1.126", false, 0},     {3, 1, "1.125", true, 1.125f}, {3, 0, "-0.001", false, 0},
      // A maximum tip at or below the gear's root or form circle, a minimum root at or above its tip,
      // leave no tooth; a box that holds no number reads as 0.
      {5, 0, "0", false, 0, kBelowRoot},
      {5, 1, "x", false, 0, kBelowRoot},
      {5, 0, "40", false, 0, kBelowRoot},
      {6, 1, "12345.5", false, 0, kAboveTip},
      {6, 1, "200", false, 0, kAboveTip},
      {4, 0, "1", true, 1},          {4, 1, "1.001", false, 0},     {5, 0, "1e30", true, 1e30f},
      {5, 1, "-1", false, 0},        {5, 1, "1e40", false, 0},      {6, 1, "50.5", true, 50.5f},
      {7, 0, "2.0", true, 2},        {7, 1, "2.25", true, 2.25f},   {7, 0, "2.3", false, 0},
      {6, 0, "12.34567", true, 12.346f},  // the pinion's minimum root diameter to three decimals
      {6, 1, "12.34567", true, 12.34567f},
  };
  p.when_shown("Constraintsform", [&](QDialog&) {
    ASSERT_FALSE(form.defaultcheckbox->isChecked());
    for (const Case& c : cases) {
      float& field = field_of(*p.d, c.row, c.gear);
      field = 0.123457f;  // an odd value: a refusal gives back exactly this
      const int warnings = int(p.warnings().size());
      type_into(form.edit(c.row, c.gear), c.text, form.OKbutton);
      EXPECT_FLOAT_EQ(field, c.accepted ? c.stored : 0.123457f) << c.row << " " << c.text;
      if (!c.accepted) { EXPECT_EQ(field, 0.123457f); }
      ASSERT_EQ(p.warnings().size(), warnings + (c.accepted ? 0 : 1)) << c.row << " " << c.text;
      if (!c.accepted) {
        EXPECT_EQ(p.warnings().back(), c.refusal ? c.refusal : "Value is out of range\n \n ") << c.text;
        EXPECT_EQ(form.focusWidget(), form.edit(c.row, c.gear));  // the edit has the focus again
      }
    }
    // Boxes show what the geometry pass last used: 1e30 in exponent notation.
    EXPECT_EQ(form.pinmaxtipedit->text(), "1.000e+30");
    EXPECT_EQ(form.pinmaxtipedit->toolTip().toStdString().substr(0, 2), "10");
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->constraints_use_defaults, 0);
}

TEST(ConstraintsForm, DefaultsFollowTheModuleAndCancelPutsBackTheSwitchAndEveryValue) {
  DialogDesign p;
  p.d->normal_module = 1;
  p.d->constraints_use_defaults = 1;
  p.d->min_base_to_form[0] = 0.25f;  // the start-up's own value: the pass puts in the default table
  calc_gear_geometry(*p.d);
  EXPECT_EQ(p.d->min_base_to_form[0], 0.125f);
  const GeometryConstraints shown_with = *p.d;
  TConstraintsform form(*p.d);
  p.when_shown("Constraintsform", [&](QDialog&) {
    EXPECT_TRUE(form.defaultcheckbox->isChecked());
    for (int r = 0; r < 8; ++r) EXPECT_FALSE(form.edit(r, 0)->isEnabled());
    EXPECT_EQ(form.pinformtoSAPedit->text(), "0.125");
    EXPECT_EQ(form.wheelbasetoformedit->text(), "0.125");
    EXPECT_EQ(form.pinEAPwidthedit->text(), "0.300");
    EXPECT_EQ(form.pinbottomclearanceedit->text(), "0.250");
    EXPECT_EQ(form.pinmaxtipedit->text(), "1.000e+09");
    EXPECT_EQ(form.wheelminrootedit->text(), "0.000");
    // Uncheck, change a value, check again: the defaults come back.
    form.defaultcheckbox->setChecked(false);
    EXPECT_TRUE(form.pinEAPwidthedit->isEnabled());
    type_into(form.pinEAPwidthedit, "0.5", form.OKbutton);
    EXPECT_EQ(p.d->min_tip_thickness_coeff[0], 0.5f);
    form.defaultcheckbox->setChecked(true);
    EXPECT_EQ(p.d->min_tip_thickness_coeff[0], 0.3f);
    form.defaultcheckbox->setChecked(false);
    form.cancelbutton->click();
  });
  p.scripted.show_modal(form);
  // Cancel: the switch is on again and every value is the one shown.
  EXPECT_EQ(p.d->constraints_use_defaults, 1);
  EXPECT_EQ(std::memcmp(static_cast<const GeometryConstraints*>(p.d.get()), &shown_with, sizeof shown_with), 0);

  // The form-to-SAP default follows a later module.
  p.d->normal_module = 1.2f;
  p.when_shown("Constraintsform", [&](QDialog&) { EXPECT_EQ(form.wheelformtoSAPedit->text(), "0.180"); });
  p.scripted.show_modal(form);

  // The user's own constraints, the defaults off: checking the box and Cancel gives them back.
  p.d->constraints_use_defaults = 0;
  p.d->max_tip_diameter[1] = 80;
  p.d->min_bottom_clearance_coeff[1] = 0.4f;
  p.d->min_eap_thickness_coeff[1] = 0.44f;
  p.when_shown("Constraintsform", [&](QDialog&) {
    type_into(form.wheelbottomclearanceedit, "0.6", form.OKbutton);
    EXPECT_EQ(p.d->min_bottom_clearance_coeff[1], 0.6f);
    form.defaultcheckbox->setChecked(true);
    EXPECT_EQ(p.d->max_tip_diameter[1], 1e9f);
    form.cancelbutton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->constraints_use_defaults, 0);
  EXPECT_EQ(p.d->max_tip_diameter[1], 80.0f);
  EXPECT_EQ(p.d->min_bottom_clearance_coeff[1], 0.4f);
  EXPECT_EQ(p.d->min_eap_thickness_coeff[1], 0.44f);
}

TEST(ConstraintsForm, EnglishUnitsConvertLengthsButNotCoefficients) {
  DialogDesign p(2);
  p.d->normal_module = 2;
  p.d->constraints_use_defaults = 0;
  p.d->min_tip_thickness_coeff[1] = 0.35f;
  TConstraintsform form(*p.d);
  p.when_shown("Constraintsform", [&](QDialog&) {
    EXPECT_EQ(form.row_captions[0]->text(), "Minimum Tip Thickness * DP");
    EXPECT_EQ(form.row_captions[7]->toolTip(), "Minimum Root Fillet Radius Multiplied by Diametral Pitch");
    EXPECT_EQ(form.unit_labels[0]->text(), "inch");
    EXPECT_EQ(form.wheelEAPwidthedit->text(), "0.350");
    type_into(form.pinformtoSAPedit, "0.01", form.OKbutton);
    EXPECT_FLOAT_EQ(p.d->min_form_to_sap[0], 0.254f);
    EXPECT_EQ(form.pinformtoSAPedit->text(), "0.0100");
    type_into(form.pinformtoSAPedit, "0.04", form.OKbutton);  // 1.016 mm > 0.5 m_n
    EXPECT_FLOAT_EQ(p.d->min_form_to_sap[0], 0.254f);
    type_into(form.pinminfilletedit, "2", form.OKbutton);  // the bound is the module in mm
    EXPECT_EQ(p.d->min_root_fillet_coeff[0], 2.0f);
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.warnings().size(), 1);
}

TEST(ConstraintsForm, AnEntryIsCheckedAndStoredBeforeTheDialogCloses) {
  DialogDesign p;
  p.d->normal_module = 2;
  p.d->constraints_use_defaults = 0;
  TConstraintsform form(*p.d);
  p.when_shown("Constraintsform", [&](QDialog&) {
    form.pinbottomclearanceedit->setFocus(Qt::TabFocusReason);
    form.pinbottomclearanceedit->setText("0.7");
    form.OKbutton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->min_bottom_clearance_coeff[0], 0.7f);
  p.when_shown("Constraintsform", [&](QDialog&) {
    form.wheelminfilletedit->setFocus(Qt::TabFocusReason);
    form.wheelminfilletedit->setText("3");  // above the module: refused while closing
    form.OKbuttonClick();
  });
  const float before = p.d->min_root_fillet_coeff[1];
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->min_root_fillet_coeff[1], before);
  EXPECT_EQ(p.warnings().size(), 1);
  EXPECT_FALSE(form.isVisible());
}
