// The tooth sizes of the main window: backlash with its kind and its distribution, nominal and finished
// thicknesses, tip diameters with their chamfers, root diameters, fillet radii, the basic-rack
// proportions per gear, protuberance, and the choice of how the tooth proportions are obtained with its
// two boxes. Every refused value is restored and explained with "Value is out of range"; nothing here is
// clamped. A value that does not fit a number (an overflow in display units) is refused the same way.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include <cmath>
#include <initializer_list>

#include "backlash.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_inputs_support.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "rack_fit.h"
#include "standard_rack_form.h"

namespace morvell {

using namespace geometry_inputs;

namespace {

constexpr const char* kOutOfRange = "Value is out of range";

// The mode-1 search of the module for an entered thickness settles in a few steps; the bound only
// guards against inputs for which it does not.
constexpr int kThicknessModuleSteps = 1000;

void refuse(DesignData& d, QLineEdit* edit) { warn_field(d, edit, kOutOfRange, " "); }

// Refuses an entry of gear i's tooth proportions whose geometry, worked out with the entry, leaves no
// tooth or no active profile, and says why; true when refused.
bool refuse_proportions(DesignData& d, QLineEdit* edit, int i) {
  const std::string problem = tooth_proportions_problem_of(d, i);
  if (problem.empty()) return false;
  warn_field(d, edit, kOutOfRange, "The " + problem);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Backlash and its distribution
// ---------------------------------------------------------------------------------------------

void TMainForm::BacklasheditExit() {
  DesignData& d = d_;
  d.edit_old_value = d.backlash_normal;
  const FieldValue v = read_field(d, Backlashedit);
  if (v.changed) {
    const BacklashGeometry g = backlash_geometry(d);
    const ld entered = v.value * static_cast<ld>(d.length_unit_factor);
    const int kind = backlashComboBox->currentIndex();
    if (kind >= 0 && kind <= 2) d.backlash_normal = to_float(normal_backlash_of(g, BacklashKind(kind), entered));
    const float jn = d.backlash_normal;
    if (!std::isfinite(jn) || !per_module_ok(jn, kBacklashPerModule, d.normal_module)) {
      refuse(d, Backlashedit);
      d.backlash_normal = d.edit_old_value;
    }
    // The finished thicknesses that give this backlash at the current centre distance, and the backlash
    // they give.
    thin_teeth_for_backlash(d, g);
    store_backlash(d, backlash_values(g, backlash_of_thicknesses(d, g)));
  }
  finish_exit();
}

void TMainForm::backlashtrackbarExit() {
  d_.backlash_distribution = to_float(0.025L * backlashtrackbar->value());
  SetMain_textboxes();
}

void TMainForm::backlashComboBoxChange() { SetMain_textboxes(); }
void TMainForm::thicknessComboBoxChange() { SetMain_textboxes(); }
void TMainForm::finthicknessComboBoxChange() { SetMain_textboxes(); }

// ---------------------------------------------------------------------------------------------
// Nominal and finished thicknesses
// ---------------------------------------------------------------------------------------------

void TMainForm::nominal_thickness_exit(QLineEdit* edit, int i) {
  DesignData& d = d_;
  const int j = 1 - i;
  const RackCoefficients rack[2] = {rack_coefficients(d, 0), rack_coefficients(d, 1)};
  const float old_st = d.thickness_nominal_transverse[i];
  const float old_x = d.profile_shift[i];
  const float old_sn = d.thickness_nominal_normal[i];
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;

  const ld cb = cos_beta(d);
  const ld entered = v.value * static_cast<ld>(d.length_unit_factor);
  switch (thicknessComboBox->currentIndex()) {
    case 0:
      d.thickness_nominal_normal[i] = to_float(entered);
      d.thickness_nominal_transverse[i] = to_float(d.thickness_nominal_normal[i] / cb);
      break;
    case 1:
      d.thickness_nominal_transverse[i] = to_float(entered);
      d.thickness_nominal_normal[i] = to_float(d.thickness_nominal_transverse[i] * cb);
      break;
    default:  // the two empty entries store no thickness
      break;
  }
  d.profile_shift[i] = to_float(shift_from_thickness(d, d.thickness_nominal_transverse[i]));
  if (!shift_in_range(d.profile_shift[i])) {
    refuse(d, edit);
    d.thickness_nominal_transverse[i] = old_st;
    d.profile_shift[i] = old_x;
    d.thickness_nominal_normal[i] = old_sn;
  }

  const bool sum_held = sigmaXCheckBox->isChecked();
  if (d.geometry_manager_mode == 1) {
    // Centre distance fixed: the module follows the shifts, and the shift follows the module, until
    // the thickness that the shift gives is the one entered.
    const ld st = d.thickness_nominal_transverse[i];
    for (int step = 0; step < kThicknessModuleSteps; ++step) {
      d.normal_module =
          module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle, d.transverse_pressure_angle,
                                      d.helix_angle, d.centre_distance, d.teeth[0], d.teeth[1]);
      const ld s = thickness_from_shift(d, d.profile_shift[i]);
      d.profile_shift[i] = to_float(shift_from_thickness(d, st));
      if (!sum_held) d.profile_shift_sum = to_float(static_cast<ld>(d.profile_shift[0]) + d.profile_shift[1]);
      if (!(s < st - 0.00001L || s > st + 0.00001L)) break;
    }
  }
  if (sum_held || d.geometry_manager_mode == 2) {
    d.profile_shift[i] = to_float(shift_from_thickness(d, d.thickness_nominal_transverse[i]));
    d.profile_shift[j] = to_float(static_cast<ld>(d.profile_shift_sum) - d.profile_shift[i]);
  } else if (d.geometry_manager_mode == 0) {
    d.profile_shift[i] = to_float(shift_from_thickness(d, d.thickness_nominal_transverse[i]));
    d.profile_shift_sum = to_float(static_cast<ld>(d.profile_shift[0]) + d.profile_shift[1]);
  }
  for (int g = 0; g < 2; ++g) rebuild_tip_and_root(d, g, rack[g]);
  // The other gear's thickness follows its shift; the edited gear's finished thickness is left alone.
  d.thickness_nominal_transverse[j] = to_float(thickness_from_shift(d, d.profile_shift[j]));
  d.thickness_finished_transverse[j] = d.thickness_nominal_transverse[j];
}

void TMainForm::PinthickeditExit() {
  nominal_thickness_exit(Pinthickedit, 0);
  finish_exit();
}

void TMainForm::WheelthickeditExit() {
  nominal_thickness_exit(Wheelthickedit, 1);
  finish_exit();
}

void TMainForm::finished_thickness_exit(QLineEdit* edit, int i) {
  DesignData& d = d_;
  const float old_sfn = d.thickness_finished_normal[i];
  const float old_sft = d.thickness_finished_transverse[i];
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;

  const ld cb = cos_beta(d);
  const ld entered = v.value * static_cast<ld>(d.length_unit_factor);
  if (finthicknessComboBox->currentIndex() == 1) {
    d.thickness_finished_transverse[i] = to_float(entered);
    d.thickness_finished_normal[i] = to_float(d.thickness_finished_transverse[i] * cb);
  } else {
    d.thickness_finished_normal[i] = to_float(entered);
    d.thickness_finished_transverse[i] = to_float(d.thickness_finished_normal[i] / cb);
  }
  const float sfn = d.thickness_finished_normal[i];
  const float sn = d.thickness_nominal_normal[i];
  if (!std::isfinite(sfn) || sfn < to_float(0.85L * sn) || sfn > sn) {
    refuse(d, edit);
    d.thickness_finished_normal[i] = old_sfn;
    d.thickness_finished_transverse[i] = old_sft;
  }

  // The backlash follows from the thinning of both gears.
  backlash_from_finished_thicknesses(d, i);
}

void TMainForm::PinfinthickExit() {
  finished_thickness_exit(Pinfinthick, 0);
  finish_exit();
}

void TMainForm::WheelfinthickExit() {
  finished_thickness_exit(Wheelfinthick, 1);
  finish_exit();
}

// ---------------------------------------------------------------------------------------------
// Diameters, chamfers, fillets, rack coefficients, protuberance
// ---------------------------------------------------------------------------------------------

namespace {

void tip_diameter_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.tip_diameter[i];
  d.tip_diameter[i] = to_float(v.value * static_cast<ld>(d.length_unit_factor));
  if (!std::isfinite(d.tip_diameter[i]) || d.tip_diameter[i] < d.rack_form_diameter[i]) {
    refuse(d, edit);
    d.tip_diameter[i] = d.edit_old_value;
  }
  d.addendum[i] = to_float((static_cast<ld>(d.tip_diameter[i]) - reference_diameter(d, i)) / 2.0L);
}

void tip_chamfer_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.tip_chamfer[i];
  d.tip_chamfer[i] = to_float(v.value * static_cast<ld>(d.length_unit_factor));
  const float c = d.tip_chamfer[i];
  // A chamfer must reach through the thinning of the flank; none at all is always allowed.
  const ld least = (static_cast<ld>(d.thickness_nominal_normal[i]) - d.thickness_finished_normal[i]) / 2.0L + 0.025L;
  if (c != 0.0f && (!std::isfinite(c) || c < least || !per_module_ok(c, kChamferPerModule, d.normal_module) ||
                    c > largest_tip_chamfer(d.normal_module))) {
    refuse(d, edit);
    d.tip_chamfer[i] = d.edit_old_value;
  }
  d.eap_diameter[i] = to_float(static_cast<ld>(d.tip_diameter[i]) - 2.0L * d.tip_chamfer[i]);
}

void root_diameter_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.root_diameter[i];
  d.root_diameter[i] = to_float(v.value * static_cast<ld>(d.length_unit_factor));
  if (!std::isfinite(d.root_diameter[i]) || d.root_diameter[i] <= 0.0f || d.root_diameter[i] > d.eap_diameter[i]) {
    refuse(d, edit);
    d.root_diameter[i] = d.edit_old_value;
  }
  d.dedendum[i] = to_float((reference_diameter(d, i) - d.root_diameter[i]) / 2.0L);
}

