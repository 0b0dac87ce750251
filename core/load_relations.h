// The relations between the quantities of a load: the pinion speed n (rpm), the pinion torque T (N m),
// the power P (W), the running time t (h) and the load cycles N1 and N2 of pinion and wheel, z1 and z2
// being the numbers of teeth:
//
//   P = 2 pi n T / 60,   N1 = 60 n t,   N2 = N1 z1 / z2,   t = N1 / (60 n);
//   a wheel speed n2 is n = n2 z2 / z1, a wheel torque T2 is T = T2 z1 / z2.
//
// Each is formed in extended precision and rounded once to the float it is stored as. The products of
// N1 = 60 n t and of the tooth ratios are exact in extended precision, so their order does not matter.
// The relations with pi and the running time are formed in three ways that differ in the last bits of
// a result; each place keeps its own, since its figures are shown and stored to the last bit:
//  - a design file read, and a case the main window takes from its list: P = n 2 pi T / 60;
//  - the load-case window, a case taken into the rating inputs, the sizing wizard (LoadArithmetic::
//    load_case): 1/60 in extended precision and pi as the double 3.141592653589793,
//    P = (1/60) n 2 pi T, T = P / ((1/60) n 2 pi), n = P / T x 9.549296585513721, t = N1 / n x (1/60);
//  - the rating input window (LoadArithmetic::rating_input), from the angular speed w = 2 pi n / 60:
//    P = w T, T = P / w, n = P / T x 60 / (2 pi), t = N1 / (60 n).
// A division by a zero speed, torque or number of teeth gives what the arithmetic gives (an infinity
// or NaN): a window that must keep its quantity then tests the divisor first.
#pragma once

#include <cstdint>

#include "design_data.h"
#include "numeric.h"

namespace morvell {

// The arithmetic of a window that enters a load (see above).
enum class LoadArithmetic { load_case, rating_input };

float power(LoadArithmetic a, float speed, float torque);
float torque_from_power(LoadArithmetic a, float power, float speed);
float speed_from_power(LoadArithmetic a, float power, float torque);
float running_hours(LoadArithmetic a, float pinion_cycles, float speed);

// P = n 2 pi T / 60: the power of a load read from a design file or taken in the main window's list.
float power_as_read(float speed, float torque);

// N1 = 60 n t, N2 = z1 N1 / z2 and back N1 = z2 N2 / z1.
float pinion_cycles(float speed, float hours);
float wheel_cycles(float pinion_cycles, int32_t z1, int32_t z2);
float pinion_cycles_of_wheel(float wheel_cycles, int32_t z1, int32_t z2);

// The wheel's load cycles of the current load from the pinion's and the teeth as they stand, N2 = N1 z1 /
// z2: the pinion's cycles are the load's own (60 n t), the wheel's follow its teeth. The geometry pass
// runs it, so that every path that changes the teeth (an entry, the sizing, the searches) rates the wheel
// at its own cycles. A number of teeth that is not positive gives no ratio: N2 stays as it is then.
void derive_wheel_cycles(DesignData& d);

// A load entered for the wheel stays the wheel's whatever the teeth: when the teeth have changed since
// the load was last seen (d.wheel_load) and the load is fixed for the wheel, the pinion's speed, torque
// and load cycles follow from the wheel's speed and torque and the new teeth, and so do the pinion's
// speed and torque of every stored case fixed for the wheel; the running time and the power (n T is the
// same on both gears) stay. A load fixed for the pinion, or a load that something other than new teeth
// has changed (an entry, a case taken, a design opened), stays as it is and is seen afresh from the
// wheel. The geometry pass runs it once the teeth are settled, so that every path that changes the teeth
// keeps the entered gear's load.
void keep_entered_load(DesignData& d);

// The pinion's speed and torque of a wheel speed or torque entered, n = z2 n2 / z1 and T = z1 T2 / z2,
// and the wheel's of the pinion's, n2 = z1 n / z2 and T2 = z2 T / z1 (a torque in display units).
float pinion_speed_of_wheel(float wheel_speed, int32_t z1, int32_t z2);
float pinion_torque_of_wheel(float wheel_torque, int32_t z1, int32_t z2);
float wheel_speed(float pinion_speed, int32_t z1, int32_t z2);
float wheel_torque(ld pinion_torque, int32_t z1, int32_t z2);

// Takes stored load case `slot` into the current load: speed, torque, running time, misalignment and
// the gear its load was entered for; and the other way, the current load into slot `slot`.
void take_case_values(DesignData& d, int slot);
void store_inputs_into_case(DesignData& d, int slot);

// N1, N2 and P of the current load from its speed, torque and running time, P as read: what a design
// file read and a case taken in the main window's list derive.
void derive_cycles_and_power_as_read(DesignData& d);

// Takes stored load case `slot` into the current load with its N1, N2 and P, P in the load-case
// arithmetic: how the rating input and the load-case window load a case.
void load_case_into_inputs(DesignData& d, int slot);

}  // namespace morvell
