#include "standard_rack_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <tuple>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "modal_services.h"
#include "numeric.h"
#include "window_scale.h"

namespace morvell {

TOptionform2* optionform2 = nullptr;
TStandardrackform* standardrackform = nullptr;

// ---------------------------------------------------------------------------------------------
// The question
// ---------------------------------------------------------------------------------------------

// Layout designed at 96 pixels per inch.
TOptionform2::TOptionform2(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Optionform2");
  setWindowTitle("Basic Rack Options");
  warningmemo = new QPlainTextEdit(this);
  warningmemo->setObjectName("warningmemo");
  warningmemo->setReadOnly(true);
  warningmemo->setGeometry(8, 8, 360, 65);
  warningmemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  OKbutton = add_button(this, "OKbutton", "Create new", 14, 81, 165);
  Button1 = add_button(this, "Button1", "Select from database", 197, 81, 165);
  setFixedSize(376, 114);
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  scale_window(this, d_);
}

void TOptionform2::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TOptionform2::FormShow() {
  d_.rack_option_choice = 2;  // stays so when the window is closed without an answer
  warningmemo->clear();
  for (const auto& line : d_.warning_lines) {
    const std::string_view text = text_of(line);
    warningmemo->appendPlainText(QString::fromUtf8(text.data(), qsizetype(text.size())));
  }
  OKbutton->setFocus(Qt::OtherFocusReason);
}

void TOptionform2::OKbuttonClick() {
  d_.rack_option_choice = 1;
  accept();
}

void TOptionform2::Button1Click() {
  d_.rack_option_choice = 0;
  accept();
}

// ---------------------------------------------------------------------------------------------
// The rack dialog
// ---------------------------------------------------------------------------------------------

// Layout designed at 96 pixels per inch.
TStandardrackform::TStandardrackform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Standardrackform");
  setWindowTitle("Standard Rack Details");
  constexpr int kPinX = 228, kWheelX = 324, kTop = 32, kStep = 28;
  add_label(this, "PINION ", kPinX + 16, 8, 80);
  add_label(this, "WHEEL ", kWheelX + 16, 8, 80);

  name_caption = add_label(this, "Basic Rack Name", 8, kTop + 2, kPinX - 4 - 8);
  Tooth_prop_ComboBox = new QComboBox(this);
  Tooth_prop_ComboBox->setObjectName("Tooth_prop_ComboBox");
  Tooth_prop_ComboBox->setEditable(false);
  Tooth_prop_ComboBox->setGeometry(kPinX, kTop, kWheelX + 89 - kPinX, 21);
  enternameedit = new QLineEdit(this);
  enternameedit->setObjectName("enternameedit");
  enternameedit->setMaxLength(int(kFileLineSize) - 2);  // the name's line in the database holds 510
  enternameedit->setGeometry(kPinX, kTop, kWheelX + 89 - kPinX, 21);

  auto row = [&](int r, const char* caption, const char* pin, const char* wheel) {
    const int y = kTop + r * kStep;
    QLabel* label = add_label(this, caption, 8, y + 2, kPinX - 4 - 8);
    QLineEdit* p = add_numeric_edit(d_, this, pin, kPinX, y);
    QLineEdit* w = add_numeric_edit(d_, this, wheel, kWheelX, y);
    return std::tuple{label, p, w};
  };
  std::tie(addendum_caption, ha1rackedit, ha2rackedit) = row(1, "Basic Rack Addendum", "ha1rackedit", "ha2rackedit");
  std::tie(dedendum_caption, hf1rackedit, hf2rackedit) = row(2, "Basic Rack Dedendum", "hf1rackedit", "hf2rackedit");
  std::tie(fillet_caption, rho1rackedit, rho2rackedit) = row(3, "Root Fillet Radius", "rho1rackedit", "rho2rackedit");
  std::tie(max_fillet_caption, maxfillet1, maxfillet2) =
      row(4, "Max Fillet Rad. (no protuberance)", "maxfillet1", "maxfillet2");
  QLabel* angle_caption;
  std::tie(angle_caption, pressureangle1edit, pressureangle2edit) =
      row(5, "Pressure Angle", "pressureangle1edit", "pressureangle2edit");
  angle_caption->setToolTip("Pressure angle of basic rack");
  for (QLineEdit* box : {maxfillet1, maxfillet2}) {  // for information only
    box->setReadOnly(true);
    box->setEnabled(false);
  }

