// Lives and damage of the selected load case. The pair is re-rated at the load cycles of the points of
// each S-N curve, so that the permissible stresses at those points carry every factor of the rating
// (lubricant, velocity, roughness, work hardening, notch sensitivity, surface and size factors); the
// actual stresses of the load case are then looked up on these curves on log-log scales.
#pragma once

namespace morvell {

struct DesignData;

// Runs the rating of the design as it stands (the rating input filled from the design data) and writes
// every rating result into it.
using RateDesign = void (*)(DesignData& d);

// The rating every caller uses: rate_gear_pair(make_rating_input(d), d).
void rate_design(DesignData& d);

// With rating_enabled set: fills the four permissible-stress tables (contact at the static, limited
// pitting, endurance and infinite-life points, bending at the static, endurance and infinite-life
// points, for each gear), rates the pair once more at the load case's own cycles, so that every rating
// result is the load case's, and writes the four lives (cycles) and the damage (percent of the life).
// The load cycles of the load case are restored. With rating_enabled clear it changes nothing.
// The tables are filled on every run, also for a gear that fails at its static point: its life is then
// 0 and its damage +infinity.
void life_and_damage(DesignData& d);

// The same with another rating in place of rate_design (used by the tests).
void life_and_damage(DesignData& d, RateDesign rate);

// Life in load cycles at `stress` on an S-N curve of `count` points (3 or 4), given as their cycles and
// permissible stresses, static point first. Above the static point's stress the life is 0; a stress
// equal to a point's stress belongs to the segment that begins at that point; below the last point the
// last segment goes on as a straight line. Lines are straight on log10 of both coordinates. A flat
// last segment, and a life beyond the range of float, give +infinity.
float sn_curve_life(float stress, const float* cycles, const float* stresses, int count);

// Damage in percent: load_cycles / life x 100; +infinity for a life of exactly 0.
float damage_percent(float load_cycles, float life);

// Rates the pair and works out its life and damage when its teeth mesh (a transverse contact ratio of
// at least 1) and its rating inputs hold a material and a load; returns whether it did. Leaves the
// rating results as they were otherwise. The refresh of a shown design rates through it.
bool rate_if_ratable(DesignData& d);

}  // namespace morvell
