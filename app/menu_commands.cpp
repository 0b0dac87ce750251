// Commands of the main window's menu bar other than the file commands and the 2D view commands: units,
// the report choice, window sizes, the geometry manager, the load-case list, the entries to the dialogs
// and the profile export.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>
#include <cstdio>

#include "edit_fields.h"
#include "export_type_form.h"
#include "field_events.h"
#include "file_names.h"
#include "load_relations.h"
#include "main_window.h"
#include "modal_services.h"
#include "profile_export.h"
#include "results_pane.h"
#include "warning_dialog.h"

namespace morvell {

namespace {

QString app_title() { return QGuiApplication::applicationDisplayName(); }

void set_enabled(std::initializer_list<QWidget*> controls, bool enabled) {
  for (QWidget* c : controls) c->setEnabled(enabled);
}

}  // namespace

void TMainForm::wire_menus() {
  forms::on_triggered(Open1, [this] { Open1Click(); });
  forms::on_triggered(Save1, [this] { Save1Click(); });
  forms::on_triggered(Close1, [this] { Close1Click(); });
  forms::on_triggered(English1, [this] { English1Click(); });
  forms::on_triggered(Metric1, [this] { Metric1Click(); });
  forms::on_triggered(Report2, [this] { Report2Click(); });
  forms::on_triggered(Report3, [this] { Report3Click(); });
  forms::on_triggered(InputData1, [this] { InputData1Click(); });
  forms::on_triggered(RateGears1, [this] { RateGears1Click(); });
  forms::on_triggered(FlashTemperature1, [this] { FlashTemperature1Click(); });
  forms::on_triggered(RunOptimizer1, [this] { RunOptimizer1Click(); });
  forms::on_triggered(Minimizecentredistance1, [this] { Minimizecentredistance1Click(); });
  forms::on_triggered(Componentplot1, [this] { Componentplot1Click(); });
  forms::on_triggered(Toolplot1, [this] { Toolplot1Click(); });
  forms::on_triggered(MeasurementOverBalls1, [this] { MeasurementOverBalls1Click(); });
  forms::on_triggered(Tolerancing1, [this] { Tolerancing1Click(); });
  forms::on_triggered(TE1, [this] { TE1Click(); });
  forms::on_triggered(EditConstraints1, [this] { EditConstraints1Click(); });
  forms::on_triggered(Exportprofilecoords1, [this] { Exportprofilecoords1Click(); });
  forms::on_triggered(Geometry1, [this] { Geometry1Click(); });
  forms::on_triggered(RatingResults1, [this] { RatingResults1Click(); });
  forms::on_triggered(RatingDetails1, [this] { RatingDetails1Click(); });
  forms::on_triggered(Chamfers1, [this] { Chamfers1Click(); });
  forms::on_triggered(Overide2, [this] { Overide2Click(); });
  forms::on_triggered(Activate1, [this] { Activate1Click(); });
  forms::on_triggered(Facewidthoffset1, [this] { Facewidthoffset1Click(); });
  forms::on_triggered(Increase1, [this] { Increase1Click(); });
  forms::on_triggered(Decrease1, [this] { Decrease1Click(); });
  forms::on_triggered(About1, [this] { About1Click(); });

  forms::on_choice(ListBox1, [this] { ListBox1Click(); });
  forms::on_event(ListBox1, QEvent::KeyRelease, [this](QEvent*) {
    ListBox1KeyUp();
    return false;
  });
  forms::on_enter(mainresults, [this] { mainresultsEnter(); });

  SaveDialog2.confirm_overwrite = true;
  SaveDialog2.hide_read_only = true;
  if (!Graphicsexportform) Graphicsexportform = new TGraphicsexportform(d_, this);
}

void TMainForm::closing_refresh() {
  QTextCursor caret = mainresults->textCursor();
  caret.setPosition(0);
  mainresults->setTextCursor(caret);
  SetMain_textboxes();
  if (mainresults->isVisible()) mainresults->setFocus(Qt::OtherFocusReason);
}

void TMainForm::mainresultsEnter() {}

// --- Units ---

void TMainForm::show_unit_labels(bool english) {
  dplabel2->setVisible(english);
  for (QLabel* l : {unitsMn, unitsa, unitsb, unitsedgechamfer, unitsnomthickness, unitsj, unitsfinishedthickness,
                    unitsda, unitstipchamfer, unitsdf, unitsrho, unitsprotuberance})
    l->setText(english ? "inch" : "mm");
  for (QLabel* l : {unitsrackaddendum, unitsrackdedendum, unitsrackfilletradius, unitssigmax, unitsx})
    l->setText(english ? ".DP" : "/module");
  English1->setEnabled(!english);
  Metric1->setEnabled(english);
}

void TMainForm::set_unit_system(int32_t unit_system) {
  const bool english = unit_system == 2;
  d_.unit_system = english ? 2 : 1;
  Modulelabel->setText(english ? "Diametral Pitch" : "Module");
  Modulelabel->setToolTip(english ? "Normal Diametral Pitch" : "Normal module");
  const char* per = english ? "multiplied by diametral pitch" : "divided by module";
  Calcracklabel->setToolTip(QString("Basic rack tooth proportions %1").arg(per));
  rackaddlabel->setToolTip(QString("Basic rack addendum %1").arg(per));
  rackdedendumlabel->setToolTip(QString("Basic rack dedendum %1").arg(per));
  filletLabel->setToolTip(QString("Basic rack fillet radius %1").arg(per));
  show_unit_labels(english);
  d_.length_unit_factor = english ? 25.4f : 1.0f;
  d_.stress_unit_factor = english ? 0.006895f : 1.0f;
  d_.torque_unit_factor = english ? 1.356f : 1.0f;
  d_.power_unit_factor = english ? 745.7f : 1.0f;
  d_.velocity_unit_factor = english ? 0.3048f : 1.0f;
  d_.force_unit_factor = english ? 4.448f : 1.0f;
}

void TMainForm::English1Click() {
  set_unit_system(2);
  SetMain_textboxes();
}

void TMainForm::Metric1Click() {
  set_unit_system(1);
  SetMain_textboxes();
}

// --- Report choice ---

namespace {
void choose_report(TMainForm& m, DesignData& d, int32_t selection) {
  d.report_selection = selection;
  m.ListBox1->setVisible(selection != 0);
  ResultsPane(m.mainresults).clear_lines(0, ResultsPane::kLineCount - 1);
  m.SetMain_textboxes();
  if (selection != 0) m.ListBox1->setFocus(Qt::OtherFocusReason);
}
}  // namespace

void TMainForm::Geometry1Click() { choose_report(*this, d_, 0); }
void TMainForm::RatingResults1Click() { choose_report(*this, d_, 3); }
void TMainForm::RatingDetails1Click() { choose_report(*this, d_, 2); }

// --- Load cases ---

void TMainForm::refill_load_case_list() {
  ListBox1->clear();
  for (int32_t i = 1; i <= d_.load_case_count && i <= kLoadCasesUsable; ++i) {
    std::snprintf(d_.line_text, sizeof d_.line_text, "load%d", int(i));
    ListBox1->addItem(QString::fromLatin1(d_.line_text));
  }
  if (ListBox1->count() > 0) {
    ListBox1->setCurrentRow(0);
    take_load_case(0);
  }
}

void TMainForm::take_load_case(int k) {
  d_.current_load_case = k;
  take_case_values(d_, k);
  derive_cycles_and_power_as_read(d_);
}

void TMainForm::ListBox1Click() {
  // Only an entry that stands for a stored case is taken (the list is refilled from the table).
  const int k = ListBox1->currentRow();
  if (k < 0 || k >= d_.load_case_count || k >= kLoadCasesUsable) return;
  take_load_case(k);
  SetMain_textboxes();
}

void TMainForm::ListBox1KeyUp() { ListBox1Click(); }

// --- Window sizes ---

namespace {
void window_size_message(QWidget* parent) {
  forms::services().message(parent, app_title(),
                            "These settings will only take full effect on quality of graphics, text size and all "
                            "windows when the program is re-started",
                            forms::MessageIcon::Information);
}
}  // namespace

// Each step lays the main window out as a start at the new step does: its size and its text follow the
// step (one step is 1000/1077 of the next larger).
void TMainForm::Increase1Click() {
  if (d_.window_size_step < 0) {
    d_.window_size_step += 1;
    rescale();
    Decrease1->setEnabled(true);
    window_size_message(this);
  }
  if (d_.window_size_step >= 0) Increase1->setEnabled(false);
}

void TMainForm::Decrease1Click() {
  if (d_.window_size_step > -3) {
    d_.window_size_step -= 1;
    rescale();
    Increase1->setEnabled(true);
    window_size_message(this);
  }
  if (d_.window_size_step < -2) Decrease1->setEnabled(false);
}

// --- Geometry manager ---

void TMainForm::show_overridden_lock_boxes() {
  // While overridden the mode is 0 and the refresh shows it by checking the module box. A centre box
  // left checked would then make the two boxes (through their click handlers) read as mode 2, with the
  // numbers of teeth following, where all of module, centre distance and teeth are to be inputs.
  CheckBoxmodule->setChecked(true);
  CheckBoxCentre->setChecked(false);
}

void TMainForm::Overide2Click() {
  Overide2->setEnabled(false);
  Activate1->setEnabled(true);
  copy_text(d_.warning_lines[0], "Geometry manager will be overidden.");
  copy_text(d_.warning_lines[1], "Module, centre distance and # of teeth are all input.");
  copy_text(d_.warning_lines[2], "Geometry compatible with centre distance must be entered.");
  d_.geometry_manager_override = 1;
  show_overridden_lock_boxes();
  d_.geometry_manager_mode = 0;
  set_enabled({CheckBoxmodule, CheckBoxCentre}, false);
  set_enabled({RatioCheckBox, Z1edit, Z2edit}, true);
  set_enabled({Backlashedit, backlashtrackbar}, false);
  XCheckBox->setChecked(false);
  XCheckBox->setEnabled(false);
  Tooth_prop->setCurrentIndex(0);
  d_.tooth_proportion_mode = 0;
  pinwheelcheckbox->setChecked(true);
  set_enabled({ha1rackedit, ha2rackedit, hf1rackedit, hf2rackedit, rho1rackedit, rho2rackedit, Pintipdiaedit,
               Wheeltipdiaedit, Pinrootdiaedit, Wheelrootdiaedit, Pinfilletedit, Wheelfilletedit, Pressureangleedit},
              true);
  Tooth_prop->setEnabled(false);
  SigmaXedit->setEnabled(false);
  sigmaXCheckBox->setChecked(false);
  sigmaXCheckBox->setEnabled(false);
  show_warning_dialog(d_);
  closing_refresh();
}

void TMainForm::Activate1Click() {
  if (d_.geometry_manager_override != 1) return;
  Overide2->setEnabled(true);
  Activate1->setEnabled(false);
  copy_text(d_.warning_lines[0], "Geometry manager will be activated.");
  copy_text(d_.warning_lines[1], "Module, centre distance and number of teeth");
  copy_text(d_.warning_lines[2], "will be checked for compatibility");
  d_.geometry_manager_override = 0;
  CheckBoxmodule->setChecked(true);
  CheckBoxCentre->setChecked(false);
  set_enabled({CheckBoxmodule, CheckBoxCentre, RatioCheckBox}, true);
  sigmaXCheckBox->setEnabled(false);
  set_enabled({Z1edit, Z2edit, Backlashedit, backlashtrackbar, XCheckBox}, true);
  d_.geometry_manager_mode = 0;
  Tooth_prop->setEnabled(true);
  show_warning_dialog(d_);
  closing_refresh();
}

// --- Dialogs ---

void TMainForm::InputData1Click() {
  show_rating_input_dialog();
  refill_load_case_list();
  closing_refresh();
  if (d_.report_selection == 3 && Image1->isHidden()) ListBox1->setFocus(Qt::OtherFocusReason);
}

void TMainForm::RateGears1Click() {
  show_sn_curves_window();
  closing_refresh();
}

void TMainForm::FlashTemperature1Click() {
  show_flash_temperature_dialog();
  closing_refresh();
}

void TMainForm::Componentplot1Click() {}
void TMainForm::Toolplot1Click() {}

void TMainForm::MeasurementOverBalls1Click() {
  if (d_.geometry_manager_mode == 1) {  // the module follows the centre distance
    copy_text(d_.warning_lines[0], d_.unit_system == 2
                                       ? "To be able to set measurement over balls Diametral Pitch must be fixed"
                                       : "To be able to set measurement over balls module must be fixed");
    copy_text(d_.warning_lines[1], "");
    copy_text(d_.warning_lines[2], " ");
    show_warning_dialog(d_);
    activateWindow();
  } else {
    d_.plot_zoom = 1;
    d_.plot_pan_x = 0;
    d_.plot_pan_y = 0;
    d_.pan_x_3d = 0;
    d_.pan_y_3d = 0;
    show_measurement_dialog();
  }
  closing_refresh();
}

void TMainForm::Tolerancing1Click() {
  // The tolerance window overrides the geometry manager while it is shown; the state comes back after.
  const int32_t mode = d_.geometry_manager_mode;
  const uint8_t override = d_.geometry_manager_override;
  show_tolerances_dialog();
  d_.geometry_manager_mode = mode;
  d_.geometry_manager_override = override;
  closing_refresh();
}

void TMainForm::TE1Click() {
  forms::services().message(this, app_title(), "Transmission error calculations under development",
                            forms::MessageIcon::Information);
}

void TMainForm::EditConstraints1Click() {
  show_constraints_dialog();
  closing_refresh();
}

void TMainForm::Chamfers1Click() {
  show_chamfer_dialog();
  closing_refresh();
}

void TMainForm::Facewidthoffset1Click() {
  show_face_offset_dialog();
  closing_refresh();
}

void TMainForm::About1Click() {
  d_.splash_mode = 1;
  show_about_window();
}

// --- Profile export ---

void TMainForm::Exportprofilecoords1Click() {
  if (Graphicsexportform) forms::services().show_modal(*Graphicsexportform);
  SaveDialog2.initial_name = default_export_file_name(d_.export_type);
  SaveDialog2.directory = dialog_folder();
  const forms::FileDialogResult chosen = forms::services().save_file(this, SaveDialog2);
  if (chosen.accepted && !chosen.name.isEmpty()) {
    const std::string path = local_path(chosen.name);
    SetMain_textboxes();
    std::string error;
    if (!write_profile_export(d_, path, &error))
      forms::services().message(this, app_title(), shown_text(error), forms::MessageIcon::Warning);
  }
  closing_refresh();
}

}  // namespace morvell
