// The main window's refresh: recomputes the geometry and rewrites every displayed value.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "design_file.h"
#include "edit_fields.h"
#include "geometry_pass.h"
#include "main_window.h"
#include "modal_services.h"
#include "numeric.h"
#include "startup.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

QString printed(const char* format, double value) {
  const int n = std::snprintf(nullptr, 0, format, value);
  std::string text(n > 0 ? std::size_t(n) : 0, '\0');
  if (n > 0) std::snprintf(text.data(), text.size() + 1, format, value);
  return QString::fromStdString(text);
}

// Writes a field's text (which runs its change event and so cleans it) and its hint.
void show_value(QLineEdit* edit, const std::string& text, const QString& hint) {
  edit->setText(QString::fromStdString(text));
  edit->setToolTip(hint);
}

}  // namespace

void TMainForm::SetMain_textboxes() {
  DesignData& d = d_;
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);

  d.shift_trackbar_min = -1.0f;
  d.shift_trackbar_max = 1.5f;

  // Status line.
  const std::string_view name = text_of(d.design_file_name);
  copy_text(d.line_text, "Filename: ");
  append_text(d.line_text, name);
  QString status = "Filename: " + QString::fromLocal8Bit(name.data(), qsizetype(name.size()));
  status.remove(QChar('\n'));
  statusbartextleft->setText(status);
  statusbartextleft->setToolTip(status);
  if (d.geometry_manager_override == 1) {
    statusbartextmiddle->setStyleSheet("color: red");
    statusbartextmiddle->setText("Warning : Geometry manager is overidden!");
    statusbartextmiddle->setToolTip("Warning : Geometry manager is overidden!");
  } else {
    statusbartextmiddle->setText(QString());
    statusbartextmiddle->setToolTip(QString());
  }

  // Displayed values: lengths are shown divided by the length unit factor.
  const ld lf = d.length_unit_factor;
  auto length = [&](QLineEdit* edit, float value) {
    const float shown = float(ld(value) / lf);
    show_value(edit, format_length(d, shown), printed("%10.5f", double(ld(value) / lf)));
  };
  auto plain = [&](QLineEdit* edit, float value) { show_value(edit, format_value(d, value), printed("%10.5f", value)); };
  const ld mn = d.normal_module;
  if (d.unit_system == 2) {
    const ld pitch = 1.0L / mn * lf;
    show_value(Moduleedit, format_length(d, float(pitch)), printed("%10.5f", double(pitch)));
  } else {
    show_value(Moduleedit, format_length(d, d.normal_module), printed("%10.5f", d.normal_module));
  }
  plain(Pressureangleedit, d.normal_pressure_angle);
  plain(Helixangleedit, d.helix_angle);
  length(Centredistedit, d.centre_distance);
  length(Pinfacewidthedit, d.face_width[0]);
  length(Wheelfacewidthedit, d.face_width[1]);
  length(Pinedgechamedit, d.edge_chamfer[0]);
  length(Wheeledgechamedit, d.edge_chamfer[1]);
  plain(Ratioedit, d.desired_ratio);
  const float actual = float(ld(d.teeth[1]) / ld(d.teeth[0]));
  Actratioedit->setText(QString::fromStdString(format_value(d, actual)));
  Actratioedit->setToolTip(printed("%10.5f", actual));
  for (int i = 0; i < 2; ++i) {
    QLineEdit* teeth = i == 0 ? Z1edit : Z2edit;
    teeth->setText(printed("%10.0f", d.teeth[i]));
    teeth->setToolTip(printed("%10.0f", d.teeth[i]));
  }
  SigmaXedit->setText(printed("%10.4f", d.profile_shift_sum));
  SigmaXedit->setToolTip(printed("%10.5f", d.profile_shift_sum));
  for (int i = 0; i < 2; ++i) {
    QLineEdit* x = i == 0 ? x1edit : x2edit;
    x->setText(printed("%10.4f", d.profile_shift[i]));
    x->setToolTip(printed("%10.5f", d.profile_shift[i]));
  }
  switch (backlashComboBox->currentIndex()) {
    case 0: length(Backlashedit, d.backlash_normal); break;
    case 1: length(Backlashedit, d.backlash_transverse); break;
    case 2: length(Backlashedit, d.backlash_radial); break;
    default: break;
  }
  const int thickness_kind = thicknessComboBox->currentIndex();
  for (int i = 0; i < 2; ++i) {
    QLineEdit* edit = i == 0 ? Pinthickedit : Wheelthickedit;
    if (thickness_kind == 0) length(edit, d.thickness_nominal_normal[i]);
    if (thickness_kind == 1) {
      const float shown = float(ld(d.thickness_nominal_transverse[i]) / lf);
      const std::string text = format_length(d, shown);
      // The wheel's hint in this setting is the formatted value.
      const QString hint = i == 0 ? printed("%10.5f", double(ld(d.thickness_nominal_transverse[i]) / lf))
                                  : QString::fromStdString(format_value(d, shown));
      show_value(edit, text, hint);
    }
  }
  const int finished_kind = finthicknessComboBox->currentIndex();
  for (int i = 0; i < 2; ++i) {
    QLineEdit* edit = i == 0 ? Pinfinthick : Wheelfinthick;
    if (finished_kind == 0) length(edit, d.thickness_finished_normal[i]);
    if (finished_kind == 1) length(edit, d.thickness_finished_transverse[i]);
  }
  length(Pintipdiaedit, d.tip_diameter[0]);
  length(Wheeltipdiaedit, d.tip_diameter[1]);
  length(pinchamedit, d.tip_chamfer[0]);
  length(wheelchamedit, d.tip_chamfer[1]);
  length(Pinrootdiaedit, d.root_diameter[0]);
  length(Wheelrootdiaedit, d.root_diameter[1]);
  length(Pinfilletedit, d.root_fillet_radius[0]);
  length(Wheelfilletedit, d.root_fillet_radius[1]);
  plain(ha1rackedit, float(ld(d.addendum[0]) / mn - d.profile_shift[0]));
  plain(ha2rackedit, float(ld(d.addendum[1]) / mn - d.profile_shift[1]));
  plain(hf1rackedit, float(ld(d.dedendum[0]) / mn + d.profile_shift[0]));
  plain(hf2rackedit, float(ld(d.dedendum[1]) / mn + d.profile_shift[1]));
  plain(rho1rackedit, float(ld(d.root_fillet_radius[0]) / mn));
  plain(rho2rackedit, float(ld(d.root_fillet_radius[1]) / mn));
  length(pinprotedit, d.protuberance[0]);
  length(wheelprotedit, d.protuberance[1]);

  // Track bars.
  xtrackbar->setValue(to_int32_clamped(std::trunc((ld(d.profile_shift[0]) - d.shift_trackbar_min) /
                                                  (ld(d.shift_trackbar_max) - d.shift_trackbar_min) * 40.0L)));
  backlashtrackbar->setValue(d.backlash_transverse_circular > 0.0001f
                                 ? to_int32_clamped(round_half_up(40.0L * d.backlash_distribution))
                                 : 20);
  if (d.tooth_proportion_mode >= 0 && d.tooth_proportion_mode < Tooth_prop->count())
    Tooth_prop->setCurrentIndex(d.tooth_proportion_mode);

  // Tooth profiles of both gears; afterwards the wheel's outline is in profile_points.
  for (int i = 0; i < 2; ++i)
    generate_tooth_profile(d.teeth[i], d.normal_module, d.thickness_nominal_transverse[i],
                           d.thickness_finished_transverse[i], d.normal_pressure_angle, d.helix_angle,
                           d.root_diameter[i], d.tip_diameter[i], d.profile_shift[i], d.root_fillet_radius[i],
                           d.protuberance[i], 0.01f, d.tip_thickness_transverse[i], d.tip_chamfer[i],
                           &d.form_diameter[i], d.profile_points);

  // Contact ratio limited by the form circles.
  ld g[2], rho[2];
  bool limited = false;
  for (int i = 0; i < 2; ++i) {
    const ld dw = d.working_pitch_diameter[i], db = d.base_diameter[i];
    g[i] = checked_sqrt(dw * dw / 4 - db * db / 4);
    const bool below = d.sap_diameter[i] < d.form_diameter[i];
    limited = limited || below;
    const ld D = below ? d.form_diameter[i] : d.sap_diameter[i];
    rho[i] = checked_sqrt(D * D / 4 - db * db / 4);
  }
  if (limited)
    d.transverse_contact_ratio = float((g[0] + g[1] - rho[0] - rho[1]) / ld(d.transverse_base_pitch));
  d.rating_valid = d.transverse_contact_ratio >= 1.0f ? 1 : 0;

  // Helix-hand buttons.
  pinhelixhandbutton->setText(d.helix_hand == 1 ? "L" : "R");
  wheelhelixhandbutton->setText(d.helix_hand == 1 ? "R" : "L");
  pinhelixhandbutton->setVisible(d.helix_angle != 0);
  wheelhelixhandbutton->setVisible(d.helix_angle != 0);

  // Back to the start directory, then one history record of this design.
  if (!QDir::setCurrent(QString::fromStdString(start_directory_of(d))))
    forms::services().message(this, QGuiApplication::applicationDisplayName(), "Start up directory not found",
                              forms::MessageIcon::None);
  d.history_mode = 1;
  const DesignFileResult written = write_design_file(d);
  if (!written.ok() && !history_failure_reported_) {  // reported once, not on every edit
    history_failure_reported_ = true;
    forms::services().message(this, QGuiApplication::applicationDisplayName(),
                              QString::fromStdString(written.message), forms::MessageIcon::Warning);
  }
  d.history_record_number -= 1;
  d.history_mode = 0;
}

}  // namespace morvell
