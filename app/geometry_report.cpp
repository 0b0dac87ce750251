#include "geometry_report.h"

#include <cmath>
#include <string>

#include "main_window.h"
#include "numeric.h"

namespace morvell {

namespace {

// The English form of a length line: "(mm)" becomes "(inch)" and the values get four decimals.
std::string inch_format(std::string format) {
  for (std::size_t p; (p = format.find("(mm)")) != std::string::npos;) format.replace(p, 4, "(inch)");
  for (std::size_t p; (p = format.find("%-16.3f")) != std::string::npos;) format.replace(p, 7, "%-16.4f");
  return format;
}

class ReportWriter {
 public:
  ReportWriter(const DesignData& d, ResultsPane& pane)
      : pane_(pane), english_(d.unit_system == 2), length_(english_ ? ld(d.length_unit_factor) : 1) {}

  bool english() const { return english_; }

  void text(int line, const char* s) { pane_.set_line(line, s); }

  // A line printed as it stands in both unit systems.
  template <typename... Args>
  void same(int line, const char* format, Args... values) {
    pane_.set_line(line, format_line(format, values...));
  }

  // A line of lengths in mm: in English units the rule applies (inch, four decimals, values divided
  // by the length unit factor).
  void length(int line, const char* format, ld value) {
    if (english_) pane_.set_line(line, format_line(inch_format(format).c_str(), double(value / length_)));
    else pane_.set_line(line, format_line(format, double(value)));
  }
  void length(int line, const char* format, ld pinion, ld wheel) {
    if (english_)
      pane_.set_line(line, format_line(inch_format(format).c_str(), double(pinion / length_), double(wheel / length_)));
    else
      pane_.set_line(line, format_line(format, double(pinion), double(wheel)));
  }
  // A pair of lengths of both gears from two-element arrays.
  void lengths(int line, const char* format, const float (&v)[2]) { length(line, format, v[0], v[1]); }

