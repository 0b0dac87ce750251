// The calculation of one refresh of a shown design, in one place: the main window's refresh, the
// working out of a design just opened and the refresh benchmark all run it, so that the same design
// gives the same figures whichever of them worked it out.
#pragma once

#include "design_data.h"
#include "geometry_warnings.h"

namespace morvell {

// In order: the first geometry pass; the geometry checks with their automatic corrections
// (geometry_warnings.h), each finding passed to `show`; the second geometry pass on the corrected
// inputs; the finished tooth outlines of the pinion and then the wheel, which give the form diameters
// (profile_points keeps the wheel's outline); the start of contact, path of contact and contact ratio
// from those form circles (geometry_pass.h); with the rating enabled (rating_enabled 1) the rating, life
// and damage of the current load case where the teeth mesh and the rating inputs hold a material and a
// load (the previous rating results stay otherwise), on that contact ratio; and rating_valid (a contact ratio of at least 1 and rating inputs present). Writes nothing else: the
// modes and flags are the design's own and stay as they are.
void refresh_design(DesignData& d, const GeometryWarningShow& show = {});

}  // namespace morvell
