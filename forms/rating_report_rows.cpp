#include "rating_report_rows.h"

#include <algorithm>

#include "numeric.h"
#include "rating.h"
#include "report_line_writer.h"

namespace morvell {

namespace {

// What a value is divided by for the English units (in metric units it is printed as held).
enum class RatingUnit {
  none,
  stress,     // MPa to psi
  length,     // mm to inch, and um to thousandths of an inch
  stiffness,  // N/(mm um) to lbf/(inch thou)
  angle,      // held in radians, printed in degrees in both unit systems
};

// The design-data field of a row: one value, or a pinion-wheel pair held as an array or in two fields.
struct RatingField {
  float DesignData::*pinion = nullptr;  // the value, or the pinion's
  float DesignData::*wheel = nullptr;   // the wheel's, held apart
  float (DesignData::*pair)[2] = nullptr;

  float value(const DesignData& d, int gear) const {
    if (pair) return (d.*pair)[gear];
    return gear == 0 ? d.*pinion : d.*wheel;
  }
  bool two() const { return pair || wheel; }
};

constexpr RatingField one(float DesignData::*value) { return {value, nullptr, nullptr}; }
constexpr RatingField both(float DesignData::*pinion, float DesignData::*wheel) { return {pinion, wheel, nullptr}; }
constexpr RatingField both(float (DesignData::*pair)[2]) { return {nullptr, nullptr, pair}; }

struct RatingRow {
  int line;             // line of the rating details report
  RatingField field;
  const char* metric;
  const char* english;  // nullptr: the metric text
  RatingUnit unit;
};

using D = DesignData;

// The row of the rating details report between the contact and the bending rows, where the sentence on a
// dynamic factor outside its method's range stands.
constexpr int kRangeNoticeRow = 25;
constexpr RatingUnit kNone = RatingUnit::none, kStress = RatingUnit::stress, kLength = RatingUnit::length,
                     kStiffness = RatingUnit::stiffness, kAngle = RatingUnit::angle;

const RatingRow kRatingRows[] = {
    {1, one(&D::zone_factor), "Zone Factor \t\tZH\t\t %-16.3f", nullptr, kNone},
    {2, one(&D::elasticity_factor), "Elasticity Factor \t\tZE\t\t %-16.3f", nullptr, kNone},
    {3, one(&D::contact_ratio_factor), "Contact Ratio Factor \tZEpsilon\t\t %-16.3f", nullptr, kNone},
    {4, one(&D::helix_angle_factor_contact), "Helix Angle Factor \t\tZbeta\t\t %-16.3f", nullptr, kNone},
    {5, both(&D::nominal_contact_stress, &D::nominal_contact_stress),
     "Nominal Contact Stress (MPa)\tSigmaHO\t %-16.3f\t%-16.3f", "Nominal Contact Stress(psi)\tSigmaHO\t %-16.0f\t%-16.0f",
     kStress},
    {6, both(&D::single_pair_contact_factor), "Single Tooth Pair Cont. Fact. \tZB,ZD\t %-16.3f\t%-16.3f", nullptr,
     kNone},
    {7, one(&D::dynamic_factor), "Dynamic Factor \t\tKV\t\t %-16.3f", nullptr, kNone},
    {8, one(&D::running_in_allowance_helix), "Running in Allowance (um)\tyBeta\t\t %-16.3f",
     "Running in Allowance (thou) \tyBeta\t\t %-16.3f", kLength},
    {9, one(&D::effective_misalignment), "Effective Equiv. Misal.(um)\tFBetay\t\t %-16.3f",
     "Effective Equiv. Misal.(thou) \tFBetay\t\t %-16.3f", kLength},
    {10, one(&D::single_pair_stiffness), "Single Pair Stiff.(N/mm/um)\tcdash\t\t %-16.3f",
     "Single Pair Stiff.(lbf/inch/thou)\tcdash\t\t %-16.3f", kStiffness},
    {11, one(&D::mesh_stiffness), "Mesh Stiffness (N/mm/um)\tcgamma\t\t %-16.3f",
     "Mesh Stiffness (lbf/inch/thou)\tcgamma\t\t %-16.3f", kStiffness},
    {12, one(&D::face_load_factor_contact), "Load Dist. Fact. Cont. \tKHbeta\t\t %-16.3f", nullptr, kNone},
    {13, one(&D::running_in_allowance_profile), "Running in Allowance (um)\tyalpha\t\t %-16.3f",
     "Running in Allowance (thou)\tyalpha\t\t %-16.3f", kLength},
    {14, one(&D::transverse_load_factor_contact), "Trans. Load Dist. Fact. Cont.\tKHalpha\t\t %-16.3f", nullptr, kNone},
    {15, both(&D::contact_stress), "Actual Cont. Stress \t\tSigmaH\t %-16.3f\t%-16.3f",
     "Actual Cont. Stress \t\tSigmaH\t %-16.0f\t%-16.0f", kStress},
    {16, one(&D::lubricant_factor), "Lubrication Factor \t\tZL\t\t %-16.3f", nullptr, kNone},
    {17, one(&D::velocity_factor), "Velocity Factor \t\tZV\t\t %-16.3f", nullptr, kNone},
    {18, one(&D::roughness_factor), "Roughness Factor \t\tZR\t\t %-16.3f", nullptr, kNone},
    {19, one(&D::work_hardening_factor), "Work Hardening Factor \tZW\t\t %-16.3f", nullptr, kNone},
    {20, one(&D::size_factor_contact), "Size Factor \t\tZX\t\t %-16.3f", nullptr, kNone},
    {21, both(&D::life_factor_contact), "Life Factor Contact\t\tZNT\t %-16.3f\t%-16.3f", nullptr, kNone},
    {22, both(&D::permissible_contact_stress), "Permissible Cont. Stress \tSigmaHP\t %-16.3f\t%-16.3f",
     "Permissible Cont. Stress \tSigmaHP\t %-16.0f\t%-16.0f", kStress},
    {23, both(&D::sigma_hlim), "Contact Stress Number \t \"  \"  Hlim\t %-16.3f\t%-16.3f",
     "Contact Stress Number \t \"  \"  Hlim\t %-16.0f\t%-16.0f", kStress},
    {24, both(&D::contact_safety_factor), "Contact Safety Factor \tSH\t %-16.3f\t%-16.3f", nullptr, kNone},

    {26, both(&D::bending_face_width), "Facewidth for bending (mm)\tsb\t %-16.3f\t%-16.3f",
     "Facewidth for bending (inch)\tsb\t %-16.4f\t%-16.4f", kLength},
    {27, both(&D::root_chord_thickness_pinion, &D::root_chord_thickness_wheel),
     "Root Chord Thickness (mm)\tsFn\t %-16.3f\t%-16.3f", "Root Chord Thickness (inch)\tsFn\t %-16.4f\t%-16.4f", kLength},
    {28, both(&D::critical_fillet_radius_pinion, &D::critical_fillet_radius_wheel),
     "Critical Point Fillet Rad.(mm)\trhof \t %-16.3f\t%-16.3f",
     "Critical Point Fillet Rad. (inch)\trhof \t %-16.4f\t%-16.4f", kLength},
    {29, both(&D::bending_lever_arm_pinion, &D::bending_lever_arm_wheel), "Lever Arm (mm) \t\thFe\t %-16.3f\t%-16.3f",
     "Lever Arm (inch)\t\thFe\t %-16.4f\t%-16.4f", kLength},
    // The rating holds the two angles in radians; they are printed in degrees.
    {30, both(&D::load_direction_angle_pinion, &D::load_direction_angle_wheel),
     "Load Direction Angle (deg)\talphaFen\t %-16.3f\t%-16.3f", nullptr, kAngle},
    {31, both(&D::load_centre_angle_pinion, &D::load_centre_angle_wheel),
     "Load Centre Angle (deg)\tgammae\t %-16.3f\t%-16.3f", nullptr, kAngle},
    {32, both(&D::form_factor_pinion, &D::form_factor_wheel), "Form Factor\t\tYF\t %-16.3f\t%-16.3f", nullptr, kNone},
    {33, both(&D::stress_correction_factor_pinion, &D::stress_correction_factor_wheel),
     "Stress Concentration Factor \tYS\t %-16.3f\t%-16.3f", nullptr, kNone},
    {34, one(&D::helix_angle_factor_bending), "Helix Angle Factor \t\tYbeta\t\t %-16.3f", nullptr, kNone},
    {35, both(&D::nominal_bending_stress_pinion, &D::nominal_bending_stress_wheel),
     "Nominal Bending Stress \tSigmaFO\t %-16.3f\t%-16.3f", "Nominal Bending Stress \tSigmaFO\t %-16.0f\t%-16.0f",
     kStress},
    {36, one(&D::face_load_factor_bending), "Load Dist. Fact. Bend. \tKFbeta\t\t %-16.3f", nullptr, kNone},
    {37, one(&D::transverse_load_factor_bending), "Trans. Load Dist. Fact. Bend.\tKFalpha\t\t %-16.3f", nullptr, kNone},
    {38, both(&D::tooth_root_stress_pinion, &D::tooth_root_stress_wheel),
     "Actual Bend. Stress\t\tSigmaF\t %-16.3f\t%-16.3f", "Actual Bend. Stress\t\tSigmaF\t %-16.0f\t%-16.0f", kStress},
    {39, both(&D::test_gear_stress_correction_factor_pinion, &D::test_gear_stress_correction_factor_wheel),
     "Stress Concentration Factor \tYST\t %-16.3f\t%-16.3f", nullptr, kNone},
    {40, both(&D::relative_notch_sensitivity_factor_pinion, &D::relative_notch_sensitivity_factor_wheel),
     "Relative Notch Sens. Fact. \tYdrelt\t %-16.3f\t%-16.3f", nullptr, kNone},
    {41, both(&D::relative_surface_factor_pinion, &D::relative_surface_factor_wheel),
     "Relative Surface Factor \tYRrelt\t %-16.3f\t%-16.3f", nullptr, kNone},
    {42, both(&D::size_factor_bending_pinion, &D::size_factor_bending_wheel), "Size Factor \t\tYX\t %-16.3f\t%-16.3f",
     nullptr, kNone},
    {43, both(&D::life_factor_bending), "Life Factor Bending \tYNT\t %-16.3f\t%-16.3f",
     "Life Factor Bending \t\tYNT\t %-16.3f\t%-16.3f", kNone},
    {44, both(&D::permissible_bending_stress_pinion, &D::permissible_bending_stress_wheel),
     "Permissible Bend. Stress \tSigmaFP\t %-16.3f\t%-16.3f", "Permissible Bend. Stress \tSigmaFP\t %-16.0f\t%-16.0f",
     kStress},
    {45, both(&D::sigma_flim), "Bending Stress Number\t \"   \"  Flim\t %-16.3f\t%-16.3f",
     "Bending Stress Number\t \"   \"  Flim\t %-16.0f\t%-16.0f", kStress},
    {46, both(&D::bending_safety_factor_pinion, &D::bending_safety_factor_wheel),
     "Bending Safety Factor \tSF\t %-16.3f\t%-16.3f", nullptr, kNone},
};

}  // namespace

void write_rating_rows(ReportLineWriter& w, const DesignData& d, int line_offset,
                       std::span<const RatingRowTexts> texts) {
  const bool en = d.unit_system == 2;
  // Display divisors; in metric units every value is printed as held.
  const ld stress = en ? ld(d.stress_unit_factor) : 1;
  const ld length = en ? ld(d.length_unit_factor) : 1;
  const ld force = en ? ld(d.force_unit_factor) : 1;
  auto shown = [&](float v, RatingUnit unit) -> ld {
    switch (unit) {
      case RatingUnit::stress:
        return v / stress;
      case RatingUnit::length:
        return v / length;
      case RatingUnit::stiffness:
        return ld(v) / force * length * length;
      case RatingUnit::angle:
        return rad_to_deg(ld(v));
      default:
        return v;
    }
  };
  const std::string range_notice = dynamic_factor_range_notice(d);
  bool notice_written = false;
  for (const RatingRow& row : kRatingRows) {
    const int line = row.line + line_offset;
    const char* metric = row.metric;
    const char* english = row.english;
    const auto own = std::find_if(texts.begin(), texts.end(), [&](const RatingRowTexts& t) { return t.line == line; });
    if (own != texts.end()) {
      if (own->metric) metric = own->metric;
      if (own->english) english = own->english;
    }
    const char* text = en && english ? english : metric;
    if (row.line > kRangeNoticeRow && !notice_written) {
      if (!range_notice.empty()) w.text(kRangeNoticeRow + line_offset, range_notice.c_str());
      notice_written = true;
    }
    if (row.field.two())
      w.two(line, text, shown(row.field.value(d, 0), row.unit), shown(row.field.value(d, 1), row.unit));
    else
      w.one(line, text, shown(row.field.value(d, 0), row.unit));
  }
}

namespace {
constexpr const char* kRangeNoticeStart = "Dynamic Factor KV ";
constexpr const char* kRangeNoticeMiddle = " outside its method's range: ";
}  // namespace

void clear_stale_range_notices(ResultsPane& pane, const ReportLines& lines) {
  for (int i = 0; i < pane.line_count(); ++i) {
    const std::string text = pane.line(i);
    if (text.rfind(kRangeNoticeStart, 0) != 0 || text.find(kRangeNoticeMiddle) == std::string::npos) continue;
    const bool written = std::any_of(lines.begin(), lines.end(), [i](const ReportLine& l) { return l.index == i; });
    if (!written) pane.clear_lines(i, i);
  }
}

std::string dynamic_factor_range_notice(const DesignData& d) {
  if (!dynamic_factor_outside_its_range(d)) return {};
  const bool en = d.unit_system == 2;
  ReportLines line;
  const ld unit = en ? ld(d.velocity_unit_factor) : 1.0L;
  ReportLineWriter(line).two(
      0,
      en ? "Dynamic Factor KV %.3f outside its method's range: z1 v/100 (u^2/(1+u^2))^0.5 = %.3f ft/s"
         : "Dynamic Factor KV %.3f outside its method's range: z1 v/100 (u^2/(1+u^2))^0.5 = %.3f m/s",
      d.dynamic_factor, ld(d.dynamic_speed_term) / unit);
  return line.front().text + format_line(", not below %.5g", double(ld(kDynamicFactorSpeedTermLimit) / unit));
}

}  // namespace morvell
