// The basic dimensions of the main window: module (diametral pitch in English units), pressure angle,
// helix angle with the helix-hand buttons, centre distance, face widths, edge chamfers, ratio, numbers of
// teeth, the shift sum and the shift coefficients with their track bar, and the "(Fix)" and "(Estimate)"
// boxes that choose what the geometry pass keeps and what it derives.
//
// Each field exit reads the text, and only when it changed converts the value from display units,
// stores it, holds it against its limits (explaining each correction in the warning dialog) and updates
// the values that depend on it directly; changed or not, the window is then refreshed.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <limits>

#include "edit_fields.h"
#include "field_events.h"
#include "geometry_inputs_support.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "results_pane.h"

namespace morvell {

using namespace geometry_inputs;

namespace {

constexpr const char* kOutOfRange = "Value is out of range";
constexpr const char* kTeethOutOfRange = "Number of teeth is out of range";
constexpr const char* kTeethAdjusted = "Value has been adjusted";
constexpr const char* kCentreMin = "Minimum value of centre distance has been exceeded";
constexpr const char* kCentreMax = "Maximum value of centre distance has been exceeded";

// 1 / 0.48: the fixed centre distance must leave a module of at least 0.48 mm for a number of teeth.
constexpr ld kTeethPerModuleLimit = 25.0L / 12.0L;

}  // namespace

void TMainForm::finish_exit() { finish_field_exit(d_, [this] { SetMain_textboxes(); }); }

// ---------------------------------------------------------------------------------------------
// Module, angles, centre distance
// ---------------------------------------------------------------------------------------------

void TMainForm::ModuleeditExit() {
  DesignData& d = d_;
  const float m_old = d.normal_module;
  d.edit_old_value = m_old;
  const FieldValue v = read_field(d, Moduleedit);
  if (v.changed) {
    ld m = v.value;
    if (d.unit_system == 2) {
      // A diametral pitch of 0 stands for an unbounded module: it is held at the largest one below.
      m = v.value == 0 ? std::numeric_limits<ld>::infinity() : d.length_unit_factor / static_cast<ld>(v.value);
    }
    d.normal_module = to_float(m);
    if (d.normal_module < kSmallestModule) {
      warn_field(d, Moduleedit, format_line("Minimum value of module is %g mm", double(kSmallestModule)),
                 "Value of module has been adjusted");
      d.normal_module = kSmallestModule;
    }
    // The module at which the current centre distance would hold a pinion of the fewest teeth.
    const float m_max = module_from_centre_distance(
        d.profile_shift_sum, d.normal_pressure_angle, d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
        kFewestTeeth, to_int32_clamped(whole_part_of_float_product(ld(kFewestTeeth) * d.desired_ratio)));
    const bool above_fit = d.geometry_manager_mode == 2 && d.normal_module > m_max;
    if (d.normal_module > kLargestModule || above_fit) {
      warn_field(d, Moduleedit, "Maximum value of module has been exceeded", "Value of module has been adjusted");
      if (above_fit) d.normal_module = m_max;
      if (d.normal_module > kLargestModule) d.normal_module = kLargestModule;
    }

    // Addenda, dedenda and fillet radii keep their size per module; tips and roots follow.
    if (m_old > 0) {
      const ld k = static_cast<ld>(d.normal_module) / m_old;
      for (int i = 0; i < 2; ++i) {
        d.addendum[i] = to_float(d.addendum[i] * k);
        d.dedendum[i] = to_float(d.dedendum[i] * k);
        d.root_fillet_radius[i] = to_float(d.root_fillet_radius[i] * k);
      }
    }
    // Default balls follow the module; balls the user typed stay (the refresh enlarges one that no longer
    // reaches its flanks, and says so).
    for (int i = 0; i < 2; ++i) {
      const ld di = reference_diameter(d, i);
      d.tip_diameter[i] = to_float(di + 2.0L * d.addendum[i]);
      d.root_diameter[i] = to_float(di - 2.0L * d.dedendum[i]);
      update_nominal_thickness(d, i);
      if (d.default_ball_diameter == 1) d.ball_diameter[i] = to_float(1.8L * d.normal_module);
    }
  }
  finish_exit();
}

void TMainForm::PressureangleeditExit() {
  DesignData& d = d_;
  const FieldValue v = read_field(d, Pressureangleedit);
  if (v.changed) {
    d.normal_pressure_angle = to_float(v.value);
    if (d.normal_pressure_angle < kSmallestPressureAngle) {
      warn_field(d, Pressureangleedit,
                 format_line("Minimum value of pressure angle is %g degrees", double(kSmallestPressureAngle)),
                 "Value of pressure angle has been adjusted");
      d.normal_pressure_angle = kSmallestPressureAngle;
    }
    if (d.normal_pressure_angle > kLargestPressureAngle) {
      warn_field(d, Pressureangleedit,
                 format_line("Maximum value of pressure angle is %g degrees", double(kLargestPressureAngle)),
                 "Value of pressure angle has been adjusted");
      d.normal_pressure_angle = kLargestPressureAngle;
    }
    update_nominal_thickness(d, 0);
    update_nominal_thickness(d, 1);
  }
  finish_exit();
}

void TMainForm::HelixangleeditExit() {
  DesignData& d = d_;
  const FieldValue v = read_field(d, Helixangleedit);
  if (v.changed) {
    const RackCoefficients rack[2] = {rack_coefficients(d, 0), rack_coefficients(d, 1)};
    d.helix_angle = to_float(v.value);
    hold_helix_angle(d, Helixangleedit);
    for (int i = 0; i < 2; ++i) {
      rebuild_tip_and_root(d, i, rack[i]);
      update_nominal_thickness(d, i);
    }
  }
  finish_exit();
}

void TMainForm::CentredisteditExit() {
  DesignData& d = d_;
  d.edit_old_value = d.centre_distance;
  const FieldValue v = read_field(d, Centredistedit);
  if (v.changed) {
    d.centre_distance = to_float(v.value * d.length_unit_factor);
    // The module that the current numbers of teeth would need at the new centre distance.
    const float m_needed = module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle,
                                                       d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
                                                       d.teeth[0], d.teeth[1]);
    // A refused centre distance goes back to the zero-backlash one of the current pair.
    auto refuse = [&](const char* line1, const std::string& line2 = " ") {
      warn_field(d, Centredistedit, line1, line2);
      d.centre_distance = d.centre_distance_from_shifts;
    };
    const int mode = d.geometry_manager_mode;
    // No pair runs at a centre distance of zero or less, whichever quantity the geometry manager derives.
    if (!(d.centre_distance > 0.0f)) {
      refuse(kCentreMin);
    } else if (d.centre_distance > kLargestCentreDistance) {
      refuse(kCentreMax);
    } else if (mode == 1 && !module_ok(m_needed)) {
      // In mode 1 the module follows the centre distance: it must stay one the module field takes.
      const bool small = !(m_needed >= kSmallestModule);
      refuse(small ? kCentreMin : kCentreMax,
             format_line("The module would be %.4g mm (%s %g mm)", double(m_needed), small ? "at least" : "at most",
                         double(small ? kSmallestModule : kLargestModule)));
    } else if (mode == 2 &&
               2.0L * d.centre_distance / d.normal_module < kFewestTeeth * (ld(d.desired_ratio) + 1.0L)) {
      refuse(kCentreMin);
    } else if (mode == 2 && m_needed > kLargestModuleOfFixedCentre) {
      refuse(kCentreMax);
    }
  }
  finish_exit();
}

