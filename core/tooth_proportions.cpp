#include "tooth_proportions.h"

#include <cmath>

#include "design_data.h"
#include "numeric.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

// Step caps of the searches. The thickness bisections also stop when the interval no longer narrows
// (about 64 halvings in extended precision), so the cap is only a last guard.
constexpr int kMaxBisectionSteps = 200;
// The pointed-tip scan walks up from the reference diameter in 0.1 mm steps; 100 000 steps are 10 m of
// diameter, far beyond the pointed tip of any gear the program designs.
constexpr ld kPointedTipStep = 0.1L;
constexpr int kMaxPointedTipSteps = 100000;

constexpr ld kEapThicknessTolerance = 0.0001L;     // mm, on the EAP thickness
constexpr ld kChamferIntervalPerModule = 0.0001L;  // x m_n, on the diameter interval ("Calculate")
constexpr ld kTipThicknessPerModule = 0.0005L;     // x m_n, on the tip thickness (tip reduction)
// The tip-circle half-angle under the chamfer places the tip corner of the drawn outline: it is sought
// until the interval no longer narrows. A stop at 1e-5 rad left the corner up to 1e-5 rad times the
// tip radius off the chamfer line (6 um on a 1.2 m wheel), outside the flank under a small chamfer.
constexpr ld kChamferAngleTolerance = 0;
constexpr ld kChamferDepthTolerance = 1e-5L;       // mm, on the diameter of the chamfer depth
constexpr ld kDeterminantFloor = 0.0001L;

// Quantities of the pair that stay fixed during one call, in extended precision and radians.
struct Pair {
  ld m;
  ld cos_an, sin_an;
  ld tan_at, sin_at;
  ld a;
  ld a_sin_awt;  // a sin(alpha_wt): the length of the line of action between the base tangent points
  ld d[2], d_b[2], x[2];
  int32_t z[2];
};

Pair read_pair(const DesignData& dd) {
  Pair p{};
  p.m = dd.normal_module;
  const ld alpha_n = deg_to_rad(dd.normal_pressure_angle);
  p.cos_an = std::cos(alpha_n);
  p.sin_an = std::sin(alpha_n);
  const ld alpha_t = deg_to_rad(dd.transverse_pressure_angle);
  p.tan_at = std::tan(alpha_t);
  p.sin_at = std::sin(alpha_t);
  p.a = dd.centre_distance;
  p.a_sin_awt = p.a * std::sin(deg_to_rad(dd.working_transverse_pressure_angle));
  for (int i = 0; i < 2; ++i) {
    p.d[i] = dd.reference_diameter[i];
    p.d_b[i] = dd.base_diameter[i];
    p.x[i] = dd.profile_shift[i];
    p.z[i] = dd.teeth[i];
  }
  return p;
}

ld cos_beta(const DesignData& dd) { return std::cos(deg_to_rad(dd.helix_angle)); }

// Roll length of the involute of gear i at diameter D.
ld roll_length(const Pair& p, int i, ld D) { return checked_sqrt(D * D / 4 - p.d_b[i] * p.d_b[i] / 4); }


// Diameter at which the straight flank of the generating rack, whose tip radius r_f cuts the root
// diameter d_f, stops generating involute on gear i.
ld rack_form_diameter(const Pair& p, int i, ld d_f, ld r_f) {
  const ld r = p.d_b[i] / 2 * p.tan_at - ((p.d[i] - d_f) / 2 - (1 - p.sin_an) * r_f) / p.sin_at;
  return 2 * checked_sqrt(r * r + p.d_b[i] * p.d_b[i] / 4);
}

// Largest EAP diameter of the mate n at which contact on gear g starts no lower than the diameter sap.
ld mate_eap_limit(const Pair& p, int g, int n, ld sap) {
  return p.d_b[n] / std::cos(std::atan(2 / p.d_b[n] * (p.a_sin_awt - roll_length(p, g, sap))));
}

