// The main window's first show: acts on the choice of the start-up window (start_mode), sets the unit
// texts and the fix boxes, enables the rating for the rest of the run, fills the load-case list and runs
// the first full refresh. Also the Continue step of the reduced layout and the automatic sizing search.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaObject>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

#include <array>
#include <cstdio>
#include <initializer_list>

#include "domain_error_box.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "modal_services.h"
#include "numeric.h"
#include "progress_form.h"
#include "rating_input.h"
#include "results_pane.h"
#include "sizing_search.h"
#include "startup_form.h"

namespace morvell {

namespace {

void set_menu_enabled(QMenu* menu, bool enabled) {
  menu->setEnabled(enabled);
  menu->menuAction()->setEnabled(enabled);
}

void set_enabled(std::initializer_list<QWidget*> controls, bool enabled) {
  for (QWidget* c : controls) c->setEnabled(enabled);
}

// The controls hidden while a new pair's basic geometry is entered (start mode 3).
std::array<QWidget*, 45> reduced_layout_hidden(TMainForm& f) {
  return {f.Centredistedit,   f.Pinfacewidthedit, f.Wheelfacewidthedit, f.Pinedgechamedit,   f.Wheeledgechamedit,
          f.Ratioedit,        f.Actratioedit,     f.x1edit,             f.x2edit,            f.Backlashedit,
          f.Pinthickedit,     f.Wheelthickedit,   f.Pinfinthick,        f.Wheelfinthick,     f.Pintipdiaedit,
          f.Wheeltipdiaedit,  f.pinchamedit,      f.wheelchamedit,      f.Pinrootdiaedit,    f.Wheelrootdiaedit,
          f.Pinfilletedit,    f.Wheelfilletedit,  f.ha1rackedit,        f.ha2rackedit,       f.hf1rackedit,
          f.hf2rackedit,      f.rho1rackedit,     f.rho2rackedit,       f.pinprotedit,       f.wheelprotedit,
          f.CheckBoxmodule,   f.CheckBoxCentre,   f.RatioCheckBox,      f.sigmaXCheckBox,    f.XCheckBox,
          f.thicknessComboBox, f.backlashComboBox, f.xtrackbar,         f.backlashtrackbar,  f.finthicknessComboBox,
          f.Tooth_prop,       f.tipdiaredcheckbox, f.pinwheelcheckbox,  f.mainresults,       f.Showplotbutton};
}

// The menus disabled while it is entered ("Exit", "Units" and "Help" stay).
std::array<QMenu*, 9> reduced_layout_menus(TMainForm& f) {
  return {f.Window1, f.Rating1, f.Optimizer1, f.Metrology1, f.Manufacturing1, f.Constraints1, f.Graphics1, f.Report1,
          f.Options1};
}
std::array<QAction*, 5> reduced_layout_items(TMainForm& f) { return {f.TE1, f.Tolerancing1, f.Open1, f.Save1, f.Close1}; }

// The basic-rack edits and the tip, root and fillet edits of both gears, calculated from the constraints.
std::array<QWidget*, 12> calculated_proportion_edits(TMainForm& f) {
  return {f.ha1rackedit,   f.ha2rackedit,     f.hf1rackedit,    f.hf2rackedit,      f.rho1rackedit,  f.rho2rackedit,
          f.Pintipdiaedit, f.Wheeltipdiaedit, f.Pinrootdiaedit, f.Wheelrootdiaedit, f.Pinfilletedit, f.Wheelfilletedit};
}

}  // namespace

// The first show sets its boxes quietly, an exception to the rule for boxes set from code
// (field_events.h): its own steps set the modes of the design, which the click handlers would otherwise
// derive from boxes set one at a time (each with a refresh of a window not yet complete), and its first
// refresh then brings the window in line.
void TMainForm::FormShow() {
  // 1. Reduced layout: only module, angles, teeth and shift sum are entered until Continue.
  if (d_.start_mode == 3) {
    for (QWidget* c : reduced_layout_hidden(*this)) c->hide();
    continuebutton->show();
    for (QMenu* m : reduced_layout_menus(*this)) set_menu_enabled(m, false);
    for (QAction* a : reduced_layout_items(*this)) a->setEnabled(false);
    d_.geometry_manager_mode = 0;
    d_.tooth_proportion_mode = 2;
    d_.keep_pinion_wheel_same = 1;
    forms::set_checked_quietly(pinwheelcheckbox, true);
    d_.allow_tip_diameter_reduction = 0;
    Tooth_prop->setCurrentIndex(2);
    for (QWidget* c : calculated_proportion_edits(*this)) c->setEnabled(false);
  }

  // 2. The mouse pans.
  d_.mouse_tool = 0;

  // 3. Unit texts. In English units as the Units command sets them (the unit factors are already those
  // of the preferences' unit system); in metric units the captions and hints of the layout stay.
  if (d_.unit_system == 2) set_unit_system(2);
  else show_unit_labels(false);
  unitsalpha->setText("degrees");
  unitsbeta->setText("degrees");

  // 4. The design file chosen in the start-up window, opened as File > Open opens one: the name becomes
  // the design's only when the file is read, so that a file that is refused is never saved over by a
  // design it does not hold.
  if (d_.start_mode == 1) {
    const std::string path(text_of(d_.design_file_name));
    copy_text(d_.design_file_name, "");
    open_design_file(path);
  }

  // 5. Fix boxes from the geometry-manager mode.
  forms::set_checked_quietly(CheckBoxCentre, d_.geometry_manager_mode == 1 || d_.geometry_manager_mode == 2);
  forms::set_checked_quietly(CheckBoxmodule, d_.geometry_manager_mode == 0 || d_.geometry_manager_mode == 2);

  // 6. Geometry manager overridden by the design.
  if (d_.geometry_manager_override == 1) {
    Overide2->setEnabled(false);
    Activate1->setEnabled(true);
    d_.geometry_manager_mode = 0;
    forms::set_checked_quietly(CheckBoxCentre, false);  // the boxes show the mode they can no longer change
    forms::set_checked_quietly(CheckBoxmodule, true);
    set_enabled({CheckBoxmodule, CheckBoxCentre, Backlashedit, backlashtrackbar, Tooth_prop}, false);
    set_enabled({RatioCheckBox, Z1edit, Z2edit}, true);
    forms::set_checked_quietly(XCheckBox, false);
    XCheckBox->setEnabled(false);
  }

  // 7. Tooth proportions.
  Tooth_prop->setCurrentIndex(d_.tooth_proportion_mode);

  // 8. A new pair starts with the module fixed and free teeth and shifts; a design read keeps its ratio.
  if (d_.start_mode == 2 || d_.start_mode == 3) {
    forms::set_checked_quietly(CheckBoxmodule, true);
    forms::set_checked_quietly(sigmaXCheckBox, true);
    forms::set_checked_quietly(XCheckBox, true);
    forms::set_checked_quietly(RatioCheckBox, false);
    forms::set_checked_quietly(CheckBoxCentre, false);
    d_.geometry_manager_mode = 0;
    d_.ratio_fixed = 0;
  } else {
    forms::set_checked_quietly(RatioCheckBox, true);
    forms::set_checked_quietly(sigmaXCheckBox, false);
    forms::set_checked_quietly(XCheckBox, false);
    d_.ratio_fixed = 1;
  }

  // 9. From here on every refresh rates the pair.
  d_.shift_distribution_auto = 0;
  d_.rating_enabled = 1;

  // 10, 11. The sizing search of a new pair; the progress window goes in every mode.
  if (d_.start_mode == 2) sizing_search();
  if (Progressform) Progressform->hide();

  // 12. Load-case list.
  refill_load_case_list();

  // 13. The first full refresh.
  calc_gear_geometry(d_);
  SetMain_textboxes();

  // 14. Uncover the controls.
  Panel2->hide();
  Helixangleedit->setFocus(Qt::OtherFocusReason);
  if (d_.start_mode == 3) {
    Moduleedit->setVisible(true);
    Moduleedit->setFocus(Qt::OtherFocusReason);
  }

  // 15. No choice in the start-up window ends the program. The window is being shown: it closes as soon
  // as the message loop takes over. (A main window shown without the program's start-up window, as the
  // tests of its controls show it, had no choice to make and stays.)
  if (d_.start_mode == 0 && startupform)
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMainForm::sizing_search() {
  // The sizing rates load case 1, the case the first show then takes into the current load and rates.
  if (d_.load_case_count >= 1) take_load_case(0);
  // A design begun without the default design file holds no rating inputs but those the wizard gives.
  if (const std::string missing = missing_rating_inputs_text(d_); !missing.empty()) {
    warn(d_, "No gear pair can be sized without these rating inputs:", missing,
         "The default design that gives them could not be read; the design has been left as it was");
    return;
  }
  if (Progressform) {
    Progressform->setWindowTitle("Gear Sizing Progress");
    Progressform->show();
    Progressform->paint_now();
  }
  GatheredDomainErrors errors;  // told once, after the search
  const SizingResult sized = run_sizing_search(d_, [](int position) {
    if (Progressform) Progressform->set_position(position);
  });
  if (Progressform) Progressform->hide();
  errors.show("The sizing", "The trial pairs concerned were not taken.");
  // A search that sizes no pair leaves the design as it was: no pair is delivered that the search could
  // not rate or that fails the safety factors.
  switch (sized.refusal) {
    case SizingRefusal::None:
      break;
    case SizingRefusal::RatioOutOfReach:
      warn(d_, "No gear pair can be sized for this ratio", "The design has been left as it was", " ");
      return;
    case SizingRefusal::TargetsNotMet:
      if (sized.ratings == 0)
        warn(d_, "No gear pair can be sized: no pair reaches a transverse contact ratio of 1",
             format_line("at a pressure angle of %.3f and a helix angle of %.3f degrees",
                         double(d_.normal_pressure_angle), double(d_.helix_angle)),
             "The design has been left as it was");
      else
        warn(d_, "No gear pair can be sized for these targets",
             "No pair meets a safety factor of 1.0 in contact and bending", "The design has been left as it was");
      return;
  }
  // The window shows the modes of a sized design, which the search set itself: the box quietly, as in
  // the rest of the first show.
  forms::set_checked_quietly(pinwheelcheckbox, true);
  Tooth_prop->setCurrentIndex(2);
  for (QWidget* c : calculated_proportion_edits(*this)) c->setEnabled(false);
}

void TMainForm::continuebuttonClick() {
  if (d_.start_mode != 3) return;
  const ld u = static_cast<ld>(d_.teeth[1]) / static_cast<ld>(d_.teeth[0]);
  d_.pinion_aspect_ratio = sizing_aspect_ratio(u);
  const float b1 =
      static_cast<float>(static_cast<ld>(d_.reference_diameter[0]) / static_cast<ld>(d_.pinion_aspect_ratio));
  d_.face_width[0] = b1;
  d_.face_width[1] = b1;

  for (QWidget* c : reduced_layout_hidden(*this)) c->show();
  pinhelixhandbutton->show();
  wheelhelixhandbutton->show();
  for (QMenu* m : reduced_layout_menus(*this)) set_menu_enabled(m, true);
  for (QAction* a : reduced_layout_items(*this)) a->setEnabled(true);
  continuebutton->hide();

  d_.start_mode = 0;
  SetMain_textboxes();
}

}  // namespace morvell
