// An own model of the measurements of a tooth, for tests of the balls and spans a user chooses: the
// measurement over balls from the involute of the ball centre, the span from the base pitch and base
// thickness, the diameters at which they touch the flank, and whether they fit the tooth (between the form
// diameter and the end of the active profile, the ball clear of the root circle).
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>

#include "design_data.h"
#include "tooth_profile.h"

namespace morvell {

inline double inv(double a) { return std::tan(a) - a; }

// The angle whose involute is v (Newton's method from a start that converges for every v > 0); NaN for
// v <= 0 (a ball centre on or inside the base circle: the ball does not reach the flanks).
inline double inverse_involute(double v) {
  if (!(v > 0)) return NAN;
  double a = std::min(std::cbrt(3 * v), 1.4);
  for (int k = 0; k < 60; ++k) a -= (inv(a) - v) / (std::tan(a) * std::tan(a));
  return a;
}

struct ModelGear {
  double d, d_b, alpha_t, beta_b, cos_beta, cos_alpha_n;
};
inline ModelGear gear_of(const DesignData& d, int i) {
  const double beta = double(d.helix_angle) * M_PI / 180, alpha_n = double(d.normal_pressure_angle) * M_PI / 180;
  ModelGear g;
  g.cos_beta = std::cos(beta);
  g.cos_alpha_n = std::cos(alpha_n);
  g.alpha_t = std::atan(std::tan(alpha_n) / g.cos_beta);
  g.d = d.teeth[i] * double(d.normal_module) / g.cos_beta;
  g.d_b = g.d * std::cos(g.alpha_t);
  g.beta_b = std::asin(std::sin(beta) * g.cos_alpha_n);
  return g;
}

// Measurement over balls of diameter D on a tooth of transverse thickness s_t, worked out from the
// involute of the ball centre: inv alpha_M = s_t / d + inv alpha_t + D / (d cos beta cos alpha_n) - pi / z;
// the ball touches the flank D / 2 along the normal, which leans by the base helix angle.
struct Balls {
  double centre, contact, measurement;
};
inline Balls balls_of(const DesignData& d, int i, double D, double s_t) {
  const ModelGear g = gear_of(d, i);
  const int z = d.teeth[i];
  const double alpha_m = inverse_involute(s_t / g.d + inv(g.alpha_t) + D / (g.d * g.cos_beta * g.cos_alpha_n) - M_PI / z);
  Balls b;
  b.centre = g.d_b / std::cos(alpha_m);
  const double alpha_c = std::atan(std::tan(alpha_m) - D * std::cos(g.beta_b) / g.d_b);
  b.contact = g.d_b / std::cos(alpha_c);
  b.measurement = (z % 2 ? b.centre * std::cos(M_PI / (2 * z)) : b.centre) + D;
  return b;
}

// Span over k teeth: (k - 1) base pitches and a base thickness, measured along the flank normal, which
// leans by the base helix angle; the two contact points lie half the span's transverse projection, W cos
// beta_b, on either side of the foot of a base radius.
struct Span {
  double length, contact;
};
inline Span span_of(const DesignData& d, int i, int k, double s_t) {
  const ModelGear g = gear_of(d, i);
  const double transverse = (k - 1) * M_PI * g.d_b / d.teeth[i] + g.d_b * (s_t / g.d + inv(g.alpha_t));
  Span s;
  s.length = transverse * std::cos(g.beta_b);
  const double projected = s.length * std::cos(g.beta_b);
  s.contact = std::sqrt(g.d_b * g.d_b + projected * projected);
  return s;
}

inline float form_diameter_of(const DesignData& d, int i) {
  auto outline = std::make_unique<ToothProfile>();
  float form = 0;
  generate_tooth_profile(finished_outline_input(d, i), &form, *outline);
  return form;
}

// Whether a ball of diameter D fits gear i of the design by the model: it touches the finished flank between
// the form diameter `form` and the end of the active profile and stays clear of the root circle, within
// `tol`.
inline bool ball_fits_by_model(const DesignData& d, int i, double D, double form, double tol) {
  const Balls b = balls_of(d, i, D, d.thickness_finished_transverse[i]);
  return std::isfinite(b.contact) && b.contact >= form - tol && b.contact <= d.eap_diameter[i] + tol &&
         b.centre - D >= d.root_diameter[i] - tol;
}

}  // namespace morvell