// Start of active profile of gear g where the mate's EAP diameter eap_n starts the contact.
ld sap_from_mate_eap(const Pair& p, int g, int n, ld eap_n) {
  const ld r = p.a_sin_awt - p.d_b[n] / 2 * std::tan(checked_acos(p.d_b[n] / eap_n));
  return 2 * checked_sqrt(p.d_b[g] * p.d_b[g] / 4 + r * r);
}

// Bisection of [lo, hi] for the diameter at which a thickness falling with the diameter meets its
// target: a thickness below the target moves the upper bound down. The thickness starts at `start`
// (the -1 that marks "not computed yet"); the search stops when `met(thickness)` holds, when the
// interval no longer narrows, or after the step cap, and gives the last midpoint. A search that ends on
// a thickness that is not a number gives NaN, so that its limit takes no part in the choice.
template <typename Thickness, typename Met>
ld bisect_for_thickness(ld lo, ld hi, ld target, ld start, Thickness thickness, Met met) {
  ld mid = (lo + hi) / 2;
  ld t = start;
  for (int step = 0; step < kMaxBisectionSteps && !met(t); ++step) {
    const ld before = std::fabs(hi - lo);
    mid = (lo + hi) / 2;
    t = thickness(mid);
    if (t < target) hi = mid; else lo = mid;
    if (!(std::fabs(hi - lo) < before)) break;
  }
  return std::isnan(t) ? nan_ld() : mid;
}

// Diameter, in 0.1 mm steps up from the reference diameter, at which the finished tooth of gear n
// comes to a point (thickness 0 or less). Bounded; stops too when the thickness is not a number.
ld pointed_tip_diameter(const DesignData& dd, const Pair& p, int n) {
  ld D = p.d[n];
  for (int step = 0; step < kMaxPointedTipSteps; ++step) {
    D += kPointedTipStep;
    if (!(finished_normal_thickness(dd, n, D) > 0)) break;
  }
  return D;
}

enum class Mode { calculate, reduce };

