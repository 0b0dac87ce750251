// The tooth outlines of seeded random designs within the main window's and the dialogs' ranges (spur and
// helical, shifts, typed tips, the three tooth-proportion modes with random constraints, chamfers and
// their angles, fillets, protuberances, backlash), each worked out as the refresh does (geometry pass,
// warnings and corrections, geometry pass again). Every outline, finished and nominal, of both gears is
// finite, closed, between its root and tip circles, on or inside the involute tooth of its thickness (an
// own model, by the roll angle), and never crosses itself; or a geometry warning of that refresh says
// why not. MORVELL_OUTLINE_PROPERTY_CASES sets the number of designs (scripts/fuzz.sh runs more).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_refresh.h"
#include "geometry_pass.h"
#include "geometry_warnings.h"
#include "numeric.h"
#include "startup_values.h"
#include "tooth_profile.h"

using namespace morvell;

namespace {

constexpr int kFlankFirstPoint = 125;

struct QuietReporter {
  DomainErrorReporter previous;
  QuietReporter() { previous = set_domain_error_reporter([](const std::string&) {}); }
  ~QuietReporter() { set_domain_error_reporter(previous); }
};

// The start-up design as the program opens it.
std::unique_ptr<DesignData> startup_design() {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  copy_text(d->design_file_name, MORVELL_SOURCE_DIR "/data/default_input_file.mvl");
  EXPECT_TRUE(read_design_file(*d).ok());
  return d;
}

// One refresh of the shown design (geometry, the warnings' corrections, geometry again, outlines and form
// diameters). Returns what the warnings said; warned[gear] tells whether a warning named that gear.
std::vector<std::string> refresh(DesignData& d, bool warned[2]) {
  std::vector<std::string> said;
  refresh_design(d, [&](GeometryWarning, int gear) {
    warned[gear] = true;
    said.push_back(std::string(d.warning_lines[0]) + " / " + d.warning_lines[1]);
  });
  return said;
}

// Half-angle of the involute tooth of transverse thickness s at the reference radius r, at radius R,
// by the roll angle of the base circle's unwinding: a point of the involute at roll angle e lies at
// radius r_b sqrt(1 + e^2), turned back by e - atan(e) from where the involute leaves the base circle.
ld own_involute_half_angle(ld s, ld r, ld r_b, ld R) {
  auto unwound = [&](ld radius) {
    const ld e = std::sqrt(std::fmax(0.0L, radius * radius / (r_b * r_b) - 1));
    return e - std::atan(e);
  };
  return s / (2 * r) + unwound(r) - unwound(R);
}

// The outline's faults against the rules it is built from; empty when it keeps them.
std::vector<std::string> outline_faults(const DesignData& d, int gear, bool nominal, const ToothProfile& p) {
  std::vector<std::string> faults;
  const ld z = d.teeth[gear];
  const ld m = d.normal_module;
  const ld beta = deg_to_rad(ld(d.helix_angle));
  const ld r = z * m / (2 * std::cos(beta));
  const ld alpha_t = std::atan(std::tan(deg_to_rad(ld(d.normal_pressure_angle))) / std::cos(beta));
  const ld r_b = r * std::cos(alpha_t);
  const ld r_f = ld(d.root_diameter[gear]) / 2, r_a = ld(d.tip_diameter[gear]) / 2;
  const ld s = nominal ? ld(d.thickness_nominal_transverse[gear]) : ld(d.thickness_finished_transverse[gear]);
  // Single-precision points: a few units of the last place of the largest radius.
  const ld tol = 4e-6L * r_a + 1e-5L;
  auto add = [&](const std::string& text, int k) {
    std::ostringstream o;
    o << text << " at point " << k << " (" << p[k].x << ", " << p[k].y << ")";
    faults.push_back(o.str());
  };
  for (int k = 0; k < 500; ++k) {
    if (!std::isfinite(p[k].x) || !std::isfinite(p[k].y)) {
      add("not finite", k);
      return faults;
    }
  }
  const ld pitch = 2 * kPi * r_a / z;
  const ld longest = (r_a - r_f) + pitch;
  for (int k = 0; k < 500; ++k) {
    const ld x = p[k].x, y = p[k].y;
    const ld R = std::hypot(x, y);
    if (R < r_f - tol || R > r_a + tol) add("off the band between root and tip circles", k);
    const ld polar = std::atan2(x, y);
    // The flank, the chamfer and the tip arc (the fillet below the form circle is the tooth space's).
    if (k >= kFlankFirstPoint && k < 250 && R > r_b + tol && R <= r_a + tol) {
      const ld limit = own_involute_half_angle(s, r, r_b, std::fmin(R, r_a));
      if (std::fabs(polar) > limit + tol / R) add("outside the involute tooth", k);
    }
    if (k < 250 && x < -tol) add("across the tooth centre line", k);
    if (k > 0 && std::hypot(x - p[k - 1].x, y - p[k - 1].y) > longest) add("a jump", k);
  }
  // Closed: the outline runs from the middle of one tooth space to the middle of the next.
  const ld half_space = kPi / z;
  if (std::fabs(std::atan2(ld(p[0].x), ld(p[0].y)) - half_space) > 1e-5L ||
      std::fabs(std::atan2(ld(p[499].x), ld(p[499].y)) + half_space) > 1e-5L)
    add("not closed from tooth space to tooth space", 0);
  // Never crossing itself: no two segments of the half outline (the other half is its mirror image,
  // kept on its own side of the centre line above) cross, neighbours apart.
  auto cross = [](ld ax, ld ay, ld bx, ld by, ld cx, ld cy) { return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax); };
  for (int i = 0; i + 1 < 250; ++i) {
    for (int j = i + 2; j + 1 < 250; ++j) {
      const ProfilePoint a = p[i], b = p[i + 1], c = p[j], e = p[j + 1];
      const ld d1 = cross(a.x, a.y, b.x, b.y, c.x, c.y), d2 = cross(a.x, a.y, b.x, b.y, e.x, e.y);
      const ld d3 = cross(c.x, c.y, e.x, e.y, a.x, a.y), d4 = cross(c.x, c.y, e.x, e.y, b.x, b.y);
      if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        add("crossing itself (segment " + std::to_string(i) + ")", j);
        return faults;
      }
    }
  }
  return faults;
}