// ---------------------------------------------------------------------------------------------
// Face widths and edge chamfers
// ---------------------------------------------------------------------------------------------

namespace {

void face_width_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.face_width[i] = to_float(v.value * d.length_unit_factor);
  if (d.face_width[i] <= 0.0f) {
    warn_field(d, edit, "Face width must be greater than zero", "Value of face width has been adjusted");
    d.face_width[i] = kSmallestFaceWidth;
  }
  if (d.face_width[i] > kLargestFaceWidth) {
    warn_field(d, edit, format_line("Face width must be less than %g mm", double(kLargestFaceWidth)),
               "Value of face width has been adjusted");
    d.face_width[i] = kLargestFaceWidth;
  }
}

void edge_chamfer_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edge_chamfer[i] = to_float(v.value * d.length_unit_factor);
  if (d.edge_chamfer[i] < 0.0f) {
    warn_field(d, edit, "Chamfer cannot be less than zero", "Value has been adjusted");
    d.edge_chamfer[i] = 0.0f;
  }
  const float largest = largest_edge_chamfer(d.normal_module, d.face_width[i]);
  if (d.edge_chamfer[i] > largest) {
    const bool by_face = largest < module_share(kChamferPerModule, d.normal_module);
    warn_field(d, edit,
               by_face ? format_line("Chamfer cannot be greater than %g*face width", double(kEdgeChamferPerFaceWidth))
                       : format_line("Chamfer cannot be greater than %g*Mn", double(kChamferPerModule)),
               "Value has been adjusted");
    d.edge_chamfer[i] = largest;
  }
}

}  // namespace

void TMainForm::PinfacewidtheditExit() {
  face_width_exit(d_, Pinfacewidthedit, 0);
  finish_exit();
}