// The five limits of the tip diameter of the mate n from the root and fillet of gear g: bottom
// clearance, fillet clearance, form circle to SAP, thickness at the EAP and under the chamfer at the
// tip, maximum tip diameter. Also stores the rack form diameter of g and, as scratch values of the
// thickness searches, the EAP and tip thicknesses and the chamfer depth of n.
void tip_limits(DesignData& dd, const Pair& p, int g, int n, Mode mode, ld (&limit)[5]) {
  const ld m = p.m;
  const ld d_f = dd.root_diameter[g];
  const ld r_f = dd.root_fillet_radius[g];
  const ld c_t = dd.tip_chamfer[n];

  limit[0] = 2 * (p.a - d_f / 2 - static_cast<ld>(dd.min_bottom_clearance_coeff[g]) * m);
  limit[1] = 2 * (p.a - d_f / 2 - (1 - p.sin_an) * r_f) + 2 * c_t;
  dd.rack_form_diameter[g] = static_cast<float>(rack_form_diameter(p, g, d_f, r_f));
  limit[2] = mate_eap_limit(p, g, n, static_cast<ld>(dd.rack_form_diameter[g]) + 2 * static_cast<ld>(dd.min_form_to_sap[g])) +
             2 * c_t;

  // Thickness at the EAP: searched between the reference diameter and twice it ("Calculate") or the
  // pointed-tip diameter (tip reduction); the chamfer search below likewise.
  const ld eap_target = static_cast<ld>(dd.min_eap_thickness_coeff[n]) * m;
  const ld top = mode == Mode::calculate ? 2 * p.d[n] : pointed_tip_diameter(dd, p, n);
  auto eap_thickness = [&](ld D) {
    const ld t = finished_normal_thickness(dd, n, D);
    dd.eap_thickness_normal[n] = static_cast<float>(t);
    return t;
  };
  auto eap_met = [&](ld t) {
    return !(t < eap_target - kEapThicknessTolerance || t > eap_target + kEapThicknessTolerance);
  };
  // Both thickness searches look from the reference diameter up; a tooth thinner than the target there
  // already (a small gear, a large chamfer) has its limit below it, and is searched down to the base
  // circle, where the involute begins. A target missed even there leaves the limit on the base circle,
  // a tooth without an active flank, which the soundness check of the proportions refuses.
  const ld bottom = p.d_b[n];
  ld eap_lo = p.d[n], eap_hi = top;
  if (eap_thickness(eap_lo) < eap_target) {
    eap_hi = eap_lo;
    eap_lo = bottom;
  }
  dd.eap_thickness_normal[n] = -1;
  limit[3] = bisect_for_thickness(eap_lo, eap_hi, eap_target, -1, eap_thickness, eap_met) + 2 * c_t;

  // Thickness at the tip under the chamfer, with the chamfer starting at the searched EAP diameter.
  if (c_t != 0) {
    const ld tip_coeff = dd.min_tip_thickness_coeff[n];
    const ld tip_target = tip_coeff * m;
    ld s_a = -1;
    auto tip_thickness = [&](ld D) {
      const ld t = finished_normal_thickness(dd, n, D);
      dd.eap_thickness_normal[n] = static_cast<float>(t);
      s_a = tip_thickness_with_chamfer(static_cast<float>(D + 2 * c_t), dd.tip_chamfer[n], static_cast<float>(t),
                                       dd.tip_chamfer_angle[n], dd.base_diameter[n], dd.reference_diameter[n],
                                       dd.helix_angle, dd.thickness_nominal_transverse[n],
                                       dd.transverse_pressure_angle, &dd.tip_chamfer_depth[n]);
      dd.tip_thickness_normal[n] = static_cast<float>(s_a);
      return s_a;
    };
    ld lo = p.d[n], hi = mode == Mode::calculate ? 2 * p.d[n] : top;
    if (tip_thickness(lo) < tip_target) {
      hi = lo;
      lo = bottom;
    }
    dd.tip_thickness_normal[n] = -1;
    ld D;
    if (mode == Mode::calculate) {
      D = bisect<ld>(lo, hi, kChamferIntervalPerModule * m,
                     [&](ld mid) { return !(tip_thickness(mid) < tip_target); }, kMaxBisectionSteps);
      if (std::isnan(s_a)) D = nan_ld();
    } else {
      auto tip_met = [&](ld s) { return !(std::fabs(s / m - tip_coeff) > kTipThicknessPerModule * m); };
      D = bisect_for_thickness(lo, hi, tip_target, -1, tip_thickness, tip_met);
    }
    limit[3] = std::fmin(limit[3], D + 2 * c_t);  // a limit that is not a number takes no part
  }

  limit[4] = dd.max_tip_diameter[n];
}

// Root of gear g ("Calculate"): the largest of the full-radius root with the minimum fillet, the root
// (with its fillet) that puts the form circle at its least distance above the base circle, and the
// minimum root diameter.
int32_t root_of(DesignData& dd, const Pair& p, int g) {
  const ld m = p.m;
  dd.root_fillet_radius[g] = static_cast<float>(static_cast<ld>(dd.min_root_fillet_coeff[g]) * m);
  const ld r_f = dd.root_fillet_radius[g];
  const ld k = 1 - p.sin_an;

  // Depth at which the two tip roundings of the generating rack tooth (width pi m / 2) meet.
  const ld h_max = ((kPi * m / 4) * p.cos_an - k * r_f) / p.sin_an;
  const ld full_radius_root = p.d[g] + 2 * p.x[g] * m - 2 * h_max;

  // Form line D_f + 2k r_f = P and full-radius line D_f - (2k / sin a_n) r_f = Q, by Cramer's rule.
  const ld P = p.d[g] - 2 * p.sin_at *
                            (p.d_b[g] / 2 * p.tan_at -
                             roll_length(p, g, p.d_b[g] + 2 * static_cast<ld>(dd.min_base_to_form[g])));
  const ld Q = p.d[g] + 2 * p.x[g] * m - (kPi * m / 2) * p.cos_an / p.sin_an;
  const float b = static_cast<float>(2 * k);
  const float c = static_cast<float>(-2 * k / p.sin_an);
  const ld det = det2(1, b, 1, c);
  ld form_root = 0;
  ld form_fillet = nan_ld();
  if (std::fabs(det) >= kDeterminantFloor) {
    form_root = det2(static_cast<float>(P), b, static_cast<float>(Q), c) / det;
    form_fillet = det2(1, static_cast<float>(P), 1, static_cast<float>(Q)) / det;
  }

  const ld candidates[3] = {full_radius_root, form_root, static_cast<ld>(dd.min_root_diameter[g])};
  ld root = dd.root_diameter[g];
  const int kind = largest_of(candidates, root);
  dd.root_diameter[g] = static_cast<float>(root);
  if (kind == 2) dd.root_fillet_radius[g] = static_cast<float>(form_fillet);
  return kind;
}

