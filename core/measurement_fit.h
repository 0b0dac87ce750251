// Whether a measurement over balls or over a span of teeth that the user chose fits the tooth: the one
// rule that the measurement window applies to a typed ball or number of teeth spanned, and that the
// geometry pass and the geometry warnings apply after every change of the design. A ball fits when it
// reaches the flanks as it is, touches the finished flank between the form diameter and the end of the
// active profile and stays clear of the root circle; a span fits when it spans from one tooth to as many
// as the gear has and touches the finished flank between the same two diameters.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;

enum class MeasurementFit {
  fits,
  not_reaching,     // the ball drops between the flanks onto the base circle, or no measurement exists
  below_form,       // it touches the flank below the form diameter
  cuts_root,        // the ball reaches below the root circle
  above_active,     // it touches the flank above the end of the active profile
  teeth_out_of_range,  // a span over fewer than one tooth, or over more teeth than the gear has
};

// The measurements over balls of one gear, of its nominal and its finished thickness, with one ball.
struct GearBallMeasurements {
  float ball;  // the ball of both: the one given, enlarged as far as the teeth need
  float nominal, contact_nominal, centre_nominal;
  float finished, contact_finished, centre_finished;
};

// Measures gear i over balls of diameter `ball`. A ball that a call enlarges stays enlarged for the later
// call; when the finished call enlarges it, the nominal call is repeated with that ball, so that both
// measurements use the same ball.
GearBallMeasurements measure_gear_over_balls(DesignData& d, int i, float ball);

// Writes g as gear i's measurements over balls (the ball is the caller's to keep or not).
void store_ball_measurements(DesignData& d, int i, const GearBallMeasurements& g);

// The nominal and finished spans of gear i over d.span_teeth[i] teeth, with their contact diameters, as the
// span measurement gives them (no judgement).
void measure_spans(DesignData& d, int i);

// The reason of a measurement that does not fit, as a line of a warning (empty for one that fits).
const char* measurement_fit_reason(MeasurementFit fit);

// The form diameter of gear `gear`'s finished flank (where the generated fillet meets the involute), of
// the tooth outline the design data describes now.
float flank_form_diameter(const DesignData& d, int gear);

// Measures gear `gear` over balls of the diameter d.ball_diameter[gear] as it stands, for the nominal and
// the finished thickness, and judges the finished measurement by the rule above. A ball that fits leaves
// its six measurement values in the design data; one that does not leaves them NaN (not available). The
// ball itself is never changed.
MeasurementFit measure_over_ball_as_chosen(DesignData& d, int gear, float form_diameter);

// The same for the span over d.span_teeth[gear] teeth: the nominal and finished spans and their contact
// diameters, NaN where the span does not fit.
MeasurementFit measure_span_as_chosen(DesignData& d, int gear, float form_diameter);

// A ball for gear `gear` that fits, found from d.ball_diameter[gear] by steps of 5 % towards the side the
// rule asks for and, where a step passes over the fitting balls, by halving between the last two balls;
// NaN when no ball fits. Measures with the design data as it stands and leaves its measurement values of
// that gear as the last ball tried left them.
float fitting_ball(DesignData& d, int gear, float form_diameter);

// A number of teeth spanned for gear `gear` that fits, found from d.span_teeth[gear] one tooth at a time
// towards the side the rule asks for; 0 when none does.
int32_t fitting_span_teeth(DesignData& d, int gear, float form_diameter);

}  // namespace morvell
