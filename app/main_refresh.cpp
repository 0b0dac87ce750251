// The main window's refresh: recomputes the whole pair from its inputs (geometry, warnings and
// corrections, rating and life), rewrites every displayed value and the enabling of the controls,
// redraws the pictures, writes the chosen report, returns to the start directory and records the
// design in the history file. There is no partial update; handlers and refreshes may nest.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

#include <cmath>
#include <unistd.h>
#include <cstdio>
#include <memory>
#include <string>

#include "design_file.h"
#include "design_refresh.h"
#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "main_window.h"
#include "modal_services.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"
#include "report_columns.h"
#include "results_pane.h"
#include "startup.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

QString hint_text(const char* format, double value) { return QString::fromStdString(format_line(format, value)); }

// Writes a field's text (which runs its change event and so cleans it) and its hint.
void show_value(QLineEdit* edit, const std::string& text, const QString& hint) {
  edit->setText(QString::fromStdString(text));
  edit->setToolTip(hint);
}

using forms::set_checked;  // a change of state runs the box's click handler as the user's click would

// Step by step, the values of the design data into the fields: texts by the number formatters, hints
// printed with "%10.5f" (teeth "%10.0f"), lengths divided by the length unit factor.
void show_displayed_values(TMainForm& f, DesignData& d) {
  const ld lf = d.length_unit_factor;
  auto length = [&](QLineEdit* edit, float value) {
    const ld shown = ld(value) / lf;
    show_field(edit, format_length(d, float(shown)), double(shown));
  };
  auto plain = [&](QLineEdit* edit, float value) {
    show_field(edit, format_value(d, value), double(value));
  };

  // In English units the module field shows the diametral pitch.
  if (d.unit_system == 2) {
    const ld pitch = 1.0L / ld(d.normal_module) * lf;
    show_field(f.Moduleedit, format_length(d, float(pitch)), double(pitch));
  } else {
    length(f.Moduleedit, d.normal_module);
  }
  plain(f.Pressureangleedit, d.normal_pressure_angle);
  plain(f.Helixangleedit, d.helix_angle);
  length(f.Centredistedit, d.centre_distance);
  length(f.Pinfacewidthedit, d.face_width[0]);
  length(f.Wheelfacewidthedit, d.face_width[1]);
  length(f.Pinedgechamedit, d.edge_chamfer[0]);
  length(f.Wheeledgechamedit, d.edge_chamfer[1]);
  plain(f.Ratioedit, d.desired_ratio);
  plain(f.Actratioedit, float(ld(d.teeth[1]) / ld(d.teeth[0])));
  for (int i = 0; i < 2; ++i) {
    const QString teeth = hint_text("%10.0f", double(d.teeth[i]));
    show_value(i == 0 ? f.Z1edit : f.Z2edit, teeth.toStdString(), teeth);
  }
  show_field(f.SigmaXedit, format_line("%10.4f", double(d.profile_shift_sum)), double(d.profile_shift_sum));
  for (int i = 0; i < 2; ++i)
    show_field(i == 0 ? f.x1edit : f.x2edit, format_line("%10.4f", double(d.profile_shift[i])),
               double(d.profile_shift[i]));
  switch (f.backlashComboBox->currentIndex()) {
    case 0: length(f.Backlashedit, d.backlash_normal); break;
    case 1: length(f.Backlashedit, d.backlash_transverse); break;
    case 2: length(f.Backlashedit, d.backlash_radial); break;
    default: break;
  }
  switch (f.thicknessComboBox->currentIndex()) {
    case 0:
      length(f.Pinthickedit, d.thickness_nominal_normal[0]);
      length(f.Wheelthickedit, d.thickness_nominal_normal[1]);
      break;
    case 1: {
      length(f.Pinthickedit, d.thickness_nominal_transverse[0]);
      // The wheel's hint in this setting is the value formatted like a plain number.
      const float shown = float(ld(d.thickness_nominal_transverse[1]) / lf);
      const std::string text = format_length(d, shown);
      const std::string hint = format_value(d, shown);
      show_value(f.Wheelthickedit, text, QString::fromStdString(hint));
      break;
    }
    default: break;
  }
  switch (f.finthicknessComboBox->currentIndex()) {
    case 0:
      length(f.Pinfinthick, d.thickness_finished_normal[0]);
      length(f.Wheelfinthick, d.thickness_finished_normal[1]);
      break;
    case 1:
      length(f.Pinfinthick, d.thickness_finished_transverse[0]);
      length(f.Wheelfinthick, d.thickness_finished_transverse[1]);
      break;
    default: break;
  }
  length(f.Pintipdiaedit, d.tip_diameter[0]);
  length(f.Wheeltipdiaedit, d.tip_diameter[1]);
  length(f.pinchamedit, d.tip_chamfer[0]);
  length(f.wheelchamedit, d.tip_chamfer[1]);
  length(f.Pinrootdiaedit, d.root_diameter[0]);
  length(f.Wheelrootdiaedit, d.root_diameter[1]);
  length(f.Pinfilletedit, d.root_fillet_radius[0]);
  length(f.Wheelfilletedit, d.root_fillet_radius[1]);
  const ld mn = d.normal_module;
  plain(f.ha1rackedit, float(ld(d.addendum[0]) / mn - d.profile_shift[0]));
  plain(f.ha2rackedit, float(ld(d.addendum[1]) / mn - d.profile_shift[1]));
  plain(f.hf1rackedit, float(ld(d.dedendum[0]) / mn + d.profile_shift[0]));
  plain(f.hf2rackedit, float(ld(d.dedendum[1]) / mn + d.profile_shift[1]));
  plain(f.rho1rackedit, float(ld(d.root_fillet_radius[0]) / mn));
  plain(f.rho2rackedit, float(ld(d.root_fillet_radius[1]) / mn));
  length(f.pinprotedit, d.protuberance[0]);
  length(f.wheelprotedit, d.protuberance[1]);
}