void fillet_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.root_fillet_radius[i];
  d.root_fillet_radius[i] = to_float(v.value * static_cast<ld>(d.length_unit_factor));
  if (!std::isfinite(d.root_fillet_radius[i]) ||
      !per_module_ok(d.root_fillet_radius[i], kFilletPerModule, d.normal_module)) {
    refuse(d, edit);
    d.root_fillet_radius[i] = d.edit_old_value;
  }
}

void rack_addendum_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  const float old_ha = d.addendum[i];
  const float old_da = d.tip_diameter[i];
  const ld m = d.normal_module;
  d.addendum[i] = to_float((v.value + d.profile_shift[i]) * m);
  d.tip_diameter[i] = to_float(reference_diameter(d, i) + 2.0L * d.addendum[i]);
  bool refused = !std::isfinite(d.tip_diameter[i]);
  if (refused) refuse(d, edit);
  else refused = refuse_proportions(d, edit, i);
  if (refused) {
    d.addendum[i] = old_ha;
    d.tip_diameter[i] = old_da;
  }
}

void rack_dedendum_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  const float old_hf = d.dedendum[i];
  const float old_df = d.root_diameter[i];
  const ld m = d.normal_module;
  d.dedendum[i] = to_float((v.value - d.profile_shift[i]) * m);
  d.root_diameter[i] = to_float(reference_diameter(d, i) - 2.0L * d.dedendum[i]);
  // The form circle moves with the dedendum: the tip is judged against the form circle the new
  // dedendum gives, not against the one of the last geometry pass.
  bool refused = !std::isfinite(d.root_diameter[i]) || !(v.value <= kLargestRackDedendum);
  if (refused) refuse(d, edit);
  else refused = refuse_proportions(d, edit, i);
  if (refused) {
    d.dedendum[i] = old_hf;
    d.root_diameter[i] = old_df;
  }
}

