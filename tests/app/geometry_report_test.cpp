// The geometry report: every line of a design whose values are set by hand, in metric and English
// units, against golden texts (golden.h); the unit-dependent lines and
// the clearing rules on their own.
#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <limits>
#include <string>

#include "design_data.h"
#include "geometry_report.h"
#include "golden.h"
#include "results_pane.h"
#include "startup_values.h"

using namespace morvell;
using morvell::testing::expect_golden;

namespace {

// A helical pair with a distinct value in every field the report reads.
DesignData report_design(int unit_system) {
  DesignData d;
  d.unit_system = unit_system;
  set_unit_factors(d);
  d.teeth[0] = 23;
  d.teeth[1] = 32;
  d.normal_module = 2.25f;
  d.normal_pressure_angle = 20;
  d.helix_angle = 27.88f;
  d.helix_hand = 1;
  const float pairs[][2] = {{58.49f, 81.38f}, {63.62f, 84.26f}, {0.1f, 0.2f}, {53.23f, 75.02f}, {0.68f, 0.67f},
                            {17.5f, 17.25f}, {0.5f, 0.75f}, {55.1f, 77.3f}, {54.12f, 75.89f}};
  for (int i = 0; i < 2; ++i) {
    d.reference_diameter[i] = pairs[0][i];
    d.tip_diameter[i] = pairs[1][i];
    d.tip_chamfer[i] = pairs[2][i];
    d.root_diameter[i] = pairs[3][i];
    d.root_fillet_radius[i] = pairs[4][i];
    d.face_width[i] = pairs[5][i];
    d.edge_chamfer[i] = pairs[6][i];
    d.form_diameter[i] = pairs[7][i];
    d.base_diameter[i] = pairs[8][i];
  }
  d.profile_shift[0] = 0.25f;
  d.profile_shift[1] = -0.25f;
  d.centre_distance = 70;
  d.thickness_nominal_transverse[0] = 4.321f;
  d.thickness_nominal_transverse[1] = 3.456f;
  d.thickness_nominal_normal[0] = 3.822f;
  d.thickness_nominal_normal[1] = 3.057f;
  d.thickness_finished_transverse[0] = 4.2f;
  d.thickness_finished_transverse[1] = 3.3f;
  d.thickness_finished_normal[0] = 3.71f;
  d.thickness_finished_normal[1] = 2.92f;
  d.ball_measurement_finished[0] = 66.543f;
  d.ball_measurement_finished[1] = 88.765f;
  d.ball_diameter[0] = 4.0f;
  d.ball_diameter[1] = 3.969f;
  d.chordal_span_finished[0] = 20.111f;
  d.chordal_span_finished[1] = 27.222f;
  d.span_teeth[0] = 3;
  d.span_teeth[1] = 4;
  d.transverse_contact_ratio = 1.389f;
  d.axial_contact_ratio = 1.165f;
  d.desired_ratio = 1.5f;
  d.actual_ratio = 1.3913f;
  d.backlash_transverse = 0.1f;
  d.backlash_normal = 0.088f;
  d.backlash_radial = 0.137f;
  d.backlash_transverse_circular = 0.106f;
  d.backlash_normal_circular = 0.094f;
  d.sap_diameter[0] = 55.8f;
  d.sap_diameter[1] = 78.1f;
  d.lowest_single_contact_roll_pinion = 6.5f;
  d.highest_single_contact_roll_pinion = 9.5f;
  d.lowest_single_contact_roll_wheel = 11.5f;
  d.highest_single_contact_roll_wheel = 14.5f;
  d.eap_diameter[0] = 63.42f;
  d.eap_diameter[1] = 83.86f;
  d.transverse_pressure_angle = 22.38f;
  d.working_pitch_diameter[0] = 58.55f;
  d.working_pitch_diameter[1] = 81.45f;
  d.working_normal_pressure_angle = 20.12f;
  d.working_transverse_pressure_angle = 22.51f;
  d.working_helix_angle = 27.9f;
  d.face_width_offset = 0.25f;
  d.active_face_width = 17.0f;
  d.eap_thickness_normal[0] = 1.45f;
  d.eap_thickness_normal[1] = 1.62f;
  d.tip_thickness_normal[0] = 1.3f;
  d.tip_thickness_normal[1] = 1.5f;
  d.base_helix_angle = 26.1f;
  d.normal_base_pitch = 6.642f;
  d.transverse_base_pitch = 7.395f;
  d.iso_grade[0] = 6;
  d.iso_grade[1] = 7;
  for (int i = 0; i < 2; ++i) {
    GearDeviations& g = d.iso1328_deviations[i];
    const float k = i == 0 ? 1.0f : 1.4f;
    g.f_pt = 8.5f * k;
    g.F_p = 27 * k;
    g.F_alpha = 11 * k;
    g.f_f_alpha = 8.5f * k;
    g.f_H_alpha = 7 * k;
    g.F_i2 = 39 * k;
    g.f_i2 = 12 * k;
    g.F_beta = 15 * k;
    g.f_f_beta = 11 * k;
    g.f_H_beta = 10.5f * k;
    g.f_i1 = 19 * k;
    g.F_i1 = 46 * k;
  }
  d.tangential_force = 6838.5f;
  d.radial_force = 2813.25f;
  d.axial_force = 3620.75f;
  return d;
}

std::string report_text(const DesignData& d) {
  QTextEdit view;
  ResultsPane pane(&view);
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line_count(), 100);
  return pane.text();
}

}  // namespace

