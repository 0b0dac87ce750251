// Results that the design alone decides, whatever state came before: balls and spans the user chose,
// judged after every change by the measurement window's rule (changed so that they fit, or shown as not
// available); a load entered for the wheel that stays the wheel's when the teeth change; faces that do
// not overlap; the work hardening factor read between the rows of the hardness table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_refresh.h"
#include "geometry_pass.h"
#include "geometry_warnings.h"
#include "hardness.h"
#include "load_relations.h"
#include "measured_teeth.h"
#include "numeric.h"
#include "startup_values.h"
#include "tooth_profile.h"

using namespace morvell;

namespace {

struct Finding {
  GeometryWarning kind;
  int gear;
  std::string lines[2];
};

// The refresh of a shown design (the main window's, the reader's), with the warnings it finds.
std::vector<Finding> refresh(DesignData& d) {
  std::vector<Finding> found;
  refresh_design(d, [&](GeometryWarning kind, int gear) {
    found.push_back({kind, gear, {d.warning_lines[0], d.warning_lines[1]}});
  });
  return found;
}

// A random pair with the module fixed (the centre distance follows), its tooth proportions from a 1 /
// 1.25 / 0.3 rack with the shifts, balls and spans chosen for another module and other teeth.
std::unique_ptr<DesignData> random_pair(std::mt19937& rng) {
  auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  auto integer = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  d->geometry_manager_mode = 0;
  d->tooth_proportion_mode = 0;
  d->shift_distribution_auto = 0;
  d->helix_angle = integer(0, 1) ? float(uniform(5, 30)) : 0.0f;
  d->normal_pressure_angle = float(uniform(16, 25));
  d->teeth[0] = integer(12, 45);
  d->teeth[1] = int(d->teeth[0] * uniform(1, 4.5));
  d->desired_ratio = d->actual_ratio = float(double(d->teeth[1]) / d->teeth[0]);
  const float m = float(uniform(1, 8));
  d->normal_module = m;
  for (int i = 0; i < 2; ++i) {
    d->profile_shift[i] = float(uniform(-0.25, 0.6));
    d->addendum[i] = (1.0f + d->profile_shift[i]) * m;
    d->dedendum[i] = (1.25f - d->profile_shift[i]) * m;
    d->root_fillet_radius[i] = 0.3f * m;
  }
  d->profile_shift_sum = d->profile_shift[0] + d->profile_shift[1];
  d->default_ball_diameter = 0;
  d->default_span_teeth = 0;
  const double old_module = m * uniform(0.3, 3);
  for (int i = 0; i < 2; ++i) {
    d->ball_diameter[i] = float(old_module * uniform(1.2, 2.2));
    d->span_teeth[i] = integer(1, std::max(2, d->teeth[i] / 3));
  }
  return d;
}

// Each chosen ball and span after a refresh: measured and inside the rule by the formulas above, or not
// available (NaN) with its gear's "not available" warning.
void expect_judged(const DesignData& d, const std::vector<Finding>& found) {
  auto warned = [&](GeometryWarning kind, int gear) {
    for (const Finding& f : found)
      if (f.kind == kind && f.gear == gear) return true;
    return false;
  };
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const double form = form_diameter_of(d, i), eap = d.eap_diameter[i], root = d.root_diameter[i];
    const double tol = 2e-4 * d.normal_module;
    if (std::isnan(d.ball_measurement_finished[i])) {
      EXPECT_TRUE(warned(GeometryWarning::ball_unavailable, i));
      EXPECT_TRUE(std::isnan(d.ball_measurement_nominal[i]));
    } else {
      const double D = d.ball_diameter[i];
      const Balls b = balls_of(d, i, D, d.thickness_finished_transverse[i]);
      EXPECT_NEAR(d.ball_measurement_finished[i], b.measurement, 1e-4 * d.normal_module + 1e-6 * b.measurement);
      EXPECT_GE(b.contact, form - tol);
      EXPECT_LE(b.contact, eap + tol);
      EXPECT_GE(b.centre - D, root - tol);
      EXPECT_NEAR(d.ball_measurement_nominal[i], balls_of(d, i, D, d.thickness_nominal_transverse[i]).measurement,
                  1e-4 * d.normal_module + 1e-6 * b.measurement);
    }
    if (std::isnan(d.chordal_span_finished[i])) {
      EXPECT_TRUE(warned(GeometryWarning::span_unavailable, i));
    } else {
      const int k = d.span_teeth[i];
      EXPECT_GE(k, 1);
      EXPECT_LE(k, d.teeth[i]);
      const Span s = span_of(d, i, k, d.thickness_finished_transverse[i]);
      EXPECT_NEAR(d.chordal_span_finished[i], s.length, 1e-5 * s.length + 1e-5);
      EXPECT_GE(s.contact, form - tol);
      EXPECT_LE(s.contact, eap + tol);
    }
  }
}

}  // namespace

