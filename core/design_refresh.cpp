#include "design_refresh.h"

#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "rating_input.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

// Transverse contact ratio limited by the form circles: where the start of active profile lies below
// the form circle, contact can only start at the form circle.
void limit_contact_ratio_by_form_circles(DesignData& d) {
  ld g[2], rho[2];
  bool limited = false;
  for (int i = 0; i < 2; ++i) {
    const ld dw = d.working_pitch_diameter[i], db = d.base_diameter[i];
    g[i] = checked_sqrt(dw * dw / 4 - db * db / 4);
    const bool below = d.sap_diameter[i] < d.form_diameter[i];
    limited = limited || below;
    const ld D = below ? d.form_diameter[i] : d.sap_diameter[i];
    rho[i] = checked_sqrt(D * D / 4 - db * db / 4);
  }
  if (limited)
    d.transverse_contact_ratio = float((g[0] + g[1] - rho[0] - rho[1]) / ld(d.transverse_base_pitch));
}

}  // namespace

void refresh_design(DesignData& d, const GeometryWarningShow& show) {
  // Geometry, corrections, geometry again from the corrected inputs.
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  check_geometry_warnings(d, show);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);

  // Rating and life of the current load case.
  const bool ratable = rating_inputs_present(d);
  if (d.rating_enabled == 1) rate_if_ratable(d);

  // Tooth outlines of the pinion and then the wheel, for their form diameters.
  for (int i = 0; i < 2; ++i)
    generate_tooth_profile(finished_outline_input(d, i), &d.form_diameter[i], d.profile_points);

  limit_contact_ratio_by_form_circles(d);
  d.rating_valid = d.transverse_contact_ratio >= 1.0f && ratable ? 1 : 0;
}

}  // namespace morvell
