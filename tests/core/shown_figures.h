// The figures the main window shows of a design (geometry, inspection, contact and rating results), to
// compare one design reached by two paths: the same design must show the same figures.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design_data.h"

namespace morvell::testing {

struct ShownFigure {
  std::string name;
  float value;
};

inline std::vector<ShownFigure> shown_figures(const DesignData& d) {
  std::vector<ShownFigure> f = {
      {"module", d.normal_module},
      {"pressure angle", d.normal_pressure_angle},
      {"helix angle", d.helix_angle},
      {"centre distance", d.centre_distance},
      {"z1", float(d.teeth[0])},
      {"z2", float(d.teeth[1])},
      {"shift sum", d.profile_shift_sum},
      {"backlash", d.backlash_normal},
      {"transverse contact ratio", d.transverse_contact_ratio},
      {"axial contact ratio", d.axial_contact_ratio},
      {"bending safety pinion", d.bending_safety_factor_pinion},
      {"bending safety wheel", d.bending_safety_factor_wheel},
  };
  const struct {
    const char* what;
    const float* v;
  } per_gear[] = {{"shift", d.profile_shift},
                  {"face width", d.face_width},
                  {"tip diameter", d.tip_diameter},
                  {"root diameter", d.root_diameter},
                  {"fillet radius", d.root_fillet_radius},
                  {"protuberance", d.protuberance},
                  {"tip chamfer", d.tip_chamfer},
                  {"finished thickness", d.thickness_finished_normal},
                  {"nominal thickness", d.thickness_nominal_normal},
                  {"tip thickness", d.tip_thickness_normal},
                  {"form diameter", d.form_diameter},
                  {"SAP diameter", d.sap_diameter},
                  {"ball", d.ball_diameter},
                  {"measurement over balls", d.ball_measurement_finished},
                  {"span measurement", d.chordal_span_finished},
                  {"contact safety", d.contact_safety_factor}};
  for (const auto& g : per_gear)
    for (int i = 0; i < 2; ++i) f.push_back({std::string(g.what) + (i == 0 ? " pinion" : " wheel"), g.v[i]});
  // A pair that is not rated shows no rating results (the fields may hold those of an earlier design).
  f.push_back({"rated", float(d.rating_valid)});
  if (d.rating_valid != 1)
    for (ShownFigure& x : f)
      if (x.name.find("safety") != std::string::npos) x.value = std::nanf("");
  return f;
}

// Equal figures: the same float, or both not a number. `tolerance` is relative to the figure or 1,
// whichever is larger (0: bit for bit); the figures whose names begin with `coarse` (if given) are
// compared with `coarse_tolerance` instead.
inline ::testing::AssertionResult same_figures(const DesignData& a, const DesignData& b, double tolerance = 0,
                                               const std::string& coarse = "", double coarse_tolerance = 0) {
  const std::vector<ShownFigure> fa = shown_figures(a), fb = shown_figures(b);
  std::string differ;
  for (std::size_t k = 0; k < fa.size(); ++k) {
    const float x = fa[k].value, y = fb[k].value;
    const double t = !coarse.empty() && fa[k].name.rfind(coarse, 0) == 0 ? coarse_tolerance : tolerance;
    const bool same = x == y || (std::isnan(x) && std::isnan(y)) ||
                      (t > 0 && std::fabs(double(x) - y) <= t * std::max(1.0, std::fabs(double(y))));
    if (!same) differ += "\n  " + fa[k].name + ": " + std::to_string(x) + " vs " + std::to_string(y);
  }
  if (differ.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "figures differ:" << differ;
}

}  // namespace morvell::testing