// Tip of the mate n ("Calculate"): the least of the five limits.
int32_t tip_of(DesignData& dd, const Pair& p, int g, int n) {
  ld limit[5];
  tip_limits(dd, p, g, n, Mode::calculate, limit);
  ld tip = dd.tip_diameter[n];
  const int kind = least_of(limit, tip);
  dd.tip_diameter[n] = static_cast<float>(tip);
  dd.eap_diameter[n] = static_cast<float>(static_cast<ld>(dd.tip_diameter[n]) - 2 * static_cast<ld>(dd.tip_chamfer[n]));
  return kind;
}

// Second root pass of gear g, once the mate's tip is held below the limits the root set: the root is
// raised as far as the form circle below the SAP, the mate's EAP circle over the fillet and the bottom
// clearance to the mate's tip allow.
int32_t second_root_of(DesignData& dd, const Pair& p, int g, int n) {
  const ld m = p.m;
  const ld k = 1 - p.sin_an;
  dd.sap_diameter[g] = static_cast<float>(sap_from_mate_eap(p, g, n, dd.eap_diameter[n]));
  const ld sap = dd.sap_diameter[g];
  const ld r_f = dd.root_fillet_radius[g];
  const ld form_limit = sap - 2 * static_cast<ld>(dd.min_form_to_sap[g]);
  const ld candidates[3] = {
      p.d[g] - 2 * (k * r_f + p.sin_at * (p.d_b[g] / 2 * p.tan_at - roll_length(p, g, form_limit))),
      2 * (p.a - static_cast<ld>(dd.eap_diameter[n]) / 2 - k * r_f),
      2 * (p.a - static_cast<ld>(dd.tip_diameter[n]) / 2 - static_cast<ld>(dd.min_bottom_clearance_coeff[g]) * m),
  };
  ld root = dd.root_diameter[g];
  const int kind = least_of(candidates, root);
  dd.root_diameter[g] = static_cast<float>(root);
  return kind;
}

// Fillet of gear g: the largest fillet that keeps the form circle below the SAP, the full-radius fillet
// at this root, and the largest fillet that the mate's EAP circle clears; the least of them.
int32_t fillet_of(DesignData& dd, const Pair& p, int g, int n) {
  const ld m = p.m;
  const ld k = 1 - p.sin_an;
  dd.sap_diameter[g] = static_cast<float>(sap_from_mate_eap(p, g, n, dd.eap_diameter[n]));
  const ld sap = dd.sap_diameter[g];
  const ld d_f = dd.root_diameter[g];
  const ld form_limit = sap - 2 * static_cast<ld>(dd.min_form_to_sap[g]);
  const ld candidates[3] = {
      ((p.d[g] - d_f) / 2 - p.sin_at * (p.d_b[g] / 2 * p.tan_at - roll_length(p, g, form_limit))) / k,
      ((kPi * m / 4) * p.cos_an - (p.x[g] * m + (p.d[g] - d_f) / 2) * p.sin_an) / k,
      (p.a - static_cast<ld>(dd.eap_diameter[n]) / 2 - d_f / 2) / k,
  };
  ld fillet = dd.root_fillet_radius[g];
  const int kind = least_of(candidates, fillet);
  dd.root_fillet_radius[g] = static_cast<float>(fillet);
  return kind;
}

