// What the rating windows share: which material types allow limited pitting, the two background
// colours of an edit (an input, or a derived quantity shown read-only), the (Calculate) boxes of the
// load quantities, and the loading of a stored load case into the current rating inputs.
#pragma once

#include <QColor>

#include <vector>

#include "design_data.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace morvell {

// Material types that allow no limited flank pitting: "Input", grey cast iron, ferritic nodular cast
// iron and the nitrided and nitrocarburized steels.
bool allows_limited_pitting(int32_t material_type);

// Background of an edit that holds an input (clWindow) and of one that shows a derived quantity (clMenu).
inline const QColor kWindowColour(255, 255, 255);
inline const QColor kMenuColour(240, 240, 240);
// An input edit is writable on the window colour; a locked one read-only on the menu colour.
void set_locked(QLineEdit* edit, bool locked);

// One group of (Calculate) boxes: of the quantities of the group one is calculated from the others. A
// box left checked makes its quantity the calculated one: the other boxes of the group are unchecked,
// its edits locked and the others open, and only its "(Calculate) " label shown. Unchecking changes
// nothing. Wires the click handler of every box of the group.
struct CalculatedQuantity {
  QCheckBox* box;
  std::vector<QLineEdit*> edits;
  QLabel* label;
};
void bind_calculate_boxes(const std::vector<CalculatedQuantity>& group);

// The two groups of a window that enters a load: speed, torque and power; running time and load cycles.
template <class Window>
void bind_load_calculate_boxes(Window& w) {
  bind_calculate_boxes({{w.speedcheckbox, {w.speedpinedit, w.speedwheeledit}, w.speedcalclabel},
                        {w.torquecheckbox, {w.torquepinedit, w.torquewheeledit}, w.torquecalclabel},
                        {w.powercheckbox, {w.poweredit}, w.powercalclabel}});
  bind_calculate_boxes({{w.timecheckbox, {w.timeedit}, w.timecalclabel},
                        {w.Cyclescheckbox, {w.cyclespinedit, w.cycleswheeledit}, w.cyclescalclabel}});
}

// The stored value of an accepted entry: the entry in display units times the unit factor, as a 32-bit
// float (a number beyond the float range becomes infinite).
float stored_value(double entry, float factor = 1.0f);

// The load quantities of the current case that a load entry stores or derives (speed, torque, power,
// running time, load cycles of both gears) and the gear the load was entered for, as they stood before
// the entry. An entry within the float range can still derive a quantity beyond it (a speed of 1e38
// rpm times the torque gives no power; 1e38 wheel cycles of a 20/80 pair give 4e38 pinion cycles):
// such an entry is refused with "Value is out of range", every quantity goes back to what it was before
// the entry, and the field keeps the focus; refuse_load_overflow returns true then.
struct LoadQuantities {
  float speed, torque, power, life_hours, load_cycles_pinion, load_cycles_wheel;
  int32_t fixed_for;
  static LoadQuantities of(const DesignData& d);
};
bool refuse_load_overflow(DesignData& d, QLineEdit* edit, const LoadQuantities& before);

// Loads stored load case `slot` into the current rating inputs: speed, torque, running time and
// misalignment, the gear its load was entered for, then the load cycles of both gears and the power.
void load_case_into_inputs(DesignData& d, int slot);
// Writes the current speed, torque, running time, misalignment and fixed-for code into slot `slot`.
void store_inputs_into_case(DesignData& d, int slot);
// A design whose table holds no case gets its current inputs as case 1; a count beyond the nine cases
// the windows offer is cut to nine, so that every window that lists the cases finds from one to nine.
void keep_load_case_count_valid(DesignData& d);

}  // namespace morvell
