// Geometry warnings and automatic corrections: between the two geometry passes of a refresh of the
// main window, and of the working out of a design just opened, each gear is checked for tooth proportions
// that the constraints could not cut soundly (kept by the pass), a tip chamfer, an edge chamfer or a
// constraint beyond the bound a smaller module or face width sets, a protuberance too small for its
// thinning, a tip chamfer that starts below the base circle, a tooth that comes to a point below its
// outside diameter (its flanks or its chamfers meeting there), a tip that crosses the mating root circle,
// a root fillet too large for the generating rack, a typed ball or span that does not fit the tooth and
// a mate's tip reaching below the form circle; and the pair for faces that do not overlap. Each finding
// but the kept proportions and the last two is corrected in the design data; the main window explains
// each in the warning dialog.
#pragma once

#include <functional>

#include "design_data.h"

namespace morvell {

enum class GeometryWarning {
  tip_chamfer_too_large,   // lowered to its share of the module (input_limits.h)
  edge_chamfer_too_large,  // lowered to its share of the module or of the face width
  constraint_too_large,    // a constraint bounded by the module lowered to its share of it
  proportions_kept,        // the constraints cut no sound tooth: the last sound proportions were kept
  protuberance_too_small,  // raised to the thinning of one flank
  chamfer_below_base_circle,  // tip chamfer shortened to start on the base circle
  zero_tip_width,          // outside diameter lowered to just below the pointed (or chamfer-pointed) tip
  interference,            // outside diameter lowered to clear the mating root circle
  fillet_too_large,        // protuberance raised (up to 0.1 m_n) so that the rack tip fits within the rack tooth
  fillet_lowered,          // root fillet radius lowered where only a larger protuberance would make it fit
  ball_too_small,          // a typed ball changed so that it fits the tooth (reaches the flanks between form
                           // and end of active profile, clear of the root)
  ball_unavailable,        // no ball fits: the typed one stays, the gear has no measurement over balls
  span_changed,            // a typed number of teeth spanned changed so that the span fits the flank
  span_unavailable,        // no span fits: the typed one stays, the gear has no span measurement
  contact_below_form,      // the mate's tip reaches below the form circle (interference): contact counts
                           // from the form circle; nothing is corrected
  faces_apart,             // the faces do not overlap: no correction, the pair has no common face width
};

// Called once per finding, after the correction and after the three warning lines are written (a
// caller that shows nothing passes none);
// gear 0 is the pinion, 1 the wheel.
using GeometryWarningShow = std::function<void(GeometryWarning kind, int gear)>;

// Runs the checks in order, each for the pinion and then the wheel (the faces once), on the geometry of
// the first geometry pass; the chamfer start is checked again after the clearance check, which lowers
// tips. Every search is bounded, so a gear of any size ends. Returns the number of findings.
int check_geometry_warnings(DesignData& d, const GeometryWarningShow& show);

// The balls and spans the user chose, of a design just worked out, changed so that they fit as the
// checks above change them, without a word, and measured again: what the main window will show of a design
// taken over as it stands (a pick of the design search). Returns the number of changes.
int fit_chosen_measurements(DesignData& d);

// Steps allowed to each tip-width bisection; a 32-bit diameter is resolved long before.
inline constexpr int kTipWidthSearchSteps = 200;

}  // namespace morvell