// ----- Balls and spans the user chose -----

// The pair of the report: 35/140 teeth, alpha_n 18.75, beta 15, x +-0.225, balls 3.0 / 4.0 typed at
// module 1.9, then module 6; and balls 3.9 / 4.3 at module 1.2, which touch above the active profile.
// Each ball is changed so that it fits (and said so from what to what), and a second refresh changes
// nothing more.
TEST(ChosenMeasurements, BallsTypedForAnotherModuleAreChangedToFit) {
  const struct {
    float module, ball1, ball2;
  } cases[] = {{6.0f, 3.0f, 4.0f}, {1.2f, 3.9f, 4.3f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    auto d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->unit_system = 1;
    set_unit_factors(*d);
    d->geometry_manager_mode = 0;
    d->tooth_proportion_mode = 0;
    d->shift_distribution_auto = 0;
    d->teeth[0] = 35;
    d->teeth[1] = 140;
    d->normal_pressure_angle = 18.75f;
    d->helix_angle = 15;
    d->normal_module = c.module;
    d->profile_shift[0] = 0.225f;
    d->profile_shift[1] = -0.225f;
    d->profile_shift_sum = 0;
    for (int i = 0; i < 2; ++i) {
      d->addendum[i] = (1.0f + d->profile_shift[i]) * c.module;
      d->dedendum[i] = (1.25f - d->profile_shift[i]) * c.module;
      d->root_fillet_radius[i] = 0.3f * c.module;
    }
    d->default_ball_diameter = 0;
    d->ball_diameter[0] = c.ball1;
    d->ball_diameter[1] = c.ball2;
    const auto found = refresh(*d);
    expect_judged(*d, found);
    int changed = 0;
    for (const Finding& f : found) {
      if (f.kind != GeometryWarning::ball_too_small) continue;
      ++changed;
      const float typed = f.gear == 0 ? c.ball1 : c.ball2;
      char line[128];
      std::snprintf(line, sizeof line, "Ball diameter has been changed from %6.3f to %6.3f ", double(typed),
                    double(d->ball_diameter[f.gear]));
      EXPECT_EQ(f.lines[1], line);
    }
    EXPECT_EQ(changed, 2);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(std::isfinite(d->ball_measurement_finished[i])) << i;
    const std::unique_ptr<DesignData> once = std::make_unique<DesignData>(*d);
    EXPECT_TRUE(refresh(*d).empty());
    EXPECT_EQ(d->ball_diameter[0], once->ball_diameter[0]);
    EXPECT_EQ(d->ball_diameter[1], once->ball_diameter[1]);
    EXPECT_EQ(d->ball_measurement_finished[1], once->ball_measurement_finished[1]);
  }
}

// The class as a property: random pairs whose balls and spans were chosen for other teeth and another
// module. After a refresh every chosen ball and span is inside the rule (worked out here) or not
// available with its warning; a second refresh changes no ball, span or measurement.
TEST(ChosenMeasurements, EveryChangeLeavesBallsAndSpansInsideTheRuleOrNotAvailable) {
  std::mt19937 rng(4402);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    auto d = random_pair(rng);
    const auto found = refresh(*d);
    expect_judged(*d, found);
    const auto once = std::make_unique<DesignData>(*d);
    const auto again = refresh(*d);
    for (const Finding& f : again)  // findings that stand without a change may be said again; none changes a ball
      EXPECT_TRUE(f.kind != GeometryWarning::ball_too_small && f.kind != GeometryWarning::span_changed)
          << f.lines[0] << " / " << f.lines[1];
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(d->ball_diameter[i], once->ball_diameter[i]);
      EXPECT_EQ(d->span_teeth[i], once->span_teeth[i]);
      EXPECT_TRUE(std::memcmp(&d->ball_measurement_finished[i], &once->ball_measurement_finished[i], 4) == 0);
      EXPECT_TRUE(std::memcmp(&d->chordal_span_finished[i], &once->chordal_span_finished[i], 4) == 0);
    }
  }
}