std::string describe(const DesignData& d) {
  std::ostringstream o;
  o << "z " << d.teeth[0] << "/" << d.teeth[1] << ", m " << d.normal_module << ", alpha " << d.normal_pressure_angle
    << ", beta " << d.helix_angle << ", x " << d.profile_shift[0] << "/" << d.profile_shift[1] << ", mode "
    << d.tooth_proportion_mode << ", jn " << d.backlash_normal;
  for (int i = 0; i < 2; ++i)
    o << (i ? "; wheel" : "; pinion") << " da " << d.tip_diameter[i] << " df " << d.root_diameter[i] << " rho "
      << d.root_fillet_radius[i] << " c " << d.tip_chamfer[i] << "@" << d.tip_chamfer_angle[i] << " pr "
      << d.protuberance[i];
  return o.str();
}

// A random design within the windows' ranges, built on the start-up design.
void randomise(DesignData& d, std::mt19937_64& rng) {
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto chance = [&](double p) { return uniform(0, 1) < p; };
  d.geometry_manager_mode = 0;
  d.shift_distribution_auto = 0;
  d.rating_enabled = 0;  // the outlines are the matter here
  d.teeth[0] = int32_t(uniform(6, 60));
  d.teeth[1] = int32_t(uniform(double(d.teeth[0]), 160));
  d.actual_ratio = float(ld(d.teeth[1]) / d.teeth[0]);
  d.normal_module = float(uniform(0.5, 10));
  d.normal_pressure_angle = float(chance(0.5) ? 20 : uniform(10, 30));
  d.helix_angle = float(chance(0.4) ? 0 : uniform(0, 44));
  d.profile_shift[0] = float(uniform(-0.5, 1.0));
  d.profile_shift[1] = float(uniform(std::fmax(-1.0, -1.0 - d.profile_shift[0]), std::fmin(1.5, 1.5 - d.profile_shift[0])));
  d.profile_shift_sum = d.profile_shift[0] + d.profile_shift[1];
  d.backlash_normal = float(chance(0.3) ? 0 : uniform(0, 0.15) * d.normal_module);
  d.basic_rack.pressure_angle = d.normal_pressure_angle;
  const int mode = int(uniform(0, 3));
  d.tooth_proportion_mode = mode;
  d.allow_tip_diameter_reduction = chance(0.5) ? 1 : 0;
  const ld m = d.normal_module;
  for (int i = 0; i < 2; ++i) {
    d.basic_rack.addendum_coeff[i] = float(uniform(0.8, 1.3));
    d.basic_rack.dedendum_coeff[i] = float(uniform(1.1, 1.45));
    d.basic_rack.fillet_radius_coeff[i] = float(uniform(0.05, 0.4));
    d.addendum[i] = float((ld(d.basic_rack.addendum_coeff[i]) + d.profile_shift[i]) * m);
    d.dedendum[i] = float((ld(d.basic_rack.dedendum_coeff[i]) - d.profile_shift[i]) * m);
    d.root_fillet_radius[i] = float(ld(d.basic_rack.fillet_radius_coeff[i]) * m);
    d.tip_chamfer[i] = 0;
    d.protuberance[i] = chance(0.2) ? float(uniform(0, 0.1) * m) : 0.0f;
  }
  d.constraints_use_defaults = chance(0.5) ? 1 : 0;
  if (d.constraints_use_defaults == 0) {
    for (int i = 0; i < 2; ++i) {
      d.min_tip_thickness_coeff[i] = float(uniform(0, 0.75));
      d.min_eap_thickness_coeff[i] = float(uniform(0, 0.75));
      d.min_form_to_sap[i] = float(uniform(0, 0.5) * m);
      d.min_base_to_form[i] = float(uniform(0, 0.5) * m);
      d.min_bottom_clearance_coeff[i] = float(uniform(0, 1));
      d.min_root_fillet_coeff[i] = float(uniform(0, 1) * m);
      d.max_tip_diameter[i] = 1e9f;
      d.min_root_diameter[i] = 0;
    }
  }
  // A first refresh puts the rack's tips and roots in place, as the window shows them before the
  // chamfers and typed tips are entered.
  bool warned[2] = {};
  refresh(d, warned);
  for (int i = 0; i < 2; ++i) {
    if (mode == 0 && chance(0.5)) {
      // A typed tip, from just above the form circle to well beyond the rack's tip. (The tip box takes
      // a tip down to the form circle of the rack's straight flank; a protuberance raises the form
      // circle above it, which this property leaves to the tip box.)
      const ld low = std::fmax(ld(d.rack_form_diameter[i]), ld(d.form_diameter[i])) + 0.25L * m;
      const ld tip = uniform(double(low), double(ld(d.reference_diameter[i]) + 2 * (1.4L + d.profile_shift[i]) * m));
      if (tip > low) {
        d.tip_diameter[i] = float(tip);
        d.addendum[i] = float((tip - ld(d.reference_diameter[i])) / 2);
      }
    }
    if (chance(0.5)) {
      const ld least = (ld(d.thickness_nominal_normal[i]) - d.thickness_finished_normal[i]) / 2 + 0.025L;
      if (least <= 0.25L * m) d.tip_chamfer[i] = float(uniform(double(least), double(0.25L * m)));
      const ld tip_angle = rad_to_deg(std::acos(std::fmin(1.0L, ld(d.base_diameter[i]) / d.tip_diameter[i])));
      d.tip_chamfer_angle[i] = float(uniform(double(tip_angle), 89));
    }
    d.eap_diameter[i] = float(ld(d.tip_diameter[i]) - 2 * ld(d.tip_chamfer[i]));
  }
}

