// The outline of one external involute spur gear: the involute flank approximated to a chord
// tolerance, tip and root fillets, backlash, the mirrored flank, tip and root arcs; and its drawing into
// the host's active document, tooth by tooth.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host_interfaces.h"
#include "plane_geometry.h"

namespace tandrel {

constexpr int kFlankStoreSize = 6000;  // at most this many flank points
// At most this many entities are sent for one gear: a few thousand teeth at a fine tolerance stay well
// below it, while a gear beyond it would keep the host busy for hours without a way to stop it.
constexpr int64_t kMostGearEntities = 1'000'000;
constexpr double kDegreesToRadians = 0.017453292519943278;

// Texts of the calculation's messages (shown in message boxes, with their blanks).
std::u16string ToleranceTooSmallMessage();
std::u16string TooFewTeethMessage();
std::u16string FlankStoreFullMessage();
std::u16string TipFilletOutOfRangeMessage();
std::u16string TipFilletTooLargeMessage();
std::u16string RootFilletTooLargeMessage();
std::u16string BacklashTooLargeMessage();
std::u16string TeethOverlapAtRootMessage();  // the root end lies past the middle of the tooth space
std::u16string PointedToothMessage();        // the flanks meet below the tip circle
std::u16string GearTooSmallMessage();        // a flank too low to be resolved into points
std::u16string TooManyEntitiesMessage();     // all teeth would take more than kMostGearEntities

// What the calculation needs of its surroundings.
struct ProfileHooks {
  std::function<void(int)> progress;                        // 0 .. 100
  std::function<bool()> escape_held;                        // polled once per flank point
  std::function<void(const std::u16string&)> message;       // a message box with OK
};

// Inputs of the generator (millimetres, degrees).
struct ProfileInput {
  double tol = 0.001;
  int32_t z = 16;
  double r_b = 0.0, r_a = 0.0, r_f = 0.0;
  double psi_b = 0.0;
  double crk = 0.0, crt = 0.0;
  int32_t top = 1, all = 1, all_cir = 0;
  double high = 0.0;
  int32_t LT = 0;
  // Circumferential backlash of both flanks together, measured along the reference circle of radius
  // r_ref: it thins the tooth there by |bl| (the sign is not read).
  double bl = 0.0;
  double r_ref = 0.0;
};

struct Fillet {
  Point centre;
  Point flank;  // tangency on the flank (or on the radial line)
  Point end;    // tangency on the tip or root circle
};

// One tooth in the generator's frame and its mirror across the tooth centre line.
struct ToothOutline {
  struct Side {
    std::vector<Point> flank;        // P0 (root end) .. Pn-1 (tip end)
    std::vector<Point> arc_centres;  // centre of the arc from Pi to Pi+1
    Point root_end, base_point, radial_root, tip_end;
    Fillet tip_fillet, root_fillet;
  };
  Side side, mirror;
  bool radial_line = false;
  bool tip_fillet = false;
  bool root_fillet = false;
  Point space_centre;
};

// The involute point for the parameter u (u >= r_b).
Point InvolutePoint(double r_b, double u);

// The count behind Calculate: the number of flank points at a step of one tolerance. Returns -1 when
// Esc stopped it. Shows the 6000-point message when the store would overflow (the count is then 6000)
// or when the circles cannot give a flank, and a message (count 0) for a gear too small to resolve.
int CountFlankPoints(double tol, double r_b, double r_a, double r_f, const ProfileHooks& hooks);

// Builds one tooth. Returns 0 on success, 1 when it stopped with a message or on Esc.
int BuildToothOutline(const ProfileInput& in, const ProfileHooks& hooks, ToothOutline& out);

// The number of entities (arcs, lines, spline points, circle, extrusions) the gear is sent as.
int64_t GearEntityCount(const ProfileInput& in, const ToothOutline& tooth);

// Sends the gear to the host's active document; nothing when there is none.
void DrawGearOutline(HostApplication* host, const ProfileInput& in, const ToothOutline& tooth);

// Builds the tooth and draws the gear. Returns 0 when the gear was sent to the host (or there is no
// document to draw into), 1 when it stopped with a message or on Esc; a gear of more than
// kMostGearEntities entities is refused with a message before anything is sent.
int GenerateGearProfile(const ProfileInput& in, HostApplication* host, const ProfileHooks& hooks);

}  // namespace tandrel
