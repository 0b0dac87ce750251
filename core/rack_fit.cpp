#include "rack_fit.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "geometry_pass.h"
#include "geometry_warnings.h"
#include "numeric.h"
#include "rack_database.h"

namespace morvell {

namespace {

std::string length_text(float mm) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f mm", static_cast<double>(mm));
  return text;
}

}  // namespace

std::string tooth_proportions_problem(const DesignData& d, int gear) {
  for (int i = 0; i < 2; ++i) {
    if (gear >= 0 && i != gear) continue;
    const std::string gear = i == 0 ? "pinion" : "wheel";
    const float tip = d.tip_diameter[i], root = d.root_diameter[i], form = d.rack_form_diameter[i];
    if (!std::isfinite(tip) || !std::isfinite(root) || !std::isfinite(form))
      return "the tooth proportions of the " + gear + " give no tooth (its tip, root or form diameter is no number)";
    if (!(root < tip))
      return "the root diameter of the " + gear + " (" + length_text(root) + ") is not below its tip diameter (" +
             length_text(tip) + ")";
    if (tip < form)
      return "the tip diameter of the " + gear + " (" + length_text(tip) +
             ") lies below the form circle of its flank (" + length_text(form) + "): no active profile is left";
  }
  return {};
}

std::string tooth_proportions_problem_of(const DesignData& d, int gear) {
  auto copy = std::make_unique<DesignData>(d);
  std::vector<std::string> reports;  // a domain error of the trial belongs to no refresh
  const DomainErrorCollector quiet(reports);
  // The geometry as the refresh works it out: the first pass (in Standard Rack mode the rack sets the
  // proportions and the pressure angle), the corrections between the passes, the second pass.
  copy->second_geometry_pass = 0;
  calc_gear_geometry(*copy);
  check_geometry_warnings(*copy, {});
  copy->second_geometry_pass = 1;
  calc_gear_geometry(*copy);
  return tooth_proportions_problem(*copy, gear);
}

std::string rack_fit_problem(const DesignData& d) {
  if (std::string problem = rack_problem(d.basic_rack); !problem.empty()) return problem;
  auto copy = std::make_unique<DesignData>(d);
  copy->tooth_proportion_mode = 1;
  return tooth_proportions_problem_of(*copy);
}

}  // namespace morvell
