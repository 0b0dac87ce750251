// Geometry warnings and automatic corrections: between the two geometry passes of a refresh of the
// main window, and of the working out of a design just opened, each gear is checked for a tip chamfer,
// an edge chamfer or a constraint beyond the bound a smaller module or face width sets, a protuberance
// too small for its thinning, a tooth that comes to a point below its outside diameter, a tip that
// crosses the mating root circle, a root fillet too large for the generating rack, a typed ball too
// small to reach its flanks and a mate's tip reaching below the form circle. Each finding but the last is
// corrected in the design data; the main window explains it
// in the warning dialog.
#pragma once

#include <functional>

#include "design_data.h"

namespace morvell {

enum class GeometryWarning {
  tip_chamfer_too_large,   // lowered to its share of the module (input_limits.h)
  edge_chamfer_too_large,  // lowered to its share of the module or of the face width
  constraint_too_large,    // a constraint bounded by the module lowered to its share of it
  protuberance_too_small,  // raised to the thinning of one flank
  zero_tip_width,          // outside diameter lowered to just below the pointed (or chamfer-pointed) tip
  interference,            // outside diameter lowered to clear the mating root circle
  fillet_too_large,        // protuberance raised (up to 0.1 m_n) so that the rack tip fits within the rack tooth
  fillet_lowered,          // root fillet radius lowered where only a larger protuberance would make it fit
  ball_too_small,          // a typed ball enlarged so that it reaches the flanks
  contact_below_form,      // the mate's tip reaches below the form circle (interference): contact counts
                           // from the form circle; nothing is corrected
};

// Called once per finding, after the correction and after the three warning lines are written (a
// caller that shows nothing passes none);
// gear 0 is the pinion, 1 the wheel.
using GeometryWarningShow = std::function<void(GeometryWarning kind, int gear)>;

// Runs the checks in order, each for the pinion and then the wheel, on the geometry of the first
// geometry pass. Every search is bounded, so a gear of any size ends. Returns the number of findings.
int check_geometry_warnings(DesignData& d, const GeometryWarningShow& show);

// Steps allowed to each tip-width bisection; a 32-bit diameter is resolved long before.
inline constexpr int kTipWidthSearchSteps = 200;

}  // namespace morvell
