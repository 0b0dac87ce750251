#include "load_case_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "modal_services.h"
#include "numeric.h"
#include "rating_form_support.h"
#include "window_scale.h"

namespace morvell {

Tloadcasemultipleform* loadcasemultipleform = nullptr;

namespace {

constexpr ld kOneSixtieth = 1.0L / 60.0L;
constexpr ld kPiAsWritten = 3.141592653589793;

ld l(float v) { return static_cast<ld>(v); }
float f(ld v) { return static_cast<float>(v); }

// The relations between the load quantities. A derivation that would divide by a zero speed, torque or
// number of teeth leaves its quantity as it was.
void power_from_speed_and_torque(DesignData& d) { d.power = f(kOneSixtieth * l(d.speed) * 2.0L * kPiAsWritten * l(d.torque)); }
void torque_from_power_and_speed(DesignData& d) {
  const ld w = kOneSixtieth * l(d.speed) * 2.0L * kPiAsWritten;
  if (w != 0) d.torque = f(l(d.power) / w);
}
void speed_from_power_and_torque(DesignData& d) {
  if (d.torque != 0) d.speed = f(l(d.power) / l(d.torque) * 9.549296585513721L);
}
void wheel_cycles(DesignData& d) {
  if (d.teeth[1] != 0) d.load_cycles_wheel = f(ld(d.teeth[0]) * l(d.load_cycles_pinion) / ld(d.teeth[1]));
}
void cycles_from_time(DesignData& d) {
  d.load_cycles_pinion = f(l(d.speed) * 60.0L * l(d.life_hours));
  wheel_cycles(d);
}
void time_from_cycles(DesignData& d) {
  if (d.speed != 0) d.life_hours = f(l(d.load_cycles_pinion) / l(d.speed) * kOneSixtieth);
}
// The wheel's share of a pinion value: z1 v / z2 (speed) or z2 v / z1 (torque).
ld wheel_speed(const DesignData& d, float n1) { return ld(d.teeth[0]) * l(n1) / ld(d.teeth[1]); }
ld wheel_torque(const DesignData& d, float t1) { return ld(d.teeth[1]) * l(t1) / ld(d.teeth[0]); }

QString case_name(DesignData& d, int number) {
  std::snprintf(d.line_text, sizeof d.line_text, "loadcase %d", number);
  return QString::fromLatin1(d.line_text);
}

}  // namespace

// Layout at 96 pixels per inch: three framed bands (case name; speed, torque and power; time and cycles)
// above a row of buttons.
Tloadcasemultipleform::Tloadcasemultipleform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("loadcasemultipleform");
  setWindowTitle("Gear Rating Loadcases");

  const auto frame = [this](int y, int h) {
    auto* b = new QFrame(this);
    b->setFrameShape(QFrame::Box);
    b->setFrameShadow(QFrame::Sunken);
    b->setGeometry(8, y, 456, h);
    return b;
  };
  const auto label = [this](const char* name, const char* text, int x, int y, int w) {
    QLabel* lab = add_label(this, text, x, y + 3, w);
    if (name) lab->setObjectName(name);
    return lab;
  };
  const auto edit = [this](const char* name, int x, int y) {
    return add_numeric_edit(d_, this, name, x, y, 90, 23, kRightAligned);
  };
  const auto box = [this](const char* name, int y) {
    auto* b = new QCheckBox(this);
    b->setObjectName(name);
    b->setGeometry(112, y + 3, 17, 17);
    return b;
  };
  constexpr int kPinX = 216, kWheelX = 314, kUnitX = 410, kCalcX = 132;

  frame(8, 44);
  frame(60, 126);
  frame(194, 118);
  label(nullptr, "Load Condition Name ", 16, 18, 134);
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->setGeometry(150, 18, 180, 23);
  ComboBox2->addItem("Gear load case");