// Protuberance limit: the protuberance cut raises the form circle of gear g to the form diameter of the
// generated profile, which may hold the mate's EAP (and so its tip) lower.
void protuberance_limit(DesignData& dd, const Pair& p) {
  for (int g = 0; g < 2; ++g) {
    const int n = 1 - g;
    if (dd.protuberance[g] == 0) continue;
    generate_tooth_profile(finished_outline_input(dd, g), &dd.form_diameter[g], dd.profile_points);
    const ld limit =
        mate_eap_limit(p, g, n, static_cast<ld>(dd.form_diameter[g]) + 2 * static_cast<ld>(dd.min_form_to_sap[g]));
    if (limit < dd.eap_diameter[n]) {
      dd.eap_diameter[n] = static_cast<float>(limit);
      dd.tip_diameter[n] = static_cast<float>(limit + 2 * static_cast<ld>(dd.tip_chamfer[n]));
    }
  }
}

ld reference_of(const Pair& p, ld cb, int i) { return p.z[i] * p.m / cb; }

void set_addenda(DesignData& dd, const Pair& p) {
  const ld cb = cos_beta(dd);
  for (int i = 0; i < 2; ++i)
    dd.addendum[i] = static_cast<float>((static_cast<ld>(dd.tip_diameter[i]) - reference_of(p, cb, i)) / 2);
}

// Tip reduction with roots and fillets as they stand: each tip lowered (never raised) to the least of
// its five limits, then the protuberance limit and the addenda.
void reduce_tips(DesignData& dd, const Pair& p) {
  for (int n = 1; n >= 0; --n) {
    const int g = 1 - n;
    const float before = dd.tip_diameter[n];
    ld limit[5];
    tip_limits(dd, p, g, n, Mode::reduce, limit);
    ld tip = before;
    least_of(limit, tip);
    if (tip > before) tip = before;  // a tip is only ever lowered
    dd.tip_diameter[n] = static_cast<float>(tip);
    dd.eap_diameter[n] = static_cast<float>(static_cast<ld>(dd.tip_diameter[n]) - 2 * static_cast<ld>(dd.tip_chamfer[n]));
  }
  protuberance_limit(dd, p);
  set_addenda(dd, p);
}

// Gives both gears the same rack proportions: the smaller dedendum coefficient, the smaller fillet, tips
// lowered to the limits, and (unless tips may only be reduced) the smaller addendum coefficient.
void keep_pinion_wheel_alike(DesignData& dd, const Pair& p) {
  const ld m = p.m;
  const ld cb = cos_beta(dd);

  // Dedendum coefficients h_f / m + x; on a tie the wheel takes the pinion's.
  {
    const ld coeff[2] = {static_cast<ld>(dd.dedendum[1]) / m + p.x[1], static_cast<ld>(dd.dedendum[0]) / m + p.x[0]};
    ld smaller = 0;
    const int kind = least_of(coeff, smaller);
    if (kind != 0) {
      const int taker = kind == 2 ? 1 : 0;
      dd.dedendum[taker] = static_cast<float>((smaller - p.x[taker]) * m);
      dd.root_diameter[taker] =
          static_cast<float>(reference_of(p, cb, taker) - 2 * static_cast<ld>(dd.dedendum[taker]));
    }
  }
  {
    const float fillets[2] = {dd.root_fillet_radius[0], dd.root_fillet_radius[1]};
    float smaller = 0;
    if (least_of(fillets, smaller) != 0) dd.root_fillet_radius[0] = dd.root_fillet_radius[1] = smaller;
  }

  reduce_tips(dd, p);

  if (dd.allow_tip_diameter_reduction == 0) {
    // Addendum coefficients h_a / m - x; on a tie the wheel takes the pinion's.
    const ld coeff[2] = {static_cast<ld>(dd.addendum[1]) / m - p.x[1], static_cast<ld>(dd.addendum[0]) / m - p.x[0]};
    ld smaller = 0;
    const int kind = least_of(coeff, smaller);
    if (kind != 0) {
      const int taker = kind == 2 ? 1 : 0;
      dd.addendum[taker] = static_cast<float>((smaller + p.x[taker]) * m);
      dd.tip_diameter[taker] =
          static_cast<float>(reference_of(p, cb, taker) + 2 * static_cast<ld>(dd.addendum[taker]));
      dd.eap_diameter[taker] = static_cast<float>(static_cast<ld>(dd.tip_diameter[taker]) -
                                                  2 * static_cast<ld>(dd.tip_chamfer[taker]));
    }
  }
}

