// The load relations against the exact values, worked out in quadruple precision: every way the program
// forms them rounds to one of the two floats around the exact value, overflows to infinity exactly when
// the exact value lies beyond the float range, and a case taken into the current load derives what the
// windows and the design file reader show for it.
#include "load_relations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "design_data.h"

using namespace morvell;

namespace {

using quad = __float128;
// pi to 106 bits: the double nearest pi and what it falls short by.
const quad kQuadPi = quad(3.141592653589793) + quad(1.2246467991473532e-16);
constexpr float kLargest = std::numeric_limits<float>::max();

// A relation formed in extended precision and rounded once to a float gives one of the two floats that
// enclose the exact value (the nearest, or the other one when the exact value lies that close to the
// middle between them); infinity counts as the float after the largest, and beyond that it is the only
// result.
::testing::AssertionResult encloses(float result, quad exact) {
  const quad after_largest = quad(kLargest) + quad(0x1p104);  // 2^128
  if (exact > after_largest || exact < -after_largest)
    return std::isinf(result) && (result > 0) == (exact > 0) ? ::testing::AssertionSuccess()
                                                              : ::testing::AssertionFailure() << "not infinite";
  const float nearest = float(exact);
  const float below = nearest <= exact ? nearest : std::nextafter(nearest, -INFINITY);
  const float above = std::nextafter(below, INFINITY);
  if (result == below || result == above) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the exact value " << double(exact) << " lies between " << below << " and "
                                       << above;
}

struct Load {
  float speed, torque, hours;
};
// Speeds, torques and times of the windows' ranges and their ends, of the examples, and beyond the
// ranges up to the ends of the float range.
const Load kLoads[] = {{2500, 200, 66.66666f},        {1000, 100, 10},        {1234.567f, 876.54321f, 3.3333f},
                       {7, 49999, 99999},             {25000, 50000, 100000}, {0.001f, 0.333f, 0.7f},
                       {1e-30f, 1e-20f, 1e-10f},      {1e30f, 1e10f, 1e10f},  {3e38f, 3e38f, 3e38f},
                       {3.4028234e38f, 1, 1},         {0.5f, 60, 1.0f / 3},   {16777217.0f, 7.1f, 0.1f}};
const int32_t kTeeth[][2] = {{20, 80}, {23, 32}, {17, 53}, {1, 100000}, {100000, 1}};

}  // namespace

TEST(LoadRelations, PowerTorqueSpeedAndTimeInEveryArithmeticEncloseTheExactValues) {
  for (const Load& l : kLoads) {
    SCOPED_TRACE(::testing::Message() << "n " << l.speed << " T " << l.torque << " t " << l.hours);
    const quad n = l.speed, T = l.torque, P = quad(l.speed) * 2 * kQuadPi * l.torque / 60;
    EXPECT_TRUE(encloses(power_as_read(l.speed, l.torque), P));
    for (LoadArithmetic a : {LoadArithmetic::load_case, LoadArithmetic::rating_input}) {
      SCOPED_TRACE(a == LoadArithmetic::load_case ? "load case" : "rating input");
      EXPECT_TRUE(encloses(power(a, l.speed, l.torque), P));
      // The inverses, of the power the speed and torque give as a float.
      const float p = power(a, l.speed, l.torque);
      if (!std::isfinite(p)) continue;
      EXPECT_TRUE(encloses(torque_from_power(a, p, l.speed), quad(p) * 60 / (2 * kQuadPi * n)));
      EXPECT_TRUE(encloses(speed_from_power(a, p, l.torque), quad(p) * 60 / (2 * kQuadPi * T)));
      // The running time of the cycles taken as the time's.
      EXPECT_TRUE(encloses(running_hours(a, l.hours, l.speed), quad(l.hours) / (60 * n)));
    }
  }
}

