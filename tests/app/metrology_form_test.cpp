// The tooth-thickness measurement window: a typed finished measurement or span sets the finished
// thickness and the backlash, refused entries with their warning, the use-default boxes, Cancel and
// the other ways of closing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "inspection_test_support.h"
#include "measurement.h"
#include "metrology_form.h"
#include "numeric.h"
#include "results_pane.h"

using namespace morvell;
using namespace morvell::inspection_testing;

namespace {

float snapshot_values(const DesignData& d, int k) {
  const float values[8] = {d.thickness_finished_transverse[0], d.thickness_finished_transverse[1],
                           float(d.span_teeth[0]), float(d.span_teeth[1]), d.ball_diameter[0], d.ball_diameter[1],
                           d.backlash_normal, d.backlash_distribution};
  return values[k];
}

}  // namespace

TEST(MetrologyForm, TypedFinishedMeasurementSetsThicknessAndBacklashThroughTheClosingPass) {
  struct Case {
    bool span;
    int gear;
    int unit_system;
  };
  for (const Case c : {Case{false, 0, 1}, Case{false, 1, 2}, Case{true, 0, 2}, Case{true, 1, 1}}) {
    SCOPED_TRACE(::testing::Message() << "span " << c.span << " gear " << c.gear << " units " << c.unit_system);
    InspectionDesign p(c.unit_system);
    DesignData& d = *p.d;
    const int i = c.gear, other = 1 - c.gear;
    const float other_thickness = d.thickness_finished_transverse[other];
    // The entry for a finished thickness 0.05 mm below the nominal one, in display units.
    const float target = d.thickness_nominal_transverse[i] - 0.05f;
    float contact = 0, centre = 0, ball = d.ball_diameter[i];
    const double measured =
        c.span ? span_measurement(d.span_teeth[i], d.teeth[i], target, d.normal_module, d.helix_angle,
                                  d.normal_pressure_angle, &contact)
               : measurement_over_balls(d, d.teeth[i], &ball, target, d.normal_module, d.helix_angle,
                                        d.normal_pressure_angle, d.tip_diameter[i], &contact, &centre);
    const QString entry = QString::number(measured / d.length_unit_factor, 'f', 6);
    const float typed = float(entry.toDouble() * d.length_unit_factor);
    const float implied = c.span ? thickness_from_span(d.span_teeth[i], d.teeth[i], d.normal_module, d.helix_angle,
                                                      d.normal_pressure_angle, typed)
                                 : thickness_from_ball_measurement(d.teeth[i], typed, d.ball_diameter[i],
                                                                   d.normal_module, d.helix_angle,
                                                                   d.normal_pressure_angle);
    Tmetrologyform form(d);
    QLineEdit* box = c.span ? (i == 0 ? form.chordspan1finedit : form.chordspan2finedit)
                            : (i == 0 ? form.measball1finedit : form.measball2finedit);
    p.when_shown("metrologyform", [&](QDialog&) {
      type_into(box, entry, form.OKbutton);
      EXPECT_EQ(d.thickness_finished_transverse[i], implied);
      EXPECT_NEAR(d.backlash_transverse_circular,
                  (ld(d.thickness_nominal_transverse[0]) - d.thickness_finished_transverse[0]) +
                      (ld(d.thickness_nominal_transverse[1]) - d.thickness_finished_transverse[1]),
                  2e-6);
      form.OKbutton->click();
    });
    p.scripted.show_modal(form);
    EXPECT_TRUE(p.warnings().isEmpty());
    // After the closing geometry pass: the finished thickness stands, the other gear's is untouched,
    // and the backlash holds both thinnings.
    EXPECT_NEAR(d.thickness_finished_transverse[i], implied, 2e-6);
    EXPECT_NEAR(d.thickness_finished_transverse[other], other_thickness, 2e-6);
    EXPECT_NEAR(d.backlash_transverse_circular,
                (d.thickness_nominal_transverse[0] - d.thickness_finished_transverse[0]) +
                    (d.thickness_nominal_transverse[1] - d.thickness_finished_transverse[1]),
                2e-6);
    EXPECT_GT(d.backlash_normal, 0.04f);
    const float finished = c.span ? d.chordal_span_finished[i] : d.ball_measurement_finished[i];
    EXPECT_NEAR(finished, typed, 1e-4 * d.normal_module);
    EXPECT_EQ(d.plot_zoom, 1);
    EXPECT_EQ(d.plot_pan_y, 0);
  }
}