// The tooth proportions of both gears as the routines below write them, to be kept when the
// constraints cut no sound tooth.
struct Proportions {
  float root[2], fillet[2], tip[2], eap[2], addendum[2], dedendum[2], rack_form[2], form[2], sap[2];
};

Proportions proportions_of(const DesignData& dd) {
  Proportions k{};
  for (int i = 0; i < 2; ++i) {
    k.root[i] = dd.root_diameter[i];
    k.fillet[i] = dd.root_fillet_radius[i];
    k.tip[i] = dd.tip_diameter[i];
    k.eap[i] = dd.eap_diameter[i];
    k.addendum[i] = dd.addendum[i];
    k.dedendum[i] = dd.dedendum[i];
    k.rack_form[i] = dd.rack_form_diameter[i];
    k.form[i] = dd.form_diameter[i];
    k.sap[i] = dd.sap_diameter[i];
  }
  return k;
}

void restore_proportions(DesignData& dd, const Proportions& k) {
  for (int i = 0; i < 2; ++i) {
    dd.root_diameter[i] = k.root[i];
    dd.root_fillet_radius[i] = k.fillet[i];
    dd.tip_diameter[i] = k.tip[i];
    dd.eap_diameter[i] = k.eap[i];
    dd.addendum[i] = k.addendum[i];
    dd.dedendum[i] = k.dedendum[i];
    dd.rack_form_diameter[i] = k.rack_form[i];
    dd.form_diameter[i] = k.form[i];
    dd.sap_diameter[i] = k.sap[i];
  }
}

// Whether gear i has a sound tooth: root circle below the form circle, the form circle at or below
// the start of active profile, the SAP below the EAP and the EAP at or below the tip, with the mate's
// tip reaching no further than the interference point (contact starts on the involute). The form
// circle is that of the rack's straight flank (the base circle where the rack reaches below it), or
// the protuberance cut's where it lies higher.
bool sound_tooth(const DesignData& dd, const Pair& p, int i) {
  const int j = 1 - i;
  const ld d_f = dd.root_diameter[i];
  const ld tip = dd.tip_diameter[i];
  const ld eap = dd.eap_diameter[i];
  const ld r_b = p.d_b[i] / 2;
  const ld r = r_b * p.tan_at - ((p.d[i] - d_f) / 2 - (1 - p.sin_an) * static_cast<ld>(dd.root_fillet_radius[i])) / p.sin_at;
  ld form = r > 0 ? 2 * std::sqrt(r * r + r_b * r_b) : 2 * r_b;
  if (dd.protuberance[i] > 0 && dd.form_diameter[i] > form) form = dd.form_diameter[i];
  const ld eap_j = dd.eap_diameter[j];
  if (!(eap_j >= p.d_b[j]) || !(eap >= p.d_b[i])) return false;
  const ld sap_roll = p.a_sin_awt - std::sqrt(eap_j * eap_j / 4 - p.d_b[j] * p.d_b[j] / 4);
  const ld sap = 2 * std::sqrt(sap_roll * sap_roll + r_b * r_b);
  // Diameters are held in single precision: a form circle the constraints put exactly at the SAP may
  // come out a few units of the last place above it.
  const ld slack = 1e-6L * tip;
  return sap_roll >= 0 && d_f < form && form <= sap + slack && sap < eap && eap <= tip + slack &&
         std::isfinite(static_cast<double>(tip)) && tip > 0;
}

