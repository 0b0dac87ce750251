#include "report_lines.h"

#include <cmath>
#include <limits>
#include <string>

#include "material_table.h"
#include "numeric.h"
#include "rating_report_rows.h"
#include "results_pane.h"

namespace morvell {

namespace {

void not_run(ReportLineWriter& w, int first_line) {
  w.text(first_line, kRatingNotRunLines[0]);
  w.text(first_line + 1, kRatingNotRunLines[1]);
}

// The values of one gear's material block of the details report.
struct MaterialBlock {
  int first_line;
  const char* heading;
  int material_type;
  float poisson_ratio, elastic_modulus, yield_stress, tensile_stress;
  bool limited_pitting;
  float sigma_h_static, nl_static_contact, sigma_h_pit, nl_pit_contact, sigma_hlim, nl_lim_contact, sigma_h_inf,
      nl_inf_contact;
  float sigma_f_static, nl_static_bending, sigma_flim, nl_lim_bending, sigma_f_inf, nl_inf_bending;
  // Texts that differ between the pinion's and the wheel's block.
  const char* contact_heading_metric;
  const char* contact_heading_english;
  const char* bending_heading_english;
  const char* elastic_modulus_english;
  const char* tensile_stress_english;
};

void material_block(ReportLineWriter& w, const MaterialBlock& b, bool english, ld stress) {
  const int l = b.first_line;
  const char* point = english ? "%-16.0f\t\t%-16.3e" : "%-16.3f\t\t%-16.3e";
  w.text(l, b.heading);
  w.text(l + 1, material_report_name(b.material_type));
  w.one(l + 2, "Poissons ratio \t\t%-16.3f", b.poisson_ratio);
  w.one(l + 3, english ? b.elastic_modulus_english : "Elastic modulus (MPa)\t%-16.3e", b.elastic_modulus / stress);
  w.one(l + 4, english ? "Yield stress (psi) \t\t%-16.0f" : "Yield stress (MPa) \t\t%-16.3f", b.yield_stress / stress);
  w.one(l + 5, english ? b.tensile_stress_english : "Tensile stress (MPa) \t%-16.3f", b.tensile_stress / stress);
  w.text(l + 7, english ? b.contact_heading_english : b.contact_heading_metric);
  w.two(l + 8, point, b.sigma_h_static / stress, b.nl_static_contact);
  if (b.limited_pitting) w.two(l + 9, point, b.sigma_h_pit / stress, b.nl_pit_contact);
  w.two(l + 10, point, b.sigma_hlim / stress, b.nl_lim_contact);
  w.two(l + 11, point, b.sigma_h_inf / stress, b.nl_inf_contact);
  w.text(l + 13, english ? b.bending_heading_english : "Bending Stress (MPa)        \tCycles");
  w.two(l + 14, point, b.sigma_f_static / stress, b.nl_static_bending);
  w.two(l + 15, point, b.sigma_flim / stress, b.nl_lim_bending);
  w.two(l + 16, point, b.sigma_f_inf / stress, b.nl_inf_bending);
}

}  // namespace

bool damage_in_exponent_notation(float pinion, float wheel) {
  const float upper = 1000.0f;
  const double lower = 0.01;
  auto outside = [&](float v) { return std::isnan(v) || v > upper || double(v) < lower; };
  return outside(pinion) || outside(wheel);
}

ReportLines rating_details_lines(const DesignData& d) {
  ReportLines out;
  ReportLineWriter w(out);
  if (d.rating_valid != 1) {
    not_run(w, 3);
    return out;
  }
  if (d.unit_system != 1 && d.unit_system != 2) return out;

  const bool en = d.unit_system == 2;
  // Display divisors; in metric units every value is printed as stored.
  const ld stress = en ? ld(d.stress_unit_factor) : 1;
  const ld length = en ? ld(d.length_unit_factor) : 1;  // mm to inch, and um to thousandths of an inch
  const ld torque = en ? ld(d.torque_unit_factor) : 1;
  auto pick = [en](const char* metric, const char* english) { return en ? english : metric; };

  w.text(0, "\t\t\t\t PINION  \t\tWHEEL");
  write_rating_rows(w, d, 0);

  // Load of the selected case: the wheel turns slower and carries more torque by the gear ratio.
  w.two(48, pick("Torque (Nm)\t\t\t %-16.3f\t%-16.3f", "Torque (lbf.ft)\t\t\t %-16.3f\t%-16.3f"), d.torque / torque,
        ld(d.torque) * d.actual_ratio / torque);
  w.two(49, "Speed (rpm)\t\t\t %-16.3f\t%-16.3f", d.speed, ld(d.speed) / d.actual_ratio);
  w.one(50, pick("Power (KW)\t\t\t\t %-16.3f", "Power (hp)\t\t\t\t %-16.3f"),
        en ? ld(d.power) / d.power_unit_factor : 0.001L * d.power);
  w.two(51, "Load cycles\t\t\t %-16.3e\t%-16.3e", d.load_cycles_pinion, d.load_cycles_wheel);
  w.one(52, "Time (hrs)\t\t\t\t %-16.3f", d.life_hours);
  w.one(53, pick("FBetaX (um)\t\t\t\t %-16.3f", "FBetaX (thou)\t\t\t\t %-16.3f"), d.f_beta_x / length);
  w.one(54, "Application factor\t\t\t\t %-16.3f", d.application_factor);
  // mm^2/s and centistokes are the same unit.
  w.one(55, pick("Lubricant viscosity (mm^2/sec)\t\t %-16.3f", "Lubricant viscosity (Cst)\t\t %-16.3f"),
        d.lubricant_viscosity);
  w.two(56, pick("Base pitch error (um)\t\t %-16.3f\t%-16.3f", "Base pitch error (thou)\t\t %-16.3f\t%-16.3f"),
        d.base_pitch_error[0] / length, d.base_pitch_error[1] / length);
  w.two(57, pick("Surface roughness (um)\t\t %-16.3f\t%-16.3f", "Surface roughness (thou)\t\t %-16.3f\t%-16.3f"),
        d.flank_roughness[0] / length, d.flank_roughness[1] / length);
  w.two(58, pick("Fillet roughness (um)\t\t %-16.3f\t%-16.3f", "Fillet roughness (thou)\t\t %-16.3f\t%-16.3f"),
        d.fillet_roughness[0] / length, d.fillet_roughness[1] / length);
  // The hardness in the scale it is held in, named after that scale.
  const char* hardness_row[3][2] = {
      {"Surface hardness (HRC) \t\t%-16.3f\t%-16.3f", "Surface hardness(HRC) \t\t%-16.3f\t%-16.3f"},
      {"Surface hardness (BHN) \t\t%-16.3f\t%-16.3f", "Surface hardness(BHN) \t\t%-16.3f\t%-16.3f"},
      {"Surface hardness (HV) \t\t%-16.3f\t%-16.3f", "Surface hardness(HV) \t\t%-16.3f\t%-16.3f"}};
  const int scale = d.hardness_scale >= 0 && d.hardness_scale <= 2 ? d.hardness_scale : 0;
  w.two(59, pick(hardness_row[scale][0], hardness_row[scale][1]), d.surface_hardness[0], d.surface_hardness[1]);

  const MaterialBlock pinion{61,
                             "Pinion material properties",
                             d.material_type[0],
                             d.poisson_ratio[0],
                             d.elastic_modulus[0],
                             d.yield_stress_pinion,
                             d.tensile_stress_pinion,
                             d.limited_pitting[0] == 1,
                             d.sigma_h_static_pinion,
                             d.nl_static_contact_pinion,
                             d.sigma_h_pit_pinion,
                             d.nl_pit_contact_pinion,
                             d.sigma_hlim[0],
                             d.nl_lim_contact_pinion,
                             d.sigma_h_inf_pinion,
                             d.nl_inf_contact_pinion,
                             d.sigma_f_static[0],
                             d.nl_static_bending_pinion,
                             d.sigma_flim[0],
                             d.nl_lim_bending_pinion,
                             d.sigma_f_inf_pinion,
                             d.nl_inf_bending_pinion,
                             "Contact Stress (MPa)\tCycles",
                             "Contact Stress (psi)         \tCycles",
                             "Bending Stress (psi)      \tCycles",
                             "Elastic modulus (psi)       \t%-16.3e",
                             "Tensile stress (psi)       \t%-16.0f"};
  const MaterialBlock wheel{79,
                            "Wheel material properties",
                            d.material_type[1],
                            d.poisson_ratio[1],
                            d.elastic_modulus[1],
                            d.yield_stress_wheel,
                            d.tensile_stress_wheel,
                            d.limited_pitting[1] == 1,
                            d.sigma_h_static_wheel,
                            d.nl_static_contact_wheel,
                            d.sigma_h_pit_wheel,
                            d.nl_pit_contact_wheel,
                            d.sigma_hlim[1],
                            d.nl_lim_contact_wheel,
                            d.sigma_h_inf_wheel,
                            d.nl_inf_contact_wheel,
                            d.sigma_f_static[1],
                            d.nl_static_bending_wheel,
                            d.sigma_flim[1],
                            d.nl_lim_bending_wheel,
                            d.sigma_f_inf_wheel,
                            d.nl_inf_bending_wheel,
                            "Contact Stress (MPa)        \tCycles",
                            "Contact Stress (psi)       \tCycles",
                            "Bending Stress (psi)       \tCycles",
                            "Elastic modulus (psi)        \t%-16.3e",
                            "Tensile stress (psi)     \t%-16.0f"};
  material_block(w, pinion, en, stress);
  material_block(w, wheel, en, stress);
  return out;
}

ReportLines rating_summary_lines(const DesignData& d) {
  ReportLines out;
  ReportLineWriter w(out);
  if (d.rating_valid != 1) {
    not_run(w, 2);
    return out;
  }
  if (d.unit_system != 1 && d.unit_system != 2) return out;

  const bool en = d.unit_system == 2;
  const ld stress = en ? ld(d.stress_unit_factor) : 1;
  const ld force = en ? ld(d.force_unit_factor) : 1;
  auto pick = [en](const char* metric, const char* english) { return en ? english : metric; };

  w.text(0, "\t\t\t\t PINION  \t\tWHEEL");
  // The safety factors below rest on a dynamic factor beyond its method's range: said above them.
  const std::string range_notice = dynamic_factor_range_notice(d);
  if (!range_notice.empty()) w.text(1, range_notice.c_str());
  w.two(2, "Contact Safety Factor \tSH\t %-16.3f\t%-16.3f", d.contact_safety_factor[0], d.contact_safety_factor[1]);
  w.two(4,
        pick("Nominal Contact Stress(MPa)\tSigmaHO\t %-16.3f\t%-16.3f",
             "Nominal Contact Stress(psi)\tSigmaHO\t %-16.0f\t%-16.0f"),
        d.nominal_contact_stress / stress, d.nominal_contact_stress / stress);
  w.two(5,
        pick("Contact Stress Number \t \"  \"  Hlim\t %-16.3f\t%-16.3f",
             "Contact Stress Number \t \"  \"  Hlim\t %-16.0f\t%-16.0f"),
        d.sigma_hlim[0] / stress, d.sigma_hlim[1] / stress);
  w.two(6,
        pick("Actual Cont. Stress \t\tSigmaH\t %-16.3f\t%-16.3f", "Actual Cont. Stress \t\tSigmaH\t %-16.0f\t%-16.0f"),
        d.contact_stress[0] / stress, d.contact_stress[1] / stress);
  w.two(7, "Life Factor(Contact)\t\tZNT\t %-16.3f\t%-16.3f", d.life_factor_contact[0], d.life_factor_contact[1]);
  w.two(8,
        pick("Permissible Cont. Stress \tSigmaHP\t %-16.3f\t%-16.3f",
             "Permissible Cont. Stress \tSigmaHP\t %-16.0f\t%-16.0f"),
        d.permissible_contact_stress[0] / stress, d.permissible_contact_stress[1] / stress);
  w.two(9, "Contact life (cycles) \t\t\t %-16.3e\t%-16.3e", d.contact_life_pinion, d.contact_life_wheel);
  w.two(10,
        damage_in_exponent_notation(d.contact_damage[0], d.contact_damage[1])
            ? "Contact damage (percent) \t\t %-16.3e\t%-16.3e"
            : "Contact damage (percent) \t\t %-16.3f\t%-16.3f",
        d.contact_damage[0], d.contact_damage[1]);

  w.two(12, "Bending Safety Factor \tSF\t %-16.3f\t%-16.3f", d.bending_safety_factor_pinion,
        d.bending_safety_factor_wheel);
  w.two(14,
        pick("Nom. Bending Stress(MPa)\tSigmaFO\t %-16.3f\t%-16.3f",
             "Nom. Bending Stress(psi)\tSigmaFO\t %-16.0f\t%-16.0f"),
        d.nominal_bending_stress_pinion / stress, d.nominal_bending_stress_wheel / stress);
  w.two(15,
        pick("Bending Stress Number \t \"  \" Flim\t %-16.3f\t%-16.3f",
             "Bending Stress Number \t \"  \" Flim\t %-16.0f\t%-16.0f"),
        d.sigma_flim[0] / stress, d.sigma_flim[1] / stress);
  w.two(16,
        pick("Actual Bend. Stress       \tSigmaF\t %-16.3f\t%-16.3f",
             "Actual Bend. Stress       \tSigmaF\t %-16.0f\t%-16.0f"),
        d.tooth_root_stress_pinion / stress, d.tooth_root_stress_wheel / stress);
  w.two(17, "Life Factor(Bending) \tYNT\t %-16.3f\t%-16.3f", d.life_factor_bending[0], d.life_factor_bending[1]);
  w.two(18,
        pick("Permissible Bend.Stress \tSigmaFP\t %-16.3f\t%-16.3f",
             "Permissible Bend. Stress \tSigmaFP\t %-16.0f\t%-16.0f"),
        d.permissible_bending_stress_pinion / stress, d.permissible_bending_stress_wheel / stress);
  w.two(19, "Bending life (cycles) \t\t %-16.3e\t%-16.3e", d.bending_life_pinion, d.bending_life_wheel);
  w.two(20,
        damage_in_exponent_notation(d.bending_damage[0], d.bending_damage[1])
            ? "Bending damage (percent) \t\t %-16.3e\t%-16.3e"
            : "Bending damage (percent) \t\t %-16.3f\t%-16.3f",
        d.bending_damage[0], d.bending_damage[1]);

  w.one(22, "Contact Ratio (Transverse) \t\t\t%-16.3f", d.transverse_contact_ratio);
  w.one(23, "Contact Ratio (Axial) \t\t\t%-16.3f", d.axial_contact_ratio);
  w.one(25, pick("Tangential force (N)     \t\t\t%-16.3f", "Tangential force (lbf)     \t\t\t%-16.3f"),
        d.tangential_force / force);
  w.one(26, pick("Radial force (N)\t\t\t\t%-16.3f", "Radial force (lbf)\t\t\t\t%-16.3f"), d.radial_force / force);
  w.one(27, pick("Axial force (N)\t\t\t\t%-16.3f", "Axial force (lbf)\t\t\t\t%-16.3f"), d.axial_force / force);
  return out;
}

}  // namespace morvell