void TMainForm::WheelfacewidtheditExit() {
  face_width_exit(d_, Wheelfacewidthedit, 1);
  finish_exit();
}

void TMainForm::PinedgechameditExit() {
  edge_chamfer_exit(d_, Pinedgechamedit, 0);
  finish_exit();
}

void TMainForm::WheeledgechameditExit() {
  edge_chamfer_exit(d_, Wheeledgechamedit, 1);
  finish_exit();
}

// ---------------------------------------------------------------------------------------------
// Ratio and numbers of teeth
// ---------------------------------------------------------------------------------------------

void TMainForm::RatioeditExit() {
  DesignData& d = d_;
  const FieldValue v = read_field(d, Ratioedit);
  if (v.changed) {
    d.edit_old_value = d.desired_ratio;
    d.desired_ratio = to_float(v.value);
    hold_ratio(d, Ratioedit);
    if (RatioCheckBox->isChecked() && d.geometry_manager_mode != 2) {
      // The wheel follows the ratio: a ratio that would give it more teeth than a gear may have, or in
      // mode 1 a module out of range, is refused.
      const int32_t wheel = nearest_count(static_cast<ld>(d.teeth[0]) * d.desired_ratio);
      const float m = module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle,
                                                  d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
                                                  d.teeth[0], wheel);
      std::string refusal;
      if (!teeth_ok(wheel))
        refusal = format_line("The wheel would have %d teeth (%d to %d)", int(wheel), int(kFewestTeeth), int(kMostTeeth));
      else if (d.geometry_manager_mode == 1 && !module_ok(m))
        refusal = format_line("The module would be %.4g mm (%g to %g mm)", double(m), double(kSmallestModule),
                              double(kLargestModule));
      if (refusal.empty()) {
        d.teeth[1] = wheel;
        update_after_teeth(d, 1);
      } else {
        warn_field(d, Ratioedit, kOutOfRange, refusal);
        d.desired_ratio = d.edit_old_value;
      }
    }
  }
  finish_exit();
}

namespace {

// The number of teeth of gear i entered in `edit`, cut to a whole number and held against its limits.
// The number is checked while it is still a fraction, so a number far outside the range never becomes
// a count. `centre_fixed` and `ratio_fixed` are the states of the centre-distance and ratio boxes.
void teeth_exit(DesignData& d, QLineEdit* edit, int i, bool centre_fixed, bool ratio_fixed) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  const int32_t previous = d.teeth[i];
  d.edit_old_value = static_cast<float>(previous);
  ld z = std::trunc(static_cast<ld>(v.value));
  if (z < kFewestTeeth) {
    warn_field(d, edit, kTeethOutOfRange, kTeethAdjusted);
    z = previous;
  }
  if (z > kMostTeeth) {
    warn_field(d, edit, kTeethOutOfRange, kTeethAdjusted);
    z = previous;
  }
  d.teeth[i] = to_int32_clamped(z);  // a whole number in range (or the previous one) by now

  const ld u = d.desired_ratio;
  if (centre_fixed) {
    // The fixed centre distance must leave a module of at least 0.48 mm.
    const ld share = i == 0 ? 1.0L + u : 1.0L / u + 1.0L;
    const ld largest = 2.0L * d.centre_distance * cos_beta(d) * kTeethPerModuleLimit / share;
    if (d.teeth[i] > largest) {
      warn_field(d, edit, kTeethOutOfRange, kTeethAdjusted);
      d.teeth[i] = previous;
    }
  }
  if (!ratio_fixed) {
    // With a free ratio the pinion never has more teeth than the wheel.
    const bool crossed = i == 0 ? d.teeth[0] > d.teeth[1] : d.teeth[1] < d.teeth[0];
    if (crossed) {
      warn_field(d, edit, kTeethOutOfRange, kTeethAdjusted);
      d.teeth[i] = d.teeth[1 - i];
    }
  }
  update_after_teeth(d, i);
  const int other = 1 - i;
  const int32_t other_before = d.teeth[other];
  if (ratio_fixed && d.geometry_manager_mode != 2) {
    // A pinion worked out from a small wheel and a large ratio is held at the fewest teeth a gear may
    // have: a pinion of no teeth would leave the pair without a geometry.
    d.teeth[other] = i == 0 ? nearest_count(static_cast<ld>(d.teeth[0]) * u)
                            : std::max<int32_t>(kFewestTeeth, nearest_count(d.teeth[1] / u));
    update_after_teeth(d, other);
  }
  // The entry is refused when it would take the gear that follows it, or in mode 1 the module that
  // follows the fixed centre distance, out of its range; the message names that value.
  std::string refusal;
  if (!teeth_ok(d.teeth[other])) {
    refusal = format_line("The %s would have %d teeth (%d to %d)", other == 0 ? "pinion" : "wheel",
                          int(d.teeth[other]), int(kFewestTeeth), int(kMostTeeth));
  } else if (d.geometry_manager_mode == 1) {
    const float m = module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle,
                                                d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
                                                d.teeth[0], d.teeth[1]);
    if (!module_ok(m))
      refusal = format_line("The module would be %.4g mm (%g to %g mm)", double(m), double(kSmallestModule),
                            double(kLargestModule));
  }
  if (!refusal.empty()) {
    warn_field(d, edit, kTeethOutOfRange, refusal);
    d.teeth[i] = previous;
    d.teeth[other] = other_before;
    update_after_teeth(d, i);
    update_after_teeth(d, other);
  }
}

}  // namespace

