#include "search_report.h"

#include <cmath>
#include <limits>
#include <string>

#include "numeric.h"
#include "rating_report_rows.h"
#include "results_pane.h"

namespace morvell {

namespace {

// The diameter at roll length r from the base circle of diameter d_b.
ld roll_diameter(float base_diameter, float roll) {
  return 2.0L * std::sqrt(0.25L * ld(base_diameter) * base_diameter + ld(roll) * roll);
}

// The rating rows stand 94 lines lower than in the rating details report (on lines 95 to 140); these
// read in this report's own wording.
constexpr int kSearchRatingRowsOffset = 94;
const RatingRowTexts kSearchRatingTexts[] = {
    {99, "Nominal Contact Stress(MPa)\tSigmaHO\t %-16.3f\t%-16.3f", nullptr},
    {102, nullptr, "Running in Allowance (thou)\tyBeta\t\t %-16.4f"},
    {103, "Effective Equiv. Misal.(um) \tFBetay\t\t %-16.3f", "Effective Equiv. Misal.(thou) \tFBetay\t\t %-16.4f"},
    {106, "Load Dist. Fact.(Cont.) \tKHbeta\t\t %-16.3f", nullptr},
    {107, nullptr, "Running in Allowance (thou)\tyalpha\t\t %-16.4f"},
    {108, "Trans. Load Dist. Fact.(Cont.)\tKHalpha\t\t %-16.3f", nullptr},
    {115, "Life Factor(Contact)\t\tZNT\t %-16.3f\t%-16.3f", nullptr},
    {120, nullptr, "Facewidth for bending (inch) \tsb\t %-16.4f\t%-16.4f"},
    {121, "Root Chord Thickness  (mm)\tsFn\t %-16.3f\t%-16.3f", nullptr},
    {122, nullptr, "Critical Point Fillet Rad.(inch)\trhof \t %-16.4f\t%-16.4f"},
    {123, "Lever Arm  (mm)\t\thFe\t %-16.3f\t%-16.3f", nullptr},
    {130, "Load Dist. Fact.(Bend.) \tKFbeta\t\t %-16.3f", nullptr},
    {131, "Trans. Load Dist. Fact.(Bend.)\tKFalpha\t\t %-16.3f", nullptr},
    {137, "Life Factor(Bending) \tYNT\t %-16.3f\t%-16.3f", "Life Factor(Bending) \tYNT\t %-16.3f\t%-16.3f"},
};

}  // namespace

ReportLines search_report_lines(const DesignData& d) {
  ReportLines out;
  if (d.unit_system != 1 && d.unit_system != 2) return out;
  ReportLineWriter w(out);
  const bool en = d.unit_system == 2;
  auto pick = [en](const char* metric, const char* english) { return en ? english : metric; };
  const ld length = en ? ld(d.length_unit_factor) : 1;
  const ld stress = en ? ld(d.stress_unit_factor) : 1;
  const ld force = en ? ld(d.force_unit_factor) : 1;
  auto len2 = [&](int line, const char* metric, const char* english, const float (&v)[2]) {
    w.two(line, pick(metric, english), v[0] / length, v[1] / length);
  };

  // --- Head ---
  w.text(0, "\t\t\t\t PINION  \t\tWHEEL");
  w.two_integers(1, "Number of Teeth \t\t\t%-d\t\t%-d", d.teeth[0], d.teeth[1]);
  if (en)
    w.one(2, "Diametral Pitch (1/inch)\t\t\t%-16.4f", 1.0L / d.normal_module * 25.4L);
  else
    w.one(2, "Normal Module (mm)\t\t\t%-16.3f", d.normal_module);
  w.one(3, "Pressure Angle (degrees)\t\t\t%-16.3f", d.normal_pressure_angle);
  w.one(4, "Helix Angle (degrees)\t\t\t%-16.3f", d.helix_angle);
  // A rated design's safety factors that rest on a dynamic factor beyond its method's range: said above
  // them (and among the rating rows below).
  const bool rated = d.transverse_contact_ratio > 1.0f;
  if (rated) {
    const std::string range_notice = dynamic_factor_range_notice(d);
    if (!range_notice.empty()) w.text(5, range_notice.c_str());
  }
  w.two(6, "Contact Safety Factor \tSH\t%-16.3f\t%-16.3f", d.contact_safety_factor[0], d.contact_safety_factor[1]);
  w.two(7,
        pick("Nominal Contact Stress(MPa)\tSigmaHO\t%-16.3f\t%-16.3f",
             "Nominal Contact Stress(psi)\tSigmaHO\t%-16.0f\t%-16.0f"),
        d.nominal_contact_stress / stress, d.nominal_contact_stress / stress);
  w.two(8,
        pick("Actual Cont. Stress \t\tSigmaH\t%-16.3f\t%-16.3f", "Actual Cont. Stress \t\tSigmaH\t%-16.0f\t%-16.0f"),
        d.contact_stress[0] / stress, d.contact_stress[1] / stress);
  w.two(10, "Bending Safety Factor \tSF\t%-16.3f\t%-16.3f", d.bending_safety_factor_pinion,
        d.bending_safety_factor_wheel);
  w.two(11,
        pick("Nominal Bending Stress\tSigmaFO\t%-16.3f\t%-16.3f", "Nominal Bending Stress\tSigmaFO\t%-16.0f\t%-16.0f"),
        d.nominal_bending_stress_pinion / stress, d.nominal_bending_stress_wheel / stress);
  w.two(12,
        pick("Actual Bend. Stress\t\tSigmaF\t%-16.3f\t%-16.3f", "Actual Bend. Stress\t\tSigmaF\t%-16.0f\t%-16.0f"),
        d.tooth_root_stress_pinion / stress, d.tooth_root_stress_wheel / stress);
  w.one(14, "Contact Ratio (Transverse) \t\t\t%-16.3f", d.transverse_contact_ratio);
  w.one(15, "Contact Ratio (Axial) \t\t\t%-16.3f", d.axial_contact_ratio);

  // --- Full details ---
  w.text(17, "FULL DETAILS");
  w.text(19, d.helix_hand == 1 ? "Helix Hand \t\t\tleft\t\tright" : "Helix Hand \t\t\tright\t\tleft");
  len2(20, "Reference Diameter (mm)\t\t%-16.3f\t%-16.3f", "Reference Diameter (inch)\t\t%-16.4f\t%-16.4f",
       d.reference_diameter);
  w.two(21, "Addendum Modification Coeff.\t\t%-16.4f\t%-16.4f", d.profile_shift[0], d.profile_shift[1]);
  len2(22, "Outside Diameter (mm)\t\t%-16.3f\t%-16.3f", "Outside Diameter (inch)\t\t%-16.4f\t%-16.4f", d.tip_diameter);
  len2(23, "Outside Diameter Chamfer (mm)\t%-16.3f\t%-16.3f", "Outside Diameter Chamfer (inch)\t%-16.4f\t%-16.4f",
       d.tip_chamfer);
  len2(24, "Root Diameter (mm)   \t\t%-16.3f\t%-16.3f", "Root Diameter (inch)   \t\t%-16.4f\t%-16.4f",
       d.root_diameter);
  len2(25, "Root Fillet Radius (mm)\t\t%-16.3f\t%-16.3f", "Root Fillet Radius (inch)\t\t%-16.4f\t%-16.4f",
       d.root_fillet_radius);
  w.one(26, pick("Centre Distance (mm)\t\t\t%-16.3f", "Centre Distance (inch)\t\t\t%-16.4f"),
        d.centre_distance / length);
  len2(27, "Face Width (mm)\t\t\t%-16.3f\t%-16.3f", "Face Width (inch)\t\t\t%-16.4f\t%-16.4f", d.face_width);
  len2(28, "Edge Chamfer (mm)      \t\t%-16.3f\t%-16.3f", "Edge Chamfer (inch)      \t\t%-16.4f\t%-16.4f",
       d.edge_chamfer);
  len2(29, "Form Diameter (mm)   \t\t%-16.3f\t%-16.3f", "Form Diameter (inch)   \t\t%-16.4f\t%-16.4f",
       d.form_diameter);
  len2(30, "Base Diameter (mm)   \t\t%-16.3f\t%-16.3f", "Base Diameter (inch)   \t\t%-16.4f\t%-16.4f",
       d.base_diameter);
  len2(32, "Thickness (nominal transverse) (mm)\t%-16.3f\t%-16.3f",
       "Thickness (nominal transverse) (inch)\t%-16.4f\t%-16.4f", d.thickness_nominal_transverse);
  len2(33, "Thickness (nominal normal) (mm)    \t%-16.3f\t%-16.3f",
       "Thickness (nominal normal) (inch)    \t%-16.4f\t%-16.4f", d.thickness_nominal_normal);
  len2(34, "Thickness (finished transverse) (mm)\t%-16.3f\t%-16.3f",
       "Thickness (finished transverse) (inch)\t%-16.4f\t%-16.4f", d.thickness_finished_transverse);
  len2(35, "Thickness (finished normal) (mm)    \t%-16.3f\t%-16.3f",
       "Thickness (finished normal) (inch)    \t%-16.4f\t%-16.4f", d.thickness_finished_normal);
  len2(36, "Measurement Over Balls(finished) (mm)\t%-16.3f\t%-16.3f",
       "Measurement Over Balls(finished) (inch)\t%-16.4f\t%-16.4f", d.ball_measurement_finished);
  len2(37, "Ball Diameter (mm)    \t\t%-16.3f\t%-16.3f", "Ball Diameter (inch)    \t\t%-16.4f\t%-16.4f",
       d.ball_diameter);
  len2(38, "Chordal Span (mm) (finished)\t\t%-16.3f\t%-16.3f", "Chordal Span (inch) (finished)\t\t%-16.4f\t%-16.4f",
       d.chordal_span_finished);
  w.two_integers(39, "Number of Teeth to Span \t\t%-d\t\t%-d", d.span_teeth[0], d.span_teeth[1]);
  w.one(41, "Desired Ratio\t\t\t\t%-16.3f", d.desired_ratio);
  w.one(42, "Actual Ratio\t\t\t\t%-16.3f", d.actual_ratio);
  w.one(44, pick("Backlash (Transverse) (mm)\t\t\t%-16.3f", "Backlash (Transverse) (inch)\t\t\t%-16.4f"),
        d.backlash_transverse / length);
  w.one(45, pick("Backlash (Normal) (mm)\t\t\t%-16.3f", "Backlash (Normal) (inch)\t\t\t%-16.4f"),
        d.backlash_normal / length);
  w.one(46, pick("Backlash (Radial) (mm)\t\t\t%-16.3f", "Backlash (Radial) (inch)\t\t\t%-16.4f"),
        d.backlash_radial / length);
  w.one(47,
        pick("Backlash (Transverse circular) (mm)\t\t%-16.3f", "Backlash (Transverse circular) (inch)\t\t%-16.4f"),
        d.backlash_transverse_circular / length);
  w.one(48, pick("Backlash (Normal Circular) (mm)\t\t%-16.3f", "Backlash (Normal Circular) (inch)\t\t%-16.4f"),
        d.backlash_normal_circular / length);
  len2(50, "Start of active Profile Diameter (mm)\t%-16.3f\t%-16.3f",
       "Start of active Profile Diameter (inch)\t%-16.4f\t%-16.4f", d.sap_diameter);
  w.two(51,
        pick("Lowest Single Tooth Contact (mm)\t%-16.3f\t%-16.3f", "Lowest Single Tooth Contact (inch)\t%-16.4f\t%-16.4f"),
        roll_diameter(d.base_diameter[0], d.lowest_single_contact_roll_pinion) / length,
        roll_diameter(d.base_diameter[1], d.lowest_single_contact_roll_wheel) / length);
  w.two(52,
        pick("Highest Single Tooth Contact (mm)\t%-16.3f\t%-16.3f",
             "Highest Single Tooth Contact (inch)\t%-16.4f\t%-16.4f"),
        roll_diameter(d.base_diameter[0], d.highest_single_contact_roll_pinion) / length,
        roll_diameter(d.base_diameter[1], d.highest_single_contact_roll_wheel) / length);
  len2(53, "End of Active Profile Diameter (mm)\t%-16.3f\t%-16.3f",
       "End of Active Profile Diameter (inch)\t%-16.4f\t%-16.4f", d.eap_diameter);
  w.one(55, "Transverse Pressure Angle (deg)\t\t%-16.3f", d.transverse_pressure_angle);
  {
    const ld m_t = ld(d.normal_module) / std::cos(deg_to_rad_double_pi(d.helix_angle));
    if (en)
      w.one(56, "Transverse DP (1/inch)\t\t\t%-16.4f", 1.0L / m_t * 25.4L);
    else
      w.one(56, "Transverse Module (mm)\t\t\t%-16.3f", m_t);
  }
  len2(58, "Working Pitch Diameter (mm)\t\t%-16.3f\t%-16.3f", "Working Pitch Diameter (inch)\t\t%-16.4f\t%-16.4f",
       d.working_pitch_diameter);
  w.one(59, "Working Normal Pressure Angle (deg)\t\t%-16.3f", d.working_normal_pressure_angle);
  w.one(60, "Working Transverse Pressure Angle (deg)\t%-16.3f", d.working_transverse_pressure_angle);
  w.one(61, "Working Helix Angle (deg)\t\t\t%-16.3f", d.working_helix_angle);
  w.one(63, pick("Face Width Offset (mm)\t\t\t%-16.3f", "Face Width Offset (inch)\t\t\t%-16.4f"),
        d.face_width_offset / length);
  w.one(64, pick("Active Face Width(mm)\t\t\t%-16.3f", "Active Face Width(inch)\t\t\t%-16.4f"),
        d.active_face_width / length);
  w.two(66,
        pick("Base Radius to Form Radius (mm)\t%-16.3f\t%-16.3f", "Base Radius to Form Radius (inch)\t%-16.4f\t%-16.4f"),
        (ld(d.form_diameter[0]) - d.base_diameter[0]) * 0.5L / length,
        (ld(d.form_diameter[1]) - d.base_diameter[1]) * 0.5L / length);
  w.two(67,
        pick("Form Radius to SAP Radius (mm)\t%-16.3f\t%-16.3f", "Form Radius to SAP Radius (inch)\t%-16.4f\t%-16.4f"),
        (ld(d.sap_diameter[0]) - d.form_diameter[0]) * 0.5L / length,
        (ld(d.sap_diameter[1]) - d.form_diameter[1]) * 0.5L / length);
  w.two(68, "Bottom Clearance / Module \t\t%-16.3f\t%-16.3f",
        (ld(d.centre_distance) - 0.5L * d.root_diameter[0] - 0.5L * d.tip_diameter[1]) / d.normal_module,
        (ld(d.centre_distance) - 0.5L * d.root_diameter[1] - 0.5L * d.tip_diameter[0]) / d.normal_module);
  w.two(69, "Normal EAP Thickness / Module\t%-16.3f\t%-16.3f", ld(d.eap_thickness_normal[0]) / d.normal_module,
        ld(d.eap_thickness_normal[1]) / d.normal_module);
  w.two(70, "Normal O.D. Thickness / Module\t%-16.3f\t%-16.3f", ld(d.tip_thickness_normal[0]) / d.normal_module,
        ld(d.tip_thickness_normal[1]) / d.normal_module);
  w.two(71, "Root Fillet Radius / Module\t\t%-16.3f\t%-16.3f", ld(d.root_fillet_radius[0]) / d.normal_module,
        ld(d.root_fillet_radius[1]) / d.normal_module);
  w.one(73, "Base Helix Angle (degrees)\t\t\t%-16.3f", d.base_helix_angle);
  w.one(74, pick("Normal Base Pitch (mm) \t\t\t%-16.3f", "Normal Base Pitch (inch) \t\t\t%-16.4f"),
        d.normal_base_pitch / length);
  w.one(75, pick("Transverse Base Pitch (mm)\t\t\t%-16.3f", "Transverse Base Pitch (inch)\t\t\t%-16.4f"),
        d.transverse_base_pitch / length);
  w.text(76, " ");
  w.two_integers(77, "ISO Quality grade \t\t\t%-d\t\t%-d", d.iso_grade[0], d.iso_grade[1]);
  {
    // Deviations are held in micrometres: 0.001 x gives millimetres.
    const GearDeviations& p = d.iso1328_deviations[0];
    const GearDeviations& q = d.iso1328_deviations[1];
    auto dev = [&](int line, const char* metric, const char* english, float GearDeviations::*f) {
      w.two(line, pick(metric, english), 0.001L * (p.*f) / length, 0.001L * (q.*f) / length);
    };
    dev(78, "Single radial composite deviation (mm)\t%-16.3f\t%-16.3f",
        "Single radial composite deviation (inch)\t%-16.4f\t%-16.4f", &GearDeviations::f_i2);
    dev(79, "Total radial composite deviation (mm)\t%-16.3f\t%-16.3f",
        "Total radial composite deviation (inch)\t%-16.4f\t%-16.4f", &GearDeviations::F_i2);
    dev(80, "Single pitch deviation (mm) \t\t%-16.3f\t%-16.3f", "Single pitch deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::f_pt);
    dev(81, "Total cumulative pitch deviation (mm) \t%-16.3f\t%-16.3f",
        "Total cumulative pitch deviation (inch) \t%-16.4f\t%-16.4f", &GearDeviations::F_p);
    dev(82, "Single tangential comp. deviation (mm)\t%-16.3f\t%-16.3f",
        "Single tangential comp. deviation (inch)\t%-16.4f\t%-16.4f", &GearDeviations::f_i1);
    dev(83, "Total tangential comp. deviation (mm)\t%-16.3f\t%-16.3f",
        "Total tangential comp. deviation (inch)\t%-16.4f\t%-16.4f", &GearDeviations::F_i1);
    dev(84, "Profile form deviation (mm) \t\t%-16.3f\t%-16.3f", "Profile form deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::f_f_alpha);
    dev(85, "Profile slope deviation (mm) \t\t%-16.3f\t%-16.3f", "Profile slope deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::f_H_alpha);
    dev(86, "Total profile deviation (mm) \t\t%-16.3f\t%-16.3f", "Total profile deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::F_alpha);
    dev(87, "Helix form deviation (mm) \t\t%-16.3f\t%-16.3f", "Helix form deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::f_f_beta);
    dev(88, "Helix slope deviation (mm) \t\t%-16.3f\t%-16.3f", "Helix slope deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::f_H_beta);
    dev(89, "Total helix deviation (mm) \t\t%-16.3f\t%-16.3f", "Total helix deviation (inch) \t\t%-16.4f\t%-16.4f",
        &GearDeviations::F_beta);
  }
  w.one(91, pick("Tangential force (N)\t\t\t\t%-16.3f", "Tangential force (lbf)     \t\t\t%-16.3f"),
        d.tangential_force / force);
  w.one(92, pick("Radial force (N)\t\t\t\t%-16.3f", "Radial force (lbf)\t\t\t\t%-16.3f"), d.radial_force / force);
  w.one(93, pick("Axial force (N)\t\t\t\t%-16.3f", "Axial force (lbf)\t\t\t\t%-16.3f"), d.axial_force / force);

  // --- Rating factors ---
  if (!rated) {
    w.text(95, "Rating not run (Transverse contact ratio <1.0)");
    return out;
  }
  write_rating_rows(w, d, kSearchRatingRowsOffset, kSearchRatingTexts);
  return out;
}

void write_search_report(const DesignData& d, ResultsPane& pane) {
  const ReportLines lines = search_report_lines(d);
  if (pane.has_focus()) {
    pane.remove_line(kSearchReportPaneLines);
    clear_stale_range_notices(pane, lines);
  } else {
    pane.clear_lines(0, kSearchReportPaneLines - 1);
  }
  for (const ReportLine& line : lines) pane.set_line(line.index, line.text);
}

}  // namespace morvell