// Enabling and checking of the controls from the modes; a check box whose state changes runs its click
// handler.
void enable_controls_by_mode(TMainForm& f, DesignData& d) {
  const int mode = d.geometry_manager_mode;

  f.Moduleedit->setEnabled(mode != 1);
  set_checked(f.CheckBoxmodule, mode != 1);

  f.Centredistedit->setEnabled(!(d.geometry_manager_mode == 0 && d.geometry_manager_override != 1));

  f.Z2edit->setEnabled(d.geometry_manager_mode != 2);
  f.Z1edit->setEnabled(d.geometry_manager_mode != 2);

  if (d.geometry_manager_mode == 2) {
    f.RatioCheckBox->setEnabled(false);
    set_checked(f.RatioCheckBox, true);
    d.ratio_fixed = 1;
  } else {
    f.RatioCheckBox->setEnabled(true);
  }

  if (!f.RatioCheckBox->isChecked()) {
    d.desired_ratio = float(ld(d.teeth[1]) / ld(d.teeth[0]));
    f.Ratioedit->setEnabled(false);
    d.ratio_fixed = 0;
    show_field(f.Ratioedit, format_value(d, d.desired_ratio), double(d.desired_ratio));
  } else {
    f.Ratioedit->setEnabled(true);
    d.ratio_fixed = 1;
  }

  if (d.geometry_manager_mode == 2) {
    f.SigmaXedit->setEnabled(false);
    f.sigmaXCheckBox->setEnabled(false);
    set_checked(f.sigmaXCheckBox, false);
  } else {
    f.SigmaXedit->setEnabled(true);
    f.sigmaXCheckBox->setEnabled(true);
  }
  f.SigmaXedit->setEnabled(f.sigmaXCheckBox->isChecked());

  const bool automatic_shift = f.XCheckBox->isChecked();
  d.shift_distribution_auto = automatic_shift ? 1 : 0;
  for (QWidget* w : {static_cast<QWidget*>(f.x1edit), static_cast<QWidget*>(f.x2edit),
                     static_cast<QWidget*>(f.Pinthickedit), static_cast<QWidget*>(f.Wheelthickedit),
                     static_cast<QWidget*>(f.xtrackbar)})
    w->setEnabled(!automatic_shift);

  if (d.tooth_proportion_mode == 0) {
    f.tipdiaredcheckbox->setEnabled(false);
    set_checked(f.tipdiaredcheckbox, false);
    d.allow_tip_diameter_reduction = 0;
    f.pinwheelcheckbox->setEnabled(false);
    set_checked(f.pinwheelcheckbox, false);
    d.keep_pinion_wheel_same = 0;
  } else if (d.tooth_proportion_mode == 1 || d.tooth_proportion_mode == 2) {
    f.tipdiaredcheckbox->setEnabled(true);
    if (d.tooth_proportion_mode == 2) f.pinwheelcheckbox->setEnabled(true);
  }

  if (!f.pinwheelcheckbox->isChecked() && d.tooth_proportion_mode == 2) {
    set_checked(f.tipdiaredcheckbox, true);
    f.tipdiaredcheckbox->setEnabled(false);
    d.allow_tip_diameter_reduction = 1;
  }
}

}  // namespace