TEST(LoadRelations, CyclesAndTheWheelsValuesAreTheExactValuesRounded) {
  for (const Load& l : kLoads)
    for (const auto& z : kTeeth) {
      SCOPED_TRACE(::testing::Message() << "n " << l.speed << " t " << l.hours << " z " << z[0] << "/" << z[1]);
      // N1 = 60 n t is exact before it is rounded, whatever the order of the factors.
      const quad n1 = 60 * quad(l.speed) * l.hours;
      EXPECT_TRUE(encloses(pinion_cycles(l.speed, l.hours), n1));
      EXPECT_EQ(pinion_cycles(l.speed, l.hours), pinion_cycles(l.hours, l.speed));
      const float n1f = pinion_cycles(l.speed, l.hours);
      EXPECT_TRUE(encloses(wheel_cycles(n1f, z[0], z[1]), quad(n1f) * z[0] / z[1]));
      EXPECT_TRUE(encloses(pinion_cycles_of_wheel(n1f, z[0], z[1]), quad(n1f) * z[1] / z[0]));
      EXPECT_TRUE(encloses(pinion_speed_of_wheel(l.speed, z[0], z[1]), quad(l.speed) * z[1] / z[0]));
      EXPECT_TRUE(encloses(wheel_speed(l.speed, z[0], z[1]), quad(l.speed) * z[0] / z[1]));
      EXPECT_TRUE(encloses(pinion_torque_of_wheel(l.torque, z[0], z[1]), quad(l.torque) * z[0] / z[1]));
      EXPECT_TRUE(encloses(wheel_torque(l.torque, z[0], z[1]), quad(l.torque) * z[1] / z[0]));
    }
}

// The figures the windows show for their examples.
TEST(LoadRelations, ExamplesOfTheWindows) {
  // The sizing wizard: 1e7 cycles at 2500 rpm and 200 N m.
  EXPECT_NEAR(running_hours(LoadArithmetic::load_case, 1e7f, 2500), 66.66666, 1e-5);
  EXPECT_NEAR(power(LoadArithmetic::load_case, 2500, 200), 52359.88, 0.01);
  // A wheel speed of 1000 rpm on 20/40 teeth is a pinion speed of 2000 rpm.
  EXPECT_EQ(pinion_speed_of_wheel(1000, 20, 40), 2000.0f);
  // Dividing by a zero speed gives what the arithmetic gives: a window tests the divisor first.
  EXPECT_TRUE(std::isinf(running_hours(LoadArithmetic::rating_input, 1e6f, 0)));
  EXPECT_TRUE(std::isnan(torque_from_power(LoadArithmetic::load_case, 0, 0)));
}

TEST(LoadRelations, ACaseTakenIntoTheCurrentLoadBringsItsCyclesAndPower) {
  DesignData d;
  d.teeth[0] = 23;
  d.teeth[1] = 32;
  d.load_case_table[2] = LoadCase{1234.567f, 876.54321f, 3.3333f, 7.5f};
  d.load_case_fixed_for[2] = 2;

  load_case_into_inputs(d, 2);
  EXPECT_EQ(d.speed, 1234.567f);
  EXPECT_EQ(d.torque, 876.54321f);
  EXPECT_EQ(d.life_hours, 3.3333f);
  EXPECT_EQ(d.f_beta_x, 7.5f);
  EXPECT_EQ(d.load_data_fixed_for, 2);
  EXPECT_TRUE(encloses(d.load_cycles_pinion, 60 * quad(1234.567f) * 3.3333f));
  EXPECT_TRUE(encloses(d.load_cycles_wheel, quad(d.load_cycles_pinion) * 23 / 32));
  EXPECT_EQ(d.power, power(LoadArithmetic::load_case, d.speed, d.torque));

  // The main window and the design file reader take the power as read.
  d.power = 0;
  derive_cycles_and_power_as_read(d);
  EXPECT_EQ(d.power, power_as_read(d.speed, d.torque));

  // And back: the current load into another slot.
  d.f_beta_x = 1;
  store_inputs_into_case(d, 5);
  EXPECT_EQ(d.load_case_table[5].speed, 1234.567f);
  EXPECT_EQ(d.load_case_table[5].f_beta_x, 1.0f);
  EXPECT_EQ(d.load_case_fixed_for[5], 2);
}
