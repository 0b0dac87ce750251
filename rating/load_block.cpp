#include "load_block.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <utility>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "rating_form_support.h"

namespace morvell {

// The load quantities an entry stores or derives and the gear the load was entered for, as they stood
// before the entry.
struct LoadBlock::Quantities {
  float speed, torque, power, life_hours, load_cycles_pinion, load_cycles_wheel;
  int32_t fixed_for;
};

LoadBlock::Quantities LoadBlock::quantities() const {
  const DesignData& d = design_;
  return {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel, d.load_data_fixed_for};
}

// --- Building ---

void LoadBlock::build_load_block(QWidget* window, const Layout& layout) {
  const auto label = [window](const char* name, const char* text, int x, int y, int width) {
    QLabel* lab = add_label(window, text, x, y + 3, width);
    if (name) lab->setObjectName(name);
    return lab;
  };
  const auto edit = [&](const char* name, int x, int y) {
    return add_numeric_edit(design_, window, name, x, y, layout.edit_width, 23, kRightAligned);
  };
  // Caption, (Calculate) box and its label of one row.
  const auto calculated = [&](const char* caption, int y, const char* box_name, const char* label_name,
                              QCheckBox*& box, QLabel*& calc_label) {
    label(nullptr, caption, layout.caption_x, y, layout.caption_width);
    box = new QCheckBox(window);
    box->setObjectName(box_name);
    box->setGeometry(layout.box_x, y + 3, 17, 17);
    calc_label = label(label_name, "(Calculate) ", layout.calc_label_x, y, layout.calc_label_width);
  };

  int y = layout.row_top[0];
  calculated("Speed ", y, "speedcheckbox", "speedcalclabel", speedcheckbox, speedcalclabel);
  speedpinedit = edit("speedpinedit", layout.pinion_x, y);
  speedwheeledit = edit("speedwheeledit", layout.wheel_x, y);
  speedlabel = label("speedlabel", layout.speed_unit, layout.pair_unit_x, y, 50);
  y = layout.row_top[1];
  calculated("Torque ", y, "torquecheckbox", "torquecalclabel", torquecheckbox, torquecalclabel);
  torquepinedit = edit("torquepinedit", layout.pinion_x, y);
  torquewheeledit = edit("torquewheeledit", layout.wheel_x, y);
  torquelabel = label("torquelabel", "Nm", layout.pair_unit_x, y, 50);
  y = layout.row_top[2];
  calculated("Power ", y, "powercheckbox", "powercalclabel", powercheckbox, powercalclabel);
  poweredit = edit("poweredit", layout.pinion_x, y);
  powerlabel = label("powerlabel", "W", layout.single_unit_x, y, 50);
  y = layout.row_top[3];
  calculated("Time ", y, "timecheckbox", "timecalclabel", timecheckbox, timecalclabel);
  timeedit = edit("timeedit", layout.pinion_x, y);
  label(nullptr, "hrs", layout.single_unit_x, y, 50);
  y = layout.row_top[4];
  calculated("Cycles ", y, "Cyclescheckbox", "cyclescalclabel", Cyclescheckbox, cyclescalclabel);
  cyclespinedit = edit("cyclespinedit", layout.pinion_x, y);
  cycleswheeledit = edit("cycleswheeledit", layout.wheel_x, y);

  // Power and time are the calculated quantities until the user chooses otherwise.
  for (QLineEdit* e : {speedpinedit, speedwheeledit, torquepinedit, torquewheeledit, cyclespinedit, cycleswheeledit})
    set_locked(e, false);
  set_locked(poweredit, true);
  set_locked(timeedit, true);
  powercheckbox->setChecked(true);
  timecheckbox->setChecked(true);
  speedcalclabel->hide();
  torquecalclabel->hide();
  cyclescalclabel->hide();

  bind_calculate_boxes({{speedcheckbox, {speedpinedit, speedwheeledit}, speedcalclabel},
                        {torquecheckbox, {torquepinedit, torquewheeledit}, torquecalclabel},
                        {powercheckbox, {poweredit}, powercalclabel}});
  bind_calculate_boxes({{timecheckbox, {timeedit}, timecalclabel},
                        {Cyclescheckbox, {cyclespinedit, cycleswheeledit}, cyclescalclabel}});
  forms::on_exit(speedpinedit, [this] { speedpineditExit(); });
  forms::on_exit(speedwheeledit, [this] { speedwheeleditExit(); });
  forms::on_exit(torquepinedit, [this] { torquepineditExit(); });
  forms::on_exit(torquewheeledit, [this] { torquewheeleditExit(); });
  forms::on_exit(poweredit, [this] { powereditExit(); });
  forms::on_exit(timeedit, [this] { timeeditExit(); });
  forms::on_exit(cyclespinedit, [this] { cyclespineditExit(); });
  forms::on_exit(cycleswheeledit, [this] { cycleswheeleditExit(); });
}

// --- Showing ---

void LoadBlock::show_load(const std::function<void(QLineEdit*, float, bool)>& write) const {
  const DesignData& d = design_;
  const int32_t z1 = d.teeth[0], z2 = d.teeth[1];
  const ld torque = ld(d.torque) / ld(d.torque_unit_factor);
  // The load-case arithmetic forms the wheel's torque from the pinion's as shown, the rating input
  // arithmetic from the unrounded quotient.
  const ld pinion_torque = rules_.arithmetic == LoadArithmetic::load_case ? ld(to_float(torque)) : torque;
  write(speedpinedit, d.speed, false);
  write(speedwheeledit, wheel_speed(d.speed, z1, z2), false);
  write(torquepinedit, to_float(torque), false);
  write(torquewheeledit, wheel_torque(pinion_torque, z1, z2), false);
  write(poweredit, to_float(ld(d.power) / ld(d.power_unit_factor)), false);
  write(timeedit, d.life_hours, false);
  write(cyclespinedit, d.load_cycles_pinion, true);
  write(cycleswheeledit, d.load_cycles_wheel, true);
}

// --- The relations on the design's load ---

void LoadBlock::derive_power() { design_.power = power(rules_.arithmetic, design_.speed, design_.torque); }

void LoadBlock::derive_torque() {
  DesignData& d = design_;
  if (d.speed != 0) d.torque = torque_from_power(rules_.arithmetic, d.power, d.speed);
}

void LoadBlock::derive_speed() {
  DesignData& d = design_;
  if (d.torque != 0) d.speed = speed_from_power(rules_.arithmetic, d.power, d.torque);
}

void LoadBlock::derive_running_hours() {
  DesignData& d = design_;
  if (d.speed != 0) d.life_hours = running_hours(rules_.arithmetic, d.load_cycles_pinion, d.speed);
}

void LoadBlock::derive_cycles_from_time() {
  design_.load_cycles_pinion = pinion_cycles(design_.speed, design_.life_hours);
  derive_wheel_cycles(design_);
}

void LoadBlock::derive_cycles_and_power() {
  derive_cycles_from_time();
  derive_power();
}

// With the cycles calculated, the cycles follow the running time; otherwise the running time follows
// the cycles.
void LoadBlock::time_or_cycles() {
  if (Cyclescheckbox->isChecked()) derive_cycles_from_time();
  else derive_running_hours();
}

// After a new speed: the calculated torque, or else the power (with no quantity marked as calculated the
// torque stays as entered and the power follows, P = 2 pi n T / 60 holding always), then the running time
// or the cycles.
void LoadBlock::after_speed() {
  if (torquecheckbox->isChecked()) derive_torque();
  else derive_power();
  time_or_cycles();
}

// --- Entries ---

std::optional<float> LoadBlock::accepted_entry(QLineEdit* edit, double typed, float factor,
                                               bool (*in_range)(float)) {
  if (!rules_.ranged) return finite_entry(design_, edit, ld(typed) * factor);
  const float entry = stored_value(typed, factor);
  if (in_range(entry)) return entry;
  warn_field(design_, edit, "Value is out of range", " ", " ");
  return std::nullopt;
}

void LoadBlock::finish_entry(QLineEdit* edit, const Quantities& before) {
  DesignData& d = design_;
  const std::pair<float*, float> quantities[] = {
      {&d.speed, before.speed},           {&d.torque, before.torque},
      {&d.power, before.power},           {&d.life_hours, before.life_hours},
      {&d.load_cycles_pinion, before.load_cycles_pinion}, {&d.load_cycles_wheel, before.load_cycles_wheel}};
  // An entry is taken back when a quantity it stores or derives leaves the float range, or when a
  // quantity that was above zero no longer is (a negative speed, a torque of zero, a running time that
  // rounds to zero): a load case holds only positive speeds, torques and running times.
  bool refused = false;
  for (const auto& [now, was] : quantities)
    refused = refused || (std::isfinite(was) && !std::isfinite(*now)) || (was > 0 && !derived_load_ok(*now));
  if (refused) {
    for (const auto& [now, was] : quantities) *now = was;
    d.load_data_fixed_for = before.fixed_for;
    warn_field(d, edit, "Value is out of range", " ", " ");
  }
  load_entered();
}

void LoadBlock::take_entry(QLineEdit* edit, float factor, bool (*in_range)(float), const std::function<void()>& keep,
                           const std::function<void(float)>& store, const std::function<void()>& update) {
  DesignData& d = design_;
  const FieldValue v = read_field(d, edit);
  if (v.changed) {
    const Quantities before = quantities();
    if (rules_.ranged) keep();
    const std::optional<float> entry = accepted_entry(edit, v.value, factor, in_range);
    if (entry) store(*entry);
    if (entry || rules_.ranged) update();
    finish_entry(edit, before);
  }
  finish_field_exit(d, [this] { refresh_after_load_entry(); });
}

void LoadBlock::speed_exit(int gear) {
  DesignData& d = design_;
  take_entry(
      gear == 0 ? speedpinedit : speedwheeledit, 1.0f, speed_ok, [&] { d.edit_old_value = d.speed; },
      [&](float entry) {
        if (gear == 0) d.speed = entry;
        else if (d.teeth[0] != 0) d.speed = pinion_speed_of_wheel(entry, d.teeth[0], d.teeth[1]);
      },
      [&] {
        after_speed();
        d.load_data_fixed_for = gear + 1;
      });
}

void LoadBlock::torque_exit(int gear) {
  DesignData& d = design_;
  take_entry(
      gear == 0 ? torquepinedit : torquewheeledit, d.torque_unit_factor, torque_ok,
      [&] { d.edit_old_value = d.torque; },
      [&](float entry) {
        if (gear == 0) d.torque = entry;
        else if (d.teeth[1] != 0) d.torque = pinion_torque_of_wheel(entry, d.teeth[0], d.teeth[1]);
      },
      [&] {
        // The calculated speed, or else the power.
        if (speedcheckbox->isChecked()) {
          derive_speed();
          time_or_cycles();
        } else {
          derive_power();
        }
        d.load_data_fixed_for = gear + 1;
      });
}

void LoadBlock::powereditExit() {
  DesignData& d = design_;
  take_entry(
      poweredit, d.power_unit_factor, power_ok, [&] { d.edit_old_value = d.power; },
      [&](float entry) { d.power = entry; },
      [&] {
        // The calculated speed, or else the torque (the speed stays as entered).
        if (speedcheckbox->isChecked()) {
          derive_speed();
          time_or_cycles();
        } else {
          derive_torque();
        }
      });
}

void LoadBlock::timeeditExit() {
  DesignData& d = design_;
  take_entry(
      timeedit, 1.0f, time_ok, [&] { d.edit_old_value = d.life_hours; }, [&](float entry) { d.life_hours = entry; },
      [&] { derive_cycles_from_time(); });
}

// The cycles of one gear give those of the other and the running time; the rating input window keeps
// the three in the first three scratch words.
void LoadBlock::cycles_exit(int gear) {
  DesignData& d = design_;
  take_entry(
      gear == 0 ? cyclespinedit : cycleswheeledit, 1.0f, cycles_ok,
      [&] {
        d.scratch_values[0] = d.load_cycles_pinion;
        d.scratch_values[1] = d.load_cycles_wheel;
        d.scratch_values[2] = d.life_hours;
      },
      [&](float entry) {
        if (gear == 0) {
          d.load_cycles_pinion = entry;
          derive_wheel_cycles(d);
        } else {
          d.load_cycles_wheel = entry;
          if (d.teeth[0] != 0) d.load_cycles_pinion = pinion_cycles_of_wheel(entry, d.teeth[0], d.teeth[1]);
        }
        derive_running_hours();
      },
      [&] { d.load_data_fixed_for = gear + 1; });
}

void LoadBlock::speedpineditExit() { speed_exit(0); }
void LoadBlock::speedwheeleditExit() { speed_exit(1); }
void LoadBlock::torquepineditExit() { torque_exit(0); }
void LoadBlock::torquewheeleditExit() { torque_exit(1); }
void LoadBlock::cyclespineditExit() { cycles_exit(0); }
void LoadBlock::cycleswheeleditExit() { cycles_exit(1); }

}  // namespace morvell