TEST(GeometryReport, MetricLinesMatchTheReviewedReport) { expect_golden(report_text(report_design(1)), "geometry_report_metric.txt"); }

TEST(GeometryReport, EnglishLinesMatchTheReviewedReport) {
  expect_golden(report_text(report_design(2)), "geometry_report_english.txt");
}

TEST(GeometryReport, UnitDependentLines) {
  QTextEdit view;
  ResultsPane pane(&view);
  DesignData d = report_design(2);
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line(2), " Diametral Pitch (1/inch)\t\t\t11.2889         ");           // 25.4 / 2.25
  EXPECT_EQ(pane.line(66), " Single radial composite deviation (inch)\t0.0005          \t0.0007          ");
  EXPECT_EQ(pane.line(12), " Centre Distance (inch)\t\t\t2.7559          ");
  EXPECT_EQ(pane.line(79), " Tangential force (lbf)    \t\t\t1537.433        ");  // 6838.5 / 4.448
  EXPECT_EQ(pane.line(56).rfind(" Bottom Clearance * DP     \t\t", 0), 0u);
  EXPECT_EQ(pane.line(5), " Helix Hand \t\t\tleft\t\tright");

  // A spur pair, right-hand pinion in metric: no hand, transverse module = normal module.
  d = report_design(1);
  d.helix_angle = 0;
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line(5), " Helix Hand \t\t\tN/A\t\tN/A");
  EXPECT_EQ(pane.line(44), " Transverse Module (mm)\t\t\t2.250           ");
  d.helix_angle = 10;
  d.helix_hand = -1;
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line(5), " Helix Hand \t\t\tright\t\tleft");
}

TEST(GeometryReport, ClearingRules) {
  QTextEdit view;
  view.show();
  ResultsPane pane(&view);
  DesignData d = report_design(1);
  pane.set_line(17, "left from another report");
  pane.set_line(99, "left from another report");

  // With the focus in the pane, the lines the report does not write keep their text.
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  view.setFocus();
  ASSERT_TRUE(pane.has_focus());
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line(17), "left from another report");
  EXPECT_EQ(pane.line(99), "left from another report");
  EXPECT_EQ(pane.line(0), "\t\t\t\tPINION  \t\tWHEEL");

  // Without it every line is emptied first; another unit system only clears.
  view.clearFocus();
  ASSERT_FALSE(pane.has_focus());
  d.unit_system = 3;
  write_geometry_report(d, pane);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(pane.line(i), "") << i;
  EXPECT_EQ(pane.line_count(), 100);
}

TEST(GeometryReport, ValuesThatAreNotNumbersPrintShort) {
  QTextEdit view;
  ResultsPane pane(&view);
  DesignData d = report_design(1);
  d.helix_angle = 0;
  d.eap_thickness_normal[0] = std::numeric_limits<float>::quiet_NaN();
  d.axial_contact_ratio = std::numeric_limits<float>::infinity();
  d.tangential_force = std::numeric_limits<float>::max();
  write_geometry_report(d, pane);
  EXPECT_EQ(pane.line(57), " Normal EAP Thickness / Module\tnan             \t0.720           ");
  EXPECT_EQ(pane.line(28), " Contact Ratio (Axial) \t\t\tinf             ");
  EXPECT_EQ(pane.line(79).size(), std::string(" Tangential force (N)    \t\t\t").size() + 43);
}
