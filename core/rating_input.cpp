#include "rating_input.h"

#include "design_data.h"
#include "numeric.h"

namespace morvell {

namespace {
// Rack proportions of one gear from its addendum and dedendum: h_aP = h_a - x m_n, h_fP = x m_n + h_f.
float rack_addendum_of(const DesignData& d, int g) {
  return static_cast<float>(static_cast<ld>(d.addendum[g]) -
                            static_cast<ld>(d.profile_shift[g]) * static_cast<ld>(d.normal_module));
}
float rack_dedendum_of(const DesignData& d, int g) {
  return static_cast<float>(static_cast<ld>(d.profile_shift[g]) * static_cast<ld>(d.normal_module) +
                            static_cast<ld>(d.dedendum[g]));
}
}  // namespace

RatingInput make_rating_input(const DesignData& d) {
  RatingInput in{};
  in.base_helix_angle = d.base_helix_angle;
  in.working_transverse_pressure_angle = d.working_transverse_pressure_angle;
  in.transverse_pressure_angle = d.transverse_pressure_angle;
  for (int g = 0; g < 2; ++g) {
    in.poisson_ratio[g] = d.poisson_ratio[g];
    in.elastic_modulus[g] = d.elastic_modulus[g];
    in.reference_diameter[g] = d.reference_diameter[g];
    in.eap_diameter[g] = d.eap_diameter[g];
    in.base_diameter[g] = d.base_diameter[g];
    in.iso_grade[g] = d.iso_grade[g];
    in.material_type[g] = d.material_type[g];
    in.sigma_hlim[g] = d.sigma_hlim[g];
    in.rim_thickness[g] = d.rim_thickness[g];
    in.web_thickness[g] = d.face_width[g];
    in.base_pitch_error[g] = d.base_pitch_error[g];
    in.profile_shift[g] = d.profile_shift[g];
    in.rack_dedendum[g] = rack_dedendum_of(d, g);
    in.flank_roughness[g] = d.flank_roughness[g];
    in.fillet_roughness[g] = d.fillet_roughness[g];
    in.surface_hardness[g] = d.surface_hardness[g];
    in.protuberance[g] = d.protuberance[g];
    in.root_fillet_radius[g] = d.root_fillet_radius[g];
    in.rack_addendum[g] = rack_addendum_of(d, g);
    in.face_width[g] = d.face_width[g];
    in.sigma_flim[g] = d.sigma_flim[g];
    in.sigma_f_static[g] = d.sigma_f_static[g];
    in.bending_face_width[g] = d.bending_face_width[g];
  }
  in.helix_angle = d.helix_angle;
  in.transverse_contact_ratio = d.transverse_contact_ratio;
  in.axial_contact_ratio = d.axial_contact_ratio;
  in.wheel_teeth = static_cast<float>(d.teeth[1]);
  in.pinion_teeth = static_cast<float>(d.teeth[0]);
  in.speed = d.speed;
  in.torque = d.torque;
  in.active_face_width = d.active_face_width;
  in.application_factor = d.application_factor;
  in.f_beta_x = d.f_beta_x;
  in.normal_pressure_angle = d.normal_pressure_angle;
  in.lubricant_viscosity = d.lubricant_viscosity;
  in.normal_module = d.normal_module;

  in.sigma_h_static_pinion = d.sigma_h_static_pinion;
  in.sigma_h_inf_pinion = d.sigma_h_inf_pinion;
  in.sigma_h_pit_pinion = d.sigma_h_pit_pinion;
  in.nl_static_contact_pinion = d.nl_static_contact_pinion;
  in.nl_lim_contact_pinion = d.nl_lim_contact_pinion;
  in.nl_inf_contact_pinion = d.nl_inf_contact_pinion;
  in.nl_pit_contact_pinion = d.nl_pit_contact_pinion;
  in.load_cycles_pinion = d.load_cycles_pinion;
  in.sigma_h_static_wheel = d.sigma_h_static_wheel;
  in.sigma_h_inf_wheel = d.sigma_h_inf_wheel;
  in.sigma_h_pit_wheel = d.sigma_h_pit_wheel;
  in.nl_static_contact_wheel = d.nl_static_contact_wheel;
  in.nl_lim_contact_wheel = d.nl_lim_contact_wheel;
  in.nl_inf_contact_wheel = d.nl_inf_contact_wheel;
  in.nl_pit_contact_wheel = d.nl_pit_contact_wheel;
  in.load_cycles_wheel = d.load_cycles_wheel;
  in.min_safety_factor_contact = 1.0f;
  in.spare[0] = in.spare[1] = 0.0f;

  in.sigma_f_inf_pinion = d.sigma_f_inf_pinion;
  in.nl_static_bending_pinion = d.nl_static_bending_pinion;
  in.nl_lim_bending_pinion = d.nl_lim_bending_pinion;
  in.nl_inf_bending_pinion = d.nl_inf_bending_pinion;
  in.sigma_f_inf_wheel = d.sigma_f_inf_wheel;
  in.nl_static_bending_wheel = d.nl_static_bending_wheel;
  in.nl_lim_bending_wheel = d.nl_lim_bending_wheel;
  in.nl_inf_bending_wheel = d.nl_inf_bending_wheel;
  in.min_safety_factor_bending = 1.0f;

  in.thickness_nominal_normal_pinion = d.thickness_nominal_normal[0];
  in.thickness_finished_normal_pinion = d.thickness_finished_normal[0];
  in.thickness_nominal_normal_wheel = d.thickness_nominal_normal[1];
  in.thickness_finished_normal_wheel = d.thickness_finished_normal[1];
  in.yield_stress_pinion = d.yield_stress_pinion;
  in.tensile_stress_pinion = d.tensile_stress_pinion;
  in.yield_stress_wheel = d.yield_stress_wheel;
  in.tensile_stress_wheel = d.tensile_stress_wheel;
  in.hardness_scale = d.hardness_scale;
  return in;
}

std::vector<std::string> missing_rating_inputs(const DesignData& d) {
  const auto given = [](float v) { return v > 0.0f; };  // not a number is not given either
  const auto both = [&](const float (&v)[2]) { return given(v[0]) && given(v[1]); };
  std::vector<std::string> missing;
  const auto need = [&](bool ok, const char* name) {
    if (!ok) missing.emplace_back(name);
  };
  need(both(d.poisson_ratio), "Poisson's ratio");
  need(both(d.elastic_modulus), "elastic modulus");
  need(both(d.sigma_hlim), "contact stress number");
  need(both(d.sigma_flim), "bending stress number");
  // A curve whose points lie at no number of cycles gives no life factor.
  need(given(d.nl_static_contact_pinion) && given(d.nl_lim_contact_pinion) && given(d.nl_inf_contact_pinion) &&
           given(d.nl_static_contact_wheel) && given(d.nl_lim_contact_wheel) && given(d.nl_inf_contact_wheel) &&
           given(d.nl_static_bending_pinion) && given(d.nl_lim_bending_pinion) && given(d.nl_inf_bending_pinion) &&
           given(d.nl_static_bending_wheel) && given(d.nl_lim_bending_wheel) && given(d.nl_inf_bending_wheel),
       "S-N curve data");
  need(given(d.torque), "torque");
  need(given(d.speed), "speed");
  need(given(d.application_factor), "application factor");
  need(given(d.lubricant_viscosity), "lubricant viscosity");
  need(both(d.flank_roughness), "flank roughness");
  need(both(d.fillet_roughness), "fillet roughness");
  return missing;
}

std::string missing_rating_inputs_text(const DesignData& d) {
  const std::vector<std::string> missing = missing_rating_inputs(d);
  std::string text;
  for (std::size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) text += i + 1 == missing.size() ? " and " : ", ";
    text += missing[i];
  }
  return text;
}

bool rating_inputs_present(const DesignData& d) { return missing_rating_inputs(d).empty(); }

}  // namespace morvell