void TMainForm::Z1editExit() {
  teeth_exit(d_, Z1edit, 0, CheckBoxCentre->isChecked(), RatioCheckBox->isChecked());
  finish_exit();
}

void TMainForm::Z2editExit() {
  teeth_exit(d_, Z2edit, 1, CheckBoxCentre->isChecked(), RatioCheckBox->isChecked());
  finish_exit();
}

// ---------------------------------------------------------------------------------------------
// Profile shift
// ---------------------------------------------------------------------------------------------

void TMainForm::SigmaXeditExit() {
  DesignData& d = d_;
  const FieldValue v = read_field(d, SigmaXedit);
  if (v.changed) {
    const RackCoefficients rack[2] = {rack_coefficients(d, 0), rack_coefficients(d, 1)};
    d.edit_old_value = d.profile_shift_sum;
    d.profile_shift_sum = to_float(v.value);
    if (!shift_in_range(d.profile_shift_sum)) {
      warn_field(d, SigmaXedit, kOutOfRange, " ");
      d.profile_shift_sum = d.edit_old_value;
    }
    float x1 = d.profile_shift[0];
    if (d.shift_distribution_auto == 1) {
      // The pinion takes the larger share, more so the larger the ratio.
      const ld ua = d.actual_ratio;
      x1 = to_float(d.profile_shift_sum / (1.0L + ua) + 0.3L * (1.0L - 1.0L / ua));
    }
    const float x2 = to_float(static_cast<ld>(d.profile_shift_sum) - x1);
    // The wheel takes the rest of the sum: a sum is refused that would leave neither gear's shift in the
    // range of an entered one (the pinion's being itself the rest of an earlier sum).
    if (!gear_shift_ok(x2) || (!shift_in_range(x1) && !shift_in_range(x2))) {
      warn_field(d, SigmaXedit, kOutOfRange,
                 format_line("The wheel's shift would be %.4f with the pinion's %.4f", double(x2), double(x1)));
      d.profile_shift_sum = d.edit_old_value;
    } else {
      d.profile_shift[0] = x1;
      d.profile_shift[1] = x2;
    }
    for (int i = 0; i < 2; ++i) {
      rebuild_tip_and_root(d, i, rack[i]);
      update_nominal_thickness(d, i);
    }
  }
  finish_exit();
}

namespace {

// The shift coefficient of gear i entered in `edit`. `sum_held` tells whether the shift sum is kept
// (its box checked, or the numbers of teeth following in mode 2): the other gear then takes the rest.
void shift_exit(DesignData& d, QLineEdit* edit, int i, bool sum_held) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  const RackCoefficients rack[2] = {rack_coefficients(d, 0), rack_coefficients(d, 1)};
  d.edit_old_value = d.profile_shift[i];
  d.profile_shift[i] = to_float(v.value);
  if (!shift_in_range(d.profile_shift[i])) {
    warn_field(d, edit, kOutOfRange, " ");
    d.profile_shift[i] = d.edit_old_value;
  }
  rebuild_tip_and_root(d, i, rack[i]);
  update_nominal_thickness(d, i);
  const int other = 1 - i;
  if (sum_held) {
    d.profile_shift[other] = to_float(static_cast<ld>(d.profile_shift_sum) - d.profile_shift[i]);
    rebuild_tip_and_root(d, other, rack[other]);
    update_nominal_thickness(d, other);
  } else {
    d.profile_shift_sum = to_float(static_cast<ld>(d.profile_shift[0]) + d.profile_shift[1]);
  }
}

}  // namespace

void TMainForm::x1editExit() {
  shift_exit(d_, x1edit, 0, sigmaXCheckBox->isChecked() || d_.geometry_manager_mode == 2);
  finish_exit();
}

