// The tooth-thickness measurement window: a typed finished measurement or span sets the finished
// thickness and the backlash, refused entries with their warning, the use-default boxes, Cancel and
// the other ways of closing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "dialog_test_support.h"
#include "finished_teeth.h"
#include "measurement.h"
#include "metrology_form.h"
#include "numeric.h"
#include "results_pane.h"

using namespace morvell;
using namespace morvell::testing;

namespace {

float snapshot_values(const DesignData& d, int k) {
  const float values[8] = {d.thickness_finished_transverse[0], d.thickness_finished_transverse[1],
                           float(d.span_teeth[0]), float(d.span_teeth[1]), d.ball_diameter[0], d.ball_diameter[1],
                           d.backlash_normal, d.backlash_distribution};
  return values[k];
}

}  // namespace

// A pair with a shift sum, whose working pressure angle lies well away from the transverse one: the
// backlash on the working pitch circle is that of an own model of the finished teeth (finished_teeth.h),
// not the sum of the thinnings on the reference circles, which it equals only where both angles agree.
TEST(MetrologyForm, TypedFinishedMeasurementSetsThicknessAndBacklashThroughTheClosingPass) {
  struct Case {
    bool span;
    int gear;
    int unit_system;
  };
  for (const Case c : {Case{false, 0, 1}, Case{false, 1, 2}, Case{true, 0, 2}, Case{true, 1, 1}}) {
    SCOPED_TRACE(::testing::Message() << "span " << c.span << " gear " << c.gear << " units " << c.unit_system);
    DialogDesign p(c.unit_system);
    DesignData& d = *p.d;
    d.shift_distribution_auto = 0;
    d.profile_shift[0] = 0.5f;
    d.profile_shift_sum = 0.7f;
    calc_gear_geometry(d);
    ASSERT_GT(d.working_transverse_pressure_angle - d.transverse_pressure_angle, 1.5f);
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
      EXPECT_NEAR(d.backlash_transverse_circular, backlash_of_the_teeth(d).circular, 3e-5);
      form.OKbutton->click();
    });
    p.scripted.show_modal(form);
    EXPECT_TRUE(p.warnings().isEmpty());
    // After the closing geometry pass: the finished thickness stands, the other gear's is untouched,
    // and the backlash is that of the finished teeth.
    EXPECT_NEAR(d.thickness_finished_transverse[i], implied, 2e-6);
    EXPECT_NEAR(d.thickness_finished_transverse[other], other_thickness, 2e-6);
    EXPECT_NEAR(d.backlash_transverse_circular, backlash_of_the_teeth(d).circular, 3e-5);
    EXPECT_NEAR(d.backlash_normal, backlash_of_the_teeth(d).normal, 3e-5);
    EXPECT_GT(d.backlash_normal, 0.04f);
    const float finished = c.span ? d.chordal_span_finished[i] : d.ball_measurement_finished[i];
    EXPECT_NEAR(finished, typed, 1e-4 * d.normal_module);
    EXPECT_EQ(d.plot_zoom, 1);
    EXPECT_EQ(d.plot_pan_y, 0);
  }
}

TEST(MetrologyForm, RefusedEntriesRestoreWithTheirWarning) {
  DialogDesign p;
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
      {&Tmetrologyform::N1edit, "2", false},          // touches the 23-tooth pinion below its form circle
      {&Tmetrologyform::N1edit, "3.9", true},         // truncated to 3, within form and EAP
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
    EXPECT_EQ(d.span_teeth[0], 3);
    EXPECT_EQ(form.N1edit->text(), "3");
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

TEST(MetrologyForm, CancelRestoresTheTenValuesAndOKKeepsTheEdits) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "Cancel" : "OK");
    DialogDesign p;
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
        form.OKbutton->click();
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
  DialogDesign p;
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

namespace {

// A pair on the standard rack (addendum 1, dedendum 1.25, fillet 0.38 times the module) with the module
// fixed and the shifts entered.
void standard_pair(DesignData& d, int z1, int z2, float m, float x1, float x2) {
  d.teeth[0] = z1;
  d.teeth[1] = z2;
  d.actual_ratio = d.desired_ratio = float(z2) / z1;
  d.normal_module = m;
  d.helix_angle = 0;
  d.shift_distribution_auto = 0;
  d.profile_shift[0] = x1;
  d.profile_shift_sum = x1 + x2;
  const float x[2] = {x1, x2};
  for (int g = 0; g < 2; ++g) {
    d.addendum[g] = (1 + x[g]) * m;
    d.dedendum[g] = (1.25f - x[g]) * m;
    d.root_fillet_radius[g] = 0.38f * m;
  }
  calc_gear_geometry(d);
  calc_gear_geometry(d);
}

}  // namespace

