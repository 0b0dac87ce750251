#include "material_table.h"

#include "design_data.h"
#include "hardness.h"
#include "numeric.h"

#include <cstdio>

namespace morvell {

namespace {

struct MaterialRow {
  const char* name;  // as the material lists show it
  float sigma_hlim, sigma_flim, hardness_hrc, elastic_modulus, yield_stress, tensile_strength, poisson_ratio;
};

// Rows by material type; type 0 "Input" repeats type 1 "Steel". Cast irons have no yield stress.
constexpr MaterialRow kMaterials[kMaterialTypeCount] = {
    {"Input", 400, 130, 12, 207000, 245, 492, 0.3f},
    {"Steel", 400, 130, 12, 207000, 245, 492, 0.3f},
    {"Through Hardening Steel, Through Hardened", 850, 320, 31, 207000, 680, 925, 0.3f},
    {"Grey Cast Iron", 350, 60, 12, 120000, 0, 220, 0.28f},
    {"Nodular Cast Iron (pearlitic,bainitic)", 575, 200, 24, 120000, 0, 220, 0.28f},
    {"Nodular Cast Iron (ferritic)", 575, 200, 24, 120000, 0, 220, 0.28f},
    {"Black Malleable Cast Iron", 450, 150, 12, 120000, 0, 220, 0.28f},
    {"Case Hardening Steel", 1500, 500, 62, 207000, 850, 2250, 0.3f},
    {"Flame or Induction Hardened Steel", 1200, 370, 55, 207000, 680, 925, 0.3f},
    {"Nitriding Steel, Nitrided", 1250, 420, 63, 207000, 850, 1250, 0.3f},
    {"Through and Case Hardening Steel, Nitrided", 1000, 360, 55, 207000, 680, 925, 0.3f},
    {"Through and Case Hardening Steel, Nitrocarburized", 950, 380, 55, 207000, 680, 925, 0.3f},
};

bool known_type(int32_t material_type) { return material_type_ok(material_type); }

float scaled(double factor, float value) { return static_cast<float>(factor * static_cast<ld>(value)); }

// One gear's S-N points, as references into the design data.
struct SnPoints {
  int32_t type, limited_pitting;
  float sigma_hlim, sigma_flim;
  float &h_static, &n_h_static, &n_h_lim, &h_pit, &n_h_pit, &h_inf, &n_h_inf;
  float &f_static, &n_f_static, &n_f_lim, &f_inf, &n_f_inf;
};

void estimate_sn_points(SnPoints p) {
  using M = MaterialType;
  const float h = p.sigma_hlim, f = p.sigma_flim;
  if (!material_type_ok(p.type)) return;  // a type outside the table: the curves stay
  // "Input" holds the stress numbers of "Steel" until they are entered, and its curves are estimated from
  // its stress numbers as those of "Steel" are; it allows no limited pitting.
  const M type = rated_material(p.type);
  const bool limited_pitting = allows_limited_pitting(p.type) && p.limited_pitting != 0;

  // Contact: static point, endurance knee, unlimited life and the limited-pitting point. The types that
  // allow limited pitting have their knee at 5e7 cycles (1e9 with limited pitting), the others at 2e6.
  if (allows_limited_pitting(int32_t(type))) {
    if (limited_pitting) {
      p.h_static = scaled(1.6, h), p.n_h_static = 6e5f, p.n_h_lim = 1e9f;
      p.h_pit = scaled(1.3, h), p.n_h_pit = 1e7f;
    } else {
      p.h_static = scaled(1.6, h), p.n_h_static = 1e5f, p.n_h_lim = 5e7f;
      p.h_pit = h, p.n_h_pit = 5e7f;
    }
  } else {
    p.h_static = scaled(type == M::NitrocarburizedSteel ? 1.1 : 1.3, h), p.n_h_static = 1e5f, p.n_h_lim = 2e6f;
    p.h_pit = h, p.n_h_pit = 2e6f;
  }
  p.h_inf = scaled(0.85, h), p.n_h_inf = 1e10f;

  // Bending: static point by type; knee at 3e6 cycles, unlimited life at 0.85 sigma_Flim.
  switch (type) {
    case M::ThroughHardenedSteel: case M::PearliticNodularCastIron: case M::BlackMalleableCastIron:
      p.f_static = scaled(2.5, f), p.n_f_static = 1e4f;
      break;
    case M::CaseHardenedSteel: case M::FlameOrInductionHardenedSteel:
      p.f_static = scaled(2.5, f), p.n_f_static = 1e3f;
      break;
    case M::NitrocarburizedSteel: p.f_static = scaled(1.1, f), p.n_f_static = 1e3f; break;
    default: p.f_static = scaled(1.6, f), p.n_f_static = 1e3f; break;  // Steel (and "Input"), the rest
  }
  p.n_f_lim = 3e6f;
  p.f_inf = scaled(0.85, f), p.n_f_inf = 1e10f;
}

}  // namespace

const char* material_type_name(int32_t material_type) {
  return known_type(material_type) ? kMaterials[material_type].name : "";
}

const char* material_report_name(int32_t material_type) {
  return material_type == int32_t(MaterialType::Input) ? "Material Input" : material_type_name(material_type);
}

void material_properties(float* sigma_hlim, float* sigma_flim, float* hardness, float* elastic_modulus,
                         float* yield_stress, float* tensile_strength, float* poisson_ratio, int32_t material_type,
                         int32_t hardness_scale) {
  if (!known_type(material_type)) return;
  const MaterialRow& row = kMaterials[material_type];
  *sigma_hlim = row.sigma_hlim;
  *sigma_flim = row.sigma_flim;
  if (hardness_scale == 1) *hardness = convert_hardness(row.hardness_hrc, kHrcToHb);
  else if (hardness_scale == 2) *hardness = convert_hardness(row.hardness_hrc, kHrcToHv);
  else *hardness = row.hardness_hrc;
  *elastic_modulus = row.elastic_modulus;
  *yield_stress = row.yield_stress;
  *tensile_strength = row.tensile_strength;
  *poisson_ratio = row.poisson_ratio;
}

void material_properties(DesignData& d, int gear) {
  if (gear == 0) {
    material_properties(&d.sigma_hlim[0], &d.sigma_flim[0], &d.surface_hardness[0], &d.elastic_modulus[0],
                        &d.yield_stress_pinion, &d.tensile_stress_pinion, &d.poisson_ratio[0], d.material_type[0],
                        d.hardness_scale);
  } else if (gear == 1) {
    material_properties(&d.sigma_hlim[1], &d.sigma_flim[1], &d.surface_hardness[1], &d.elastic_modulus[1],
                        &d.yield_stress_wheel, &d.tensile_stress_wheel, &d.poisson_ratio[1], d.material_type[1],
                        d.hardness_scale);
  }
}

void estimate_material(DesignData& d, int32_t material_type) {
  for (int g = 0; g < 2; ++g) {
    d.material_type[g] = material_type;
    material_properties(d, g);
    d.sn_estimate[g] = 1;
  }
  updateSNcurves(d);
}

void updateSNcurves(DesignData& d) {
  if (d.sn_estimate[0] == 1) {
    estimate_sn_points({d.material_type[0], d.limited_pitting[0], d.sigma_hlim[0], d.sigma_flim[0],
                        d.sigma_h_static_pinion, d.nl_static_contact_pinion, d.nl_lim_contact_pinion,
                        d.sigma_h_pit_pinion, d.nl_pit_contact_pinion, d.sigma_h_inf_pinion, d.nl_inf_contact_pinion,
                        d.sigma_f_static[0], d.nl_static_bending_pinion, d.nl_lim_bending_pinion,
                        d.sigma_f_inf_pinion, d.nl_inf_bending_pinion});
  }
  if (d.sn_estimate[1] == 1) {
    estimate_sn_points({d.material_type[1], d.limited_pitting[1], d.sigma_hlim[1], d.sigma_flim[1],
                        d.sigma_h_static_wheel, d.nl_static_contact_wheel, d.nl_lim_contact_wheel,
                        d.sigma_h_pit_wheel, d.nl_pit_contact_wheel, d.sigma_h_inf_wheel, d.nl_inf_contact_wheel,
                        d.sigma_f_static[1], d.nl_static_bending_wheel, d.nl_lim_bending_wheel,
                        d.sigma_f_inf_wheel, d.nl_inf_bending_wheel});
  }
  // Without limited pitting the limited-pitting point lies on the endurance knee, whether the curve
  // was estimated or entered: the rating reads only the points.
  if (d.limited_pitting[0] == 0) {
    d.sigma_h_pit_pinion = d.sigma_hlim[0];
    d.nl_pit_contact_pinion = d.nl_lim_contact_pinion;
  }
  if (d.limited_pitting[1] == 0) {
    d.sigma_h_pit_wheel = d.sigma_hlim[1];
    d.nl_pit_contact_wheel = d.nl_lim_contact_wheel;
  }
}

namespace {

struct SnPoint {
  const char* name;      // "contact static", as the design file names the point's values
  const float* stress;   // nullptr: the knee, whose stress number is judged elsewhere
  const float* cycles;
};

std::string sn_number(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

// One curve, its points in the order of their load cycles; `at_most` marks the one point that may share
// its cycles with the next (the limited pitting point, on the knee while limited pitting is off).
SnCurveProblem curve_problem(const SnPoint* points, int count, int at_most, const char* gear, bool whole) {
  auto named = [&](const SnPoint& p, bool stress) {
    return std::string(p.name) + (stress ? " stress (" : " cycles (") + gear + ")";
  };
  bool any_given = false;
  for (int k = 0; k < count; ++k)
    for (const float* v : {points[k].stress, points[k].cycles})
      if (v && *v != 0.0f) any_given = true;
  for (int k = 0; k < count; ++k)
    for (const float* v : {points[k].stress, points[k].cycles}) {
      if (!v) continue;
      const bool missing_allowed = !whole || !any_given;
      if (*v == 0.0f && missing_allowed) continue;
      if (!(*v > 0.0f))
        return {named(points[k], v == points[k].stress) + " " + sn_number(*v) + " must be greater than 0", v};
    }
  // The given cycle counts rise from point to point.
  const SnPoint* before = nullptr;
  int before_index = -1;
  for (int k = 0; k < count; ++k) {
    const float n = *points[k].cycles;
    if (n == 0.0f) continue;
    if (before) {
      const float m = *before->cycles;
      const bool shared_allowed = before_index == at_most && k == at_most + 1;
      if (shared_allowed ? !(m <= n) : !(m < n))
        return {named(*before, false) + " " + sn_number(m) +
                    (shared_allowed ? " must not exceed the " : " must be less than the ") + named(points[k], false) +
                    " " + sn_number(n),
                before->cycles};
    }
    before = &points[k];
    before_index = k;
  }
  return {};
}

}  // namespace

SnCurveProblem sn_curve_problem(const DesignData& d, int gear, bool whole) {
  const bool pinion = gear == 0;
  const char* name = pinion ? "pinion" : "wheel";
  const SnPoint contact[4] = {
      {"contact static", pinion ? &d.sigma_h_static_pinion : &d.sigma_h_static_wheel,
       pinion ? &d.nl_static_contact_pinion : &d.nl_static_contact_wheel},
      {"limited pitting", pinion ? &d.sigma_h_pit_pinion : &d.sigma_h_pit_wheel,
       pinion ? &d.nl_pit_contact_pinion : &d.nl_pit_contact_wheel},
      {"contact endurance", nullptr, pinion ? &d.nl_lim_contact_pinion : &d.nl_lim_contact_wheel},
      {"contact infinite-life", pinion ? &d.sigma_h_inf_pinion : &d.sigma_h_inf_wheel,
       pinion ? &d.nl_inf_contact_pinion : &d.nl_inf_contact_wheel}};
  const SnPoint bending[3] = {
      {"bending static", &d.sigma_f_static[pinion ? 0 : 1],
       pinion ? &d.nl_static_bending_pinion : &d.nl_static_bending_wheel},
      {"bending endurance", nullptr, pinion ? &d.nl_lim_bending_pinion : &d.nl_lim_bending_wheel},
      {"bending infinite-life", pinion ? &d.sigma_f_inf_pinion : &d.sigma_f_inf_wheel,
       pinion ? &d.nl_inf_bending_pinion : &d.nl_inf_bending_wheel}};
  if (SnCurveProblem p = curve_problem(contact, 4, 1, name, whole); !p.ok()) return p;
  return curve_problem(bending, 3, -1, name, whole);
}

}  // namespace morvell
