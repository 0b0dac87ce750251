#include "measurement_fit.h"

#include <cmath>

#include "design_data.h"
#include "measurement.h"
#include "numeric.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

// Steps of 5 % allowed to the search for a fitting ball (1.05^80 is about 50), and halvings after a step
// passed over the fitting balls.
constexpr int kBallSteps = 80;
constexpr int kBallHalvings = 40;

// The side a ball that does not fit must go to: larger, except for one that touches above the active
// profile.
bool wants_larger(MeasurementFit fit) { return fit != MeasurementFit::above_active; }

void no_ball_measurement(DesignData& d, int i) {
  d.ball_measurement_nominal[i] = d.ball_contact_diameter_nominal[i] = d.ball_centre_diameter_nominal[i] = nan_f();
  d.ball_measurement_finished[i] = d.ball_contact_diameter_finished[i] = d.ball_centre_diameter_finished[i] = nan_f();
}

}  // namespace

GearBallMeasurements measure_gear_over_balls(DesignData& d, int i, float ball) {
  GearBallMeasurements g{};
  g.ball = ball;
  auto nominal = [&] {
    g.nominal = measurement_over_balls(d, d.teeth[i], &g.ball, d.thickness_nominal_transverse[i], d.normal_module,
                                       d.helix_angle, d.normal_pressure_angle, d.tip_diameter[i], &g.contact_nominal,
                                       &g.centre_nominal);
  };
  auto finished = [&] {
    g.finished = measurement_over_balls(d, d.teeth[i], &g.ball, d.thickness_finished_transverse[i], d.normal_module,
                                        d.helix_angle, d.normal_pressure_angle, d.tip_diameter[i],
                                        &g.contact_finished, &g.centre_finished);
  };
  auto changed = [](float a, float b) { return a != b && !(std::isnan(a) && std::isnan(b)); };
  nominal();
  float nominal_ball = g.ball;
  finished();
  // The nominal thickness is never below the finished one, so a ball that fits the finished tooth fits
  // the nominal tooth too; the bound only guards against a ball that keeps changing.
  for (int round = 0; round < 3 && changed(g.ball, nominal_ball); ++round) {
    const float finished_ball = g.ball;
    nominal();
    nominal_ball = g.ball;
    if (changed(g.ball, finished_ball)) finished();
  }
  return g;
}

void store_ball_measurements(DesignData& d, int i, const GearBallMeasurements& g) {
  d.ball_measurement_nominal[i] = g.nominal;
  d.ball_contact_diameter_nominal[i] = g.contact_nominal;
  d.ball_centre_diameter_nominal[i] = g.centre_nominal;
  d.ball_measurement_finished[i] = g.finished;
  d.ball_contact_diameter_finished[i] = g.contact_finished;
  d.ball_centre_diameter_finished[i] = g.centre_finished;
}

void measure_spans(DesignData& d, int i) {
  d.chordal_span_nominal[i] =
      span_measurement(d.span_teeth[i], d.teeth[i], d.thickness_nominal_transverse[i], d.normal_module,
                       d.helix_angle, d.normal_pressure_angle, &d.span_contact_diameter_nominal[i]);
  d.chordal_span_finished[i] =
      span_measurement(d.span_teeth[i], d.teeth[i], d.thickness_finished_transverse[i], d.normal_module,
                       d.helix_angle, d.normal_pressure_angle, &d.span_contact_diameter_finished[i]);
}

const char* measurement_fit_reason(MeasurementFit fit) {
  switch (fit) {
    case MeasurementFit::fits: return "";
    case MeasurementFit::not_reaching: return "it does not reach the tooth flanks";
    case MeasurementFit::below_form: return "it touches the flank below the form diameter";
    case MeasurementFit::cuts_root: return "the ball cuts the root circle";
    case MeasurementFit::above_active: return "it touches the flank above the end of the active profile";
    case MeasurementFit::teeth_out_of_range: return "the number of teeth spanned is out of range";
  }
  return "";
}

float flank_form_diameter(const DesignData& d, int gear) {
  ToothProfile outline;
  float form = nan_f();
  generate_tooth_profile(finished_outline_input(d, gear), &form, outline);
  return form;
}

