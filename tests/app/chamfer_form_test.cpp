// The chamfer dialog: limits of the four rows with their warning lines, Cancel, English units, and an
// entry committed by every way of closing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "chamfer_form.h"
#include "dialog_test_support.h"

using namespace morvell;
using namespace morvell::testing;

TEST(ChamferForm, EveryRowAcceptsItsBoundsAndRestoresARefusedValue) {
  DialogDesign p;
  p.d->normal_module = 2;
  p.d->base_diameter[1] = 60;  // pressure angle at the outside diameter just under 30 degrees
  p.d->tip_diameter[1] = 69.28f;
  TChamferform form(*p.d);
  const QString range = "Value is out of range\n \n ";
  const QString pressure = "Value must be greater than pressure\nangle at outside diameter \n ";
  struct Case {
    int row, gear;
    const char* text;
    float stored;     // when accepted
    QString warning;  // empty: accepted
  };
  const Case cases[] = {
      {0, 0, "0.5", 0.5f, ""},  {0, 1, "0.51", 0, range}, {0, 0, "-0.01", 0, range},
      {1, 1, "89", 89, ""},     {1, 0, "89.01", 0, range}, {1, 1, "-1", 0, range},
      {1, 0, "0", 0, ""},       {2, 1, "0.5", 0.5f, ""}, {2, 0, "0.51", 0, range},
      {3, 1, "30", 30, ""},     {3, 1, "45", 45, ""},    {3, 1, "29.9", 0, pressure},
      {3, 1, "-5", 0, pressure}, {3, 1, "90", 0, range}, {3, 1, "89", 89, ""},
  };
  float* fields[4][2] = {{&p.d->edge_chamfer[0], &p.d->edge_chamfer[1]},
                         {&p.d->edge_chamfer_angle[0], &p.d->edge_chamfer_angle[1]},
                         {&p.d->tip_chamfer[0], &p.d->tip_chamfer[1]},
                         {&p.d->tip_chamfer_angle[0], &p.d->tip_chamfer_angle[1]}};
  p.when_shown("Chamferform", [&](QDialog&) {
    EXPECT_EQ(form.unit_labels[0]->text(), "mm");
    EXPECT_EQ(form.unit_labels[1]->text(), "degrees");
    for (const Case& c : cases) {
      float& field = *fields[c.row][c.gear];
      field = 0.123457f;
      const int warnings = int(p.warnings().size());
      type_into(form.edit(c.row, c.gear), c.text, form.OKButton);
      const bool accepted = c.warning.isEmpty();
      EXPECT_EQ(field, accepted ? c.stored : 0.123457f) << c.row << " " << c.text;
      ASSERT_EQ(p.warnings().size(), warnings + (accepted ? 0 : 1)) << c.row << " " << c.text;
      if (!accepted) {
        EXPECT_EQ(p.warnings().back(), c.warning) << c.text;
        EXPECT_EQ(form.focusWidget(), form.edit(c.row, c.gear));
      }
      // The edit shows the field again, whatever happened.
      EXPECT_EQ(form.edit(c.row, c.gear)->text(), accepted ? QString::number(c.stored, 'f', 3) : "0.123");
    }
  });
  p.scripted.show_modal(form);
}

TEST(ChamferForm, CancelPutsBackWhatTheDialogWasShownWith) {
  DialogDesign p;
  p.d->normal_module = 4;
  const float shown_with[8] = {0.1f, 0.2f, 30, 40, 0.3f, 0.4f, 50, 60};
  float* fields[8] = {&p.d->edge_chamfer[0],       &p.d->edge_chamfer[1],       &p.d->edge_chamfer_angle[0],
                      &p.d->edge_chamfer_angle[1], &p.d->tip_chamfer[0],        &p.d->tip_chamfer[1],
                      &p.d->tip_chamfer_angle[0],  &p.d->tip_chamfer_angle[1]};
  for (int i = 0; i < 8; ++i) *fields[i] = shown_with[i];
  TChamferform form(*p.d);
  p.when_shown("Chamferform", [&](QDialog&) {
    type_into(form.Pinedgechamedit, "0.7", form.OKButton);
    type_into(form.wheeledgechamang, "20", form.OKButton);
    type_into(form.wheelchamedit, "0.9", form.OKButton);
    type_into(form.pintipchamferang, "70", form.OKButton);
    EXPECT_EQ(p.d->edge_chamfer[0], 0.7f);
    EXPECT_EQ(p.d->tip_chamfer_angle[0], 70.0f);
    form.wheeltipchamferang->setFocus(Qt::TabFocusReason);
    form.wheeltipchamferang->setText("80");  // still being typed when Cancel is pressed
    form.CancelButton->click();
  });
  p.scripted.show_modal(form);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(*fields[i], shown_with[i]) << i;
  EXPECT_TRUE(p.warnings().isEmpty());

  // OK keeps the entries, the one being typed included.
  p.when_shown("Chamferform", [&](QDialog&) {
    type_into(form.Pinedgechamedit, "0.7", form.OKButton);
    form.wheelchamedit->setFocus(Qt::TabFocusReason);
    form.wheelchamedit->setText("0.95");
    form.OKButton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.d->edge_chamfer[0], 0.7f);
  EXPECT_EQ(p.d->tip_chamfer[1], 0.95f);
}

TEST(ChamferForm, EnglishUnitsHoldTheSameBoundsInMillimetres) {
  DialogDesign p(2);
  p.d->normal_module = 2;
  p.d->edge_chamfer[0] = 0.5f;
  TChamferform form(*p.d);
  p.when_shown("Chamferform", [&](QDialog&) {
    EXPECT_EQ(form.unit_labels[2]->text(), "inch");
    EXPECT_EQ(form.unit_labels[3]->text(), "degrees");
    EXPECT_EQ(form.Pinedgechamedit->text(), "0.0197");
    EXPECT_EQ(form.Pinedgechamedit->toolTip(), "   0.01969");  // the inch value from the first showing
    type_into(form.wheelchamedit, "0.0196", form.OKButton);
    EXPECT_FLOAT_EQ(p.d->tip_chamfer[1], 0.0196f * 25.4f);
    type_into(form.wheelchamedit, "0.0197", form.OKButton);  // 0.50038 mm
    EXPECT_FLOAT_EQ(p.d->tip_chamfer[1], 0.0196f * 25.4f);
    type_into(form.pinedgechamang, "45", form.OKButton);  // angles are not converted
    EXPECT_EQ(p.d->edge_chamfer_angle[0], 45.0f);
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(p.warnings().size(), 1);
}