void rack_fillet_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.root_fillet_radius[i];
  d.root_fillet_radius[i] = to_float(v.value * d.normal_module);
  // The fillet moves the form circle as well.
  bool refused = !std::isfinite(d.root_fillet_radius[i]) ||
                 !per_module_ok(d.root_fillet_radius[i], kFilletPerModule, d.normal_module);
  if (refused) refuse(d, edit);
  else refused = refuse_proportions(d, edit, i);
  if (refused) d.root_fillet_radius[i] = d.edit_old_value;
}

void protuberance_exit(DesignData& d, QLineEdit* edit, int i) {
  const FieldValue v = read_field(d, edit);
  if (!v.changed) return;
  d.edit_old_value = d.protuberance[i];
  d.protuberance[i] = to_float(v.value * static_cast<ld>(d.length_unit_factor));
  if (!std::isfinite(d.protuberance[i]) ||
      !per_module_ok(d.protuberance[i], kProtuberancePerModule, d.normal_module)) {
    refuse(d, edit);
    d.protuberance[i] = d.edit_old_value;
  }
}

}  // namespace

#define MORVELL_GEAR_FIELD_EXIT(handler, routine, edit, gear) \
  void TMainForm::handler() {                                 \
    routine(d_, edit, gear);                                  \
    finish_exit();   \
  }