// Hook of the 2D mesh plot: the refresh draws the plot whenever its image is shown.
void TMainForm::refresh_mesh_plot() { mainform_meshplot_report(); }

// Hook of the 3D view: repainted at once whenever it is shown (its paint handler draws the teeth).
void TMainForm::refresh_3d_view() {
  if (OpenGLPanel1 && OpenGLPanel1->isVisible()) OpenGLPanel1->repaint();
}

void TMainForm::SetMain_textboxes() {
  DesignData& d = d_;

  // The whole calculation first (geometry, corrections, geometry again, rating, outlines), the same as
  // every other path that works out a design; the geometry warnings are explained as they are found.
  refresh_design(d, [this](GeometryWarning kind, int gear) { show_geometry_warning(kind, gear); });

  d.shift_trackbar_min = -1.0f;
  d.shift_trackbar_max = 1.5f;

  // Status line. The full name is shown; line_text keeps as much of it as it holds.
  const std::string status = "Filename: " + std::string(text_of(d.design_file_name));
  copy_text(d.line_text, status);
  // A line feed marks "no file chosen yet": the status line shows the text before it.
  const QString status_text = QString::fromStdString(status.substr(0, status.find('\n')));
  statusbartextleft->setText(status_text);
  statusbartextleft->setToolTip(status_text);
  if (d.geometry_manager_override == 1) {
    statusbartextmiddle->setStyleSheet("color: red");
    statusbartextmiddle->setText("Warning : Geometry manager is overidden!");
    statusbartextmiddle->setToolTip("Warning : Geometry manager is overidden!");
  } else {
    statusbartextmiddle->setText(QString());
    statusbartextmiddle->setToolTip(QString());
  }

  show_displayed_values(*this, d);
  enable_controls_by_mode(*this, d);

  // Track bars: the shift bar spans x1 from -1.0 (0) to 1.5 (40); the backlash bar shows the share of
  // the backlash taken by the pinion, in the middle when there is no backlash.
  xtrackbar->setValue(to_int32_clamped(std::trunc((ld(d.profile_shift[0]) - d.shift_trackbar_min) /
                                                  (ld(d.shift_trackbar_max) - d.shift_trackbar_min) * 40)));
  backlashtrackbar->setValue(d.backlash_transverse_circular > 0.0001f
                                 ? to_int32_clamped(round_half_up(40 * ld(d.backlash_distribution)))
                                 : 20);
  if (d.tooth_proportion_mode >= 0 && d.tooth_proportion_mode < Tooth_prop->count())
    Tooth_prop->setCurrentIndex(d.tooth_proportion_mode);

  if (Image1->isVisible()) refresh_mesh_plot();

  pinhelixhandbutton->setText(d.helix_hand == 1 ? "L" : "R");
  wheelhelixhandbutton->setText(d.helix_hand == 1 ? "R" : "L");
  pinhelixhandbutton->setVisible(d.helix_angle != 0);
  wheelhelixhandbutton->setVisible(d.helix_angle != 0);

  // The chosen report: geometry (0), rating details (2) or rating summary (3); any other choice leaves
  // the pane as it is.
  if (d.report_selection == 0) mainform_report();
  else if (d.report_selection == 2) ratingdetails_report();
  else if (d.report_selection == 3) ratingsummary_report();
  // Every report stands in its columns whatever the font.
  if (d.report_selection == 0 || d.report_selection == 2 || d.report_selection == 3)
    lay_out_report_columns(mainresults->document());

  refresh_3d_view();

  RateGears1->setEnabled(d.report_selection == 2 ||
                         (d.report_selection == 3 && RatingDetails1->isEnabled() && RatingResults1->isEnabled()));

  // Back to the start directory (a file dialog may have changed the current one).
  if (::chdir(start_directory_of(d).c_str()) != 0)
    forms::services().message(this, QGuiApplication::applicationDisplayName(), "Start up directory not found",
                              forms::MessageIcon::None);

  // One history record of this design, written from a copy: the writer derives the ratios and the shift
  // sum as a design file opened again has them, which must not change the design shown (a typed ratio
  // would turn into the actual one behind its field, for the next entry of teeth to use).
  const auto record = std::make_unique<DesignData>(d);
  record->history_mode = 1;
  const DesignFileResult written = write_design_file(*record);
  if (!written.ok() && !history_failure_reported_) {  // reported once, not on every edit
    history_failure_reported_ = true;
    forms::services().message(this, QGuiApplication::applicationDisplayName(),
                              QString::fromStdString(written.message), forms::MessageIcon::Warning);
  }
  d.history_record_number -= 1;
  d.history_mode = 0;
}

}  // namespace morvell