// A typed ball too small to reach the flanks would be enlarged by the measurement, which then marks the
// balls as default ones: the entry is refused instead, and neither gear's ball changes, also through OK
// and the closing pass (11/65 at module 34.1014: a pinion ball of 17.0507 once showed as 41.035 and left
// both balls at 61.3825 after OK, the wheel's typed 64.793 gone).
TEST(MetrologyForm, BallTooSmallForTheFlanksIsRefusedAndNoBallChanges) {
  DialogDesign p;
  DesignData& d = *p.d;
  standard_pair(d, 11, 65, 34.1014f, 0, 0);
  Tmetrologyform form(d);
  p.when_shown("metrologyform", [&](QDialog&) {
    form.defaultballdiacheckbox->click();  // typed balls
    ASSERT_EQ(d.default_ball_diameter, 0);
    type_into(form.balldia2edit, "64.793", form.OKbutton);
    ASSERT_TRUE(p.warnings().isEmpty()) << p.warnings().join("|").toStdString();
    const float pinion_ball = d.ball_diameter[0], wheel_ball = d.ball_diameter[1];
    EXPECT_NEAR(wheel_ball, 64.793f, 1e-4f);
    type_into(form.balldia1edit, "17.0507", form.OKbutton);
    EXPECT_EQ(p.warnings(), QStringList{"Value is out of range\n \n "});
    EXPECT_EQ(form.focusWidget(), form.balldia1edit);
    EXPECT_EQ(d.ball_diameter[0], pinion_ball);
    EXPECT_EQ(d.ball_diameter[1], wheel_ball);
    EXPECT_EQ(d.default_ball_diameter, 0);
    EXPECT_FALSE(form.defaultballdiacheckbox->isChecked());
    EXPECT_FALSE(form.balldia1edit->isReadOnly());
    form.OKbutton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_NEAR(d.ball_diameter[1], 64.793f, 1e-4f);
  EXPECT_EQ(d.ball_diameter[0], float(1.8L * d.normal_module));
  EXPECT_EQ(d.default_ball_diameter, 0);
}

// "(Use Default)" of the teeth spanned follows the geometry pass's rule, at least one tooth: the pinion
// of 7/40 at module 2 with x1 = -0.2 spans one tooth, with a positive span, through OK.
TEST(MetrologyForm, DefaultTeethSpannedAreAtLeastOne) {
  DialogDesign p;
  DesignData& d = *p.d;
  standard_pair(d, 7, 40, 2, -0.2f, 0.2f);
  Tmetrologyform form(d);
  p.when_shown("metrologyform", [&](QDialog&) {
    form.defaultteethcheckbox->click();  // unchecked: both gears get the default first
    EXPECT_EQ(d.span_teeth[0], 1);
    EXPECT_EQ(form.N1edit->text(), "1");
    EXPECT_GT(d.chordal_span_finished[0], 0);
    form.defaultteethcheckbox->click();  // checked again
    EXPECT_EQ(d.span_teeth[0], 1);
    form.OKbutton->click();
  });
  p.scripted.show_modal(form);
  EXPECT_EQ(d.span_teeth[0], 1);
  EXPECT_GT(d.chordal_span_finished[0], 0);
  // The span over one tooth of a spur gear is the tooth's thickness on the base circle, d_b (s / d + inv alpha).
  const double alpha = 20 * M_PI / 180, db = 14 * std::cos(alpha);
  EXPECT_NEAR(d.chordal_span_finished[0],
              db * (d.thickness_finished_transverse[0] / 14 + std::tan(alpha) - alpha), 1e-5);
}

// A chosen ball or span that does not fit the tooth (as the design now stands) has no measurement: its
// boxes read "n/a", with the reason as their hint; the other gear's stay numbers.
TEST(MetrologyForm, AMeasurementThatDoesNotFitShowsNotAvailableWithItsReason) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.default_ball_diameter = 0;
  d.default_span_teeth = 0;
  d.ball_diameter[1] = 0.5f * d.ball_diameter[1];  // drops onto the base circle of the wheel
  d.span_teeth[0] = 2;                             // touches the pinion below its form circle
  calc_gear_geometry(d);
  ASSERT_TRUE(std::isnan(d.ball_measurement_finished[1]));
  ASSERT_TRUE(std::isnan(d.chordal_span_finished[0]));
  Tmetrologyform form(d);
  p.when_shown("metrologyform", [&](QDialog&) {
    // The boxes that take an entry keep only numbers: they stand empty, with the reason.
    EXPECT_EQ(form.measball2edit->text(), "n/a");
    EXPECT_EQ(form.ball2contactdiaedit->text(), "n/a");
    EXPECT_EQ(form.measball2finedit->text(), "");
    EXPECT_EQ(form.measball2finedit->toolTip(), "Not available: it does not reach the tooth flanks");
    EXPECT_EQ(form.chordspan1edit->text(), "n/a");
    EXPECT_EQ(form.chordspan1finedit->toolTip(), "Not available: it touches the flank below the form diameter");
    EXPECT_NE(form.measball1finedit->text(), "n/a");
    EXPECT_NE(form.chordspan2finedit->text(), "n/a");
  });
  p.scripted.show_modal(form);
}