// After a calculation or tip reduction: where either gear has no sound tooth, both keep the
// proportions they had (the gears' proportions hang together), and the flags say which was unsound.
void keep_sound_teeth(DesignData& dd, const Pair& p, const Proportions& before) {
  bool sound[2];
  for (int i = 0; i < 2; ++i) sound[i] = sound_tooth(dd, p, i);
  if (sound[0] && sound[1]) return;
  restore_proportions(dd, before);
  for (int i = 0; i < 2; ++i) dd.tooth_proportions_kept[i] = sound[i] ? 0 : 1;
}

}  // namespace

float det2(float a, float b, float c, float d) {
  return static_cast<float>(static_cast<ld>(a) * d - static_cast<ld>(b) * c);
}

bool tooth_proportions_kept(const DesignData& dd) {
  return dd.tooth_proportions_kept[0] != 0 || dd.tooth_proportions_kept[1] != 0;
}

long double flank_normal_half_angle(long double D, long double h, long double d, long double d_b,
                                    long double tan_beta) {
  return std::cos(std::atan(D / d * tan_beta)) * (h - involute(checked_acos(d_b / D)));
}

long double finished_normal_thickness(const DesignData& dd, int i, long double D) {
  const ld h = static_cast<ld>(dd.thickness_finished_transverse[i]) / dd.reference_diameter[i] +
               involute(deg_to_rad(dd.transverse_pressure_angle));
  return D * flank_normal_half_angle(D, h, dd.reference_diameter[i], dd.base_diameter[i],
                                     std::tan(deg_to_rad(dd.helix_angle)));
}

float tip_thickness_with_chamfer(float d_a_in, float c_t_in, float s_e, float gamma_deg, float d_b_in, float d_in,
                                 float beta_deg, float s_t, float alpha_t_deg, float* chamfer_depth) {
  const ld d_a = d_a_in;
  const ld c_t = c_t_in;
  const ld d_b = d_b_in;
  const ld d = d_in;
  const ld gamma = deg_to_rad(gamma_deg);
  const ld tan_beta = std::tan(deg_to_rad(beta_deg));
  auto flank_half_angle = [&](ld D, ld h) { return flank_normal_half_angle(D, h, d, d_b, tan_beta); };

  // The chamfer starts at E on the EAP circle; its line, inclined at gamma to the tooth centre line,
  // reaches the tip circle at the half-angle theta.
  const ld d_e = d_a - 2 * c_t;
  const ld psi_e = s_e / d_e;
  const ld e_x = d_e / 2 * std::sin(psi_e);
  const ld e_y = d_e / 2 * std::cos(psi_e);
  // Height at which the chamfer line crosses the tooth centre line.
  const ld y = e_y + e_x / std::tan(gamma);
  ld theta;
  if (c_t != 0 && y < d_a / 2) {
    // The chamfers of the two flanks meet below the tip circle: the tooth ends in a point there. The
    // thickness is negative, the half-angle at which the extended chamfer line, past the centre line,
    // reaches the tip circle, so that it falls on through zero as the point sinks below the tip.
    const ld u_x = -std::sin(gamma), u_y = std::cos(gamma);
    const ld along = e_x * u_x + e_y * u_y;
    const ld t = -along + std::sqrt(along * along - d_e * d_e / 4 + d_a * d_a / 4);
    theta = std::atan2(e_x + t * u_x, e_y + t * u_y);
  } else {
    theta = bisect<ld>(
        0, psi_e, kChamferAngleTolerance,
        [&](ld th) {
          const ld t_x = d_a / 2 * std::sin(th);
          const ld t_y = d_a / 2 * std::cos(th);
          return !(std::atan((e_x - t_x) / (t_y - e_y)) < gamma);
        },
        kMaxBisectionSteps);
  }
  // A chamfer line inclined less than the flank at the tip (an angle below the pressure angle there)
  // leaves the flank before the tip circle and cuts nothing of the tip: the tip is then the flank's
  // own, the finished flank through E. So is a tooth whose flanks meet below the tip circle.
  if (c_t != 0 && d_e > d_b) {
    const ld through_e = psi_e / std::cos(std::atan(d_e / d * tan_beta)) + involute(checked_acos(d_b / d_e));
    const ld flank_at_tip = flank_half_angle(d_a, through_e);
    if (flank_at_tip < theta) theta = flank_at_tip;
  }

  if (chamfer_depth) {
    ld depth = 0;
    if (c_t != 0) {
      // Find the diameter at which the extended chamfer line meets the unthinned flank. The flank thinned
      // for backlash starts the chamfer inside the unthinned one, so the meeting lies the lower the more
      // the tooth is thinned: it is sought all the way down to the base circle, where the flank begins.
      const ld unthinned = s_t / d + involute(deg_to_rad(alpha_t_deg));
      auto below_meeting = [&](ld dia) {
        const ld psi = flank_half_angle(dia, unthinned);
        const ld l = checked_sqrt(dia * dia / 4 + y * y - dia * y * std::cos(psi));
        const ld delta = checked_asin(dia / 2 / l * std::sin(psi));
        return delta < gamma;
      };
      // A chamfer that starts at or below the base circle, or whose line meets the unthinned flank
      // nowhere above the base circle (an angle below the flank's slope leaves the line inside the tooth
      // all the way down, and so does a thinning too deep for it): the depth is the chamfer itself, and
      // the unthinned outline keeps its involute up to where the chamfer starts.
      ld D = d_e;
      if (d_e > d_b && below_meeting(d_b)) {
        D = bisect<ld>(d_b, d_e, kChamferDepthTolerance, below_meeting, kMaxBisectionSteps);
      }
      depth = (d_a - D) / 2;
    }
    *chamfer_depth = static_cast<float>(depth);
  }
  return static_cast<float>(d_a * theta);
}

