#include "geometry_warnings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "geometry_pass.h"
#include "input_limits.h"
#include "measurement_fit.h"
#include "numeric.h"
#include "tooth_proportions.h"

namespace morvell {

namespace {

void write_lines(DesignData& d, std::string_view line1, std::string_view line2) {
  copy_text(d.warning_lines[0], line1);
  copy_text(d.warning_lines[1], line2);
  copy_text(d.warning_lines[2], " ");
}

const char* gear_word(int i) { return i == 0 ? "pinion" : "wheel"; }

std::string changed_line(const char* format, double from, double to) {
  char text[kWarningLineSize];
  std::snprintf(text, sizeof text, format, from, to);
  return text;
}

void set_addendum_from_tip(DesignData& d, int i) {
  const ld m = d.normal_module;
  d.addendum[i] = float((ld(d.tip_diameter[i]) - d.teeth[i] * m / std::cos(deg_to_rad(d.helix_angle))) / 2);
}

// 0. Values whose range depends on another value, judged again after that value changed: a tip or
// edge chamfer beyond its share of a smaller module or a narrower face, a constraint beyond its share of
// a smaller module. Each goes back to its bound.
std::string length_line(const DesignData& d, const char* what, float from, float to) {
  const ld length = d.length_unit_factor;
  return changed_line((std::string(what) + " has been changed from %6.3f to %6.3f ").c_str(), double(from / length),
                      double(to / length));
}

bool check_tip_chamfer_bound(DesignData& d, int i) {
  const float largest = largest_tip_chamfer(d.normal_module);
  if (!(d.tip_chamfer[i] > largest)) return false;
  const float old = d.tip_chamfer[i];
  d.tip_chamfer[i] = largest;
  d.eap_diameter[i] = float(ld(d.tip_diameter[i]) - 2 * ld(largest));
  write_lines(d, std::string("Tip chamfer of ") + gear_word(i) + " is larger than 0.25 times the module",
              length_line(d, "Tip chamfer", old, largest));
  return true;
}

bool check_edge_chamfer_bound(DesignData& d, int i) {
  const float largest = largest_edge_chamfer(d.normal_module, d.face_width[i]);
  if (!(d.edge_chamfer[i] > largest)) return false;
  const float old = d.edge_chamfer[i];
  d.edge_chamfer[i] = largest;
  write_lines(d, std::string("Edge chamfer of ") + gear_word(i) +
                     " is larger than 0.25 times the module or 0.25 times its face width",
              length_line(d, "Edge chamfer", old, largest));
  return true;
}

bool check_constraint_bounds(DesignData& d, int i) {
  struct Bound {
    float* value;
    long double share;
    const char* name;
    bool length;
  };
  const Bound bounds[3] = {
      {&d.min_form_to_sap[i], kFormToSapPerModule, "Minimum form radius to SAP", true},
      {&d.min_base_to_form[i], kBaseToFormPerModule, "Minimum base radius to form radius", true},
      {&d.min_root_fillet_coeff[i], kRootFilletConstraintPerModule, "Minimum root fillet radius / module", false}};
  // Every bound is brought back at once (the design then saves); the first is told.
  bool changed = false;
  for (const Bound& b : bounds) {
    const float largest = module_share(b.share, d.normal_module);
    if (!(*b.value > largest)) continue;
    const float old = *b.value;
    *b.value = largest;
    if (!changed)
      write_lines(d, std::string(b.name) + " of " + gear_word(i) + " is larger than the module allows",
                  b.length ? length_line(d, b.name, old, largest)
                           : changed_line((std::string(b.name) + " has been changed from %6.3f to %6.3f ").c_str(),
                                          double(old), double(largest)));
    changed = true;
  }
  return changed;
}


// 0. The tooth-proportion calculation (or the tip reduction) of the pass cut no sound tooth from the
// constraints and kept the gear's last sound proportions: nothing to correct, but the user is told.
bool check_kept_proportions(DesignData& d, int i) {
  if (d.tooth_proportions_kept[i] == 0) return false;
  write_lines(d, std::string("The constraints give the ") + gear_word(i) + " no sound tooth",
              "Its last sound tooth proportions have been kept");
  return true;
}

// 1. Protuberance too small for the thinning of one flank.
bool check_protuberance_for_thinning(DesignData& d, int i) {
  const ld thinning = (ld(d.thickness_nominal_normal[i]) - d.thickness_finished_normal[i]) *
                      std::cos(deg_to_rad(d.normal_pressure_angle)) / 2;
  if (!(d.protuberance[i] != 0 && d.protuberance[i] < thinning)) return false;
  d.protuberance[i] = float(thinning + 0.0001L);
  write_lines(d, std::string("Protuberance of ") + gear_word(i) + " is too small for tooth thickness reduction",
              "Protuberance has been adjusted");
  return true;
}

// Thickness at the outside diameter D + 2c of gear i under its chamfer c starting at diameter D; the
// searches leave their last values in the design data as scratch values, as the pass would write them.
float thickness_under_chamfer(DesignData& d, int i, float D) {
  const float c = d.tip_chamfer[i];
  const ld s = finished_normal_thickness(d, i, D);
  d.eap_thickness_normal[i] = float(s);
  d.tip_thickness_normal[i] =
      tip_thickness_with_chamfer(float(ld(D) + 2 * ld(c)), c, float(s), d.tip_chamfer_angle[i], d.base_diameter[i],
                                 d.reference_diameter[i], d.helix_angle, d.thickness_nominal_transverse[i],
                                 d.transverse_pressure_angle, &d.tip_chamfer_depth[i]);
  return d.tip_thickness_normal[i];
}

// A chamfered tooth that comes to a point below its outside diameter, its flanks or its chamfers meeting
// there: the chamfer start goes to where the thickness under the chamfer reaches zero. It is sought from
// the reference diameter up, and down to the base circle for a tooth pointed under its chamfer even
// there. A chamfer so flat that its lines meet below the tip circle even from the base circle keeps its
// start, and the tip goes down to where the two lines meet: the chamfer is what remains of it.
bool lower_chamfered_tip(DesignData& d, int i) {
  const float c = d.tip_chamfer[i];
  const float before = d.tip_diameter[i];
  const float old_chamfer = c;
  float lo = d.reference_diameter[i], hi = float(2 * ld(d.reference_diameter[i]));
  if (!(thickness_under_chamfer(d, i, lo) >= 0)) {
    hi = lo;
    lo = d.base_diameter[i];
  }
  if (thickness_under_chamfer(d, i, lo) >= 0) {
    float D = lo;
    for (int step = 0; step < kTipWidthSearchSteps && std::fabs(ld(hi) - lo) > 0.0001L; ++step) {
      const float mid = float((ld(lo) + hi) / 2);
      if (mid == lo || mid == hi) break;  // the bracket no longer narrows in single precision
      D = mid;
      if (thickness_under_chamfer(d, i, D) < 0) hi = D; else lo = D;
    }
    d.tip_diameter[i] = float(ld(D) + 2 * ld(c) - 0.001L);
  } else {
    // Where the chamfer line from its start crosses the tooth centre line.
    const ld d_e = ld(d.tip_diameter[i]) - 2 * ld(c);
    if (!(d_e >= d.base_diameter[i])) return false;  // no involute at its start: the chamfer check's case
    const ld psi = ld(float(finished_normal_thickness(d, i, d_e))) / d_e;
    const ld meeting = d_e * std::cos(psi) + d_e * std::sin(psi) / std::tan(deg_to_rad(d.tip_chamfer_angle[i]));
    if (!(meeting < before)) return false;
    d.tip_diameter[i] = float(meeting - 0.001L);
    d.tip_chamfer[i] = std::fmax(0.0f, float((ld(d.tip_diameter[i]) - d_e) / 2));
  }
  // The tip never rises, and the corrected tooth keeps a top: where single precision leaves it pointed
  // still, the tip goes down in steps of its resolution.
  if (d.tip_diameter[i] > before) d.tip_diameter[i] = before;
  d.eap_diameter[i] = float(ld(d.tip_diameter[i]) - 2 * ld(d.tip_chamfer[i]));
  eap_and_tip_thicknesses(d, i);
  for (int step = 0; step < kTipWidthSearchSteps && d.tip_thickness_normal[i] < 0; ++step) {
    const float lower = std::fmin(float(ld(d.tip_diameter[i]) - 0.001L),
                                  std::nextafter(d.tip_diameter[i], 0.0f));
    d.tip_diameter[i] = lower;
    d.eap_diameter[i] = float(ld(d.tip_diameter[i]) - 2 * ld(d.tip_chamfer[i]));
    eap_and_tip_thicknesses(d, i);
  }
  set_addendum_from_tip(d, i);
  const ld length = d.length_unit_factor;
  write_lines(d, std::string("Tip width of ") + gear_word(i) + " tooth is zero",
              d.tip_chamfer[i] == old_chamfer
                  ? std::string(" ")
                  : changed_line("Tip chamfer has been changed from %6.3f to %6.3f ", double(old_chamfer / length),
                                 double(d.tip_chamfer[i] / length)));
  return true;
}

// A tip chamfer starting below the base circle, where no involute exists (a tip typed low on a small
// gear, or lowered for clearance): the chamfer goes back to start on the base circle.
bool check_chamfer_start(DesignData& d, int i) {
  const float c = d.tip_chamfer[i];
  if (!(c > 0) || !(ld(d.tip_diameter[i]) - 2 * ld(c) < d.base_diameter[i])) return false;
  float chamfer = std::fmax(0.0f, float((ld(d.tip_diameter[i]) - d.base_diameter[i]) / 2));
  while (chamfer > 0 && float(ld(d.tip_diameter[i]) - 2 * ld(chamfer)) < d.base_diameter[i])
    chamfer = std::nextafter(chamfer, 0.0f);
  d.tip_chamfer[i] = chamfer;
  d.eap_diameter[i] = float(ld(d.tip_diameter[i]) - 2 * ld(chamfer));
  eap_and_tip_thicknesses(d, i);
  const ld length = d.length_unit_factor;
  write_lines(d, std::string("Tip chamfer of ") + gear_word(i) + " reaches below the base circle",
              changed_line("Tip chamfer has been changed from %6.3f to %6.3f ", double(c / length),
                           double(chamfer / length)));
  return true;
}

// 2. Tooth pointed below its outside diameter: the outside diameter goes just below the point (without
// a chamfer) or to where the thickness under the chamfer reaches zero (with one).
bool check_tip_width(DesignData& d, int i) {
  const ld ref = d.reference_diameter[i];
  const float c = d.tip_chamfer[i];
  if (c == 0 && d.eap_thickness_normal[i] < 0) {
    // Diameters are held in single precision; the search also ends when the bracket no longer narrows
    // (a large gear cannot resolve the 0.0001 mm thickness window) or after its step cap.
    float lo = float(ref), hi = float(2 * ref), D = lo;
    float thickness = -1;
    for (int step = 0; step < kTipWidthSearchSteps && (thickness < 0 || thickness > 0.0001f); ++step) {
      const float mid = float((ld(lo) + hi) / 2);
      if (step > 0 && (mid == D || mid == lo || mid == hi)) break;
      D = mid;
      thickness = float(finished_normal_thickness(d, i, D));
      d.eap_thickness_normal[i] = thickness;
      if (thickness < 0) hi = D; else lo = D;
    }
    d.tip_diameter[i] = float(ld(D) - 0.001L);
  } else if (c != 0 && d.tip_thickness_normal[i] < 0) {
    return lower_chamfered_tip(d, i);
  } else {
    return false;
  }
  set_addendum_from_tip(d, i);
  write_lines(d, std::string("Tip width of ") + gear_word(i) + " tooth is zero", " ");
  return true;
}

// 3. Tip circle crossing the mating root circle (equality is no interference).
bool check_bottom_clearance(DesignData& d, int i) {
  const int mate = 1 - i;
  const ld limit = 2 * ld(d.centre_distance) - d.root_diameter[mate];
  if (!(d.tip_diameter[i] > limit)) return false;
  d.tip_diameter[i] = float(limit - 0.001L * d.normal_module);
  set_addendum_from_tip(d, i);
  write_lines(d, std::string("Interference exists at bottom clearance of ") + gear_word(mate),
              std::string("Tip diameter of ") + gear_word(i) + " has been adjusted ");
  return true;
}

// 4. Root fillet too large for the generating rack: the rack tip, set back by the protuberance, no
// longer fits within the rack tooth. A protuberance that makes it fit within what the main window
// accepts (0.1 m_n) is set.
struct RackTipFit {
  bool too_wide;            // the rack tip does not fit within the rack tooth
  float needed_protuberance;  // the protuberance with which it just fits
  float held_radius;        // the largest fillet radius that fits with the protuberance as it stands
};

RackTipFit rack_tip_fit(const DesignData& d, int i) {
  const ld m = d.normal_module;
  const ld alpha = deg_to_rad(d.normal_pressure_angle);
  const ld rho = d.root_fillet_radius[i];
  const ld p = d.protuberance[i];
  const ld H = (ld(d.dedendum[i]) / m + d.profile_shift[i]) * m;
  const ld W = (rho - p) / std::cos(alpha) + kPi * m / 4 + (H - rho) * std::tan(alpha);
  // W = pi m / 2 solved for the protuberance and for the radius (no radius at all when even a sharp
  // rack tip is too wide).
  const ld held = (kPi * m / 4 - H * std::tan(alpha) + p / std::cos(alpha)) / (1 / std::cos(alpha) - std::tan(alpha));
  return {W > kPi * m / 2 + 0.001L, float(rho - std::cos(alpha) * (kPi * m / 4 - (H - rho) * std::tan(alpha))),
          float(std::max(held, 0.0L))};
}

bool protuberance_within_window_range(const DesignData& d, float p) { return p <= float(0.1L * d.normal_module); }

bool check_fillet_for_rack(DesignData& d, int i) {
  const RackTipFit fit = rack_tip_fit(d, i);
  if (!fit.too_wide || !protuberance_within_window_range(d, fit.needed_protuberance)) return false;
  const float old_protuberance = d.protuberance[i];
  d.protuberance[i] = fit.needed_protuberance;
  if (i == 0)
    write_lines(d, "The fillet radius of the pinion is too large for the rack without increasing the protuberance",
                changed_line("The protuberance has been changed from %6.3f to %6.3f ", double(old_protuberance),
                            double(d.protuberance[i])));
  else
    write_lines(d, "The fillet radius of the wheel is too large for the rack without increasing the protuberance",
                changed_line("The wheel protuberance has been changed from %6.3f to %6.3f ",
                            double(old_protuberance), double(d.protuberance[i])));
  return true;
}

// 4b. A fillet that only a protuberance beyond 0.1 m_n would make fit: such a protuberance cuts the flank
// away (on a gear shifted far out the whole flank), so the radius is lowered instead.
bool check_fillet_lowered_for_rack(DesignData& d, int i) {
  const RackTipFit fit = rack_tip_fit(d, i);
  if (!fit.too_wide || protuberance_within_window_range(d, fit.needed_protuberance)) return false;
  const float old_radius = d.root_fillet_radius[i];
  // A rack tip too wide even without a fillet leaves nothing to lower; the outline shows what the rack
  // cuts, and the export refuses an outline outside its circles.
  if (!(fit.held_radius < old_radius)) return false;
  d.root_fillet_radius[i] = fit.held_radius;
  const ld length = d.length_unit_factor > 0 ? ld(d.length_unit_factor) : 1.0L;
  write_lines(d, std::string("The fillet radius of the ") + gear_word(i) + " is too large for the rack",
              changed_line("The fillet radius has been changed from %6.3f to %6.3f ", double(old_radius / length),
                           double(d.root_fillet_radius[i] / length)));
  return true;
}

// 5. A ball or a number of teeth spanned that the user chose and that no longer fits the tooth (after a
// change of module, teeth, shift, thickness or tip), judged by the measurement window's rule on the
// geometry `settled` (the design as the corrections before leave it): that gear's ball or span, and no
// other, is changed so that it fits, and the warning says from what to what; where nothing fits, it stays
// and the warning says why the gear has no such measurement. Both stay chosen ones. A value that is not
// positive is no choice (a design not worked out yet) and is left alone.
std::optional<GeometryWarning> check_typed_ball(DesignData& d, DesignData& settled, int i) {
  if (d.default_ball_diameter == 1 || !(d.ball_diameter[i] > 0.0f)) return std::nullopt;
  const float form = flank_form_diameter(settled, i);
  const MeasurementFit fit = measure_over_ball_as_chosen(settled, i, form);
  if (fit == MeasurementFit::fits) return std::nullopt;
  const float chosen = d.ball_diameter[i];
  settled.ball_diameter[i] = chosen;
  const float ball = fitting_ball(settled, i, form);
  const ld length = d.length_unit_factor;
  const std::string reason = measurement_fit_reason(fit);
  if (std::isfinite(ball)) {
    d.ball_diameter[i] = settled.ball_diameter[i] = ball;
    write_lines(d,
                fit == MeasurementFit::not_reaching
                    ? std::string("Ball of ") + gear_word(i) + " is too small to reach the tooth flanks"
                    : std::string("Ball of ") + gear_word(i) + " does not fit: " + reason,
                changed_line("Ball diameter has been changed from %6.3f to %6.3f ", double(chosen / length),
                             double(ball / length)));
    return GeometryWarning::ball_too_small;
  }
  char line[kWarningLineSize];
  std::snprintf(line, sizeof line, "No ball fits: the ball of %.3f ", double(chosen / length));
  write_lines(d, std::string("Measurement over balls of ") + gear_word(i) + " is not available", line + reason);
  return GeometryWarning::ball_unavailable;
}

std::optional<GeometryWarning> check_typed_span(DesignData& d, DesignData& settled, int i) {
  if (d.default_span_teeth == 1 || d.span_teeth[i] < 1) return std::nullopt;
  const float form = flank_form_diameter(settled, i);
  const MeasurementFit fit = measure_span_as_chosen(settled, i, form);
  if (fit == MeasurementFit::fits) return std::nullopt;
  const int32_t chosen = d.span_teeth[i];
  settled.span_teeth[i] = chosen;
  const int32_t k = fitting_span_teeth(settled, i, form);
  if (k >= 1) {
    d.span_teeth[i] = settled.span_teeth[i] = k;
    write_lines(d, std::string("Span of ") + gear_word(i) + " does not fit: " + measurement_fit_reason(fit),
                "Number of teeth spanned has been changed from " + std::to_string(chosen) + " to " +
                    std::to_string(k) + " ");
    return GeometryWarning::span_changed;
  }
  write_lines(d, std::string("Span measurement of ") + gear_word(i) + " is not available",
              std::string("No number of teeth spanned fits: over ") + std::to_string(chosen) + " teeth " +
                  measurement_fit_reason(fit));
  return GeometryWarning::span_unavailable;
}

bool chosen_measurements(const DesignData& d) {
  return (d.default_ball_diameter != 1 && (d.ball_diameter[0] > 0.0f || d.ball_diameter[1] > 0.0f)) ||
         (d.default_span_teeth != 1 && (d.span_teeth[0] >= 1 || d.span_teeth[1] >= 1));
}

int check_chosen_measurements(DesignData& d, DesignData& settled, const GeometryWarningShow& show) {
  int findings = 0;
  for (auto check : {check_typed_ball, check_typed_span}) {
    for (int i = 0; i < 2; ++i) {
      const std::optional<GeometryWarning> kind = check(d, settled, i);
      if (!kind) continue;
      ++findings;
      if (show) show(*kind, i);
    }
  }
  return findings;
}

// 6. The mate's tip reaching below the form circle, or past the interference point on the base circle:
// no involute meets it there. Nothing is corrected; contact counts from the form circle.
bool check_contact_below_form(DesignData& d, int i) {
  const ld by_tip = mate_tip_sap_roll_length(d, i);
  if (!std::isfinite(by_tip)) return false;  // no contact to start: the contact ratio says so
  const ld form = rack_form_circle(d, i), db = d.base_diameter[i];
  const ld at_form = form > db ? std::sqrt(form * form / 4 - db * db / 4) : 0.0L;
  if (!(by_tip < at_form - 1e-6L * (1 + at_form))) return false;
  const int mate = 1 - i;
  write_lines(d,
              std::string("Tip of ") + gear_word(mate) +
                  (by_tip < 0 ? " reaches past the interference point of " : " reaches below the form circle of ") +
                  gear_word(i),
              std::string("Contact on ") + gear_word(i) + " is counted from its form circle");
  return true;
}

// 7. Faces that do not overlap (a face width offset beyond the faces, from a file or after a face width
// change): no pair meshes there. Nothing is corrected; the pass rates a token common width, so the rating
// has no meaning, and the warning says so on every refresh that finds it.
bool check_faces_overlap(DesignData& d, int i) {
  if (i != 0 || faces_overlap(d)) return false;
  const double length = d.length_unit_factor;
  char line[kWarningLineSize];
  std::snprintf(line, sizeof line, "Face width offset %.3f leaves no common face width: the rating has no meaning",
                double(d.face_width_offset) / length);
  write_lines(d, "The faces of pinion and wheel do not overlap", line);
  return true;
}

}  // namespace

int check_geometry_warnings(DesignData& d, const GeometryWarningShow& show) {
  int findings = 0;
  auto run = [&](GeometryWarning kind, bool (*check)(DesignData&, int)) {
    for (int i = 0; i < 2; ++i) {
      if (!check(d, i)) continue;
      ++findings;
      if (show) show(kind, i);
    }
  };
  run(GeometryWarning::tip_chamfer_too_large, check_tip_chamfer_bound);
  run(GeometryWarning::edge_chamfer_too_large, check_edge_chamfer_bound);
  run(GeometryWarning::constraint_too_large, check_constraint_bounds);
  run(GeometryWarning::proportions_kept, check_kept_proportions);
  run(GeometryWarning::protuberance_too_small, check_protuberance_for_thinning);
  run(GeometryWarning::chamfer_below_base_circle, check_chamfer_start);
  run(GeometryWarning::zero_tip_width, check_tip_width);
  run(GeometryWarning::interference, check_bottom_clearance);
  run(GeometryWarning::chamfer_below_base_circle, check_chamfer_start);  // a tip lowered for clearance
  run(GeometryWarning::fillet_too_large, check_fillet_for_rack);
  run(GeometryWarning::fillet_lowered, check_fillet_lowered_for_rack);
  // The typed balls and spans are judged on the geometry the corrections above leave, as the refresh's
  // second pass works it out (a tip lowered moves the end of the active profile).
  if (chosen_measurements(d)) {
    auto settled = std::make_unique<DesignData>(d);
    if (findings > 0) {
      settled->second_geometry_pass = 1;
      calc_gear_geometry(*settled);
    }
    findings += check_chosen_measurements(d, *settled, show);
  }
  run(GeometryWarning::contact_below_form, check_contact_below_form);
  run(GeometryWarning::faces_apart, check_faces_overlap);
  return findings;
}

int fit_chosen_measurements(DesignData& d) {
  if (!chosen_measurements(d)) return 0;
  auto settled = std::make_unique<DesignData>(d);
  const int changes = check_chosen_measurements(d, *settled, {});
  if (changes > 0) measure_inspection_dimensions(d);
  return changes;
}

}  // namespace morvell