// The design search's pick shows the balls and spans the main window will show: the same changes,
// without a word.
TEST(ChosenMeasurements, APickedDesignHasTheBallsTheRefreshGivesIt) {
  std::mt19937 rng(4403);
  int changed = 0;
  for (int trial = 0; trial < 30; ++trial) {
    SCOPED_TRACE(trial);
    auto picked = random_pair(rng);
    calc_gear_geometry(*picked);
    changed += fit_chosen_measurements(*picked);
    auto shown = std::make_unique<DesignData>(*picked);
    refresh(*shown);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(picked->ball_diameter[i], shown->ball_diameter[i]);
      EXPECT_EQ(picked->span_teeth[i], shown->span_teeth[i]);
      EXPECT_TRUE(std::memcmp(&picked->ball_measurement_finished[i], &shown->ball_measurement_finished[i], 4) == 0);
      EXPECT_TRUE(std::memcmp(&picked->chordal_span_finished[i], &shown->chordal_span_finished[i], 4) == 0);
    }
  }
  EXPECT_GT(changed, 0);
}

// ----- A load entered for the wheel -----

// The example of the report: fixed for the wheel, 1000 rpm and 500 N m at the wheel stay so when the
// ratio becomes 2 (and on every later change of the teeth); the pinion's speed, torque and cycles follow
// them, the running time and the power stay. Fixed for the pinion, the pinion's stay.
TEST(EnteredLoad, TheEnteredGearKeepsItsSpeedAndTorqueWhateverTheTeeth) {
  std::mt19937 rng(4404);
  for (const int fixed_for : {1, 2}) {
    SCOPED_TRACE(fixed_for);
    auto d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->geometry_manager_mode = 0;
    d->teeth[0] = 23;
    d->teeth[1] = 32;
    calc_gear_geometry(*d);
    d->load_data_fixed_for = fixed_for;
    // The entry: 1000 rpm and 500 N m for the gear the load is fixed for.
    const double n_entered = 1000, t_entered = 500;
    d->speed = fixed_for == 2 ? pinion_speed_of_wheel(1000, 23, 32) : 1000.0f;
    d->torque = fixed_for == 2 ? pinion_torque_of_wheel(500, 23, 32) : 500.0f;
    d->life_hours = 2000;
    d->load_cycles_pinion = pinion_cycles(d->speed, d->life_hours);
    d->power = power_as_read(d->speed, d->torque);
    calc_gear_geometry(*d);
    const float hours = d->life_hours, power = d->power;
    for (int step = 0; step < 40; ++step) {
      const int z1 = step == 0 ? 20 : std::uniform_int_distribution<int>(12, 60)(rng);
      const int z2 = step == 0 ? 40 : std::uniform_int_distribution<int>(z1, 5 * z1)(rng);
      d->teeth[0] = z1;
      d->teeth[1] = z2;
      calc_gear_geometry(*d);
      const double ratio = double(z2) / z1;
      const double n = fixed_for == 2 ? n_entered * ratio : n_entered, t = fixed_for == 2 ? t_entered / ratio : t_entered;
      EXPECT_NEAR(d->speed, n, 1e-6 * n) << z1 << "/" << z2;
      EXPECT_NEAR(d->torque, t, 1e-6 * t) << z1 << "/" << z2;
      EXPECT_NEAR(double(d->speed) / ratio, fixed_for == 2 ? n_entered : n_entered / ratio, 1e-6 * n_entered);
      EXPECT_NEAR(d->load_cycles_pinion, 60.0 * n * 2000, 1e-6 * 60 * n * 2000);
      EXPECT_NEAR(d->load_cycles_wheel, 60.0 * n / ratio * 2000, 1e-6 * 60 * n / ratio * 2000);
      EXPECT_EQ(d->life_hours, hours);
      EXPECT_EQ(d->power, power);
    }
  }
}

