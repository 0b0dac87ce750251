// Tooth proportions and tip limits: root diameters, root fillet radii and tip diameters of both gears
// designed from the geometry constraints of the pair, the lowering of tip diameters to the same limits,
// and the tooth thickness at the outside diameter under a tip chamfer.
//
// Limits are chosen as the least (or largest) of a list of candidates tested in a fixed order; the later
// of equal candidates wins and its number in the list is the limit kind. A candidate that is not a
// number takes no part; when none is valid the field keeps its value and the kind is 0.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;

// Limit kinds of one run of calc_tooth_proportions, per gear (0 pinion, 1 wheel); 0 = not chosen.
struct ToothProportionKinds {
  // Root of the gear: 1 full-radius root with the minimum fillet, 2 root and fillet that put the form
  // circle at its least distance above the base circle, 3 minimum root diameter.
  int32_t root[2]{};
  // Tip of the gear: 1 bottom clearance, 2 fillet clearance, 3 form circle to SAP, 4 thickness at the
  // EAP (or at the tip under the chamfer), 5 maximum tip diameter.
  int32_t tip[2]{};
  // Second root pass of the gear (run when the mate's tip kind is 4 or 5): 1 form circle below the
  // SAP, 2 the mate's EAP circle clears the fillet, 3 bottom clearance to the mate's tip.
  int32_t second_root[2]{};
  // Fillet of the gear: 1 form circle below the SAP, 2 full radius, 3 the mate's EAP circle clears it.
  int32_t fillet[2]{};
};

// "Calculate" tooth proportions: sets root diameters, root fillet radii, tip and EAP diameters, addenda
// and dedenda of both gears from the geometry constraints, then applies the protuberance limit and,
// when both gears are to be kept alike, equalises their rack proportions. Returns the limit kinds that
// steered the run.
ToothProportionKinds calc_tooth_proportions(DesignData& d);

// Lowers the tip diameters (never raises them) to the bottom clearance, fillet clearance, form-to-SAP,
// thickness and maximum-diameter limits, keeping roots and fillets; applies the protuberance limit and
// rebuilds the addenda.
void limit_tip_diameters(DesignData& d);

// Normal tooth thickness at the outside diameter d_a under a tip chamfer of radial size c_t and angle
// gamma (deg) that starts at the EAP diameter d_a - 2 c_t, where the normal thickness is s_e; never more
// than the thickness of the flank through that start at d_a (a chamfer line that leaves the flank below
// the tip circle cuts nothing of the tip), negative when the flanks meet below the tip circle. Writes into
// *chamfer_depth the radial depth from the tip circle to where the extended chamfer line meets the
// unthinned flank (nominal transverse thickness s_t at the reference diameter d; base diameter d_b, helix
// angle beta and transverse pressure angle alpha_t in degrees), at most down to the base circle; 0
// without a chamfer.
float tip_thickness_with_chamfer(float d_a, float c_t, float s_e, float gamma, float d_b, float d, float beta,
                                 float s_t, float alpha_t, float* chamfer_depth);

// Whether the last geometry pass kept the previous proportions of either gear because the constraints
// cut no sound tooth (tooth_proportions_kept). Such a design is not the one its inputs describe: a
// search neither rates nor lists it.
bool tooth_proportions_kept(const DesignData& d);

// Normal half-angle of a flank at diameter D (the normal tooth thickness there over D): the transverse
// half-angle of the involute whose transverse half-angle plus involute function is h, times the cosine of
// the helix angle at D. A tooth of transverse thickness s at the reference diameter d has h = s / d +
// inv(alpha_t). d_b is the base diameter, tan_beta the tangent of the helix angle at d. Not a number
// below the base circle, where no involute exists.
long double flank_normal_half_angle(long double D, long double h, long double d, long double d_b,
                                    long double tan_beta);

// Normal tooth thickness at diameter D of the finished tooth (thinned for backlash) of gear i (0 pinion,
// 1 wheel): the one formula of the geometry pass, the tooth-proportion searches and the geometry warnings.
long double finished_normal_thickness(const DesignData& d, int gear, long double D);

// 2x2 determinant a d - b c.
float det2(float a, float b, float c, float d);

}  // namespace morvell