int property_cases() {
  const char* text = std::getenv("MORVELL_OUTLINE_PROPERTY_CASES");
  const int n = text ? std::atoi(text) : 0;
  return n > 0 ? n : 300;
}

}  // namespace

TEST(OutlineProperty, EveryOutlineKeepsItsRulesOrAWarningSaysWhy) {
  QuietReporter quiet;
  std::mt19937_64 rng(46);
  const auto base = startup_design();
  int checked = 0;
  for (int n = 0; n < property_cases(); ++n) {
    auto d = std::make_unique<DesignData>(*base);
    randomise(*d, rng);
    bool warned[2] = {};
    const std::vector<std::string> said = refresh(*d, warned);
    for (int gear = 0; gear < 2; ++gear) {
      for (const bool nominal : {false, true}) {
        ToothProfile profile{};
        generate_tooth_profile(nominal ? nominal_outline_input(*d, gear) : finished_outline_input(*d, gear), nullptr,
                               profile);
        const std::vector<std::string> faults = outline_faults(*d, gear, nominal, profile);
        ++checked;
        if (faults.empty() || warned[gear]) continue;
        ADD_FAILURE() << "design " << n << " (" << describe(*d) << "), " << (gear ? "wheel" : "pinion") << ", "
                      << (nominal ? "nominal" : "finished") << " outline: " << faults.front() << " ("
                      << faults.size() << " faults), no warning";
      }
    }
  }
  EXPECT_EQ(checked, 4 * property_cases());
}