// A new load (an entry, a case taken) is the load from then on: the teeth it was entered with count, and a
// pass with the same teeth changes nothing of it. The stored cases fixed for the wheel follow the teeth too.
TEST(EnteredLoad, ANewLoadAndTheStoredCasesFollowFromTheirOwnTeeth) {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->geometry_manager_mode = 0;
  d->teeth[0] = 20;
  d->teeth[1] = 40;
  d->load_case_count = 2;
  d->load_case_table[0] = LoadCase{1000, 300, 100, 0};  // pinion
  d->load_case_fixed_for[0] = 1;
  d->load_case_table[1] = LoadCase{400, 100, 100, 0};   // wheel: 200 rpm and 200 N m at the wheel
  d->load_case_fixed_for[1] = 2;
  d->current_load_case = 1;
  load_case_into_inputs(*d, 1);
  calc_gear_geometry(*d);
  const auto before = std::make_unique<DesignData>(*d);
  calc_gear_geometry(*d);
  EXPECT_EQ(d->speed, before->speed);
  EXPECT_EQ(d->torque, before->torque);
  EXPECT_EQ(std::memcmp(&d->wheel_load, &before->wheel_load, sizeof d->wheel_load), 0);

  d->teeth[0] = 25;
  d->teeth[1] = 25;
  calc_gear_geometry(*d);
  EXPECT_NEAR(d->speed, 200.0f, 1e-4);
  EXPECT_NEAR(d->torque, 200.0f, 1e-4);
  EXPECT_EQ(d->load_case_table[0].speed, 1000.0f);
  EXPECT_EQ(d->load_case_table[0].torque, 300.0f);
  EXPECT_NEAR(d->load_case_table[1].speed, 200.0f, 1e-4);
  EXPECT_NEAR(d->load_case_table[1].torque, 200.0f, 1e-4);

  // The pinion's case taken: fixed for the pinion, it stays at 1000 rpm through the next change.
  load_case_into_inputs(*d, 0);
  d->teeth[0] = 17;
  d->teeth[1] = 51;
  calc_gear_geometry(*d);
  EXPECT_EQ(d->speed, 1000.0f);
  EXPECT_EQ(d->torque, 300.0f);
  EXPECT_NEAR(d->load_case_table[1].speed, 200.0 * 3, 1e-3);
  EXPECT_NEAR(d->load_case_table[1].torque, 200.0 / 3, 1e-4);
}

// ----- Faces -----