  label(nullptr, "PINION ", kPinX + 20, 66, 70);
  label(nullptr, "WHEEL ", kWheelX + 20, 66, 70);
  int y = 90;
  label(nullptr, "Speed ", 16, y, 90);
  speedcheckbox = box("speedcheckbox", y);
  speedcalclabel = label("speedcalclabel", "(Calculate) ", kCalcX, y, 80);
  speedpinedit = edit("speedpinedit", kPinX, y);
  speedwheeledit = edit("speedwheeledit", kWheelX, y);
  speedlabel = label("speedlabel", "rpm ", kUnitX, y, 50);
  y += 30;
  label(nullptr, "Torque ", 16, y, 90);
  torquecheckbox = box("torquecheckbox", y);
  torquecalclabel = label("torquecalclabel", "(Calculate) ", kCalcX, y, 80);
  torquepinedit = edit("torquepinedit", kPinX, y);
  torquewheeledit = edit("torquewheeledit", kWheelX, y);
  torquelabel = label("torquelabel", "Nm", kUnitX, y, 50);
  y += 30;
  label(nullptr, "Power ", 16, y, 90);
  powercheckbox = box("powercheckbox", y);
  powercalclabel = label("powercalclabel", "(Calculate) ", kCalcX, y, 80);
  poweredit = edit("poweredit", kPinX, y);
  powerlabel = label("powerlabel", "W", kUnitX, y, 50);

  y = 204;
  label(nullptr, "Time ", 16, y, 90);
  timecheckbox = box("timecheckbox", y);
  timecalclabel = label("timecalclabel", "(Calculate) ", kCalcX, y, 80);
  timeedit = edit("timeedit", kPinX, y);
  label(nullptr, "hrs", kUnitX, y, 50);
  y += 30;
  label(nullptr, "Cycles ", 16, y, 90);
  Cyclescheckbox = box("Cyclescheckbox", y);
  cyclescalclabel = label("cyclescalclabel", "(Calculate) ", kCalcX, y, 80);
  cyclespinedit = edit("cyclespinedit", kPinX, y);
  cycleswheeledit = edit("cycleswheeledit", kWheelX, y);
  y += 34;
  label(nullptr, "Load Data Fixed For ", 16, y, 130);
  loaddatafixedforedit = new QLineEdit(this);
  loaddatafixedforedit->setObjectName("loaddatafixedforedit");
  loaddatafixedforedit->setGeometry(kPinX, y, 90, 23);
  loaddatafixedforedit->setFrame(false);
  {  // a display on the window's own background
    QPalette palette = loaddatafixedforedit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    loaddatafixedforedit->setPalette(palette);
  }
  loaddatafixedforedit->setReadOnly(true);
  loaddatafixedforedit->setFocusPolicy(Qt::NoFocus);

