// The gear-pair geometry pass: turns the inputs of the current pair into its complete derived geometry,
// plus the two involute solvers that the input handlers also use to check an entry, and the mesh forces.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;
struct GeometryConstraints;

// Runs the fourteen stages of the geometry pass over the design data: standard-rack proportions,
// transverse pressure angle, geometry manager (which of module, centre distance or numbers of teeth
// follows), default constraints, face widths, diameters and working angles, finished thicknesses and backlash,
// form and EAP diameters, tooth-proportion limits, EAP and tip thicknesses, inspection dimensions,
// contact ratios, accuracy-grade tolerances, mesh forces and the wheel's load cycles of its teeth.
// Checks and reports nothing; allocates nothing.
void calc_gear_geometry(DesignData& d);

// The geometry pass without the inspection dimensions (measurements over balls and over a span of teeth,
// which nothing else of the pass or the rating reads): for a search's first run over its candidates,
// which needs none of them.
void calc_gear_geometry_without_inspection(DesignData& d);

// Stage 11 of the pass alone: the measurements over balls and spans of both gears from the geometry the
// design data holds (after a change of a chosen ball or span only).
void measure_inspection_dimensions(DesignData& d);

// The common face width, and the face widths for bending, of a pair whose faces do not overlap (mm): a
// token, so that the rating stays finite; the geometry warnings tell the user that such faces do not mesh.
inline constexpr float kNoCommonFaceWidth = 1e-5f;

// Whether the usable faces (inside their edge chamfers) of the pinion, 0 to b1, and of the wheel, offset
// by the face width offset, overlap.
bool faces_overlap(const DesignData& d);

// The ball with which the measurement over balls of gear `gear` (0 pinion, 1 wheel) reaches the flanks
// of both its thicknesses as the last geometry pass left them: `ball`, enlarged by 5 % at a time as far
// as the teeth need (`ball` itself when it reaches them; as it was when no measurement can place it).
float ball_reaching_the_flanks(DesignData& d, int gear, float ball);

// The step of the geometry pass that gives the finished thicknesses and the backlash of the pair from
// the nominal thicknesses, the two centre distances, the base diameters, the working angles, the base
// helix angle, the backlash distribution and the entered normal backlash, which it writes back
// recomputed (and from the finished thicknesses themselves with the geometry manager overridden). The
// pass runs it after the working angles; the design-space search replays it alone to follow the backlash
// from candidate to candidate.
void finish_thicknesses_and_backlash(DesignData& d);

// Stage 10 of the geometry pass for gear i (0 pinion, 1 wheel): the finished normal thickness at the EAP
// diameter, and at the outside diameter under the tip chamfer with the chamfer's depth to the unthinned
// flank. Not a number where the EAP lies below the base circle. The geometry warnings run it again for a
// gear whose tip or chamfer they have corrected.
void eap_and_tip_thicknesses(DesignData& d, int i);

// Form circle of the rack's straight flank on gear i as the design data stand (its transverse pressure
// angle, base diameter, dedendum and root fillet): for an undercut gear, whose rack flank would end below
// the base circle, the circle where the generated fillet crosses the involute flank.
float rack_form_circle(const DesignData& d, int i);

// Roll length on gear `gear` (0 pinion, 1 wheel) at which the mate's tip (its EAP circle, from its tip
// diameter and chamfer as they stand) would start contact (NaN, unreported, where a diameter lies below
// its base circle): negative where the mate's tip reaches past the
// gear's interference point on the base circle.
float mate_tip_sap_roll_length(const DesignData& d, int gear);

// Start of active profile, path of contact, transverse and axial contact ratios and single-contact roll
// lengths of the pair, with contact starting on each gear where the mate's tip sets it but never below
// the gear's form circle `form_diameter` (there is no involute below it to meet; a mate's tip reaching
// further interferes). The geometry pass runs it with the form circles of the rack; the refresh runs it
// again with the form circles of the generated outlines before anything is rated.
void start_contact_at_form_circles(DesignData& d, const float (&form_diameter)[2]);

// Default least radial distance (mm) from the form circle to the start of active profile, by the band
// of the normal module (mm).
float default_min_form_to_sap(float normal_module);

// The constraints in force while "Use Default Values" is on: the whole default table, the form-to-SAP
// distance by the module band. The geometry pass puts them into the design on every run while
// `constraints_use_defaults` is 1, so that the constraints dialog only shows what the pass used.
GeometryConstraints default_constraints(float normal_module);

// Normal module m for which z1 and z2 with the shift sum run at the working centre distance a without
// backlash. Angles in degrees, lengths in mm.
float module_from_centre_distance(float shift_sum, float normal_pressure_angle, float transverse_pressure_angle,
                                  float helix_angle, float centre_distance, int32_t z1, int32_t z2);

// Zero-backlash (working) centre distance of z1 and z2 with the shift sum at module m. The four diameters
// are accepted for the callers' convenience and do not enter the result.
float centre_distance_from_profile_shift(float shift_sum, float normal_pressure_angle,
                                         float transverse_pressure_angle, float helix_angle, float normal_module,
                                         int32_t z1, int32_t z2, float tip_diameter_1, float tip_diameter_2,
                                         float base_diameter_1, float base_diameter_2);

// Tooth forces (N) from the pinion torque (N m), the pinion's working pitch diameter (mm), the working
// helix angle and the working normal pressure angle (degrees).
void mesh_forces(float torque, float working_pitch_diameter_1, float working_helix_angle,
                 float working_normal_pressure_angle, float* axial_force, float* tangential_force,
                 float* radial_force);

}  // namespace morvell