void TMainForm::x2editExit() {
  shift_exit(d_, x2edit, 1, sigmaXCheckBox->isChecked() || d_.geometry_manager_mode == 2);
  finish_exit();
}

void TMainForm::xtrackbarExit() {
  DesignData& d = d_;
  const RackCoefficients rack[2] = {rack_coefficients(d, 0), rack_coefficients(d, 1)};
  d.shift_trackbar_min = kSmallestShift;
  d.shift_trackbar_max = kLargestShift;
  const ld span = static_cast<ld>(d.shift_trackbar_max) - d.shift_trackbar_min;
  d.profile_shift[0] = to_float(d.shift_trackbar_min + xtrackbar->value() * 0.025L * span);
  d.profile_shift[1] = to_float(static_cast<ld>(d.profile_shift_sum) - d.profile_shift[0]);
  for (int i = 0; i < 2; ++i) {
    rebuild_tip_and_root(d, i, rack[i]);
    update_nominal_thickness(d, i);
  }
  SetMain_textboxes();
}

// ---------------------------------------------------------------------------------------------
// Fix boxes and helix hand
// ---------------------------------------------------------------------------------------------

namespace {

// The geometry-manager mode from the module and centre-distance boxes; any other state keeps the mode.
void mode_from_boxes(DesignData& d, bool module_fixed, bool centre_fixed, bool mode1_needs_manager) {
  if (!centre_fixed && module_fixed) d.geometry_manager_mode = 0;
  else if (centre_fixed && !module_fixed && !(mode1_needs_manager && d.geometry_manager_override == 1))
    d.geometry_manager_mode = 1;
  else if (centre_fixed && module_fixed) d.geometry_manager_mode = 2;
}

}  // namespace

void TMainForm::CheckBoxCentreClick() {
  // One of module and centre distance is always fixed: freeing the centre distance fixes the module.
  if (!CheckBoxCentre->isChecked()) CheckBoxmodule->setChecked(true);
  mode_from_boxes(d_, CheckBoxmodule->isChecked(), CheckBoxCentre->isChecked(), true);
  SetMain_textboxes();
}

void TMainForm::CheckBoxmoduleClick() {
  if (!CheckBoxmodule->isChecked()) CheckBoxCentre->setChecked(true);
  mode_from_boxes(d_, CheckBoxmodule->isChecked(), CheckBoxCentre->isChecked(), false);
  SetMain_textboxes();
}

void TMainForm::RatioCheckBoxClick() {
  d_.teeth[1] = to_int32_clamped(whole_part_of_float_product(static_cast<ld>(d_.teeth[0]) * d_.desired_ratio));
  SetMain_textboxes();
}

void TMainForm::XCheckBoxClick() {
  d_.shift_distribution_auto = XCheckBox->isChecked() ? 1 : 0;
  SetMain_textboxes();
}

namespace {

void toggle_helix_hand(DesignData& d, QPushButton* pinion, QPushButton* wheel) {
  const bool pinion_left = d.helix_hand != 1;
  d.helix_hand = pinion_left ? 1 : -1;
  pinion->setText(pinion_left ? "L" : "R");
  wheel->setText(pinion_left ? "R" : "L");
}

}  // namespace

void TMainForm::pinhelixhandbuttonClick() {
  toggle_helix_hand(d_, pinhelixhandbutton, wheelhelixhandbutton);
  SetMain_textboxes();
}

void TMainForm::wheelhelixhandbuttonClick() {
  toggle_helix_hand(d_, pinhelixhandbutton, wheelhelixhandbutton);
  SetMain_textboxes();
}

// ---------------------------------------------------------------------------------------------
// Enter key of the reduced start-up window
// ---------------------------------------------------------------------------------------------

void TMainForm::geometry_field_key_press(int key) {
  if (d_.start_mode != 3 || key != 13) return;
  // The next control after the active one in tab order, skipping those that take no tab focus.
  QWidget* from = forms::active_control(this);
  if (!from) from = focusWidget();
  if (!from) return;
  for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
    if (w->window() != this) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void TMainForm::ModuleeditKeyPress(int key) { geometry_field_key_press(key); }
void TMainForm::PressureangleeditKeyPress(int key) { geometry_field_key_press(key); }
void TMainForm::HelixangleeditKeyPress(int key) { geometry_field_key_press(key); }
void TMainForm::Z1editKeyPress(int key) { geometry_field_key_press(key); }
void TMainForm::Z2editKeyPress(int key) { geometry_field_key_press(key); }
void TMainForm::SigmaXeditKeyPress(int key) { geometry_field_key_press(key); }

}  // namespace morvell
