// Inspection dimensions of a tooth thickness and the way back: measurement over two balls (or pins)
// and the span measurement (base tangent length over k teeth), each with the diameter at which the
// measuring element touches the flank. Lengths in mm, angles in degrees.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;

// Measurement over two balls of diameter *ball_diameter for the transverse thickness `thickness` at
// the reference circle. Writes the base helix angle into the design data, and nothing else of it. A ball
// whose centre would fall inside the base circle is enlarged by 5 % at a time (written back through
// ball_diameter) until it sits on the flanks; whether a caller keeps the larger ball is the caller's
// choice (a ball the user typed is never changed behind his back). Receives the diameter at which the
// ball touches the flank and the diameter of the circle through the ball centres. The result is within
// 5e-5 m_n of the exact measurement for the (possibly enlarged) ball.
// A ball diameter that is not a positive finite number, or a thickness that is not finite, gives NaN
// at once and leaves the ball as it was; so does a search that cannot place the ball within its
// bounded number of steps and enlargements. The two out-values are NaN then.
float measurement_over_balls(DesignData& d, int32_t z, float* ball_diameter, float thickness, float normal_module,
                             float helix_angle, float pressure_angle, float tip_diameter, float* contact_diameter,
                             float* centre_diameter);

// Transverse thickness at the reference circle that a measurement over balls implies. NaN (with no
// domain-error report) when the ball centres would lie inside the base circle.
float thickness_from_ball_measurement(int32_t z, float measurement, float ball_diameter, float normal_module,
                                      float helix_angle, float pressure_angle);

// Span measurement (base tangent length) over `span_teeth` teeth for the transverse thickness
// `thickness`; receives the diameter at which the span touches the flanks.
float span_measurement(int32_t span_teeth, int32_t z, float thickness, float normal_module, float helix_angle,
                       float pressure_angle, float* contact_diameter);

// Default number of teeth spanned for a gear with profile shift x and virtual number of teeth z_n:
// trunc(1.75 x + z_n / 9 + 0.5), and at least one tooth (a small or strongly negatively shifted gear
// would otherwise get none, or a negative number).
int32_t default_span_teeth_count(float profile_shift, float virtual_teeth);

// Transverse thickness at the reference circle that a span measurement implies (exact inverse of
// span_measurement).
float thickness_from_span(int32_t span_teeth, int32_t z, float normal_module, float helix_angle,
                          float pressure_angle, float span);

// Whether the entered ball of gear i, as the design's finished measurement holds it, touches the flank
// between the form circle and the end of the active profile and stays clear of the root circle: what
// the measurement window takes.
bool ball_fits(const DesignData& d, int i);

// Whether the span of gear i, as the design's finished measurement holds it, touches the flank between
// the form circle and the end of the active profile: what the measurement window takes.
bool span_fits(const DesignData& d, int i);

// The pressure angle (degrees) at the outside diameter of gear i, below which the chamfer window takes
// no tip chamfer angle.
long double tip_pressure_angle(const DesignData& d, int i);

}  // namespace morvell