  BasicRack& rack = d_.basic_rack;
  const std::tuple<QLineEdit*, float*, float*> values[8] = {
      {ha1rackedit, &rack.addendum_coeff[0], nullptr},
      {ha2rackedit, &rack.addendum_coeff[1], nullptr},
      {hf1rackedit, &rack.dedendum_coeff[0], nullptr},
      {hf2rackedit, &rack.dedendum_coeff[1], nullptr},
      {rho1rackedit, &rack.fillet_radius_coeff[0], nullptr},
      {rho2rackedit, &rack.fillet_radius_coeff[1], nullptr},
      {pressureangle1edit, &rack.pressure_angle, nullptr},
      {pressureangle2edit, &rack.pressure_angle, nullptr},
  };
  for (int i = 0; i < 8; ++i) {
    auto [edit, field, also] = values[i];
    value_edits_[i] = edit;
    // The edits come in pairs, one number line of a database record each: addendum, dedendum, fillet
    // radius, pressure angle.
    forms::on_exit(edit, [this, edit = edit, field = field, also = also, row = i / 2, gear = i % 2] {
      value_exit(edit, field, also, row, gear);
    });
  }

  const int y = kTop + 6 * kStep + 12;
  Button2 = add_button(this, "Button2", "Create new", 8, y, 89);
  Button3 = add_button(this, "Button3", "Delete", 108, y, 89);
  Button4 = add_button(this, "Button4", "OK", kPinX, y, 89);
  Button5 = add_button(this, "Button5", "Close", kWheelX, y, 89);
  setFixedSize(kWheelX + 89 + 8, y + 25 + 12);

  forms::on_choice(Tooth_prop_ComboBox, [this] { Tooth_prop_ComboBoxChange(); });
  forms::on_click(Button2, [this] { Button2Click(); });
  forms::on_click(Button3, [this] { Button3Click(); });
  forms::on_click(Button4, [this] { Button4Click(); });
  forms::on_click(Button5, [this] { Button5Click(); });

  set_create_mode(false);
  scale_window(this, d_);
  d_.edit_changed = 0;
}

int TStandardrackform::show_dialog() {
  ask_rack_option();
  return forms::services().show_modal(*this);
}

void TStandardrackform::ask_rack_option() {
  copy_text(d_.warning_lines[0], "Standard rack can be selected from database");
  copy_text(d_.warning_lines[1], "or a new standard rack created based on current");
  copy_text(d_.warning_lines[2], "tooth proportions");
  if (optionform2) {
    forms::services().show_modal(*optionform2);
  } else {  // the dialog on its own (tests)
    TOptionform2 question(d_, this);
    forms::services().show_modal(question);
  }
}

void TStandardrackform::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TStandardrackform::FormShow() {
  const bool english = d_.unit_system == 2;
  name_caption->setToolTip(english ? "Basic rack tooth proportions multiplied by diametral pitch"
                                   : "Basic rack tooth proportions divided by module");
  addendum_caption->setToolTip(english ? "Basic rack addendum multiplied by diametral pitch"
                                       : "Basic rack addendum divided by module");
  dedendum_caption->setToolTip(english ? "Basic rack dedendum multiplied by diametral pitch"
                                       : "Basic rack dedendum divided by module");
  fillet_caption->setToolTip(english ? "Basic rack fillet radius multiplied by diametral pitch"
                                     : "Basic rack fillet radius divided by module");
  max_fillet_caption->setToolTip(english ? "Maximum basic rack fillet radius multiplied by diametral pitch"
                                         : "Maximum basic rack fillet radius divided by module");
  readrackdatafromfile();
  if (d_.rack_option_choice == 1) {
    // A new rack from the current tooth proportions, without protuberance.
    d_.protuberance[0] = 0;
    d_.protuberance[1] = 0;
    set_create_mode(true);
    BasicRack& rack = d_.basic_rack;
    const ld m = d_.normal_module;
    for (int i = 0; i < 2; ++i) {
      rack.addendum_coeff[i] = float(ld(d_.addendum[i]) / m - ld(d_.profile_shift[i]));
      rack.dedendum_coeff[i] = float(ld(d_.dedendum[i]) / m + ld(d_.profile_shift[i]));
      rack.fillet_radius_coeff[i] = float(ld(d_.root_fillet_radius[i]) / m);
      rack.protuberance[i] = d_.protuberance[i];
    }
    rack.pressure_angle = d_.normal_pressure_angle;
    copy_text(d_.file_line, new_rack_names_.next_name());
    enternameedit->setText(QString::fromUtf8(d_.file_line));
  } else {
    set_create_mode(false);
  }
  Tooth_prop_ComboBox->setCurrentIndex(d_.list_counter - 1);
  Setrack_textboxes();
  enter_focused_field(d_, *this);
}

void TStandardrackform::set_create_mode(bool create) {
  create_mode_ = create;
  Tooth_prop_ComboBox->setVisible(!create);
  enternameedit->setVisible(create);
  for (QLineEdit* e : value_edits_) e->setEnabled(create);
  Button4->setEnabled(create);
  for (QPushButton* b : {Button2, Button3, Button5}) b->setEnabled(!create);
}