// Faces that do not overlap are no pair: the common width and both bending widths are the pass's token
// whatever the design before was, and the warnings say so; faces that overlap give no such warning.
// Overlap is worked out here from the usable faces, pinion [c1, b1 - c1] and wheel [o + c2, o + b2 - c2].
TEST(FacesApart, EveryWidthComesFromTheCurrentFaces) {
  std::mt19937 rng(4405);
  auto uniform = [&](double a, double b) { return float(std::uniform_real_distribution<double>(a, b)(rng)); };
  int apart = 0;
  for (int trial = 0; trial < 80; ++trial) {
    SCOPED_TRACE(trial);
    // An earlier design with wide overlapping faces leaves its widths behind.
    auto d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->face_width[0] = d->face_width[1] = uniform(30, 60);
    calc_gear_geometry(*d);
    d->face_width[0] = uniform(5, 40);
    d->face_width[1] = uniform(5, 40);
    d->edge_chamfer[0] = uniform(0, 0.2 * d->normal_module);  // within the chamfers' bounds
    d->edge_chamfer[1] = uniform(0, 0.2 * d->normal_module);
    d->face_width_offset = uniform(-60, 60);
    const double ps = d->edge_chamfer[0], pe = d->face_width[0] - d->edge_chamfer[0];
    const double ws = d->face_width_offset + d->edge_chamfer[1];
    const double we = d->face_width_offset + d->face_width[1] - d->edge_chamfer[1];
    const bool overlap = std::max(ps, ws) < std::min(pe, we);
    const auto found = refresh(*d);
    bool warned = false;
    for (const Finding& f : found) warned = warned || f.kind == GeometryWarning::faces_apart;
    EXPECT_EQ(warned, !overlap);
    if (overlap) {
      EXPECT_NEAR(d->active_face_width, std::min(pe, we) - std::max(ps, ws), 1e-4);
      continue;
    }
    ++apart;
    EXPECT_EQ(d->active_face_width, kNoCommonFaceWidth);
    EXPECT_EQ(d->bending_face_width[0], kNoCommonFaceWidth);
    EXPECT_EQ(d->bending_face_width[1], kNoCommonFaceWidth);
  }
  EXPECT_GT(apart, 10);
}

// ----- Hardness -----

// Between two rows of the table a hardness converts on the straight line between them (rows typed here:
// HRC 44 = HV 434 = HB 409, HRC 45 = HV 446 = HB 421); taken to another scale and back it comes back
// within the rounding of a float; a row's own key gives the row's value.
TEST(HardnessBetweenRows, ConversionsRunStraightBetweenRowsAndComeBack) {
  std::mt19937 rng(4406);
  for (int trial = 0; trial < 200; ++trial) {
    const double t = std::uniform_real_distribution<double>(0, 1)(rng);
    const float hrc = float(44 + t);
    const double share = (double(hrc) - 44);
    EXPECT_NEAR(interpolate_hardness(hrc, kHrcToHb), 409 + 12 * share, 1e-4) << hrc;
    EXPECT_NEAR(interpolate_hardness(hrc, kHrcToHv), 434 + 12 * share, 1e-4) << hrc;
    const float hv = float(434 + 12 * t);
    EXPECT_NEAR(interpolate_hardness(hv, kHvToHb), 409 + (double(hv) - 434), 1e-4) << hv;
  }
  std::uniform_real_distribution<double> any(20.5, 51.5);
  for (int trial = 0; trial < 300; ++trial) {
    const float hrc = float(any(rng));
    const float hb = interpolate_hardness(hrc, kHrcToHb), hv = interpolate_hardness(hrc, kHrcToHv);
    EXPECT_NEAR(interpolate_hardness(hb, kHbToHrc), hrc, 4e-6 * hrc) << hrc;
    EXPECT_NEAR(interpolate_hardness(hv, kHvToHrc), hrc, 4e-6 * hrc) << hrc;
    EXPECT_NEAR(interpolate_hardness(hv, kHvToHb), hb, 4e-6 * hb) << hrc;
  }
  for (const float key : {20.0f, 30.0f, 45.0f, 52.0f}) EXPECT_EQ(interpolate_hardness(key, kHrcToHb), convert_hardness(key, kHrcToHb));
}
