#include "load_relations.h"

#include <cstring>

namespace morvell {

namespace {

constexpr ld kOneSixtieth = 1.0L / 60.0L;
// 60 / (2 pi) as the load-case arithmetic writes it.
constexpr ld kRpmPerRadianPerSecond = 9.549296585513721L;

ld l(float v) { return static_cast<ld>(v); }

// (1/60) n 2 pi, and 2 pi n / 60: the angular speed (rad/s) of a speed in rpm in the two arithmetics.
ld angular_speed(LoadArithmetic a, float speed) {
  return a == LoadArithmetic::load_case ? kOneSixtieth * l(speed) * 2.0L * kPiDouble : 2.0L * kPi * l(speed) / 60.0L;
}

}  // namespace

float power(LoadArithmetic a, float speed, float torque) {
  return to_float(angular_speed(a, speed) * l(torque));
}

float torque_from_power(LoadArithmetic a, float power, float speed) {
  return to_float(l(power) / angular_speed(a, speed));
}

float speed_from_power(LoadArithmetic a, float power, float torque) {
  if (a == LoadArithmetic::load_case) return to_float(l(power) / l(torque) * kRpmPerRadianPerSecond);
  return to_float(l(power) / l(torque) * 60.0L / (2.0L * kPi));
}

float running_hours(LoadArithmetic a, float pinion_cycles, float speed) {
  if (a == LoadArithmetic::load_case) return to_float(l(pinion_cycles) / l(speed) * kOneSixtieth);
  return to_float(l(pinion_cycles) / (60.0L * l(speed)));
}

float power_as_read(float speed, float torque) { return to_float(l(speed) * 2.0L * kPi * l(torque) / 60.0L); }

float pinion_cycles(float speed, float hours) { return to_float(60.0L * l(speed) * l(hours)); }

float wheel_cycles(float pinion_cycles, int32_t z1, int32_t z2) {
  return to_float(ld(z1) * l(pinion_cycles) / ld(z2));
}

float pinion_cycles_of_wheel(float wheel_cycles, int32_t z1, int32_t z2) {
  return to_float(ld(z2) * l(wheel_cycles) / ld(z1));
}

void derive_wheel_cycles(DesignData& d) {
  if (d.teeth[0] > 0 && d.teeth[1] > 0)
    d.load_cycles_wheel = wheel_cycles(d.load_cycles_pinion, d.teeth[0], d.teeth[1]);
}

float pinion_speed_of_wheel(float wheel_speed, int32_t z1, int32_t z2) {
  return to_float(ld(z2) * l(wheel_speed) / ld(z1));
}

float pinion_torque_of_wheel(float wheel_torque, int32_t z1, int32_t z2) {
  return to_float(ld(z1) * l(wheel_torque) / ld(z2));
}

float wheel_speed(float pinion_speed, int32_t z1, int32_t z2) { return to_float(ld(z1) * l(pinion_speed) / ld(z2)); }

float wheel_torque(ld pinion_torque, int32_t z1, int32_t z2) { return to_float(ld(z2) * pinion_torque / ld(z1)); }

void keep_entered_load(DesignData& d) {
  DesignData::WheelLoad& w = d.wheel_load;
  const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
  if (!(z1 > 0 && z2 > 0)) return;
  const bool seen = w.teeth[0] > 0 && w.teeth[1] > 0;
  const bool new_teeth = seen && (w.teeth[0] != z1 || w.teeth[1] != z2);
  // The load as it was last seen: an entry or a case taken since has changed it (compared bit for bit).
  const bool same_load = seen && std::memcmp(&w.pinion_speed, &d.speed, sizeof(float)) == 0 &&
                         std::memcmp(&w.pinion_torque, &d.torque, sizeof(float)) == 0;
  if (new_teeth) {
    // The stored cases entered for the wheel: the wheel's load at the old teeth, the pinion's at the new.
    const ld old_z1 = w.teeth[0], old_z2 = w.teeth[1];
    const int32_t count = d.load_case_count < kLoadCaseTableSize ? d.load_case_count : kLoadCaseTableSize;
    for (int32_t k = 0; k < count; ++k) {
      if (d.load_case_fixed_for[k] != 2) continue;
      LoadCase& c = d.load_case_table[k];
      c.speed = to_float(l(c.speed) * old_z1 * z2 / (old_z2 * z1));
      c.torque = to_float(l(c.torque) * old_z2 * z1 / (old_z1 * z2));
    }
  }
  if (new_teeth && same_load && d.load_data_fixed_for == 2) {
    d.speed = pinion_speed_of_wheel(w.speed, z1, z2);
    d.torque = pinion_torque_of_wheel(w.torque, z1, z2);
    d.load_cycles_pinion = pinion_cycles(d.speed, d.life_hours);
  } else if (new_teeth || !same_load) {
    w.speed = wheel_speed(d.speed, z1, z2);
    w.torque = wheel_torque(l(d.torque), z1, z2);
  }
  w.pinion_speed = d.speed;
  w.pinion_torque = d.torque;
  w.teeth[0] = z1;
  w.teeth[1] = z2;
}

void take_case_values(DesignData& d, int slot) {
  const LoadCase& c = d.load_case_table[slot];
  d.speed = c.speed;
  d.torque = c.torque;
  d.life_hours = c.life_hours;
  d.f_beta_x = c.f_beta_x;
  d.load_data_fixed_for = d.load_case_fixed_for[slot];
}

void store_inputs_into_case(DesignData& d, int slot) {
  d.load_case_table[slot] = LoadCase{d.speed, d.torque, d.life_hours, d.f_beta_x};
  d.load_case_fixed_for[slot] = d.load_data_fixed_for;
}

void derive_cycles_and_power_as_read(DesignData& d) {
  d.load_cycles_pinion = pinion_cycles(d.speed, d.life_hours);
  derive_wheel_cycles(d);
  d.power = power_as_read(d.speed, d.torque);
}

void load_case_into_inputs(DesignData& d, int slot) {
  take_case_values(d, slot);
  d.load_cycles_pinion = pinion_cycles(d.speed, d.life_hours);
  derive_wheel_cycles(d);
  d.power = power(LoadArithmetic::load_case, d.speed, d.torque);
}

}  // namespace morvell