  Button2 = new QPushButton("Create new", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(40, 324, 100, 27);
  Button3 = new QPushButton("Delete", this);
  Button3->setObjectName("Button3");
  Button3->setGeometry(186, 324, 100, 27);
  Button5 = new QPushButton("OK", this);
  Button5->setObjectName("Button5");
  Button5->setGeometry(332, 324, 100, 27);
  Button5->setDefault(true);
  setFixedSize(472, 362);

  // Power and time are the derived quantities until the user chooses otherwise.
  powercheckbox->setChecked(true);
  timecheckbox->setChecked(true);
  set_locked(speedpinedit, false);
  set_locked(speedwheeledit, false);
  set_locked(torquepinedit, false);
  set_locked(torquewheeledit, false);
  set_locked(poweredit, true);
  set_locked(timeedit, true);
  set_locked(cyclespinedit, false);
  set_locked(cycleswheeledit, false);
  speedcalclabel->hide();
  torquecalclabel->hide();
  cyclescalclabel->hide();

  forms::on_choice(ComboBox2, [this] { ComboBox2Change(); });
  forms::on_click(Button2, [this] { Button2Click(); });
  forms::on_click(Button3, [this] { Button3Click(); });
  forms::on_click(Button5, [this] { Button5Click(); });
  forms::on_exit(speedpinedit, [this] { speedpineditExit(); });
  forms::on_exit(speedwheeledit, [this] { speedwheeleditExit(); });
  forms::on_exit(torquepinedit, [this] { torquepineditExit(); });
  forms::on_exit(torquewheeledit, [this] { torquewheeleditExit(); });
  forms::on_exit(poweredit, [this] { powereditExit(); });
  forms::on_exit(timeedit, [this] { timeeditExit(); });
  forms::on_exit(cyclespinedit, [this] { cyclespineditExit(); });
  forms::on_exit(cycleswheeledit, [this] { cycleswheeleditExit(); });
  bind_load_calculate_boxes(*this);

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tloadcasemultipleform::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void Tloadcasemultipleform::done(int result) {
  if (isVisible() && focusWidget() != Button5) Button5->setFocus(Qt::OtherFocusReason);
  QDialog::done(result);
}

void Tloadcasemultipleform::FormShow() {
  keep_load_case_count_valid(d_);
  ComboBox2->clear();
  for (int i = 1; i <= d_.load_case_count; ++i) ComboBox2->addItem(case_name(d_, i));
  // Every show starts on the first case, whatever case was current.
  ComboBox2->setCurrentIndex(0);
  load_case_into_inputs(d_, 0);
  const bool english = d_.unit_system == 2;
  torquelabel->setText(english ? "lbf.ft" : "Nm");
  powerlabel->setText(english ? "hp" : "W");
  Setloadcasestextboxes();
  Button5->setFocus(Qt::OtherFocusReason);
}

void Tloadcasemultipleform::Setloadcasestextboxes() {
  d_.current_load_case = ComboBox2->currentIndex();
  if (d_.current_load_case >= 0 && d_.current_load_case < kLoadCaseTableSize)
    store_inputs_into_case(d_, d_.current_load_case);

  const auto show = [this](QLineEdit* e, float shown, bool cycles) {
    std::string text = format_value(d_, shown);
    // A small negative value (a misalignment or a torque that is zero but for rounding) shows as zero,
    // not as "-0.000".
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
      text.erase(0, 1);
    e->setText(QString::fromStdString(text));
    e->setToolTip(cycles ? cycles_hint(shown) : value_hint(shown));
  };
  show(speedpinedit, d_.speed, false);
  show(speedwheeledit, f(wheel_speed(d_, d_.speed)), false);
  const float torque_shown = f(l(d_.torque) / l(d_.torque_unit_factor));
  show(torquepinedit, torque_shown, false);
  show(torquewheeledit, f(wheel_torque(d_, torque_shown)), false);
  show(poweredit, f(l(d_.power) / l(d_.power_unit_factor)), false);
  show(timeedit, d_.life_hours, false);
  show(cyclespinedit, d_.load_cycles_pinion, true);
  show(cycleswheeledit, d_.load_cycles_wheel, true);
  loaddatafixedforedit->setText(d_.load_data_fixed_for == 2 ? "Wheel" : "Pinion");
}

void Tloadcasemultipleform::show_selected_case(int slot) {
  load_case_into_inputs(d_, slot);
  Setloadcasestextboxes();
}

void Tloadcasemultipleform::ComboBox2Change() {
  const int k = ComboBox2->currentIndex();
  if (k < 0 || k >= d_.load_case_count) return;
  d_.current_load_case = k;
  show_selected_case(k);
}

void Tloadcasemultipleform::Button2Click() {
  if (d_.load_case_count >= kLoadCasesUsable) {
    warn(d_, "Maximum number of loadcases is 9", " ", " ");
    Button5->setFocus(Qt::OtherFocusReason);
    return;
  }
  ++d_.load_case_count;
  ComboBox2->addItem(case_name(d_, d_.load_case_count));
  d_.current_load_case = d_.load_case_count - 1;
  ComboBox2->setCurrentIndex(d_.current_load_case);
  store_inputs_into_case(d_, d_.current_load_case);
  cycles_from_time(d_);
  power_from_speed_and_torque(d_);
}

void Tloadcasemultipleform::Button3Click() {
  if (d_.load_case_count < 2) {
    warn(d_, "Rating input data must contain at least 1 loadcase", " ", " ");
    Button5->setFocus(Qt::OtherFocusReason);
    return;
  }
  d_.list_counter = ComboBox2->currentIndex();
  if (d_.list_counter < 0) d_.list_counter = 0;
  const int k = d_.list_counter;
  ComboBox2->clear();
  for (int i = 0; i < k; ++i) ComboBox2->addItem(case_name(d_, i + 1));
  for (int i = k; i <= d_.load_case_count - 2; ++i) {
    ComboBox2->addItem(case_name(d_, i + 1));
    d_.load_case_table[i] = d_.load_case_table[i + 1];
    d_.load_case_fixed_for[i] = d_.load_case_fixed_for[i + 1];
  }
  const int selected = k > 0 ? k - 1 : 0;
  ComboBox2->setCurrentIndex(selected);
  load_case_into_inputs(d_, selected);
  --d_.load_case_count;
  Setloadcasestextboxes();
}

void Tloadcasemultipleform::Button5Click() { accept(); }

// --- Fields ---
// An entry beyond the float range ("1e39", "inf", "nan"), or one that derives a quantity beyond it, is
// refused and changes nothing.

void Tloadcasemultipleform::time_or_cycles_from_speed() {
  if (Cyclescheckbox->isChecked()) cycles_from_time(d_);
  else time_from_cycles(d_);
}

void Tloadcasemultipleform::speed_changed() {
  if (torquecheckbox->isChecked()) torque_from_power_and_speed(d_);
  if (powercheckbox->isChecked()) power_from_speed_and_torque(d_);
  time_or_cycles_from_speed();
}

void Tloadcasemultipleform::speedpineditExit() {
  const FieldValue v = read_field(d_, speedpinedit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, speedpinedit, ld(v.value)) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.speed = *entry;
    speed_changed();
    d_.load_data_fixed_for = 1;
  }
  refuse_load_overflow(d_, speedpinedit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::speedwheeleditExit() {
  const FieldValue v = read_field(d_, speedwheeledit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, speedwheeledit, ld(v.value)) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    if (d_.teeth[0] != 0) d_.speed = f(ld(d_.teeth[1]) * l(*entry) / ld(d_.teeth[0]));
    speed_changed();
    d_.load_data_fixed_for = 2;
  }
  refuse_load_overflow(d_, speedwheeledit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::torquepineditExit() {
  const FieldValue v = read_field(d_, torquepinedit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, torquepinedit, ld(v.value) * d_.torque_unit_factor) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.torque = *entry;
    if (speedcheckbox->isChecked()) {
      speed_from_power_and_torque(d_);
      time_or_cycles_from_speed();
    }
    if (powercheckbox->isChecked()) power_from_speed_and_torque(d_);
    d_.load_data_fixed_for = 1;
  }
  refuse_load_overflow(d_, torquepinedit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::torquewheeleditExit() {
  const FieldValue v = read_field(d_, torquewheeledit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, torquewheeledit, ld(v.value) * d_.torque_unit_factor) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    const float t2 = *entry;
    if (d_.teeth[1] != 0) d_.torque = f(ld(d_.teeth[0]) * l(t2) / ld(d_.teeth[1]));
    if (speedcheckbox->isChecked()) {
      speed_from_power_and_torque(d_);
      time_or_cycles_from_speed();
    }
    if (powercheckbox->isChecked()) power_from_speed_and_torque(d_);
    d_.load_data_fixed_for = 2;
  }
  refuse_load_overflow(d_, torquewheeledit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::powereditExit() {
  const FieldValue v = read_field(d_, poweredit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, poweredit, ld(v.value) * d_.power_unit_factor) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.power = *entry;
    if (speedcheckbox->isChecked()) {
      speed_from_power_and_torque(d_);
      time_or_cycles_from_speed();
    }
    if (torquecheckbox->isChecked()) torque_from_power_and_speed(d_);
  }
  refuse_load_overflow(d_, poweredit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::timeeditExit() {
  const FieldValue v = read_field(d_, timeedit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, timeedit, ld(v.value)) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.life_hours = *entry;
    cycles_from_time(d_);
  }
  refuse_load_overflow(d_, timeedit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::cyclespineditExit() {
  const FieldValue v = read_field(d_, cyclespinedit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, cyclespinedit, ld(v.value)) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.load_cycles_pinion = *entry;
    wheel_cycles(d_);
    time_from_cycles(d_);
    d_.load_data_fixed_for = 1;
  }
  refuse_load_overflow(d_, cyclespinedit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void Tloadcasemultipleform::cycleswheeleditExit() {
  const FieldValue v = read_field(d_, cycleswheeledit);
  const std::optional<float> entry = v.changed ? finite_entry(d_, cycleswheeledit, ld(v.value)) : std::nullopt;
  const LoadQuantities before = LoadQuantities::of(d_);
  if (entry) {
    d_.load_cycles_wheel = *entry;
    if (d_.teeth[0] != 0)
      d_.load_cycles_pinion = f(ld(d_.teeth[1]) * l(d_.load_cycles_wheel) / ld(d_.teeth[0]));
    time_from_cycles(d_);
    d_.load_data_fixed_for = 2;
  }
  refuse_load_overflow(d_, cycleswheeledit, before);
  finish_field_exit(d_, [this] { Setloadcasestextboxes(); });
}

void show_load_case_dialog(DesignData& d, QWidget* parent) {
  if (loadcasemultipleform) {
    forms::services().show_modal(*loadcasemultipleform);
    return;
  }
  Tloadcasemultipleform dialog(d, parent);
  forms::services().show_modal(dialog);
}

}  // namespace morvell