MORVELL_GEAR_FIELD_EXIT(PintipdiaeditExit, tip_diameter_exit, Pintipdiaedit, 0)
MORVELL_GEAR_FIELD_EXIT(WheeltipdiaeditExit, tip_diameter_exit, Wheeltipdiaedit, 1)
MORVELL_GEAR_FIELD_EXIT(pinchameditExit, tip_chamfer_exit, pinchamedit, 0)
MORVELL_GEAR_FIELD_EXIT(wheelchameditExit, tip_chamfer_exit, wheelchamedit, 1)
MORVELL_GEAR_FIELD_EXIT(PinrootdiaeditExit, root_diameter_exit, Pinrootdiaedit, 0)
MORVELL_GEAR_FIELD_EXIT(WheelrootdiaeditExit, root_diameter_exit, Wheelrootdiaedit, 1)
MORVELL_GEAR_FIELD_EXIT(PinfilleteditExit, fillet_exit, Pinfilletedit, 0)
MORVELL_GEAR_FIELD_EXIT(WheelfilleteditExit, fillet_exit, Wheelfilletedit, 1)
MORVELL_GEAR_FIELD_EXIT(ha1rackeditExit, rack_addendum_exit, ha1rackedit, 0)
MORVELL_GEAR_FIELD_EXIT(ha2rackeditExit, rack_addendum_exit, ha2rackedit, 1)
MORVELL_GEAR_FIELD_EXIT(hf1rackeditExit, rack_dedendum_exit, hf1rackedit, 0)
MORVELL_GEAR_FIELD_EXIT(hf2rackeditExit, rack_dedendum_exit, hf2rackedit, 1)
MORVELL_GEAR_FIELD_EXIT(rho1rackeditExit, rack_fillet_exit, rho1rackedit, 0)
MORVELL_GEAR_FIELD_EXIT(rho2rackeditExit, rack_fillet_exit, rho2rackedit, 1)
MORVELL_GEAR_FIELD_EXIT(pinproteditExit, protuberance_exit, pinprotedit, 0)
MORVELL_GEAR_FIELD_EXIT(wheelproteditExit, protuberance_exit, wheelprotedit, 1)

