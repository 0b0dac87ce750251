#include "flash_temperature.h"

#include <cmath>
#include <limits>

#include "numeric.h"

namespace morvell {

namespace {

// Start and slope of the approach and recess ranges of each profile-modification case.
struct LoadSharingShape {
  double c_a, s_a, c_e, s_e;
};
constexpr double kThird = 0.3333333333333333;
constexpr double kSixSevenths = 0.8571428571428571;
constexpr double kSeventh = 0.14285714285714285;
constexpr LoadSharingShape kShapes[kFlashLoadSharingCases] = {
    {kThird, kThird, kThird, kThird},               // unmodified profiles
    {0.0, kSixSevenths, kSeventh, kSixSevenths},    // modified profiles, pinion driving
    {kSeventh, kSixSevenths, 0.0, kSixSevenths},    // modified profiles, wheel driving
    {0.0, 1.0, 0.0, 1.0},                           // optimum profile modification
};

}  // namespace

void load_sharing_factor(ld gamma, float& x, float gamma_a, float gamma_b, float gamma_d, float gamma_e,
                         int32_t load_case, int position, int last_position) {
  const LoadSharingShape& s = kShapes[(load_case >= 0 && load_case < kFlashLoadSharingCases) ? load_case : 0];
  const ld ga = gamma_a, gb = gamma_b, gd = gamma_d, ge = gamma_e;
  if ((gamma >= ga && gamma < gb) || position == 0) x = float(s.c_a + s.s_a * (gamma - ga) / (gb - ga));
  if (gamma >= gb && gamma < gd) x = 1.0f;
  if ((gamma > gd && gamma <= ge) || position == last_position)
    x = float(s.c_e + s.s_e * (ge - gamma) / (ge - gd));
  if (x < 0) x = 0.0f;
}

void calc_flash_temperature(DesignData& d, const FlashEstimates& estimate) {
  // Step 1: checks and the quantities of the pair.
  if (d.flash_load_sharing_case < 0 || d.flash_load_sharing_case >= kFlashLoadSharingCases)
    d.flash_load_sharing_case = 0;
  d.flash_temperature_max = 0.0f;

  const ld z1 = d.teeth[0], z2 = d.teeth[1];
  const ld mn = d.normal_module;
  const ld alpha_n = deg_to_rad(d.normal_pressure_angle);
  const ld beta = deg_to_rad(d.helix_angle);
  const ld a = d.centre_distance;
  const ld da1 = d.eap_diameter[0], da2 = d.eap_diameter[1];
  const ld b = d.active_face_width;

  // The quantities of the pair that every position uses are kept as 32-bit floats.
  const ld u = to_float(z2 / z1);
  const ld r1 = to_float(z1 * mn / (2.0L * std::cos(beta)));
  const ld alpha_t = to_float(std::atan(std::tan(alpha_n) / std::cos(beta)));
  const ld rb1 = to_float(r1 * std::cos(alpha_t));
  const ld rb2 = to_float(u * rb1);
  const ld alpha_wt = to_float(checked_acos((rb1 + rb2) / a));
  const ld pbt = to_float(2.0L * kPi * rb1 / z1);
  const ld pbn = to_float(beta == 0 ? pbt : kPi * mn * std::cos(alpha_n));
  const ld px = to_float(beta == 0 ? 0.0L : kPi * mn / std::sin(beta));
  const ld beta_b = to_float(checked_acos(pbn / pbt));
  const ld beta_w = to_float(std::atan(std::tan(beta_b) / std::cos(alpha_wt)));
  const ld alpha_wn = to_float(checked_asin(std::sin(alpha_wt) * std::cos(beta_b)));
  const ld alpha_na1 = to_float(checked_acos(rb1 / (da1 / 2.0L)));
  const ld alpha_na2 = to_float(checked_acos(rb2 / (da2 / 2.0L)));
  ld rho_a = to_float(a * std::sin(alpha_wt) - checked_sqrt((da2 / 2.0L) * (da2 / 2.0L) - rb2 * rb2));
  ld rho_e = to_float(checked_sqrt((da1 / 2.0L) * (da1 / 2.0L) - rb1 * rb1));

  const ld tan_wt = std::tan(alpha_wt);
  float gamma_a = float(-u * (std::tan(alpha_na2) / tan_wt - 1.0L));
  float gamma_e = float(std::tan(alpha_na1) / tan_wt - 1.0L);
  ld eps_alpha = to_float((z1 * (std::tan(alpha_na1) - tan_wt) + z2 * (std::tan(alpha_na2) - tan_wt)) / (2.0L * kPi));

  // Contact runs where the geometry has it start on each gear: a mate's tip that reaches below a form
  // circle (or past the interference point) starts it at that form circle, never at a roll the tooth
  // does not have. Positions, load sharing and contact ratio follow the path so shortened.
  {
    const ld start1 = d.sap_roll_length[0];
    const ld end1 = a * std::sin(alpha_wt) - ld(d.sap_roll_length[1]);
    const ld slack = 1e-5L * (1.0L + std::fabs(rho_e));
    bool shortened = false;
    if (start1 > rho_a + slack) { rho_a = to_float(start1); shortened = true; }
    if (end1 < rho_e - slack) { rho_e = to_float(end1); shortened = true; }
    if (shortened) {
      gamma_a = float(rho_a / (rb1 * tan_wt) - 1.0L);
      gamma_e = float(rho_e / (rb1 * tan_wt) - 1.0L);
      eps_alpha = to_float((rho_e - rho_a) / pbt);
    }
  }
  const float gamma_b = float(gamma_e - 2.0L * kPi / (z1 * tan_wt));
  const float gamma_d = float(gamma_a + 2.0L * kPi / (z1 * tan_wt));

  const ld n_r = to_float(eps_alpha - std::floor(eps_alpha));
  const ld eps_beta = to_float(b * std::sin(beta) / (kPi * mn));
  const ld n_a = to_float(eps_beta - std::floor(eps_beta));
  // Least total length of the lines of contact in the field of contact (a spur pair always has at least
  // one line across the face): eps_alpha b less what the fractional parts of both contact ratios leave
  // uncovered of one axial pitch.
  ld l_min;
  if (beta == 0)
    l_min = b;
  else if (n_a <= 1.0L - n_r)
    l_min = (eps_alpha * b - n_a * n_r * px) / std::cos(beta_b);
  else
    l_min = (eps_alpha * b - (1.0L - n_a) * (1.0L - n_r) * px) / std::cos(beta_b);
  l_min = to_float(l_min);

  const ld n1 = d.speed;
  const ld omega1 = to_float(kPi * n1 / 30.0L);
  const ld omega2 = to_float(omega1 / u);
  const ld vt = to_float(2.0L * kPi * n1 * a / (60.0L * (u + 1.0L)) * 0.001L);
  // Without a pitch-line velocity no force is transmitted in this calculation (power and speed are 0).
  const ld ft = to_float(vt == 0 ? 0.0L : ld(d.power) / vt);

  if (estimate.unit_load) {
    // The application factor is taken as 1.0 here. A pair whose lines of contact vanish at some instant
    // (a total contact ratio of at most 1: the least length is 0, give or take rounding) has no unit load.
    const ld wn = ft * 1.0L * ld(d.face_load_factor_contact) * ld(d.dynamic_factor) /
                  (std::cos(alpha_wn) * std::cos(beta_w)) / l_min;
    d.flash_unit_load = l_min > 1e-4L * b ? float(wn) : std::numeric_limits<float>::quiet_NaN();
  }

  const ld e_r = to_float(2.0L / ((1.0L - ld(d.poisson_ratio[0]) * d.poisson_ratio[0]) / d.elastic_modulus[0] +
                                  (1.0L - ld(d.poisson_ratio[1]) * d.poisson_ratio[1]) / d.elastic_modulus[1]));
  ld roughness = to_float((ld(d.flank_roughness[0]) + d.flank_roughness[1]) / 2.0L);
  if (roughness > 0.7533333333333332L) roughness = ld(0.7533333f);

  // Step 2: every position from the SAP (0) to the EAP (count - 1).
  const int count = d.flash_point_count < 0 ? 0
                    : d.flash_point_count > kFlashPointCount ? kFlashPointCount
                                                              : d.flash_point_count;
  const ld sin_wt = std::sin(alpha_wt);
  const ld cos_bb = std::cos(beta_b);
  for (int i = 0; i < count; ++i) {
    const ld rho = count > 1 ? rho_a + ld(i) * (rho_e - rho_a) / ld(count - 1) : rho_a;
    const ld ry = checked_sqrt(rho * rho + rb1 * rb1);
    const ld alpha_y = checked_acos(rb1 / ry);
    const ld gamma = std::tan(alpha_y) / tan_wt - 1.0L;

    const ld rho1 = a * sin_wt * (1.0L + gamma) / (u + 1.0L);
    const ld rho2 = a * sin_wt * (u - gamma) / (u + 1.0L);
    const ld rho_n = rho1 * rho2 / ((rho1 + rho2) * cos_bb);

    const ld vr1 = omega1 * rho1 * 0.001L;
    const ld vr2 = omega2 * rho2 * 0.001L;
    d.flash_rolling_velocity_pinion[i] = float(vr1);
    d.flash_rolling_velocity_wheel[i] = float(vr2);
    d.flash_sliding_velocity[i] = float(std::fabs(vr1 - vr2));
    d.flash_specific_sliding_pinion[i] = float((vr1 - vr2) / vr1);
    d.flash_specific_sliding_wheel[i] = float((vr2 - vr1) / vr2);

    if (estimate.load_sharing)
      load_sharing_factor(gamma, d.flash_load_sharing_input, gamma_a, gamma_b, gamma_d, gamma_e,
                          d.flash_load_sharing_case, i, count - 1);
    d.flash_load_sharing[i] = d.flash_load_sharing_input;
    const ld x = d.flash_load_sharing_input;
    const ld wn = d.flash_unit_load;

    const ld bh = checked_sqrt(8.0L * x * wn * rho_n / (kPi * e_r));
    d.flash_hertz_half_width[i] = float(bh);

    if (estimate.mean_friction) d.flash_mean_friction = float(0.06L * 1.13L / (1.13L - roughness));
    if (estimate.thermal_coefficient) d.flash_thermal_coefficient = 13.6f;
    if (estimate.k_factor) d.flash_k_factor = 0.8f;

    // Velocities in mm/s inside the roots. No load sharing, no load or no sliding: no flash temperature.
    const ld slip = std::fabs(checked_sqrt(1000.0L * vr1) - checked_sqrt(1000.0L * vr2));
    const ld numerator = ld(d.flash_k_factor) * d.flash_mean_friction * x * wn * slip;
    ld theta = 0;
    if (x != 0 && numerator != 0) theta = numerator / (ld(d.flash_thermal_coefficient) * checked_sqrt(bh));
    d.flash_temperature[i] = float(theta);
    if (d.flash_temperature[i] > d.flash_temperature_max) d.flash_temperature_max = d.flash_temperature[i];
  }
}

}  // namespace morvell
