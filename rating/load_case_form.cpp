#include "load_case_form.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <cstdio>
#include <string>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "load_relations.h"
#include "modal_services.h"
#include "results_pane.h"
#include "rating_form_support.h"
#include "window_scale.h"

namespace morvell {

Tloadcasemultipleform* loadcasemultipleform = nullptr;

namespace {

QString case_name(DesignData& d, int number) {
  std::snprintf(d.line_text, sizeof d.line_text, "loadcase %d", number);
  return QString::fromLatin1(d.line_text);
}

}  // namespace

// Layout at 96 pixels per inch: three framed bands (case name; speed, torque and power; time and cycles)
// above a row of buttons.
Tloadcasemultipleform::Tloadcasemultipleform(DesignData& d, QWidget* parent)
    : QDialog(parent), LoadBlock(d, {LoadArithmetic::load_case, false}), d_(d) {
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
  build_load_block(this, {{90, 120, 150, 204, 234}, 16, 90, 112, kCalcX, 80, kPinX, kWheelX, 90, kUnitX, kUnitX,
                          "rpm "});
  const int y = 268;
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

  forms::on_choice(ComboBox2, [this] { ComboBox2Change(); });
  forms::on_click(Button2, [this] { Button2Click(); });
  forms::on_click(Button3, [this] { Button3Click(); });
  forms::on_click(Button5, [this] { Button5Click(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tloadcasemultipleform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
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
  show_load(show);
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
    warn(d_, format_line("Maximum number of loadcases is %d", kLoadCasesUsable), " ", " ");
    Button5->setFocus(Qt::OtherFocusReason);
    return;
  }
  ++d_.load_case_count;
  ComboBox2->addItem(case_name(d_, d_.load_case_count));
  d_.current_load_case = d_.load_case_count - 1;
  ComboBox2->setCurrentIndex(d_.current_load_case);
  store_inputs_into_case(d_, d_.current_load_case);
  derive_cycles_and_power();
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

void show_load_case_dialog(DesignData& d, QWidget* parent) {
  if (loadcasemultipleform) {
    forms::services().show_modal(*loadcasemultipleform);
    return;
  }
  Tloadcasemultipleform dialog(d, parent);
  forms::services().show_modal(dialog);
}

}  // namespace morvell