#undef MORVELL_GEAR_FIELD_EXIT

// ---------------------------------------------------------------------------------------------
// Tooth proportions and their boxes
// ---------------------------------------------------------------------------------------------

namespace {

// The basic rack of the design's current tooth proportions.
void set_rack_from_proportions(DesignData& d) {
  const ld m = d.normal_module;
  for (int i = 0; i < 2; ++i) {
    const RackCoefficients rack = rack_coefficients(d, i);
    d.basic_rack.addendum_coeff[i] = to_float(rack.addendum);
    d.basic_rack.dedendum_coeff[i] = to_float(rack.dedendum);
    d.basic_rack.fillet_radius_coeff[i] = to_float(d.root_fillet_radius[i] / m);
  }
  d.basic_rack.pressure_angle = d.normal_pressure_angle;
}

}  // namespace

void TMainForm::Tooth_propChange() {
  DesignData& d = d_;
  const int entry = Tooth_prop->currentIndex();
  d.tooth_proportion_mode = entry;

  // The standard rack starts from the current proportions of the design, whichever entry was chosen.
  set_rack_from_proportions(d);

  const std::initializer_list<QLineEdit*> proportion_edits = {
      ha1rackedit,   ha2rackedit,      hf1rackedit,    hf2rackedit,      rho1rackedit,  rho2rackedit,
      Pintipdiaedit, Wheeltipdiaedit, Pinrootdiaedit, Wheelrootdiaedit, Pinfilletedit, Wheelfilletedit};
  auto enable_proportions = [&](bool on) {
    for (QLineEdit* e : proportion_edits) e->setEnabled(on);
  };
  switch (entry) {
    case 2:  // "Calculate": tips, roots and fillets come from the constraints
      pinwheelcheckbox->setEnabled(true);
      pinwheelcheckbox->setChecked(false);
      enable_proportions(false);
      Pressureangleedit->setEnabled(true);
      d.keep_pinion_wheel_same = 0;
      break;
    case 0:  // "Input"
      pinwheelcheckbox->setChecked(true);
      enable_proportions(true);
      Pressureangleedit->setEnabled(true);
      break;
    case 1:  // "Standard Rack"
      pinwheelcheckbox->setChecked(false);
      pinwheelcheckbox->setEnabled(false);
      enable_proportions(false);
      Pressureangleedit->setEnabled(false);
      show_standard_rack_dialog();
      take_standard_rack();
      d.keep_pinion_wheel_same = 0;
      break;
    default:
      break;
  }
  d.tooth_proportion_mode = Tooth_prop->currentIndex();
  SetMain_textboxes();
}

void TMainForm::show_standard_rack_dialog() {
  if (standardrackform) standardrackform->show_dialog();
}

// The rack chosen or entered becomes the design's tooth proportions only when it fits the design: its
// values within the ranges of the values they set, and the proportions it gives a tooth with an active
// profile. Otherwise the user is told why and the rack of the current proportions (set on choosing
// Standard Rack) is kept, so that the design stays as it was.
void TMainForm::take_standard_rack() {
  DesignData& d = d_;
  const std::string problem = rack_fit_problem(d);
  if (problem.empty()) return;
  set_rack_from_proportions(d);
  warn(d, "The basic rack does not fit this design and was not taken:", problem,
       "The tooth proportions have been kept");
}

void TMainForm::pinwheelcheckboxClick() {
  d_.keep_pinion_wheel_same = pinwheelcheckbox->isChecked() ? 1 : 0;
  SetMain_textboxes();
}

void TMainForm::tipdiaredcheckboxClick() {
  d_.allow_tip_diameter_reduction = tipdiaredcheckbox->isChecked() ? 1 : 0;
  SetMain_textboxes();
}

}  // namespace morvell