MeasurementFit measure_over_ball_as_chosen(DesignData& d, int i, float form_diameter) {
  const float ball = d.ball_diameter[i];
  const GearBallMeasurements g = measure_gear_over_balls(d, i, ball);
  MeasurementFit fit = MeasurementFit::fits;
  const ld contact = g.contact_finished;
  if (g.ball != ball || !std::isfinite(g.finished) || !std::isfinite(contact) || !std::isfinite(g.nominal))
    fit = MeasurementFit::not_reaching;
  else if (!(contact >= ld(form_diameter)))
    fit = MeasurementFit::below_form;
  else if (!(ld(g.centre_finished) - ld(ball) >= ld(d.root_diameter[i])))
    fit = MeasurementFit::cuts_root;
  else if (!(contact <= ld(d.eap_diameter[i])))
    fit = MeasurementFit::above_active;
  if (fit != MeasurementFit::fits) {
    no_ball_measurement(d, i);
    return fit;
  }
  store_ball_measurements(d, i, g);
  return fit;
}

MeasurementFit measure_span_as_chosen(DesignData& d, int i, float form_diameter) {
  const int32_t k = d.span_teeth[i];
  MeasurementFit fit = MeasurementFit::fits;
  if (!(k >= 1 && k <= d.teeth[i])) {
    fit = MeasurementFit::teeth_out_of_range;
  } else {
    measure_spans(d, i);
    const float contact = d.span_contact_diameter_finished[i];
    if (!std::isfinite(d.chordal_span_finished[i]) || !std::isfinite(contact)) fit = MeasurementFit::not_reaching;
    else if (!(ld(form_diameter) <= ld(contact))) fit = MeasurementFit::below_form;
    else if (!(ld(contact) <= ld(d.eap_diameter[i]))) fit = MeasurementFit::above_active;
  }
  if (fit != MeasurementFit::fits) {
    d.chordal_span_nominal[i] = d.span_contact_diameter_nominal[i] = nan_f();
    d.chordal_span_finished[i] = d.span_contact_diameter_finished[i] = nan_f();
  }
  return fit;
}

float fitting_ball(DesignData& d, int i, float form_diameter) {
  const float typed = d.ball_diameter[i];
  const auto judge = [&](float ball) {
    d.ball_diameter[i] = ball;
    const MeasurementFit fit = measure_over_ball_as_chosen(d, i, form_diameter);
    d.ball_diameter[i] = typed;
    return fit;
  };
  if (!(std::isfinite(typed) && typed > 0.0f)) return nan_f();
  const MeasurementFit first = judge(typed);
  if (first == MeasurementFit::fits) return typed;
  const bool up = wants_larger(first);
  float previous = typed;
  for (int step = 0; step < kBallSteps; ++step) {
    const float next = to_float(up ? 1.05L * previous : previous / 1.05L);
    const MeasurementFit fit = judge(next);
    if (fit == MeasurementFit::fits) return next;
    if (wants_larger(fit) != up) {
      // The step passed over whatever fits: halve between the last ball too small and the first too large.
      float small = up ? previous : next, large = up ? next : previous;
      for (int k = 0; k < kBallHalvings; ++k) {
        const float mid = to_float((ld(small) + ld(large)) / 2);
        if (mid == small || mid == large) break;
        const MeasurementFit f = judge(mid);
        if (f == MeasurementFit::fits) return mid;
        (wants_larger(f) ? small : large) = mid;
      }
      return nan_f();
    }
    previous = next;
  }
  return nan_f();
}

int32_t fitting_span_teeth(DesignData& d, int i, float form_diameter) {
  const int32_t typed = d.span_teeth[i];
  const int32_t z = d.teeth[i];
  const auto judge = [&](int32_t k) {
    d.span_teeth[i] = k;
    const MeasurementFit fit = measure_span_as_chosen(d, i, form_diameter);
    d.span_teeth[i] = typed;
    return fit;
  };
  if (z < 1) return 0;
  int32_t k = typed < 1 ? 1 : (typed > z ? z : typed);
  MeasurementFit fit = judge(k);
  if (fit == MeasurementFit::fits) return k;
  if (fit == MeasurementFit::not_reaching) return 0;
  const int32_t step = fit == MeasurementFit::above_active ? -1 : 1;
  for (k += step; k >= 1 && k <= z; k += step) {
    const MeasurementFit f = judge(k);
    if (f == MeasurementFit::fits) return k;
    if ((f == MeasurementFit::above_active ? -1 : 1) != step || f == MeasurementFit::not_reaching) return 0;
  }
  return 0;
}

}  // namespace morvell
