#include "rating.h"

#include <cmath>

#include "design_data.h"
#include "hardness.h"
#include "material_table.h"
#include "numeric.h"

namespace morvell {

namespace {

// a^b for the rating's real powers. For a positive base it goes through exp2/log2 in extended precision,
// several times faster than powl and far below the 32-bit rounding of the results; other bases keep
// powl's meaning (NaN for a negative base, 0 or infinity for a zero base).
ld power(ld a, ld b) { return a > 0 ? std::exp2(b * std::log2(a)) : std::pow(a, b); }

// ---------------------------------------------------------------------------------------------
// Material groups
// ---------------------------------------------------------------------------------------------

// The material-dependent factors are chosen by the material type (rated_material: "Input", which has no
// row of its own, as Steel).
using M = MaterialType;

// Running-in allowances: A structural and through-hardened steels and pearlitic nodular iron, B grey,
// ferritic nodular and malleable cast iron, C surface-hardened steels.
enum class RunningInGroup { A, B, C };
RunningInGroup running_in_group(int32_t type) {
  const M m = rated_material(type);
  if (surface_hardened(m)) return RunningInGroup::C;
  switch (m) {
    case M::GreyCastIron: case M::FerriticNodularCastIron: case M::BlackMalleableCastIron: return RunningInGroup::B;
    default: return RunningInGroup::A;
  }
}

enum class StiffnessGroup { Steel, GreyCastIron, CastIron };
StiffnessGroup stiffness_group(int32_t type) {
  switch (rated_material(type)) {
    case M::GreyCastIron: return StiffnessGroup::GreyCastIron;
    case M::PearliticNodularCastIron: case M::FerriticNodularCastIron: case M::BlackMalleableCastIron:
      return StiffnessGroup::CastIron;
    default: return StiffnessGroup::Steel;
  }
}

// Slip-layer thickness rho' (mm) of the relative notch sensitivity factor. The strength tested is the
// yield stress for grey cast iron and the tensile strength for the others.
ld slip_layer_thickness(int32_t type, ld yield_stress, ld tensile_strength) {
  switch (rated_material(type)) {
    case M::Steel: return tensile_strength < 400 ? 0.0833 : 0.0445;
    case M::ThroughHardenedSteel: case M::PearliticNodularCastIron: case M::BlackMalleableCastIron:
      return tensile_strength < 600 ? 0.0281 : 0.0194;
    case M::GreyCastIron: return yield_stress < 300 ? 0.3124 : 0.3095;
    case M::FerriticNodularCastIron: return 0.3095;
    case M::CaseHardenedSteel: case M::FlameOrInductionHardenedSteel: return 0.0030;
    default: return 0.1005;  // nitrided and nitrocarburized steels
  }
}

// Relative surface factor Y_RrelT from the fillet roughness R_z (µm).
ld relative_surface_factor(int32_t type, ld rz) {
  switch (rated_material(type)) {
    case M::BlackMalleableCastIron: return 1.0;  // no roughness influence
    case M::ThroughHardenedSteel: case M::PearliticNodularCastIron: case M::CaseHardenedSteel:
    case M::FlameOrInductionHardenedSteel:
      return rz < 1 ? 1.12 : 1.674 - 0.529 * power(rz + 1, 0.1);
    case M::GreyCastIron: case M::FerriticNodularCastIron: case M::NitridedNitridingSteel:
    case M::NitridedThroughOrCaseHardeningSteel: case M::NitrocarburizedSteel:
      return rz < 1 ? 1.025 : 4.299 - 3.259 * power(rz + 1, 0.0058);
    default:  // structural steel
      return rz < 1 ? 1.07 : 5.306 - 4.203 * power(rz + 1, 0.01);
  }
}

// Size factor Y_X for tooth-root bending from the normal module (mm).
ld bending_size_factor(int32_t type, ld mn) {
  if (mn <= 5) return 1.0;
  const M m = rated_material(type);
  if (surface_hardened(m)) return mn >= 25 ? 0.8 : 1.05 - 0.01 * mn;
  switch (m) {
    case M::GreyCastIron: case M::FerriticNodularCastIron:
      return mn >= 25 ? 0.7 : 1.075 - 0.015 * mn;
    default:
      return mn >= 30 ? 0.85 : 1.03 - 0.006 * mn;
  }
}

// ---------------------------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------------------------

// Stores a result as a 32-bit value and hands back the stored value: later steps work with what was
// stored, as the reports see it.
ld store(float& field, ld value) {
  field = to_float(value);
  return field;
}

// Dynamic factor constant K1 by accuracy grade 0..12 (spur, helical). Grade 0 takes the grade-1 value;
// grade 12 takes the standard's value one grade step beyond grade 11.
constexpr double kK1Spur[13] = {2.1, 2.1, 2.1, 2.1, 3.9, 7.5, 14.9, 26.8, 39.1, 52.8, 76.6, 102.6, 146.3};
constexpr double kK1Helical[13] = {1.9, 1.9, 1.9, 1.9, 3.5, 6.7, 13.3, 23.9, 34.8, 47.0, 68.2, 91.4, 130.3};
// Dynamic factor constant K2 (spur, helical).
constexpr double kK2Spur = 0.0193, kK2Helical = 0.0087;

// Surface hardness in Brinell for the work hardening factor.
ld brinell_hardness(float hardness, int32_t scale) {
  if (scale == 0) return convert_hardness(hardness, kHrcToHb);
  if (scale == 2) return convert_hardness(hardness, kHvToHb);
  return hardness;
}

// Work hardening factor Z_W of the wheel. A soft steel wheel (structural or through-hardened) that meshes
// with a surface-hardened pinion (case-hardened, flame or induction hardened, nitrided, nitrocarburized)
// and is the softer of the two gains surface durability from the pinion's hard, smooth flanks:
// Z_W = 1.2 - (HB - 130) / 1700 of its own Brinell hardness, held at 1.2 below HB 130 and at 1.0 above
// HB 470. Every other wheel, and the pinion always, has Z_W = 1; so has a wheel of the "Input" material,
// which may be no steel.
ld work_hardening_of_wheel(int32_t pinion_type, int32_t wheel_type, ld pinion_hb, ld wheel_hb) {
  // Unlike the other rules, this one does not rate "Input" as Steel: an "Input" pinion is no hardened
  // pinion and an "Input" wheel no soft steel, so neither earns the credit.
  const bool hard_pinion = pinion_type != int32_t(M::Input) && surface_hardened(rated_material(pinion_type));
  const bool soft_steel_wheel = wheel_type == int32_t(M::Steel) || wheel_type == int32_t(M::ThroughHardenedSteel);
  if (!hard_pinion || !soft_steel_wheel || !(wheel_hb < pinion_hb)) return 1.0L;
  if (wheel_hb < 130) return 1.2L;
  if (wheel_hb > 470) return 1.0L;
  return 1.2L - (wheel_hb - 130) / 1700;
}

// Point on the straight line through (n_a, y_a) and (n_b, y_b) on log-log scales.
ld log_log_interpolate(ld n, ld n_a, ld y_a, ld n_b, ld y_b) {
  const ld la = std::log10(y_a);
  return exp10l(la - (la - std::log10(y_b)) * (std::log10(n) - std::log10(n_a)) /
                                  (std::log10(n_b) - std::log10(n_a)));
}

// Life factor for contact from the S-N points as ratios to sigma_Hlim: static, limited pitting,
// endurance knee (1) and unlimited life. A cycle count on a knee belongs to the lower segment; beyond the
// unlimited-life point the last segment continues. The tests run in order and the last that holds wins,
// so points out of order still give a value.
ld contact_life_factor(ld n, ld n_st, ld z_st, ld n_pit, ld z_pit, ld n_lim, ld n_inf, ld z_inf) {
  ld z = nan_ld();
  if (n <= n_st) z = z_st;
  if (n_st < n && n <= n_pit) z = log_log_interpolate(n, n_st, z_st, n_pit, z_pit);
  if (n_pit < n && n <= n_lim) z = log_log_interpolate(n, n_pit, z_pit, n_lim, 1.0L);
  if (n > n_lim) z = log_log_interpolate(n, n_lim, 1.0L, n_inf, z_inf);
  return z;
}

// Life factor for bending from the static point, the endurance knee (1) and the unlimited-life point.
ld bending_life_factor(ld n, ld n_st, ld y_st, ld n_lim, ld n_inf, ld y_inf) {
  ld y = nan_ld();
  if (n <= n_st) y = y_st;
  if (n_st < n && n <= n_lim) y = log_log_interpolate(n, n_st, y_st, n_lim, 1.0L);
  if (n > n_lim) y = log_log_interpolate(n, n_lim, 1.0L, n_inf, y_inf);
  return y;
}

// Running-in allowance y_beta (µm) of one gear for the initial misalignment F_beta_x.
ld helix_running_in(RunningInGroup group, ld f_beta_x, ld sigma_hlim, ld v) {
  ld y = 0, limit = INFINITY;
  switch (group) {
    case RunningInGroup::A:
      y = 320 * f_beta_x / sigma_hlim;
      if (v > 5 && v <= 10) limit = 25600 / sigma_hlim;
      else if (v > 10) limit = 12800 / sigma_hlim;
      break;
    case RunningInGroup::B:
      y = 0.55 * f_beta_x;
      if (v > 5 && v <= 10) limit = 45;
      else if (v > 10) limit = 22;
      break;
    case RunningInGroup::C:
      y = 0.15 * f_beta_x;
      limit = 6;
      break;
  }
  return y > limit ? limit : y;
}

// Running-in allowance y_alpha (µm) of one gear for the base pitch deviation f_pb.
ld profile_running_in(RunningInGroup group, ld f_pb, ld sigma_hlim, ld v) {
  ld y = 0, limit = INFINITY;
  switch (group) {
    case RunningInGroup::A:
      y = 160 * f_pb / sigma_hlim;
      if (v > 5 && v <= 10) limit = 12800 / sigma_hlim;
      else if (v > 10) limit = 6400 / sigma_hlim;
      break;
    case RunningInGroup::B:
      y = 0.275 * f_pb;
      if (v > 5 && v <= 10) limit = 22;
      else if (v > 10) limit = 11;
      break;
    case RunningInGroup::C:
      y = 0.075 * f_pb;
      limit = 3;
      break;
  }
  return y > limit ? limit : y;
}

// ---------------------------------------------------------------------------------------------
// Load factors and pitting (ISO 6336-1 and -2)
// ---------------------------------------------------------------------------------------------

void rate_pitting(const RatingInput& in, DesignData& r) {
  const ld z1 = in.pinion_teeth, z2 = in.wheel_teeth;
  const ld beta_b = deg_to_rad(in.base_helix_angle);
  const ld alpha_wt = deg_to_rad(in.working_transverse_pressure_angle);
  const ld alpha_t = deg_to_rad(in.transverse_pressure_angle);
  const ld beta = deg_to_rad(in.helix_angle);
  const ld alpha_n_deg = in.normal_pressure_angle;
  const ld eps_a = in.transverse_contact_ratio, eps_b = in.axial_contact_ratio;
  const ld d1 = in.reference_diameter[0];
  const ld b = in.active_face_width;
  const ld k_a = in.application_factor;
  const ld m_n = in.normal_module;
  const bool spur = in.helix_angle == 0.0f;

  const ld hb[2] = {brinell_hardness(in.surface_hardness[0], in.hardness_scale),
                    brinell_hardness(in.surface_hardness[1], in.hardness_scale)};

  // Zone, elasticity, contact ratio and helix angle factors.
  const ld cos_at = std::cos(alpha_t);
  const ld z_h = store(r.zone_factor, checked_sqrt(2 * std::cos(beta_b) * std::cos(alpha_wt) /
                                                   (cos_at * cos_at * std::sin(alpha_wt))));
  const ld nu1 = in.poisson_ratio[0], nu2 = in.poisson_ratio[1];
  const ld z_e = store(r.elasticity_factor,
                       checked_sqrt(1 / (kPi * ((1 - nu1 * nu1) / static_cast<ld>(in.elastic_modulus[0]) +
                                                (1 - nu2 * nu2) / static_cast<ld>(in.elastic_modulus[1])))));
  ld z_eps_value;
  if (spur) z_eps_value = checked_sqrt((4 - eps_a) / 3);
  else if (eps_b < 1) z_eps_value = checked_sqrt((4 - eps_a) / 3 * (1 - eps_b) + eps_b / eps_a);
  else z_eps_value = checked_sqrt(1 / eps_a);
  const ld z_eps = store(r.contact_ratio_factor, z_eps_value);
  const ld z_beta = store(r.helix_angle_factor_contact, checked_sqrt(std::cos(beta)));

  // Gear ratio, nominal tangential load at the pinion's reference diameter, pitch line velocity.
  const ld u = store(r.rating_gear_ratio, z2 / z1);
  const ld f_t = store(r.nominal_tangential_load, 2000 * static_cast<ld>(in.torque) / d1);
  const ld v = store(r.pitch_line_velocity, kPi * d1 * static_cast<ld>(in.speed) / 60000);

  const ld sigma_h0 = store(r.nominal_contact_stress,
                            z_h * z_e * z_eps * z_beta * checked_sqrt(f_t / (d1 * b) * (u + 1) / u));

  // Single pair tooth contact factors.
  const ld tan_awt = std::tan(alpha_wt);
  const ld ra1 = static_cast<ld>(in.eap_diameter[0]) / in.base_diameter[0];
  const ld ra2 = static_cast<ld>(in.eap_diameter[1]) / in.base_diameter[1];
  const ld roll1 = checked_sqrt(ra1 * ra1 - 1), roll2 = checked_sqrt(ra2 * ra2 - 1);
  const ld m1 = store(r.contact_factor_m1,
                      tan_awt / checked_sqrt((roll1 - 2 * kPi / z1) * (roll2 - (eps_a - 1) * 2 * kPi / z2)));
  const ld m2 = store(r.contact_factor_m2,
                      tan_awt / checked_sqrt((roll2 - 2 * kPi / z2) * (roll1 - (eps_a - 1) * 2 * kPi / z1)));
  if (eps_b >= 1) {
    r.single_pair_contact_factor[0] = r.single_pair_contact_factor[1] = 1.0f;
  } else {
    ld z_b = m1 - eps_b * (m1 - 1), z_d = m2 - eps_b * (m2 - 1);
    if (z_b < 1) z_b = 1;
    if (z_d < 1) z_d = 1;
    store(r.single_pair_contact_factor[0], z_b);
    store(r.single_pair_contact_factor[1], z_d);
  }

  // Dynamic factor, from the less accurate gear's grade: K_v = 1 + (K1 / w + K2) z1 v / 100 (u^2 / (1 +
  // u^2))^0.5 with the constants of spur gears (K_v,alpha) or of helical ones (K_v,beta). A helical pair
  // with an overlap ratio below 1 takes K_v,alpha - eps_beta (K_v,alpha - K_v,beta), so that K_v runs on
  // without a step from a spur pair (eps_beta 0) to one of full overlap (eps_beta 1). The constants stored
  // are those of the pair's kind. The method holds while the speed term z1 v / 100 (u^2 / (1 + u^2))^0.5
  // stays below 10 m/s; the term is stored for the reports to tell.
  int32_t q = in.iso_grade[0] > in.iso_grade[1] ? in.iso_grade[0] : in.iso_grade[1];
  if (q < 0) q = 0;
  if (q > 12) q = 12;
  store(r.dynamic_k1, spur ? kK1Spur[q] : kK1Helical[q]);
  store(r.dynamic_k2, spur ? kK2Spur : kK2Helical);
  ld w = k_a * f_t / b;
  if (w < 100) w = 100;
  const ld speed_term = z1 * v / 100 * checked_sqrt(u * u / (1 + u * u));
  store(r.dynamic_speed_term, speed_term);
  // The constants enter as the 32-bit values they are stored as.
  const auto k_v_with = [&](double k1, double k2) { return 1 + (ld(float(k1)) / w + ld(float(k2))) * speed_term; };
  const ld k_v_alpha = k_v_with(kK1Spur[q], kK2Spur);
  const ld k_v_beta = k_v_with(kK1Helical[q], kK2Helical);
  ld k_v_value = k_v_alpha;
  if (!spur) k_v_value = eps_b >= 1 ? k_v_beta : k_v_alpha - eps_b * (k_v_alpha - k_v_beta);
  const ld k_v = store(r.dynamic_factor, k_v_value);

  // Running-in allowance for the helix and effective misalignment. Running-in cannot remove more
  // misalignment than there is: where the allowance exceeds F_beta_x (soft group-A gears) none is left.
  const RunningInGroup group[2] = {running_in_group(in.material_type[0]), running_in_group(in.material_type[1])};
  const ld y_b1 = helix_running_in(group[0], in.f_beta_x, in.sigma_hlim[0], v);
  const ld y_b2 = helix_running_in(group[1], in.f_beta_x, in.sigma_hlim[1], v);
  const ld y_beta = store(r.running_in_allowance_helix, (y_b1 + y_b2) / 2);
  const ld misalignment_left = static_cast<ld>(in.f_beta_x) - y_beta;
  const ld f_beta_y = store(r.effective_misalignment, misalignment_left < 0 ? 0 : misalignment_left);

  // Mesh stiffness.
  const ld cos_b = std::cos(beta);
  const ld zn1 = store(r.rating_virtual_teeth[0], z1 / (cos_b * cos_b * cos_b));
  const ld zn2 = store(r.rating_virtual_teeth[1], z2 / (cos_b * cos_b * cos_b));
  const ld x1 = in.profile_shift[0], x2 = in.profile_shift[1];
  const ld q_min = 0.04723 + 0.15551 / zn1 + 0.25791 / zn2 - 0.00635 * x1 - 0.11654 * x1 / zn1 - 0.00193 * x2 -
                   0.24188 * x2 / zn2 + 0.00529 * x1 * x1 + 0.00182 * x2 * x2;
  const ld c_th = 1 / q_min;
  const ld c_m = 0.8;
  const ld c_r = 1;  // the web is as wide as the face
  const ld c_b1 = (1 + 0.5 * (1.2 - static_cast<ld>(in.rack_dedendum[0]) / m_n)) * (1 - 0.02 * (20 - alpha_n_deg));
  const ld c_b2 = (1 + 0.5 * (1.2 - static_cast<ld>(in.rack_dedendum[1]) / m_n)) * (1 - 0.02 * (20 - alpha_n_deg));
  const ld c_b = (c_b1 + c_b2) / 2;
  ld c_single = c_th * c_m * c_r * c_b * cos_b;
  const StiffnessGroup s1 = stiffness_group(in.material_type[0]), s2 = stiffness_group(in.material_type[1]);
  const ld e1 = in.elastic_modulus[0], e2 = in.elastic_modulus[1];
  const ld e_eq = 2 * e1 * e2 / (e1 + e2);
  if (s1 == StiffnessGroup::GreyCastIron && s2 == StiffnessGroup::GreyCastIron) c_single *= 0.59;
  if ((s1 == StiffnessGroup::GreyCastIron) != (s2 == StiffnessGroup::GreyCastIron)) c_single *= 0.74;
  if (s1 == StiffnessGroup::Steel && s2 == StiffnessGroup::CastIron) c_single *= e_eq / e1;
  if (s2 == StiffnessGroup::Steel && s1 == StiffnessGroup::CastIron) c_single *= e_eq / e2;
  // Below a line load of 100 N/mm the stiffness falls with the load; the material correction holds at
  // every load, so that the stiffness runs on without a step across 100 N/mm.
  const ld line_load = k_a * f_t / b;
  if (line_load < 100) c_single *= power(k_a * f_t / (100 * b), 0.25L);
  const ld c_prime = store(r.single_pair_stiffness, c_single);
  const ld c_gamma = store(r.mesh_stiffness, (0.75 * eps_a + 0.25) * c_prime);

  // Face load factor.
  const ld f_m = store(r.mean_tangential_load, f_t * k_a * k_v);
  const ld x_ratio = f_beta_y * c_gamma / (2 * f_m / b);
  const ld k_hbeta = store(r.face_load_factor_contact,
                           x_ratio >= 1 ? checked_sqrt(2 * f_beta_y * c_gamma / (f_m / b)) : 1 + x_ratio);
  const ld f_th = store(r.determinant_tangential_load, f_m * k_hbeta);

  // Running-in allowance for the profile, from the larger base pitch deviation.
  const ld f_pb = in.base_pitch_error[0] > in.base_pitch_error[1] ? in.base_pitch_error[0] : in.base_pitch_error[1];
  const ld y_a1 = profile_running_in(group[0], f_pb, in.sigma_hlim[0], v);
  const ld y_a2 = profile_running_in(group[1], f_pb, in.sigma_hlim[1], v);
  const ld y_alpha = store(r.running_in_allowance_profile, (y_a1 + y_a2) / 2);

  // Transverse load factor (also the bending one).
  const ld eps_g = eps_a + eps_b;
  ld k_halpha;
  if (eps_g <= 2) k_halpha = eps_g / 2 * (0.9 + 0.4 * c_gamma * (f_pb - y_alpha) / (f_th / b));
  else k_halpha = 0.9 + 0.4 * checked_sqrt(2 * (eps_g - 1) / eps_g) * c_gamma * (f_pb - y_alpha) / (f_th / b);
  const ld k_halpha_max = eps_g / (eps_a * z_eps * z_eps);
  if (k_halpha > k_halpha_max) k_halpha = k_halpha_max;
  if (k_halpha < 1) k_halpha = 1;
  k_halpha = store(r.transverse_load_factor_contact, k_halpha);

  // Contact stresses.
  const ld load_root = checked_sqrt(k_a * k_v * k_hbeta * k_halpha);
  const ld sigma_h[2] = {store(r.contact_stress[0], r.single_pair_contact_factor[0] * sigma_h0 * load_root),
                         store(r.contact_stress[1], r.single_pair_contact_factor[1] * sigma_h0 * load_root)};

  // Lubricant and velocity factors from the smaller sigma_Hlim.
  const ld sigma_min = in.sigma_hlim[0] < in.sigma_hlim[1] ? in.sigma_hlim[0] : in.sigma_hlim[1];
  ld c_zl;
  if (sigma_min < 850) c_zl = 0.83;
  else if (sigma_min > 1200) c_zl = 0.91;
  else c_zl = sigma_min / 4375 + 0.6357;
  const ld visc_term = 1.2 + 134 / static_cast<ld>(in.lubricant_viscosity);
  const ld z_l = store(r.lubricant_factor, c_zl + 4 * (1 - c_zl) / (visc_term * visc_term));
  const ld c_zv = c_zl + 0.02;
  const ld z_v = store(r.velocity_factor, c_zv + 2 * (1 - c_zv) / checked_sqrt(0.8 + 32 / v));

  // Roughness factor.
  const ld rho1 = 0.5 * static_cast<ld>(in.base_diameter[0]) * tan_awt;
  const ld rho2 = 0.5 * static_cast<ld>(in.base_diameter[1]) * tan_awt;
  const ld rho_red = rho1 * rho2 / (rho1 + rho2);
  const ld rz = (6 * static_cast<ld>(in.flank_roughness[0]) + 6 * static_cast<ld>(in.flank_roughness[1])) / 2;
  const ld rz10 = rz * power(10 / rho_red, static_cast<ld>(0.333333));
  ld c_zr;
  if (sigma_min < 850) c_zr = 0.15;
  else if (sigma_min > 1200) c_zr = 0.08;
  else c_zr = 0.32 - 0.0002 * sigma_min;
  const ld z_r = store(r.roughness_factor, power(3 / rz10, c_zr));

  // Work hardening factor of each gear; the one stored is the wheel's, the gear it can credit.
  const ld z_w_gear[2] = {1.0L, work_hardening_of_wheel(in.material_type[0], in.material_type[1], hb[0], hb[1])};
  store(r.work_hardening_factor, z_w_gear[1]);
  const ld z_x = store(r.size_factor_contact, 1.0L);

  // Life factors from the contact S-N points.
  const ld h1 = in.sigma_hlim[0], h2 = in.sigma_hlim[1];
  store(r.life_factor_contact[0],
        contact_life_factor(in.load_cycles_pinion, in.nl_static_contact_pinion, in.sigma_h_static_pinion / h1,
                            in.nl_pit_contact_pinion, in.sigma_h_pit_pinion / h1, in.nl_lim_contact_pinion,
                            in.nl_inf_contact_pinion, in.sigma_h_inf_pinion / h1));
  store(r.life_factor_contact[1],
        contact_life_factor(in.load_cycles_wheel, in.nl_static_contact_wheel, in.sigma_h_static_wheel / h2,
                            in.nl_pit_contact_wheel, in.sigma_h_pit_wheel / h2, in.nl_lim_contact_wheel,
                            in.nl_inf_contact_wheel, in.sigma_h_inf_wheel / h2));

  // Permissible stresses and safety factors.
  const ld s_hmin = in.min_safety_factor_contact;
  const ld sigma_hp1 = store(r.permissible_contact_stress[0],
                             h1 * r.life_factor_contact[0] * z_l * z_v * z_r * z_w_gear[0] * z_x / s_hmin);
  const ld sigma_hp2 = store(r.permissible_contact_stress[1],
                             h2 * r.life_factor_contact[1] * z_l * z_v * z_r * z_w_gear[1] * z_x / s_hmin);
  const ld sigma_hg1 = store(r.pitting_stress_limit_pinion, sigma_hp1 * s_hmin);
  const ld sigma_hg2 = store(r.pitting_stress_limit_wheel, sigma_hp2 * s_hmin);
  store(r.contact_safety_factor[0], sigma_hg1 / sigma_h[0]);
  store(r.contact_safety_factor[1], sigma_hg2 / sigma_h[1]);
}

// ---------------------------------------------------------------------------------------------
// Tooth-root bending (ISO 6336-3, method B)
// ---------------------------------------------------------------------------------------------

// The result fields of one gear's tooth-root geometry.
struct RootFields {
  float& chord_thickness;
  float& fillet_radius;
  float& load_centre_angle;
  float& load_direction_angle;
  float& lever_arm;
  float& form_factor;
};

// Tooth-root geometry, load position and form factor of one gear. The angles are stored in radians.
void rate_root_geometry(const RatingInput& in, ld z, ld x, ld d, ld d_na, ld h_fp, ld rho_fp, ld protuberance,
                        ld s_nominal, ld s_finished, RootFields out) {
  const ld beta_b = deg_to_rad(in.base_helix_angle);
  const ld beta = deg_to_rad(in.helix_angle);
  const ld alpha_n = deg_to_rad(in.normal_pressure_angle);
  const ld m_n = in.normal_module;
  const ld cos_bb = std::cos(beta_b);
  const ld cos_an = std::cos(alpha_n), tan_an = std::tan(alpha_n);

  // Critical section where the 30-degree tangent touches the fillet.
  const ld z_n = z / (cos_bb * cos_bb * std::cos(beta));
  const ld s_pr = protuberance != 0 ? protuberance : cos_an * (s_nominal - s_finished) / 2;
  const ld e = kPi * m_n / 4 - h_fp * tan_an + s_pr / cos_an - (1 - std::sin(alpha_n)) * rho_fp / cos_an;
  const ld g = rho_fp / m_n - h_fp / m_n + x;
  const ld h = (2 / z_n) * (kPi / 2 - e / m_n) - kPi / 3;

  // theta <- (2G/z_n) tan(theta) - H from pi/6, held in 32 bits; stops without updating once the next
  // value lies within 1e-5.
  float theta = static_cast<float>(kPi / 6);
  for (int step = 0;; ++step) {
    const ld next = 2 * g / z_n * std::tan(static_cast<ld>(theta)) - h;
    if (!(next - 1e-5 > theta || next + 1e-5 < theta)) break;
    if (step == kRootAngleMaxSteps) {
      theta = nan_f();
      break;
    }
    theta = static_cast<float>(next);
  }
  const ld th = theta;
  const ld cos_th = std::cos(th);

  const ld s_fn = store(out.chord_thickness,
                        m_n * (z_n * std::sin(kPi / 3 - th) + std::sqrt(3.0L) * (g / cos_th - rho_fp / m_n)));
  store(out.fillet_radius, m_n * (rho_fp / m_n + 2 * g * g / (cos_th * (z_n * cos_th * cos_th - 2 * g))));

  // Load at the outer point of single tooth contact of the virtual spur gear.
  const ld eps_an = static_cast<ld>(in.transverse_contact_ratio) / (cos_bb * cos_bb);
  const ld d_n = d / (cos_bb * cos_bb);
  const ld d_bn = d_n * cos_an;
  const ld d_an = d_n + d_na - d;
  const ld outer = checked_sqrt((d_an / 2) * (d_an / 2) - (d_bn / 2) * (d_bn / 2)) -
                   kPi * d * std::cos(beta) * cos_an * (eps_an - 1) / z;
  const ld d_en = 2 * checked_sqrt(outer * outer + (d_bn / 2) * (d_bn / 2));
  const ld alpha_en = checked_acos(d_bn / d_en);
  const ld gamma_e = store(out.load_centre_angle,
                           (kPi / 2 + 2 * x * tan_an) / z_n + involute(alpha_n) - involute(alpha_en));
  const ld alpha_fen = store(out.load_direction_angle, alpha_en - gamma_e);
  const ld h_fe = store(out.lever_arm, (m_n / 2) * ((std::cos(gamma_e) - std::sin(gamma_e) * std::tan(alpha_fen)) *
                                                         d_en / m_n -
                                                     z_n * std::cos(kPi / 3 - th) - g / cos_th + rho_fp / m_n));

  const ld s_rel = s_fn / m_n;
  store(out.form_factor, (6 * h_fe / m_n) * std::cos(alpha_fen) / (s_rel * s_rel * cos_an));
}

void rate_bending(const RatingInput& in, DesignData& r) {
  const ld z[2] = {in.pinion_teeth, in.wheel_teeth};
  const ld m_n = in.normal_module;
  const ld k_a = in.application_factor;

  rate_root_geometry(in, z[0], in.profile_shift[0], in.reference_diameter[0], in.eap_diameter[0],
                     in.rack_dedendum[0], in.root_fillet_radius[0], in.protuberance[0],
                     in.thickness_nominal_normal_pinion, in.thickness_finished_normal_pinion,
                     {r.root_chord_thickness_pinion, r.critical_fillet_radius_pinion, r.load_centre_angle_pinion,
                      r.load_direction_angle_pinion, r.bending_lever_arm_pinion, r.form_factor_pinion});
  rate_root_geometry(in, z[1], in.profile_shift[1], in.reference_diameter[1], in.eap_diameter[1],
                     in.rack_dedendum[1], in.root_fillet_radius[1], in.protuberance[1],
                     in.thickness_nominal_normal_wheel, in.thickness_finished_normal_wheel,
                     {r.root_chord_thickness_wheel, r.critical_fillet_radius_wheel, r.load_centre_angle_wheel,
                      r.load_direction_angle_wheel, r.bending_lever_arm_wheel, r.form_factor_wheel});

  // Stress correction factors.
  const ld s_fn[2] = {r.root_chord_thickness_pinion, r.root_chord_thickness_wheel};
  const ld h_fe[2] = {r.bending_lever_arm_pinion, r.bending_lever_arm_wheel};
  const ld rho_f[2] = {r.critical_fillet_radius_pinion, r.critical_fillet_radius_wheel};
  float* const y_s_field[2] = {&r.stress_correction_factor_pinion, &r.stress_correction_factor_wheel};
  ld q_s[2], y_s[2];
  for (int i = 0; i < 2; ++i) {
    const ld l = s_fn[i] / h_fe[i];
    q_s[i] = s_fn[i] / (2 * rho_f[i]);
    y_s[i] = store(*y_s_field[i], (1.2 + 0.13 * l) * power(q_s[i], 1 / (1.21 + 2.3 / l)));
  }

  // Helix angle factor.
  ld eps_b = in.axial_contact_ratio, beta_deg = in.helix_angle;
  if (eps_b > 1) eps_b = 1;
  if (beta_deg > 30) beta_deg = 30;
  const ld y_beta = store(r.helix_angle_factor_bending, 1 - eps_b * beta_deg / 120);

  // Nominal tooth root stresses on the bending face widths.
  const ld f_t = r.nominal_tangential_load;
  const ld y_f[2] = {r.form_factor_pinion, r.form_factor_wheel};
  const ld sigma_f0[2] = {
      store(r.nominal_bending_stress_pinion, f_t / (in.bending_face_width[0] * m_n) * y_f[0] * y_s[0] * y_beta),
      store(r.nominal_bending_stress_wheel, f_t / (in.bending_face_width[1] * m_n) * y_f[1] * y_s[1] * y_beta)};

  // Face load factor for bending from the slenderer gear's b/h, at least 3.
  const ld bh1 = static_cast<ld>(in.bending_face_width[0]) /
                 (static_cast<ld>(in.rack_dedendum[0]) + static_cast<ld>(in.rack_addendum[0]));
  const ld bh2 = static_cast<ld>(in.bending_face_width[1]) /
                 (static_cast<ld>(in.rack_dedendum[1]) + static_cast<ld>(in.rack_addendum[1]));
  ld bh = bh2 < bh1 ? bh2 : bh1;
  if (bh < 3) bh = 3;
  const ld n_f = bh * bh / (1 + bh + bh * bh);
  const ld k_fbeta = store(r.face_load_factor_bending, power(static_cast<ld>(r.face_load_factor_contact), n_f));
  const ld k_falpha = store(r.transverse_load_factor_bending, r.transverse_load_factor_contact);

  const ld load = k_a * static_cast<ld>(r.dynamic_factor) * k_fbeta * k_falpha;
  const ld sigma_f[2] = {store(r.tooth_root_stress_pinion, sigma_f0[0] * load),
                         store(r.tooth_root_stress_wheel, sigma_f0[1] * load)};

  // Permissible root stresses.
  const ld y_st[2] = {store(r.test_gear_stress_correction_factor_pinion, 2.0L),
                      store(r.test_gear_stress_correction_factor_wheel, 2.0L)};
  const ld strength[2][2] = {{in.yield_stress_pinion, in.tensile_stress_pinion},
                             {in.yield_stress_wheel, in.tensile_stress_wheel}};
  float* const y_delta_field[2] = {&r.relative_notch_sensitivity_factor_pinion,
                                   &r.relative_notch_sensitivity_factor_wheel};
  float* const y_r_field[2] = {&r.relative_surface_factor_pinion, &r.relative_surface_factor_wheel};
  float* const y_x_field[2] = {&r.size_factor_bending_pinion, &r.size_factor_bending_wheel};
  ld y_delta[2], y_r[2], y_x[2];
  for (int i = 0; i < 2; ++i) {
    const ld rho_slip = slip_layer_thickness(in.material_type[i], strength[i][0], strength[i][1]);
    y_delta[i] = store(*y_delta_field[i], (1 + checked_sqrt(0.2 * rho_slip * (1 + 2 * q_s[i]))) /
                                              (1 + checked_sqrt(0.2 * rho_slip * (1 + 2 * 2.5))));
  }
  for (int i = 0; i < 2; ++i)
    y_r[i] = store(*y_r_field[i], relative_surface_factor(in.material_type[i], 6 * static_cast<ld>(in.fillet_roughness[i])));
  for (int i = 0; i < 2; ++i) y_x[i] = store(*y_x_field[i], bending_size_factor(in.material_type[i], m_n));

  // Life factors from the bending S-N points.
  const ld f1 = in.sigma_flim[0], f2 = in.sigma_flim[1];
  const ld y_nt[2] = {
      store(r.life_factor_bending[0],
            bending_life_factor(in.load_cycles_pinion, in.nl_static_bending_pinion, in.sigma_f_static[0] / f1,
                                in.nl_lim_bending_pinion, in.nl_inf_bending_pinion, in.sigma_f_inf_pinion / f1)),
      store(r.life_factor_bending[1],
            bending_life_factor(in.load_cycles_wheel, in.nl_static_bending_wheel, in.sigma_f_static[1] / f2,
                                in.nl_lim_bending_wheel, in.nl_inf_bending_wheel, in.sigma_f_inf_wheel / f2))};

  const ld s_fmin = in.min_safety_factor_bending;
  const ld flim[2] = {f1, f2};
  float* const sigma_fp_field[2] = {&r.permissible_bending_stress_pinion, &r.permissible_bending_stress_wheel};
  float* const sigma_fg_field[2] = {&r.root_stress_limit_pinion, &r.root_stress_limit_wheel};
  float* const s_f_field[2] = {&r.bending_safety_factor_pinion, &r.bending_safety_factor_wheel};
  for (int i = 0; i < 2; ++i) {
    const ld sigma_fp = store(*sigma_fp_field[i], flim[i] * y_st[i] * y_nt[i] * y_delta[i] * y_r[i] * y_x[i] / s_fmin);
    const ld sigma_fg = store(*sigma_fg_field[i], sigma_fp * s_fmin);
    store(*s_f_field[i], sigma_fg / sigma_f[i]);
  }
}

}  // namespace

void rate_gear_pair(RatingInput in, DesignData& d) {
  rate_pitting(in, d);
  rate_bending(in, d);
}

bool dynamic_factor_outside_its_range(const RatingResults& r) {
  return r.dynamic_speed_term >= kDynamicFactorSpeedTermLimit;
}

}  // namespace morvell
