#include "design_refresh.h"

#include "geometry_pass.h"
#include "life_and_damage.h"
#include "rating_input.h"
#include "tooth_profile.h"

namespace morvell {

void refresh_design(DesignData& d, const GeometryWarningShow& show) {
  // Geometry, corrections, geometry again from the corrected inputs.
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  check_geometry_warnings(d, show);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);

  // Tooth outlines of the pinion and then the wheel, for their form diameters (profile_points keeps the
  // wheel's); contact starts no lower than these form circles, and the rating and every report use the
  // contact ratio that starts there.
  for (int i = 0; i < 2; ++i)
    generate_tooth_profile(finished_outline_input(d, i), &d.form_diameter[i], d.profile_points);
  start_contact_at_form_circles(d, d.form_diameter);

  // Rating and life of the current load case.
  const bool ratable = rating_inputs_present(d);
  if (d.rating_enabled == 1) rate_if_ratable(d);

  d.rating_valid = d.transverse_contact_ratio >= 1.0f && ratable ? 1 : 0;
}

}  // namespace morvell