TEST(MetrologyForm, RefusedEntriesRestoreWithTheirWarning) {
  InspectionDesign p;
  DesignData& d = *p.d;
  d.default_ball_diameter = 0;
  d.default_span_teeth = 0;
  calc_gear_geometry(d);
  Tmetrologyform form(d);
  struct Case {
    QLineEdit* Tmetrologyform::*box;
    const char* text;
    bool accepted;
  };
  const float nominal_ball = d.ball_measurement_nominal[0];
  const QString above_nominal = QString::number(nominal_ball + 0.05, 'f', 4);  // a thicker tooth
  const Case cases[] = {
      {&Tmetrologyform::measball1finedit, "1", false},     // the balls cannot reach the flanks
      {&Tmetrologyform::measball1finedit, "abc", false},   // no number reads as 0
      {&Tmetrologyform::chordspan2finedit, "1e6", false},  // a tooth far thicker than the nominal one
      {&Tmetrologyform::balldia1edit, "0", false},         // a ball of no size
      {&Tmetrologyform::balldia2edit, "-3", false},
      {&Tmetrologyform::balldia2edit, "100", false},  // sits on the tips
      {&Tmetrologyform::balldia1edit, "0.1", false},  // enlarged by the measurement, still below the form circle
      {&Tmetrologyform::N1edit, "0", false},          // a span over no tooth
      {&Tmetrologyform::N2edit, "-2", false},
      {&Tmetrologyform::N2edit, "1e12", false},       // too large for a whole number
      {&Tmetrologyform::N1edit, "2.9", true},         // truncated to 2, within form and EAP
  };
  p.when_shown("metrologyform", [&](QDialog&) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      DesignData before = d;
      const int warnings = int(p.warnings().size());
      QLineEdit* box = form.*c.box;
      type_into(box, c.text, form.OKbutton);
      ASSERT_EQ(p.warnings().size(), warnings + (c.accepted ? 0 : 1));
      if (c.accepted) continue;
      EXPECT_EQ(p.warnings().back(), "Value is out of range\n \n ");
      EXPECT_EQ(form.focusWidget(), box);
      for (int g = 0; g < 2; ++g) {
        EXPECT_EQ(d.ball_diameter[g], before.ball_diameter[g]);
        EXPECT_EQ(d.span_teeth[g], before.span_teeth[g]);
        EXPECT_EQ(d.thickness_finished_transverse[g], before.thickness_finished_transverse[g]);
        EXPECT_EQ(d.ball_measurement_finished[g], before.ball_measurement_finished[g]);
        EXPECT_EQ(d.chordal_span_finished[g], before.chordal_span_finished[g]);
      }
      EXPECT_EQ(d.backlash_normal, before.backlash_normal);
      EXPECT_EQ(d.default_ball_diameter, 0);
      EXPECT_FALSE(form.defaultballdiacheckbox->isChecked());
      form.OKbutton->setFocus(Qt::TabFocusReason);
    }
    EXPECT_EQ(d.span_teeth[0], 2);
    EXPECT_EQ(form.N1edit->text(), "2");
    // A typed box whose text is left as it was computes nothing.
    const DesignData before = d;
    type_into(form.measball2finedit, form.measball2finedit->text(), form.OKbutton);
    EXPECT_EQ(d.thickness_finished_transverse[1], before.thickness_finished_transverse[1]);
    // A measurement giving a thicker tooth than the nominal one is refused.
    type_into(form.measball1finedit, above_nominal, form.OKbutton);
    EXPECT_EQ(p.warnings().back(), "Value is out of range\n \n ");
  });
  p.scripted.show_modal(form);
}