void TStandardrackform::Setrack_textboxes() {
  const BasicRack& rack = d_.basic_rack;
  const float values[8] = {rack.addendum_coeff[0],      rack.addendum_coeff[1], rack.dedendum_coeff[0],
                           rack.dedendum_coeff[1],      rack.fillet_radius_coeff[0],
                           rack.fillet_radius_coeff[1], rack.pressure_angle,   rack.pressure_angle};
  for (int i = 0; i < 8; ++i) show_field(value_edits_[i], format_value(d_, values[i]), values[i]);
  for (int g = 0; g < 2; ++g) {
    const float rho_max = max_rack_fillet_coeff(d_.normal_pressure_angle, rack.dedendum_coeff[g]);
    show_field(g ? maxfillet2 : maxfillet1, format_value(d_, rho_max), rho_max);
  }
}

void TStandardrackform::value_exit(QLineEdit* edit, float* field, float* also, int row, int gear) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    // Coefficients and degrees, without conversion, within the ranges of the values a rack sets: the
    // database stores no other rack, and the main window takes no other proportions.
    if (const auto stored = finite_entry(d_, edit, v.value)) {
      BasicRack trial = d_.basic_rack;
      switch (row) {
        case 0: trial.addendum_coeff[gear] = *stored; break;
        case 1: trial.dedendum_coeff[gear] = *stored; break;
        case 2: trial.fillet_radius_coeff[gear] = *stored; break;
        default: trial.pressure_angle = *stored; break;
      }
      const std::string problem = rack_value_problem(trial, row, row == 3 ? 0 : gear);
      if (!problem.empty()) {
        warn_field(d_, edit, "Value is out of range", problem, " ");
      } else {
        *field = *stored;
        if (also) *also = *field;
      }
    }
    edit->setFocus(Qt::OtherFocusReason);
  }
  finish_field_exit(d_, [this] { Setrack_textboxes(); });
}

bool TStandardrackform::report(const RackFileResult& result) {
  if (result.ok()) return true;
  forms::services().message(this, QApplication::applicationDisplayName(), QString::fromStdString(result.problem),
                            forms::MessageIcon::Warning);
  return false;
}

void TStandardrackform::readrackdatafromfile() {
  Tooth_prop_ComboBox->clear();
  std::vector<std::string> names;
  report(read_rack_database(d_, names, {}, &listed_));
  for (const std::string& name : names) Tooth_prop_ComboBox->addItem(QString::fromUtf8(name));
  Tooth_prop_ComboBox->setCurrentIndex(d_.list_counter - 1);
}

void TStandardrackform::readrackdatafromfilepartial() { report(read_rack_database_up_to(d_)); }

const ListedRack* TStandardrackform::listed_at(int position) const {
  return position >= 0 && std::size_t(position) < listed_.size() ? &listed_[std::size_t(position)] : nullptr;
}

void TStandardrackform::Tooth_prop_ComboBoxChange() {
  d_.rack_selected = Tooth_prop_ComboBox->currentIndex();
  // The rack chosen is the one the list shows at that position, or none when another copy of the program
  // has changed the database since: the list is then read again.
  const RackFileResult chosen = read_rack_database_up_to(d_, {}, listed_at(d_.rack_selected));
  report(chosen);
  if (chosen.changed) readrackdatafromfile();
  Setrack_textboxes();
}

void TStandardrackform::Button2Click() {
  set_create_mode(true);
  copy_text(d_.file_line, new_rack_names_.next_name());
  enternameedit->setText(QString::fromUtf8(d_.file_line));
}

void TStandardrackform::Button4Click() {
  // The whole name typed is judged: the name buffer keeps no more than one line of the database holds.
  const std::string typed = enternameedit->text().toStdString();
  RackFileResult name;
  name.problem = rack_name_problem(typed);
  if (!report(name)) return;  // nothing saved: the new rack stays on the screen
  copy_text(d_.file_line, typed);
  if (!report(append_rack(d_))) return;  // nothing saved: the new rack stays on the screen
  set_create_mode(false);
  readrackdatafromfile();
  d_.rack_selected = Tooth_prop_ComboBox->currentIndex();
  readrackdatafromfilepartial();
  Setrack_textboxes();
}

void TStandardrackform::Button3Click() {
  if (Tooth_prop_ComboBox->count() == 0) return;  // no racks: nothing to delete
  d_.rack_selected = Tooth_prop_ComboBox->currentIndex();
  const RackFileResult deleted = delete_rack(d_, {}, listed_at(d_.rack_selected));
  report(deleted);
  if (deleted.damaged_line) return;  // the database was left as it was
  if (deleted.changed) {  // nothing deleted: the list as the database is now
    readrackdatafromfile();
    Setrack_textboxes();
    return;
  }
  const int selected = d_.rack_selected;
  readrackdatafromfile();
  d_.rack_selected = selected;
  readrackdatafromfilepartial();
  Tooth_prop_ComboBox->setCurrentIndex(d_.rack_selected);
  Setrack_textboxes();
}

void TStandardrackform::Button5Click() { accept(); }

}  // namespace morvell
