// Flash temperature along the path of contact: the contact of the pair evaluated at equally spaced
// positions from the pinion's start of active profile (SAP) to its end of active profile (EAP), with the
// rolling and sliding velocities, the specific sliding, the load-sharing factor, the semi-width of the
// Hertzian contact band and the flash temperature
//
//   theta_fl = K mu_m X_Gamma w_n |sqrt(v_r1) - sqrt(v_r2)| / (B_M sqrt(b_H))
//
// at each position. Five inputs (K, mu_m, B_M, X_Gamma, w_n) are either the user's entries or estimated;
// an estimate overwrites its input field, so the last estimate stays there when the estimate is turned
// off. Inputs and results live in the flash-temperature section of the design data; none of it is saved.
#pragma once

#include <cstdint>

#include "design_data.h"

namespace morvell {

// Which of the five inputs are estimated (true) rather than taken as entered.
struct FlashEstimates {
  bool k_factor = true;             // K := 0.8
  bool mean_friction = true;        // mu_m from the mean flank roughness
  bool thermal_coefficient = true;  // B_M := 13.6 N/(mm s^0.5 K)
  bool load_sharing = true;         // X_Gamma from the profile-modification case, per position
  bool unit_load = true;            // w_n from the load of the selected load case
};

// Profile-modification cases of the estimated load-sharing factor.
inline constexpr int32_t kFlashLoadSharingCases = 4;

// Runs the whole calculation over d.flash_point_count positions (at most kFlashPointCount) and writes
// the flash-temperature section, except flash_position and flash_point_count. Reads the geometry, the
// materials and roughness, the speed and power of the selected load case and K_v, K_Hbeta of the last
// rating. A case outside 0..3 is reset to 0.
//
// Where the formulas have no value the calculation still computes every other position: with no
// pitch-line velocity the transmitted force is taken as 0; an estimated unit load is not a number when
// the least length of the lines of contact is 0 (total contact ratio at most 1); and the flash temperature is 0 wherever
// its numerator is 0 (no load sharing, no load, or no sliding), also where the contact band has no width.
void calc_flash_temperature(DesignData& d, const FlashEstimates& estimate);

// The load-sharing factor X_Gamma at roll parameter `gamma` for profile-modification case `load_case`
// (0..3): rising linearly over the approach range [gamma_a, gamma_b) (always so at position 0, the SAP),
// 1 over the single-contact range [gamma_b, gamma_d), falling linearly over the recess range
// (gamma_d, gamma_e] (always so at `last_position`, the EAP, which rounding may put a hair beyond
// gamma_e). `x` holds the previous position's value and is written; a position in none of the ranges
// keeps it. A negative result becomes 0.
void load_sharing_factor(long double gamma, float& x, float gamma_a, float gamma_b, float gamma_d, float gamma_e,
                         int32_t load_case, int position, int last_position);

}  // namespace morvell