TEST(MetrologyForm, CancelRestoresTheTenValuesAndTheCloseBoxKeepsTheEdits) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "Cancel" : "close box");
    InspectionDesign p;
    DesignData& d = *p.d;
    const DesignData shown = d;
    Tmetrologyform form(d);
    p.when_shown("metrologyform", [&](QDialog&) {
      EXPECT_TRUE(form.defaultballdiacheckbox->isChecked());
      EXPECT_TRUE(form.balldia1edit->isReadOnly());
      form.defaultballdiacheckbox->click();  // unchecked: typed ball diameters
      form.defaultteethcheckbox->click();
      EXPECT_FALSE(form.balldia2edit->isReadOnly());
      EXPECT_EQ(d.default_ball_diameter, 0);
      EXPECT_EQ(d.default_span_teeth, 0);
      type_into(form.balldia2edit, QString::number(d.ball_diameter[1] * 1.05, 'f', 4), form.OKbutton);
      type_into(form.N1edit, QString::number(d.span_teeth[0] + 1), form.OKbutton);
      type_into(form.measball2finedit, QString::number(d.ball_measurement_nominal[1] - 0.05, 'f', 4),
                form.OKbutton);
      EXPECT_TRUE(p.warnings().isEmpty()) << p.warnings().join("|").toStdString();
      if (cancel)
        form.cancelbutton->click();
      else
        form.close();
    });
    p.scripted.show_modal(form);
    ASSERT_FALSE(form.isVisible());
    if (cancel) {
      for (int k = 0; k < 8; ++k) EXPECT_EQ(snapshot_values(d, k), snapshot_values(shown, k)) << k;
      EXPECT_EQ(d.default_ball_diameter, 1);
      EXPECT_EQ(d.default_span_teeth, 1);
      // The closing pass works everything out again from the restored values.
      EXPECT_EQ(d.ball_measurement_finished[1], shown.ball_measurement_finished[1]);
      EXPECT_EQ(d.chordal_span_finished[0], shown.chordal_span_finished[0]);
      EXPECT_EQ(d.backlash_transverse_circular, shown.backlash_transverse_circular);
    } else {
      EXPECT_EQ(d.default_ball_diameter, 0);
      EXPECT_EQ(d.span_teeth[0], shown.span_teeth[0] + 1);
      EXPECT_NEAR(d.ball_diameter[1], shown.ball_diameter[1] * 1.05, 1e-4);
      EXPECT_LT(d.thickness_finished_transverse[1], shown.thickness_finished_transverse[1]);
    }
  }
}

TEST(MetrologyForm, DefaultBoxesResetBothGearsAndShowingChangesNothing) {
  InspectionDesign p;
  DesignData& d = *p.d;
  Tmetrologyform form(d);
  p.when_shown("metrologyform", [&](QDialog&) {
    form.defaultballdiacheckbox->click();
    type_into(form.balldia1edit, QString::number(d.ball_diameter[0] * 1.1, 'f', 4), form.OKbutton);
    EXPECT_NE(d.ball_diameter[0], float(1.8L * d.normal_module));
    form.defaultballdiacheckbox->click();  // checked again: both gears back to 1.8 m_n
    EXPECT_EQ(d.ball_diameter[0], float(1.8L * d.normal_module));
    EXPECT_EQ(d.ball_diameter[1], d.ball_diameter[0]);
    EXPECT_EQ(d.default_ball_diameter, 1);
    EXPECT_TRUE(form.balldia1edit->isReadOnly());
    form.defaultballdiacheckbox->click();  // left unchecked on close
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(d.default_ball_diameter, 0);

  // Shown again with the flag set elsewhere while the box is still unchecked: the box follows the flag
  // and no value changes.
  d.default_ball_diameter = 1;
  d.ball_diameter[0] = d.ball_diameter[1] = 3.5f;
  p.when_shown("metrologyform", [&](QDialog&) {
    EXPECT_TRUE(form.defaultballdiacheckbox->isChecked());
    EXPECT_EQ(d.ball_diameter[0], 3.5f);
    EXPECT_EQ(form.betab1edit->text(), form.betab2edit->text());
    EXPECT_EQ(form.unitsball->text(), "mm");
    EXPECT_EQ(form.unitsbasebeta->text(), "degrees");
    // The pressure angle on the ball-centre circle.
    const double expected = std::acos(double(d.base_diameter[0]) / d.ball_centre_diameter_finished[0]) * 180 / M_PI;
    EXPECT_NEAR(form.pa1edit->toolTip().toDouble(), expected, 1e-4);
  });
  p.scripted.show_modal(form);
}
