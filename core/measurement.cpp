#include "measurement.h"

#include <cmath>
#include <iterator>

#include "design_data.h"
#include "numeric.h"

namespace morvell {
namespace {

// Bounds of the ball search. A sensible ball settles within a few thousand steps and a few dozen
// enlargements; the bounds only stop inputs that could otherwise search for ever (a ball so small
// that a step of 0.01 ball diameters no longer moves the measurement, or a thickness no ball fits).
// The steps are counted per ball size: a very small ball takes many steps before it is enlarged, and
// each larger ball fewer.
constexpr long kMaxDescentSteps = 1000000;
constexpr int kMaxEnlargements = 200;
// The implied thickness grows without bound with the measurement, so doubling steps above the start
// reach any finite target long before this bound.
constexpr int kMaxWidenings = 200;

// Gear quantities shared by the routines.
struct GearBasics {
  ld d;            // reference diameter
  ld alpha_t;      // transverse pressure angle (rad)
  ld d_b;          // base diameter
  ld beta_b;       // base helix angle (rad)
  ld cos_alpha_n;
};

GearBasics gear_basics(int32_t z, float normal_module, float helix_angle, float pressure_angle) {
  GearBasics g{};
  const ld beta = deg_to_rad(helix_angle);
  const ld alpha_n = deg_to_rad(pressure_angle);
  g.d = z * static_cast<ld>(normal_module) / std::cos(beta);
  g.alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  g.d_b = g.d * std::cos(g.alpha_t);
  g.beta_b = checked_asin(std::sin(beta) * std::cos(alpha_n));
  g.cos_alpha_n = std::cos(alpha_n);
  return g;
}

// Ball factor: for an odd number of teeth the two balls are not diametrically opposite.
ld ball_factor(int32_t z) { return (z % 2 != 0) ? std::cos(deg_to_rad(90.0L / z)) : 1.0L; }

// Normal tooth thickness that puts balls of diameter D with measurement M at their place on the flanks,
// from the pressure angle alpha_M at the ball centres:
// inv alpha_M = inv alpha_t + s_t / d + D / (d_b cos beta_b) - pi / z, written in the normal section.
ld normal_thickness_of_alpha(int32_t z, ld m_n, ld inv_alpha_t, ld cos_alpha_n, ld alpha_m, ld ball) {
  return z * m_n * (kPi / z + involute(alpha_m) - inv_alpha_t) - ball / cos_alpha_n;
}

}  // namespace

float measurement_over_balls(DesignData& d, int32_t z, float* ball_diameter, float thickness, float normal_module,
                             float helix_angle, float pressure_angle, float tip_diameter, float* contact_diameter,
                             float* centre_diameter) {
  const GearBasics g = gear_basics(z, normal_module, helix_angle, pressure_angle);
  d.base_helix_angle = static_cast<float>(rad_to_deg(g.beta_b));
  const ld beta_b = deg_to_rad(d.base_helix_angle);

  const float ball_at_entry = *ball_diameter;
  // A failed search leaves the ball as it was and no measurement.
  auto fail = [&]() {
    *ball_diameter = ball_at_entry;
    if (contact_diameter) *contact_diameter = nan_f();
    if (centre_diameter) *centre_diameter = nan_f();
    return nan_f();
  };
  if (!(std::isfinite(ball_at_entry) && ball_at_entry > 0.0f) || !std::isfinite(thickness)) return fail();

  const ld m_n = normal_module;
  const ld c_z = ball_factor(z);
  const ld inv_alpha_t = involute(g.alpha_t);
  const ld target = thickness * std::cos(deg_to_rad(helix_angle));  // normal thickness s_n

  auto thickness_at = [&](ld m, ld ball) {
    const ld alpha_m = checked_acos(g.d_b * c_z / (m - ball));
    return normal_thickness_of_alpha(z, m_n, inv_alpha_t, g.cos_alpha_n, alpha_m, ball);
  };

  // Coarse search downwards in steps of 0.01 ball diameters; a ball whose centre drops inside the base
  // circle is too small and is enlarged by 5 %, and the search starts again above the tip.
  long steps = 0;
  int enlargements = 0;
  ld ball = *ball_diameter;
  ld m = tip_diameter + 2.0L * ball;
  const ld base = g.d_b * c_z;
  bool stopped_at_start = false;  // the first step below the start already stopped the search
  enum class Step { on, found, enlarged, failed };
  auto one_step = [&]() {
    if (++steps > kMaxDescentSteps) return Step::failed;
    m -= 0.01L * ball;
    // Inside the base circle, or past the gear's centre (a ball larger than the gear), the ball is too
    // small to rest on the flanks there.
    if (base / (m - ball) > 1.0L || m - ball <= 0.0L) {
      if (++enlargements > kMaxEnlargements) return Step::failed;
      steps = 0;
      *ball_diameter = static_cast<float>(1.05L * *ball_diameter);
      ball = *ball_diameter;
      m = tip_diameter + 2.0L * ball;
      return Step::enlarged;
    }
    const ld s_n = thickness_at(m, ball);
    if (s_n <= target) {
      stopped_at_start = steps == 1;
      return Step::found;
    }
    if (std::isnan(s_n)) return Step::failed;  // nothing of the gear is defined: no step can place the ball
    return Step::on;
  };
  // Both tests of a step are monotone in M: the ball centre only sinks towards the base circle as M falls
  // (the same rounded operations on a smaller M), and the implied thickness only falls with it. So when
  // the step at the end of a block still has its ball centre outside the base circle and a thickness
  // clearly above the target (by far more than the rounding of its evaluation), no step of the block
  // stops or enlarges, and the block is passed by repeating only its subtractions. Otherwise the block
  // is searched in smaller blocks, and at last step by step, exactly as the plain descent does.
  const bool monotone = base > 0.0L && z > 0 && m_n > 0.0L && std::isfinite(base) && std::isfinite(target);
  const ld fixed_scale = z * m_n * (1.0L + std::fabs(inv_alpha_t)) + std::fabs(target);
  auto passes_block = [&](int size) {
    if (!monotone || steps + size > kMaxDescentSteps) return false;
    ld m_end = m;
    for (int k = 0; k < size; ++k) m_end -= 0.01L * ball;
    const ld ratio_end = base / (m_end - ball);
    if (!(ratio_end > 0.0L && ratio_end <= 1.0L)) return false;
    // The evaluation error grows with tan^2 of the pressure angle, largest at the top of the block.
    const ld ratio_top = base / (m - ball);
    const ld tan2_top = 1.0L / (ratio_top * ratio_top) - 1.0L;
    const ld margin = 1e-12L * (fixed_scale + std::fabs(ball / g.cos_alpha_n) + z * m_n * tan2_top);
    if (!(thickness_at(m_end, ball) > target + margin)) return false;
    m = m_end;
    steps += size;
    return true;
  };
  constexpr int kBlockSizes[] = {64, 8};
  auto descend = [&](auto& self, int level) -> Step {
    if (level == static_cast<int>(std::size(kBlockSizes))) return one_step();
    const int size = kBlockSizes[level];
    if (passes_block(size)) return Step::on;
    const int parts = level + 1 < static_cast<int>(std::size(kBlockSizes)) ? size / kBlockSizes[level + 1] : size;
    for (int k = 0; k < parts; ++k) {
      const Step e = self(self, level + 1);
      if (e != Step::on) return e;
    }
    return Step::on;
  };
  for (;;) {
    const Step e = descend(descend, 0);
    if (e == Step::found) break;
    if (e == Step::failed) return fail();
  }

  // The measurement lies between that step and the one above it, except when the very first step already
  // stops: then it may lie above the start (a large ball on a thin tooth sits above the tip circle), and
  // the search goes on upwards in widening steps until the thickness there reaches the target.
  ld lo = m, hi = m + 0.01L * ball;
  if (stopped_at_start) {
    ld widening = 0.01L * ball;
    int up = 0;
    for (ld s_n = thickness_at(hi, ball); !(s_n >= target); s_n = thickness_at(hi, ball)) {
      if (std::isnan(s_n) || ++up > kMaxWidenings) return fail();
      lo = hi;
      widening *= 2.0L;
      hi = lo + widening;
    }
  }
  m = bisect<ld>(lo, hi, 5e-5L * m_n, [&](ld mid) { return thickness_at(mid, ball) < target; });

  const ld alpha_m = checked_acos(g.d_b * c_z / (m - ball));
  // The ball touches the flank half a ball diameter along the surface normal, whose transverse part is
  // D cos(beta_b) / 2.
  const ld alpha_c = std::atan(std::tan(alpha_m) - ball * std::cos(beta_b) / g.d_b);
  if (contact_diameter) *contact_diameter = static_cast<float>(g.d_b / std::cos(alpha_c));
  if (centre_diameter) *centre_diameter = static_cast<float>((m - ball) / c_z);
  return static_cast<float>(m);
}

float thickness_from_ball_measurement(int32_t z, float measurement, float ball_diameter, float normal_module,
                                      float helix_angle, float pressure_angle) {
  const GearBasics g = gear_basics(z, normal_module, helix_angle, pressure_angle);
  const ld centre_circle = static_cast<ld>(measurement) - ball_diameter;
  const ld base = g.d_b * ball_factor(z);
  // Ball centres inside the base circle: no thickness puts the balls there.
  if (!(centre_circle >= base)) return nan_f();
  const ld alpha_m = checked_acos(base / centre_circle);
  const ld s_n = normal_thickness_of_alpha(z, normal_module, involute(g.alpha_t), g.cos_alpha_n, alpha_m, ball_diameter);
  return static_cast<float>(s_n / std::cos(deg_to_rad(helix_angle)));
}

float span_measurement(int32_t span_teeth, int32_t z, float thickness, float normal_module, float helix_angle,
                       float pressure_angle, float* contact_diameter) {
  const GearBasics g = gear_basics(z, normal_module, helix_angle, pressure_angle);
  const ld w = (static_cast<ld>(span_teeth) - 1.0L) * kPi * normal_module * g.cos_alpha_n +
               std::cos(g.beta_b) * std::cos(g.alpha_t) * (thickness + g.d * involute(g.alpha_t));
  // The contact points lie half the transverse projection of the span on either side of the foot of
  // the base radius.
  const ld w_t = w * std::cos(g.beta_b);
  if (contact_diameter) *contact_diameter = static_cast<float>(std::sqrt(g.d_b * g.d_b + w_t * w_t));
  return static_cast<float>(w);
}

int32_t default_span_teeth_count(float profile_shift, float virtual_teeth) {
  const int32_t k =
      to_int32_clamped(std::trunc(1.75L * profile_shift + static_cast<ld>(virtual_teeth) / 9.0L + 0.5L));
  return k < 1 ? 1 : k;
}

float thickness_from_span(int32_t span_teeth, int32_t z, float normal_module, float helix_angle,
                          float pressure_angle, float span) {
  const GearBasics g = gear_basics(z, normal_module, helix_angle, pressure_angle);
  const ld s_t = (span - (static_cast<ld>(span_teeth) - 1.0L) * kPi * normal_module * g.cos_alpha_n) /
                     (std::cos(g.beta_b) * std::cos(g.alpha_t)) -
                 g.d * involute(g.alpha_t);
  return static_cast<float>(s_t);
}

bool ball_fits(const DesignData& d, int i) {
  const ld contact = d.ball_contact_diameter_finished[i];
  return contact >= ld(d.form_diameter[i]) &&
         ld(d.ball_centre_diameter_finished[i]) - ld(d.ball_diameter[i]) >= ld(d.root_diameter[i]) &&
         contact <= ld(d.eap_diameter[i]);
}

bool span_fits(const DesignData& d, int i) {
  const ld contact = d.span_contact_diameter_finished[i];
  return ld(d.form_diameter[i]) <= contact && contact <= ld(d.eap_diameter[i]);
}

long double tip_pressure_angle(const DesignData& d, int i) {
  return rad_to_deg(checked_acos(ld(d.base_diameter[i]) / ld(d.tip_diameter[i])));
}

}  // namespace morvell