 private:
  ResultsPane& pane_;
  bool english_;
  ld length_;
};

// Diameter on gear i at roll length g from its base circle.
ld diameter_at_roll(const DesignData& d, int i, ld g) {
  const ld db = d.base_diameter[i];
  return 2 * checked_sqrt(db * db / 4 + g * g);
}

}  // namespace

void write_geometry_report(const DesignData& d, ResultsPane& pane) {
  if (pane.has_focus()) pane.remove_line(ResultsPane::kLineCount);
  else pane.clear_lines(0, ResultsPane::kLineCount - 1);
  if (d.unit_system != 1 && d.unit_system != 2) return;

  ReportWriter w(d, pane);
  const bool en = w.english();
  const ld m = d.normal_module;
  const ld cos_beta = std::cos(deg_to_rad(d.helix_angle));
  const auto& dev0 = d.iso1328_deviations[0];
  const auto& dev1 = d.iso1328_deviations[1];
  auto deviation = [&](int line, const char* format, float GearDeviations::*field) {
    w.length(line, format, ld(dev0.*field) * 0.001L, ld(dev1.*field) * 0.001L);
  };

  w.text(0, "\t\t\t\tPINION  \t\tWHEEL");
  w.same(1, " Number of Teeth \t\t\t%-d\t\t%-d", d.teeth[0], d.teeth[1]);
  if (en) w.same(2, " Diametral Pitch (1/inch)\t\t\t%-16.4f", double(25.4L / m));
  else w.same(2, " Normal Module (mm)\t\t\t%-16.3f", double(d.normal_module));
  w.same(3, " Pressure Angle (degrees)\t\t\t%-16.3f", double(d.normal_pressure_angle));
  w.same(4, " Helix Angle (degrees)\t\t\t%-16.3f", double(d.helix_angle));
  if (d.helix_angle == 0) w.text(5, " Helix Hand \t\t\tN/A\t\tN/A");
  else if (d.helix_hand == 1) w.text(5, " Helix Hand \t\t\tleft\t\tright");
  else w.text(5, " Helix Hand \t\t\tright\t\tleft");
  w.lengths(6, " Reference Diameter (mm)\t\t%-16.3f\t%-16.3f", d.reference_diameter);
  w.same(7, " Addendum Modification Coeff.\t%-10.4f\t\t%-10.4f", double(d.profile_shift[0]),
         double(d.profile_shift[1]));
  w.lengths(8, " Outside Diameter (mm)\t\t%-16.3f\t%-16.3f", d.tip_diameter);
  w.lengths(9, " Outside Diameter Chamfer (mm)\t%-16.3f\t%-16.3f", d.tip_chamfer);
  w.lengths(10, " Root Diameter (mm)\t\t%-16.3f\t%-16.3f", d.root_diameter);
  w.lengths(11, " Root Fillet Radius (mm)\t\t%-16.3f\t%-16.3f", d.root_fillet_radius);
  w.length(12, " Centre Distance (mm)\t\t\t%-16.3f", d.centre_distance);
  w.lengths(13, " Face Width (mm)\t\t\t%-16.3f\t%-16.3f", d.face_width);
  w.lengths(14, " Edge Chamfer (mm) \t\t%-16.3f\t%-16.3f", d.edge_chamfer);
  w.lengths(15, " Form Diameter (mm)\t\t%-16.3f\t%-16.3f", d.form_diameter);
  w.lengths(16, " Base Diameter (mm)\t\t%-16.3f\t%-16.3f", d.base_diameter);
  w.lengths(18, " Thickness (nominal transverse) (mm)\t%-16.3f\t%-16.3f", d.thickness_nominal_transverse);
  w.lengths(19, " Thickness (nominal normal) (mm)    \t%-16.3f\t%-16.3f", d.thickness_nominal_normal);
  w.lengths(20, " Thickness (finished transverse) (mm)\t%-16.3f\t%-16.3f", d.thickness_finished_transverse);
  w.lengths(21, " Thickness (finished normal) (mm)    \t%-16.3f\t%-16.3f", d.thickness_finished_normal);
  if (en)
    w.same(22, " Measurement Over Balls(finished)(inch)\t%-16.4f\t%-16.4f",
           double(ld(d.ball_measurement_finished[0]) / d.length_unit_factor),
           double(ld(d.ball_measurement_finished[1]) / d.length_unit_factor));
  else
    w.same(22, " Measurement Over Balls(finished) (mm)\t%-16.3f\t%-16.3f", double(d.ball_measurement_finished[0]),
           double(d.ball_measurement_finished[1]));
  w.lengths(23, " Ball Diameter (mm)\t\t\t%-16.3f\t%-16.3f", d.ball_diameter);
  w.lengths(24, " Chordal Span (mm) (finished)\t\t%-16.3f\t%-16.3f", d.chordal_span_finished);
  w.same(25, " Number of Teeth to Span \t\t%-d\t\t%-d", d.span_teeth[0], d.span_teeth[1]);
  w.same(27, " Contact Ratio (Transverse) \t\t\t%-16.3f", double(d.transverse_contact_ratio));
  w.same(28, " Contact Ratio (Axial) \t\t\t%-16.3f", double(d.axial_contact_ratio));
  w.same(29, " Desired Ratio\t\t\t\t%-16.3f", double(d.desired_ratio));
  w.same(30, " Actual Ratio\t\t\t\t%-16.3f", double(d.actual_ratio));
  w.length(32, " Backlash (Transverse) (mm)\t\t\t%-16.3f", d.backlash_transverse);
  w.length(33, " Backlash (Normal) (mm)\t\t\t%-16.3f", d.backlash_normal);
  w.length(34, " Backlash (Radial) (mm)\t\t\t%-16.3f", d.backlash_radial);
  w.length(35, " Backlash (Transverse circular) (mm)\t\t%-16.3f", d.backlash_transverse_circular);
  w.length(36, " Backlash (Normal Circular) (mm)\t\t%-16.3f", d.backlash_normal_circular);
  w.lengths(38, " Start of active Profile Diameter (mm)\t%-16.3f\t%-16.3f", d.sap_diameter);
  w.length(39, " Lowest Single Tooth Contact (mm)\t%-16.3f\t%-16.3f",
           diameter_at_roll(d, 0, d.lowest_single_contact_roll_pinion),
           diameter_at_roll(d, 1, d.lowest_single_contact_roll_wheel));
  w.length(40, " Highest Single Tooth Contact (mm)\t%-16.3f\t%-16.3f",
           diameter_at_roll(d, 0, d.highest_single_contact_roll_pinion),
           diameter_at_roll(d, 1, d.highest_single_contact_roll_wheel));
  w.lengths(41, " End of Active Profile Diameter (mm)\t%-16.3f\t%-16.3f", d.eap_diameter);
  w.same(43, " Transverse Pressure Angle (deg)\t\t%-16.3f", double(d.transverse_pressure_angle));
  if (en) w.same(44, " Transverse DP (1/inch)\t\t\t%-16.4f", double(25.4L * cos_beta / m));
  else w.same(44, " Transverse Module (mm)\t\t\t%-16.3f", double(m / cos_beta));
  if (en)
    w.same(46, " Working Pitch Diameter (inch)        \t%-16.4f\t%-16.4f",
           double(ld(d.working_pitch_diameter[0]) / d.length_unit_factor),
           double(ld(d.working_pitch_diameter[1]) / d.length_unit_factor));
  else
    w.same(46, " Working Pitch Diameter (mm)\t\t%-16.3f\t%-16.3f", double(d.working_pitch_diameter[0]),
           double(d.working_pitch_diameter[1]));
  w.same(47, " Working Normal Pressure Angle (deg)\t\t%-16.3f", double(d.working_normal_pressure_angle));
  w.same(48, " Working Transverse Pressure Angle (deg)\t%-16.3f", double(d.working_transverse_pressure_angle));
  w.same(49, " Working Helix Angle (deg)\t\t\t%-16.3f", double(d.working_helix_angle));
  w.length(51, " Face Width Offset (mm)\t\t\t%-16.3f", d.face_width_offset);
  w.length(52, " Active Face Width(mm)\t\t\t%-16.3f", d.active_face_width);
  w.length(54, " Base Radius to Form Radius (mm)\t%-16.3f\t%-16.3f",
           (ld(d.form_diameter[0]) - d.base_diameter[0]) / 2, (ld(d.form_diameter[1]) - d.base_diameter[1]) / 2);
  w.length(55, " Form Radius to SAP Radius (mm)\t%-16.3f\t%-16.3f",
           (ld(d.sap_diameter[0]) - d.form_diameter[0]) / 2, (ld(d.sap_diameter[1]) - d.form_diameter[1]) / 2);
  // Dimensionless quotients: the same values in both unit systems ("/ Module" is "* DP" in inch).
  const ld a = d.centre_distance;
  const double clearance[2] = {double((a - ld(d.root_diameter[0]) / 2 - ld(d.tip_diameter[1]) / 2) / m),
                               double((a - ld(d.root_diameter[1]) / 2 - ld(d.tip_diameter[0]) / 2) / m)};
  const double eap[2] = {double(ld(d.eap_thickness_normal[0]) / m), double(ld(d.eap_thickness_normal[1]) / m)};
  const double tip[2] = {double(ld(d.tip_thickness_normal[0]) / m), double(ld(d.tip_thickness_normal[1]) / m)};
  const double fillet[2] = {double(ld(d.root_fillet_radius[0]) / m), double(ld(d.root_fillet_radius[1]) / m)};
  if (en) {
    w.same(56, " Bottom Clearance * DP     \t\t%-16.3f\t%-16.3f", clearance[0], clearance[1]);
    w.same(57, " Normal EAP Thickness * DP    \t%-16.3f\t%-16.3f", eap[0], eap[1]);
    w.same(58, " Normal O.D. Thickness * DP    \t%-16.3f\t%-16.3f", tip[0], tip[1]);
    w.same(59, " Root Fillet Radius * DP    \t\t%-16.3f\t%-16.3f", fillet[0], fillet[1]);
  } else {
    w.same(56, " Bottom Clearance / Module \t\t%-16.3f\t%-16.3f", clearance[0], clearance[1]);
    w.same(57, " Normal EAP Thickness / Module\t%-16.3f\t%-16.3f", eap[0], eap[1]);
    w.same(58, " Normal O.D. Thickness / Module\t%-16.3f\t%-16.3f", tip[0], tip[1]);
    w.same(59, " Root Fillet Radius / Module\t\t%-16.3f\t%-16.3f", fillet[0], fillet[1]);
  }
  w.same(61, " Base Helix Angle (degrees)\t\t\t%-16.3f", double(d.base_helix_angle));
  w.length(62, " Normal Base Pitch (mm) \t\t\t%-16.3f", d.normal_base_pitch);
  w.length(63, " Transverse Base Pitch (mm)\t\t\t%-16.3f", d.transverse_base_pitch);
  w.text(64, "  ");
  w.same(65, " ISO Quality grade \t\t\t%-d\t\t%-d", d.iso_grade[0], d.iso_grade[1]);
  deviation(66, " Single radial composite deviation (mm)\t%-16.3f\t%-16.3f", &GearDeviations::f_i2);
  deviation(67, " Total radial composite deviation (mm)\t%-16.3f\t%-16.3f", &GearDeviations::F_i2);
  deviation(68, " Single pitch deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::f_pt);
  deviation(69, " Total cumulative pitch deviation (mm) \t%-16.3f\t%-16.3f", &GearDeviations::F_p);
  deviation(70, " Single tangential comp. deviation (mm)\t%-16.3f\t%-16.3f", &GearDeviations::f_i1);
  deviation(71, " Total tangential comp. deviation (mm)\t%-16.3f\t%-16.3f", &GearDeviations::F_i1);
  deviation(72, " Profile form deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::f_f_alpha);
  deviation(73, " Profile slope deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::f_H_alpha);
  deviation(74, " Total profile deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::F_alpha);
  deviation(75, " Helix form deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::f_f_beta);
  deviation(76, " Helix slope deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::f_H_beta);
  deviation(77, " Total helix deviation (mm) \t\t%-16.3f\t%-16.3f", &GearDeviations::F_beta);
  if (en) {
    const ld f = d.force_unit_factor;
    w.same(79, " Tangential force (lbf)    \t\t\t%-16.3f", double(ld(d.tangential_force) / f));
    w.same(80, " Radial force (lbf)\t\t\t\t%-16.3f", double(ld(d.radial_force) / f));
    w.same(81, " Axial force (lbf)\t\t\t\t%-16.3f", double(ld(d.axial_force) / f));
  } else {
    w.same(79, " Tangential force (N)    \t\t\t%-16.3f", double(d.tangential_force));
    w.same(80, " Radial force (N)\t\t\t\t%-16.3f", double(d.radial_force));
    w.same(81, " Axial force (N)\t\t\t\t%-16.3f", double(d.axial_force));
  }
}

void TMainForm::mainform_report() {
  ResultsPane pane(mainresults);
  write_geometry_report(d_, pane);
}

}  // namespace morvell