ToothProportionKinds calc_tooth_proportions(DesignData& dd) {
  const Pair p = read_pair(dd);
  const Proportions before = proportions_of(dd);
  ToothProportionKinds kinds;

  // Pinion root with the wheel's tip, then the wheel root with the pinion's tip; the limit kinds of one
  // gear steer only that gear's second root and fillet passes.
  for (int g = 0; g < 2; ++g) {
    const int n = 1 - g;
    const int32_t root_kind = root_of(dd, p, g);
    const int32_t tip_kind = tip_of(dd, p, g, n);
    int32_t second_root_kind = 0;
    int32_t fillet_kind = 0;
    // The mate's tip is held by its own thickness or its maximum, below what the root of g allows.
    if (tip_kind == 4 || tip_kind == 5) second_root_kind = second_root_of(dd, p, g, n);
    // The root is the minimum root and the mate's tip sits at the bottom clearance, or the second pass
    // chose the bottom clearance: the fillet can grow.
    if ((tip_kind == 1 && root_kind == 3) || second_root_kind == 3) fillet_kind = fillet_of(dd, p, g, n);
    kinds.root[g] = root_kind;
    kinds.tip[n] = tip_kind;
    kinds.second_root[g] = second_root_kind;
    kinds.fillet[g] = fillet_kind;
  }

  protuberance_limit(dd, p);

  set_addenda(dd, p);
  const ld cb = cos_beta(dd);
  for (int i = 0; i < 2; ++i)
    dd.dedendum[i] = static_cast<float>((reference_of(p, cb, i) - static_cast<ld>(dd.root_diameter[i])) / 2);

  if (dd.keep_pinion_wheel_same == 1) keep_pinion_wheel_alike(dd, p);
  dd.tooth_proportions_kept[0] = dd.tooth_proportions_kept[1] = 0;
  keep_sound_teeth(dd, p, before);
  return kinds;
}

void limit_tip_diameters(DesignData& dd) {
  const Pair p = read_pair(dd);
  dd.tooth_proportions_kept[0] = dd.tooth_proportions_kept[1] = 0;
  reduce_tips(dd, p);
}

}  // namespace morvell
