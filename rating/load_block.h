// The load block of the two windows that enter a load, the rating input window and the load-case
// window: the rows of speed and torque of pinion and wheel, power, running time and load cycles of
// pinion and wheel, their (Calculate) boxes and the exit handlers of their fields. A window derives
// from it, builds the rows where its layout puts them and names its arithmetic and its way of taking
// an entry; the controls and handlers then carry the window's names.
//
// Of speed, torque and power one is calculated from the other two, and of time and cycles one from the
// other (the box left checked says which; power and time at first). Every entry updates the quantities
// that depend on it in the window's arithmetic (load_relations.h) and sets the gear the load was entered
// for; a derivation that would divide by a zero speed, torque or number of teeth leaves its quantity as
// it was. An entry that derives a quantity beyond the float range (a speed of 1e38 rpm times the torque
// gives no power; 1e38 wheel cycles of a 20/80 pair give 4e38 pinion cycles) is refused with "Value is
// out of range": every load quantity and the gear go back to what they were before the entry, and the
// field keeps the focus.
#pragma once

#include <functional>
#include <optional>

#include "design_data.h"
#include "load_relations.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace morvell {

class LoadBlock {
 public:
  QCheckBox* speedcheckbox;
  QCheckBox* torquecheckbox;
  QCheckBox* powercheckbox;
  QLabel* speedcalclabel;
  QLabel* torquecalclabel;
  QLabel* powercalclabel;
  QLineEdit* speedpinedit;
  QLineEdit* speedwheeledit;
  QLabel* speedlabel;
  QLineEdit* torquepinedit;
  QLineEdit* torquewheeledit;
  QLabel* torquelabel;
  QLineEdit* poweredit;
  QLabel* powerlabel;
  QCheckBox* timecheckbox;
  QCheckBox* Cyclescheckbox;
  QLabel* timecalclabel;
  QLabel* cyclescalclabel;
  QLineEdit* timeedit;
  QLineEdit* cyclespinedit;
  QLineEdit* cycleswheeledit;

  void speedpineditExit();
  void speedwheeleditExit();
  void torquepineditExit();
  void torquewheeleditExit();
  void powereditExit();
  void timeeditExit();
  void cyclespineditExit();
  void cycleswheeleditExit();

 protected:
  // How the window takes an entry. With `ranged` (the rating input window) each entry must lie in its
  // quantity's range (speed 0 < n <= 25 000 rpm, torque 0 < T <= 50 000 N m, power 0 < P <= 25 000 000
  // W, time 0 < t <= 100 000 h, cycles 0 <= N <= 1e99; a wheel's entry is held to the range as entered);
  // a refused one brings back the previous value, kept as every field of that window keeps it, and the
  // entry's updates and gear still follow with it. Without (the load-case window) any value within the
  // float range is taken and a refused entry changes nothing.
  struct Rules {
    LoadArithmetic arithmetic;
    bool ranged;
  };

  // Where the window puts the rows (pixels at 96 per inch): the top of the fields of the speed, torque,
  // power, time and cycles rows; the caption, the (Calculate) box and its label; the fields of pinion
  // and wheel; the unit after the wheel's field (speed, torque) and after the one field (power, time).
  struct Layout {
    int row_top[5];
    int caption_x, caption_width;
    int box_x;
    int calc_label_x, calc_label_width;
    int pinion_x, wheel_x, edit_width;
    int pair_unit_x, single_unit_x;
    const char* speed_unit;
  };

  LoadBlock(DesignData& d, Rules rules) : design_(d), rules_(rules) {}
  virtual ~LoadBlock() = default;
  LoadBlock(const LoadBlock&) = delete;
  LoadBlock& operator=(const LoadBlock&) = delete;

  // Builds the rows into `window`, power and time the calculated quantities, and wires the boxes and
  // fields.
  void build_load_block(QWidget* window, const Layout& layout);

  // Each field of the block with the value it shows (display units), for the window's refresh to write:
  // write(field, value, whether the value is a number of load cycles).
  void show_load(const std::function<void(QLineEdit*, float, bool)>& write) const;

  // N1 and N2 from the speed and running time, and the power from speed and torque.
  void derive_cycles_and_power();

  // The window's refresh, which ends the exit of every field of the block.
  virtual void refresh_after_load_entry() = 0;
  // What the window does after a load entry, accepted or refused, before the refresh.
  virtual void load_entered() {}

 private:
  struct Quantities;
  Quantities quantities() const;

  // One exit of a field of the block. When its text changed, the entry (display units times `factor`)
  // is held to the window's rule: `store` puts an accepted entry into the load and `update` derives
  // what depends on it and sets the gear the load was entered for (after a refused entry too in the
  // rating input window, which first runs `keep`, keeping the previous values as its fields do); an
  // entry that derives a quantity beyond the float range is refused; the window acts on the entry. Then
  // the window's refresh.
  void take_entry(QLineEdit* edit, float factor, bool (*in_range)(float), const std::function<void()>& keep,
                  const std::function<void(float)>& store, const std::function<void()>& update);
  std::optional<float> accepted_entry(QLineEdit* edit, double typed, float factor, bool (*in_range)(float));
  void finish_entry(QLineEdit* edit, const Quantities& before);
  void speed_exit(int gear);
  void torque_exit(int gear);
  void cycles_exit(int gear);

  void derive_power();
  void derive_torque();
  void derive_speed();
  void derive_running_hours();
  void derive_cycles_from_time();
  void after_speed();
  void time_or_cycles();

  DesignData& design_;
  const Rules rules_;
};

}  // namespace morvell
