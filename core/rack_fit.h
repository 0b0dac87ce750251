// Whether tooth proportions fit a design: a basic rack taken into the design (Standard Rack mode), and
// the rack rows of the main window, judged on the geometry the new values give rather than on the last
// geometry pass, whose form circle belongs to the values before.
#pragma once

#include <string>

#include "design_data.h"

namespace morvell {

// The problem, for the user, of the tooth proportions of gear `gear` (0 pinion, 1 wheel, -1 both) of a
// design whose geometry pass has run, or empty: the tip, the root and the form circle of the rack
// flank are numbers, the root lies below the tip and the tip not below the form circle (an active
// profile is left).
std::string tooth_proportions_problem(const DesignData& worked, int gear = -1);

// The same for `d` as it stands, its geometry worked out on a copy as the refresh works it out (in
// Standard Rack mode its basic rack sets the proportions in the first pass).
std::string tooth_proportions_problem_of(const DesignData& d, int gear = -1);

// The problem of taking d's basic rack as the design's tooth proportions (Standard Rack mode), or
// empty: the rack's own values first (input_limits.h), then the proportions it gives the design.
std::string rack_fit_problem(const DesignData& d);

}  // namespace morvell
