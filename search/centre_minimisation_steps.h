// The steps of the command "Minimize centre distance" that need no main window: the checks before the
// search, the question for the two minimum safety factors and the search itself with the progress
// window as its only sign of life (it runs in the user-interface thread).
#pragma once

#include <array>

#include "centre_distance_minimisation.h"
#include "design_data.h"

namespace morvell {

enum class CentreMinimisationCheck {
  Allowed,
  RatioOutOfReach,            // not even 10 pinion teeth give the ratio within 200 wheel teeth
  RatingInputsMissing,        // the design lacks rating inputs (missing_rating_inputs): no pair can be rated
  GeometryManagerOverridden,  // the geometry manager must be in charge of module and centre distance
  ProportionsNotCalculated,   // the tooth proportions must be calculated from the constraints
};

// Checks that the search may run; a refusal has been explained in the warning dialog when this
// returns. A ratio the search cannot try, and a design without the rating inputs that every trial pair
// is rated with, are refused first, with the design left as it was. Otherwise
// the search sizes the pair without protuberance: sets it to zero (explained in the warning dialog),
// which stays even when the command is refused for the geometry manager or the tooth proportions.
CentreMinimisationCheck check_centre_distance_minimisation(DesignData& d);

// Sets the tip chamfers to zero and asks for the two minimum safety factors in the program's window
// for them (when it exists). Returns false when the user closed that window with Esc or its title-bar
// close: the command is cancelled.
bool ask_minimum_safety_factors(DesignData& d);

// Replaces the pair by the pair of least centre distance that meets the minimum safety factors; the
// tip chamfers held before the command are given back. The progress window (when it exists) shows how
// far the search has come; the domain errors of its trial pairs are told in one message at its end.
// Returns what the search found (no pair, or the chamfers given up).
MinimisationResult minimise_centre_distance_with_progress(DesignData& d,
                                                          const std::array<float, 2>& saved_tip_chamfers);

}  // namespace morvell
