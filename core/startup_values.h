// Start-up values of the design data: what the program entry sets before it reads the preference
// file and the default design file.
#pragma once

#include "design_data.h"

namespace morvell {

// Sets the neutral window scale (100 / 100) and the start-up values of the geometry inputs,
// constraints, accuracy grades, minimum safety factors, display decimals, modes and flags, in the
// order the program entry sets them. Fields it does not name keep their values (zero in a fresh
// record); the rating inputs, S-N data and load cases come from the default design file.
void set_startup_values(DesignData& d);

// Sets the six display unit factors for d.unit_system: 1 (metric) sets every factor to 1, 2 (English)
// sets the inch, psi, lbf ft, hp, ft/s and lbf factors; any other value leaves them as they are.
void set_unit_factors(DesignData& d);

}  // namespace morvell
