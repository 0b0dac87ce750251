#include "iso_rating_input_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <cstdio>

#include "caption_fit.h"
#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "hardness.h"
#include "input_limits.h"
#include "load_case_form.h"
#include "material_table.h"
#include "modal_services.h"
#include "numeric.h"
#include "rating_form_support.h"
#include "results_pane.h"
#include "scaling.h"
#include "sn_curve_data_form.h"
#include "tolerances.h"
#include "window_scale.h"

namespace morvell {

TISO_rating_input_form* ISO_rating_input_form = nullptr;

namespace {

// Application factor K_A by driving (row) and driven (column) machine characteristic.
constexpr float kApplicationFactors[4][4] = {{1.00f, 1.25f, 1.50f, 1.75f},
                                             {1.10f, 1.35f, 1.60f, 1.85f},
                                             {1.25f, 1.50f, 1.75f, 2.00f},
                                             {1.50f, 1.75f, 2.00f, 2.25f}};

constexpr const char* kMachineCharacteristics[] = {"Uniform", "Light Shocks", "Moderate Shocks", "Heavy Shocks"};

QString printed(const char* format, double value) {
  char text[400];
  std::snprintf(text, sizeof text, format, value);
  return QString::fromLatin1(text);
}

// Layout columns (96 pixels per inch): the gear inputs on the left, the load on the right.
constexpr int kCaptionX = 8, kPinX = 263, kWheelX = 361, kUnitX = 449, kEditW = 82;
constexpr int kLoadCaptionX = 504, kCalcBoxX = 600, kCalcLabelX = 618, kLoadPinX = 700, kLoadWheelX = 790,
              kLoadUnitX = 878;
constexpr int kRowStep = 26, kTop = 30;
int row_y(int row) { return kTop + row * kRowStep; }

}  // namespace

// --- Layout ---

TISO_rating_input_form::TISO_rating_input_form(DesignData& d, QWidget* parent)
    : QDialog(parent), LoadBlock(d, {LoadArithmetic::rating_input, true}), d_(d) {
  setObjectName("ISO_rating_input_form");
  setWindowTitle("Gear Rating Inputs");

  const auto label = [this](const char* name, const char* text, int x, int row, int w, const char* hint = nullptr) {
    QLabel* lab = add_label(this, text, x, row_y(row) + 3, w);
    if (name) lab->setObjectName(name);
    if (hint) lab->setToolTip(hint);
    return lab;
  };
  const auto edit = [this](const char* name, int x, int row) {
    return add_numeric_edit(d_, this, name, x, row_y(row), kEditW, 23, kRightAligned);
  };
  const auto box = [this](const char* name, int x, int row, const char* text = "", int w = 17) {
    auto* b = new QCheckBox(text, this);
    b->setObjectName(name);
    b->setGeometry(x, row_y(row) + 3, w, 17);
    return b;
  };
  const auto list = [this](const char* name, int x, int row, int w, std::initializer_list<const char*> items) {
    auto* c = new QComboBox(this);
    c->setObjectName(name);
    c->setGeometry(x, row_y(row), w, 23);
    for (const char* item : items) c->addItem(item);
    return c;
  };

  label(nullptr, "PINION ", kPinX + 14, -1, 70);
  label(nullptr, "WHEEL ", kWheelX + 14, -1, 70);
  label(nullptr, "Material Type ", kCaptionX, 0, 250, "Type of material and heat treatment");
  materialtypepin = new DropDownComboBox(this);
  materialtypepin->setObjectName("materialtypepin");
  materialtypepin->setGeometry(kPinX, row_y(0), kEditW, 23);
  fill_material_list(materialtypepin);
  materialtypewheel = new QComboBox(this);
  materialtypewheel->setObjectName("materialtypewheel");
  materialtypewheel->setGeometry(kWheelX, row_y(0), kEditW, 23);
  fill_material_list(materialtypewheel);
  // Both lists are narrower than their choices: they widen as they are used, and the hint names the choice.
  forms::mark_narrow_list(materialtypepin);
  forms::mark_narrow_list(materialtypewheel);

  label(nullptr, "Bending Stress Number ", kCaptionX, 1, 250, "Enter SigmaFlim value from ISO 6336 part 5");
  sigmaflimpinedit = edit("sigmaflimpinedit", kPinX, 1);
  sigmaflimwheeledit = edit("sigmaflimwheeledit", kWheelX, 1);
  bendingstresslabel = label("bendingstresslabel", "MPa", kUnitX, 1, 50);
  label(nullptr, "Contact Stress Number ", kCaptionX, 2, 250, "Enter SigmaHlim value from ISO 6336 part 5");
  sigmahlimpinedit = edit("sigmahlimpinedit", kPinX, 2);
  sigmahlimwheeledit = edit("sigmahlimwheeledit", kWheelX, 2);
  contactstresslabel = label("contactstresslabel", "MPa", kUnitX, 2, 50);
  label(nullptr, "Allow Limited Flank Pitting ", kCaptionX, 3, 250,
        "Limited flank pitting modifies SN curve for contact stress");
  limitedpittingbox = box("limitedpittingbox", kPinX, 3);
  limitedpittingboxwheel = box("limitedpittingboxwheel", kWheelX, 3);
  label(nullptr, "Estimate S-N Curve Data ", kCaptionX, 4, 250,
        "SN curve will be estimated from Bending and contact stress numbers");
  SNentercheckbox = box("SNentercheckbox", kPinX, 4);
  SNenterwheelcheckbox = box("SNenterwheelcheckbox", kWheelX, 4);
  label(nullptr, "Estimate Stress Numbers  ", kCaptionX, 5, 250,
        "Bending and contact stress numbers will be estimated from material type.");
  stressnumberpincheck = box("stressnumberpincheck", kPinX, 5);
  EditSNdatabutton = new QPushButton("Edit S-N Curve Data", this);
  EditSNdatabutton->setObjectName("EditSNdatabutton");
  EditSNdatabutton->setGeometry(kPinX + 30, row_y(5) - 1, 150, 25);
  EditSNdatabutton->setToolTip("Specify details of SN curve ");

  label(nullptr, "Poissons Ratio ", kCaptionX, 6, 250);
  poisson1edit = edit("poisson1edit", kPinX, 6);
  poisson2edit = edit("poisson2edit", kWheelX, 6);
  label(nullptr, "Elastic Modulus ", kCaptionX, 7, 250);
  E1edit = edit("E1edit", kPinX, 7);
  E2edit = edit("E2edit", kWheelX, 7);
  moduluslabel = label("moduluslabel", "MPa", kUnitX, 7, 50);
  label(nullptr, "Yield Stress ", kCaptionX, 8, 250);
  sigmab1edit = edit("sigmab1edit", kPinX, 8);
  sigmab2edit = edit("sigmab2edit", kWheelX, 8);
  yieldlabel = label("yieldlabel", "MPa", kUnitX, 8, 50);
  label(nullptr, "Tensile Stress ", kCaptionX, 9, 250);
  sigmas1edit = edit("sigmas1edit", kPinX, 9);
  sigmas2edit = edit("sigmas2edit", kWheelX, 9);
  tensilelabel = label("tensilelabel", "MPa", kUnitX, 9, 50);
  ComboBoxhardness =
      list("ComboBoxhardness", kCaptionX, 10, 160, {"Hardness (HRC)", "Hardness (BHN)", "Hardness (HV)"});
  ComboBoxhardness->setToolTip("Approximate hardness conversion (HRC  - HV - HB)");
  HR1edit = edit("HR1edit", kPinX, 10);
  HR2edit = edit("HR2edit", kWheelX, 10);
  label(nullptr, "ISO Quality Grade ", kCaptionX, 11, 250);
  ISOgradepinedit = edit("ISOgradepinedit", kPinX, 11);
  ISOgradewheeledit = edit("ISOgradewheeledit", kWheelX, 11);
  label(nullptr, "Base Pitch Error ", kCaptionX, 12, 120, "Single pitch deviation to be used in rating");
  pticherrorfromgradecheckbox = box("pticherrorfromgradecheckbox", 140, 12, "(From Quality) ", kPinX - 3 - 140);
  pitcherrorpinedit = edit("pitcherrorpinedit", kPinX, 12);
  pitcherrorwheeledit = edit("pitcherrorwheeledit", kWheelX, 12);
  pitchlabel = label("pitchlabel", "um", kUnitX, 12, 50);
  RaComboBox = list("RaComboBox", kCaptionX, 13, 200, {"Surface Roughness (Ra)", "Surface Roughness (Rz)"});
  roughnesspinedit = edit("roughnesspinedit", kPinX, 13);
  roughnesswheeledit = edit("roughnesswheeledit", kWheelX, 13);
  roughnesslabel = label("roughnesslabel", "um", kUnitX, 13, 50);
  RafillComboBox = list("RafillComboBox", kCaptionX, 14, 200, {"Fillet Roughness (Ra)", "Fillet Roughness (Rz)"});
  roughnessfilpinedit = edit("roughnessfilpinedit", kPinX, 14);
  roughnessfilwheeledit = edit("roughnessfilwheeledit", kWheelX, 14);
  filroughnesslabel = label("filroughnesslabel", "um", kUnitX, 14, 50);
  label(nullptr, "Lubricant viscosity V40 ", kCaptionX, 15, 250);
  viscosityedit = edit("viscosityedit", kPinX, 15);
  viscositylabel = label("viscositylabel", " mm  /s", kUnitX - 90, 15, 60);
  viscositylabel->setGeometry(kWheelX, row_y(15) + 3, 60, 17);
  viscositylabel2 = new QLabel("2", this);
  viscositylabel2->setObjectName("viscositylabel2");
  viscositylabel2->setGeometry(kWheelX + 24, row_y(15) - 1, 8, 12);
  QFont small = viscositylabel2->font();
  small.setPointSizeF(small.pointSizeF() * 0.7);
  viscositylabel2->setFont(small);

  // The load of the load case chosen.
  label(nullptr, "PINION ", kLoadPinX + 14, -1, 70);
  label(nullptr, "WHEEL ", kLoadWheelX + 14, -1, 70);
  label(nullptr, "Load Cases ", kLoadCaptionX, 0, 90);
  ComboBox2 = list("ComboBox2", kLoadPinX - 80, 0, 150, {"Gear load case"});
  Button1 = new QPushButton("Modify", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(kLoadWheelX, row_y(0) - 1, 82, 25);
  build_load_block(this, {{row_y(2), row_y(3), row_y(4), row_y(5), row_y(6)},
                          kLoadCaptionX, 85, kCalcBoxX, kCalcLabelX, 78, kLoadPinX, kLoadWheelX, kEditW,
                          kLoadUnitX, kLoadWheelX, "rpm"});
  label(nullptr, "Load Data Fixed For  ", kLoadCaptionX, 7, 150);
  loaddatafixedforedit = new QLineEdit(this);
  loaddatafixedforedit->setObjectName("loaddatafixedforedit");
  loaddatafixedforedit->setGeometry(kLoadPinX, row_y(7), kEditW, 23);
  loaddatafixedforedit->setFrame(false);
  {  // a display on the window's own background
    QPalette palette = loaddatafixedforedit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    loaddatafixedforedit->setPalette(palette);
  }
  loaddatafixedforedit->setMaxLength(12);
  label(nullptr, "Misalignment (FBetaX) ", kLoadCaptionX, 8, 180);
  FbetaXedit = edit("FbetaXedit", kLoadPinX, 8);
  misallabel = label("misallabel", "um", kLoadWheelX, 8, 50);
  label(nullptr, "Driving Machine Characteristic ", kLoadCaptionX, 10, kLoadPinX - 2 - kLoadCaptionX);
  drivingcombo = list("drivingcombo", kLoadPinX, 10, 172,
                      {kMachineCharacteristics[0], kMachineCharacteristics[1], kMachineCharacteristics[2],
                       kMachineCharacteristics[3]});
  label(nullptr, "Driven Machine Characteristic ", kLoadCaptionX, 11, kLoadPinX - 2 - kLoadCaptionX);
  drivencombo = list("drivencombo", kLoadPinX, 11, 172,
                     {kMachineCharacteristics[0], kMachineCharacteristics[1], kMachineCharacteristics[2],
                      kMachineCharacteristics[3]});
  label(nullptr, "Application Factor ", kLoadCaptionX, 12, 120);
  appfactorcheckbox = box("appfactorcheckbox", kCalcBoxX + 18, 12, "(Input) ", kLoadPinX - 2 - (kCalcBoxX + 18));
  appfactorcheckbox->setGeometry(kCalcBoxX + 24, row_y(12) + 3, 74, 17);
  applicationfactoredit = edit("applicationfactoredit", kLoadPinX, 12);

  OKbutton = new QPushButton("OK", this);
  OKbutton->setObjectName("OKbutton");
  OKbutton->setGeometry(kLoadPinX, row_y(14), 100, 27);
  OKbutton->setDefault(true);
  setFixedSize(948, row_y(16) + 8);

  // Initial states: K_A typed in, the base pitch errors from the grades.
  appfactorcheckbox->setChecked(true);
  drivingcombo->setEnabled(false);
  drivencombo->setEnabled(false);
  pticherrorfromgradecheckbox->setChecked(true);
  stressnumberpincheck->setChecked(false);

  const auto exit = [this](QLineEdit* e, void (TISO_rating_input_form::*handler)()) {
    forms::on_exit(e, [this, handler] { (this->*handler)(); });
  };
  exit(sigmaflimpinedit, &TISO_rating_input_form::sigmaflimpineditExit);
  exit(sigmaflimwheeledit, &TISO_rating_input_form::sigmaflimwheeleditExit);
  exit(sigmahlimpinedit, &TISO_rating_input_form::sigmahlimpineditExit);
  exit(sigmahlimwheeledit, &TISO_rating_input_form::sigmahlimwheeleditExit);
  exit(poisson1edit, &TISO_rating_input_form::poisson1editExit);
  exit(poisson2edit, &TISO_rating_input_form::poisson2editExit);
  exit(E1edit, &TISO_rating_input_form::E1editExit);
  exit(E2edit, &TISO_rating_input_form::E2editExit);
  exit(sigmab1edit, &TISO_rating_input_form::sigmab1editExit);
  exit(sigmab2edit, &TISO_rating_input_form::sigmab2editExit);
  exit(sigmas1edit, &TISO_rating_input_form::sigmas1editExit);
  exit(sigmas2edit, &TISO_rating_input_form::sigmas2editExit);
  exit(HR1edit, &TISO_rating_input_form::HR1editExit);
  exit(HR2edit, &TISO_rating_input_form::HR2editExit);
  exit(ISOgradepinedit, &TISO_rating_input_form::ISOgradepineditExit);
  exit(ISOgradewheeledit, &TISO_rating_input_form::ISOgradewheeleditExit);
  exit(pitcherrorpinedit, &TISO_rating_input_form::pitcherrorpineditExit);
  exit(pitcherrorwheeledit, &TISO_rating_input_form::pitcherrorwheeleditExit);
  exit(roughnesspinedit, &TISO_rating_input_form::roughnesspineditExit);
  exit(roughnesswheeledit, &TISO_rating_input_form::roughnesswheeleditExit);
  exit(roughnessfilpinedit, &TISO_rating_input_form::roughnessfilpineditExit);
  exit(roughnessfilwheeledit, &TISO_rating_input_form::roughnessfilwheeleditExit);
  exit(viscosityedit, &TISO_rating_input_form::viscosityeditExit);
  exit(FbetaXedit, &TISO_rating_input_form::FbetaXeditExit);
  exit(applicationfactoredit, &TISO_rating_input_form::applicationfactoreditExit);
  // The "Load Data Fixed For" box runs the handlers of the Poisson's ratio of the pinion: typing into it
  // changes nothing, and the next refresh writes it again.
  forms::on_enter(loaddatafixedforedit, [this] { field_enter(d_, poisson1edit); });
  forms::on_change(loaddatafixedforedit, [this] { field_change(d_, poisson1edit); });
  exit(loaddatafixedforedit, &TISO_rating_input_form::poisson1editExit);

  forms::on_click(appfactorcheckbox, [this] { appfactorcheckboxClick(); });
  forms::on_choice(drivingcombo, [this] { drivingcomboChange(); });
  forms::on_choice(drivencombo, [this] { drivencomboChange(); });
  forms::on_choice(materialtypepin, [this] { materialtypepinChange(); });
  forms::on_choice(materialtypewheel, [this] { materialtypewheelChange(); });
  materialtypepin->on_drop_down = [this] { materialtypepinDropDown(); };
  forms::on_exit(materialtypepin, [this] { materialtypepinExit(); });
  forms::on_enter(materialtypewheel, [this] { materialtypewheelEnter(); });
  forms::on_exit(materialtypewheel, [this] { materialtypewheelExit(); });
  forms::on_click(stressnumberpincheck, [this] { stressnumberpincheckClick(); });
  forms::on_click(SNentercheckbox, [this] { SNentercheckboxClick(); });
  forms::on_click(SNenterwheelcheckbox, [this] { SNenterwheelcheckboxClick(); });
  forms::on_click(limitedpittingbox, [this] { limitedpittingboxClick(); });
  forms::on_click(limitedpittingboxwheel, [this] { limitedpittingboxwheelClick(); });
  forms::on_click(EditSNdatabutton, [this] { EditSNdatabuttonClick(); });
  forms::on_click(pticherrorfromgradecheckbox, [this] { pticherrorfromgradecheckboxClick(); });
  forms::on_choice(ComboBoxhardness, [this] { ComboBoxhardnessChange(); });
  forms::on_choice(RaComboBox, [this] { RaComboBoxChange(); });
  forms::on_choice(RafillComboBox, [this] { RafillComboBoxChange(); });
  forms::on_choice(ComboBox2, [this] { ComboBox2Change(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
  FormCreate();
}

// --- Creation, showing, closing ---

void TISO_rating_input_form::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void TISO_rating_input_form::mousePressEvent(QMouseEvent* event) {
  FormClick();
  QDialog::mousePressEvent(event);
}

void TISO_rating_input_form::done(int result) {
  if (isVisible() && focusWidget() != OKbutton) OKbutton->setFocus(Qt::OtherFocusReason);
  QDialog::done(result);
}

void TISO_rating_input_form::FormClick() { OKbutton->setFocus(Qt::OtherFocusReason); }

void TISO_rating_input_form::OKbuttonClick() { accept(); }

void TISO_rating_input_form::FormCreate() {
  drivingcombo->setCurrentIndex(0);
  drivencombo->setCurrentIndex(0);
  RaComboBox->setCurrentIndex(0);
  RafillComboBox->setCurrentIndex(0);
  materialtypepin->setCurrentIndex(d_.material_type[0]);
  materialtypewheel->setCurrentIndex(d_.material_type[1]);
  ComboBoxhardness->setCurrentIndex(d_.hardness_scale);
  if (d_.pitch_error_from_grade == 1) {
    pitch_error_from_grade(0);
    pitch_error_from_grade(1);
  }
  refresh();
}

void TISO_rating_input_form::fill_load_case_list() {
  keep_load_case_count_valid(d_);
  ComboBox2->clear();
  for (int i = 1; i <= d_.load_case_count; ++i) {
    std::snprintf(d_.line_text, sizeof d_.line_text, "loadcase %d", i);
    ComboBox2->addItem(QString::fromLatin1(d_.line_text));
  }
}

// The first case into the current inputs, with its load cycles and power.
void TISO_rating_input_form::load_first_case() {
  ComboBox2->setCurrentIndex(0);
  load_case_into_inputs(d_, 0);
}

void TISO_rating_input_form::set_estimation_controls(bool estimating) {
  for (QWidget* w : std::initializer_list<QWidget*>{SNentercheckbox, SNenterwheelcheckbox, sigmaflimpinedit,
                                                    sigmaflimwheeledit, sigmahlimpinedit, sigmahlimwheeledit,
                                                    EditSNdatabutton})
    w->setEnabled(!estimating);
}

void TISO_rating_input_form::FormShow() {
  OKbutton->setFocus(Qt::OtherFocusReason);
  materialtypepin->setCurrentIndex(d_.material_type[0]);
  materialtypewheel->setCurrentIndex(d_.material_type[1]);
  ComboBoxhardness->setCurrentIndex(d_.hardness_scale);
  if (d_.pitch_error_from_grade == 1) {
    pitch_error_from_grade(0);
    pitch_error_from_grade(1);
    pticherrorfromgradecheckbox->setChecked(true);
  } else {
    pticherrorfromgradecheckbox->setChecked(false);
  }
  // The window always opens on load case 1, whatever case the main window has current.
  fill_load_case_list();
  load_first_case();

  const bool english = d_.unit_system == 2;
  for (QLabel* stress : {bendingstresslabel, contactstresslabel, moduluslabel, yieldlabel, tensilelabel})
    stress->setText(english ? "psi" : "MPa");
  for (QLabel* length : {pitchlabel, roughnesslabel, filroughnesslabel, misallabel})
    length->setText(english ? "thou" : "um");
  viscositylabel->setText(english ? " cSt" : " mm  /s");
  viscositylabel2->setVisible(!english);
  torquelabel->setText(english ? "lbf.ft" : "Nm");
  powerlabel->setText(english ? "hp" : "W");

  if (stressnumberpincheck->isChecked()) {
    material_properties(d_, 0);
    material_properties(d_, 1);
    d_.sn_estimate[0] = 1;
    d_.sn_estimate[1] = 1;
    SNentercheckbox->setChecked(true);
    SNenterwheelcheckbox->setChecked(true);
    // The curves follow the stress numbers just taken, whether or not a box changed its state.
    updateSNcurves(d_);
    set_estimation_controls(true);
  } else {
    set_estimation_controls(false);
  }
  refresh();
}

// --- Refresh ---

void TISO_rating_input_form::Setrating_input_textboxes() {
  if (d_.application_factor_enabled == 1) {
    appfactorcheckbox->setChecked(true);
    drivingcombo->setEnabled(false);
    drivencombo->setEnabled(false);
    applicationfactoredit->setEnabled(true);
  }
  materialtypepin->setCurrentIndex(d_.material_type[0]);
  materialtypewheel->setCurrentIndex(d_.material_type[1]);
  QCheckBox* pitting[2] = {limitedpittingbox, limitedpittingboxwheel};
  QCheckBox* estimate[2] = {SNentercheckbox, SNenterwheelcheckbox};
  for (int g = 0; g < 2; ++g) {
    if (!allows_limited_pitting(d_.material_type[g])) {
      pitting[g]->setChecked(false);
      pitting[g]->setEnabled(false);
      d_.limited_pitting[g] = 0;
    } else {
      pitting[g]->setEnabled(true);
    }
  }
  set_locked(pitcherrorpinedit, d_.pitch_error_from_grade == 1);
  set_locked(pitcherrorwheeledit, d_.pitch_error_from_grade == 1);
  for (int g = 0; g < 2; ++g) {
    if (d_.limited_pitting[g] == 0 || d_.limited_pitting[g] == 1) pitting[g]->setChecked(d_.limited_pitting[g] == 1);
    if (d_.sn_estimate[g] == 0 || d_.sn_estimate[g] == 1) estimate[g]->setChecked(d_.sn_estimate[g] == 1);
  }

  const auto show = [this](QLineEdit* e, ld shown) {
    const float v = to_float(shown);
    show_field(e, format_value(d_, v), v);
  };
  const auto show_cycles = [this](QLineEdit* e, float v) {
    e->setText(QString::fromStdString(format_value(d_, v)));
    e->setToolTip(cycles_hint(v));
  };
  const ld stress = ld(d_.stress_unit_factor);
  const ld length = ld(d_.length_unit_factor);
  show(sigmaflimpinedit, ld(d_.sigma_flim[0]) / stress);
  show(sigmaflimwheeledit, ld(d_.sigma_flim[1]) / stress);
  show(sigmahlimpinedit, ld(d_.sigma_hlim[0]) / stress);
  show(sigmahlimwheeledit, ld(d_.sigma_hlim[1]) / stress);
  show(poisson1edit, d_.poisson_ratio[0]);
  show(poisson2edit, d_.poisson_ratio[1]);
  show(E1edit, ld(d_.elastic_modulus[0]) / stress);
  show(E2edit, ld(d_.elastic_modulus[1]) / stress);
  show(sigmab1edit, ld(d_.yield_stress_pinion) / stress);
  show(sigmab2edit, ld(d_.yield_stress_wheel) / stress);
  show(sigmas1edit, ld(d_.tensile_stress_pinion) / stress);
  show(sigmas2edit, ld(d_.tensile_stress_wheel) / stress);
  show(HR1edit, d_.surface_hardness[0]);
  show(HR2edit, d_.surface_hardness[1]);
  QLineEdit* grades[2] = {ISOgradepinedit, ISOgradewheeledit};
  QLineEdit* pitch[2] = {pitcherrorpinedit, pitcherrorwheeledit};
  for (int g = 0; g < 2; ++g) {
    grades[g]->setText(printed("%10.0f", double(d_.iso_grade[g])));
    grades[g]->setToolTip(QString::number(d_.iso_grade[g]));
    // Base pitch errors: whole micrometres from 10 um on, one decimal below; thou with two decimals.
    const double shown = double(ld(d_.base_pitch_error[g]) / length);
    const char* format = d_.unit_system == 2 ? "%10.2f" : (d_.base_pitch_error[g] >= 10.0f ? "%10.0f" : "%10.1f");
    pitch[g]->setText(printed(format, shown));
    pitch[g]->setToolTip(printed(format, shown));
  }
  const ld flank_scale = RaComboBox->currentIndex() == 1 ? 6.0L : 1.0L;
  const ld fillet_scale = RafillComboBox->currentIndex() == 1 ? 6.0L : 1.0L;
  show(roughnesspinedit, flank_scale * ld(d_.flank_roughness[0]) / length);
  show(roughnesswheeledit, flank_scale * ld(d_.flank_roughness[1]) / length);
  show(roughnessfilpinedit, fillet_scale * ld(d_.fillet_roughness[0]) / length);
  show(roughnessfilwheeledit, fillet_scale * ld(d_.fillet_roughness[1]) / length);
  show(viscosityedit, d_.lubricant_viscosity);
  show_load([&](QLineEdit* e, float shown, bool cycles) { cycles ? show_cycles(e, shown) : show(e, shown); });
  loaddatafixedforedit->setText(d_.load_data_fixed_for == 2 ? "Wheel" : "Pinion");
  show(FbetaXedit, ld(d_.f_beta_x) / length);
  show(applicationfactoredit, d_.application_factor);
  materialtypepin->setToolTip(materialtypepin->currentText());
  materialtypewheel->setToolTip(materialtypewheel->currentText());
}

// --- Fields ---

bool TISO_rating_input_form::store_checked(QLineEdit* edit, double entry, float& value, float factor,
                                           bool (*accepted)(float), const char* line2) {
  d_.edit_old_value = value;
  value = stored_value_in_range(entry, factor, accepted);
  if (accepted(value)) return true;
  value = d_.edit_old_value;
  warn_field(d_, edit, "Value is out of range", line2, " ");
  return false;
}

void TISO_rating_input_form::limited_field_exit(QLineEdit* edit, float& value, float factor, bool (*accepted)(float)) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) store_checked(edit, v.value, value, factor, accepted);
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::stress_number_exit(QLineEdit* edit, float& value, bool (*accepted)(float)) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    d_.edit_old_value = value;
    value = stored_value(v.value, d_.stress_unit_factor);
    if (!accepted(value)) {
      value = d_.edit_old_value;
      warn_field(d_, edit, "Value is out of range", " ", " ");
    }
    updateSNcurves(d_);
  }
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::sigmaflimpineditExit() { stress_number_exit(sigmaflimpinedit, d_.sigma_flim[0], bending_stress_number_ok); }
void TISO_rating_input_form::sigmaflimwheeleditExit() { stress_number_exit(sigmaflimwheeledit, d_.sigma_flim[1], bending_stress_number_ok); }
void TISO_rating_input_form::sigmahlimpineditExit() { stress_number_exit(sigmahlimpinedit, d_.sigma_hlim[0], contact_stress_number_ok); }
void TISO_rating_input_form::sigmahlimwheeleditExit() { stress_number_exit(sigmahlimwheeledit, d_.sigma_hlim[1], contact_stress_number_ok); }
void TISO_rating_input_form::poisson1editExit() { limited_field_exit(poisson1edit, d_.poisson_ratio[0], 1.0f, poisson_ok); }
void TISO_rating_input_form::poisson2editExit() { limited_field_exit(poisson2edit, d_.poisson_ratio[1], 1.0f, poisson_ok); }
void TISO_rating_input_form::E1editExit() { limited_field_exit(E1edit, d_.elastic_modulus[0], d_.stress_unit_factor, modulus_ok); }
void TISO_rating_input_form::E2editExit() { limited_field_exit(E2edit, d_.elastic_modulus[1], d_.stress_unit_factor, modulus_ok); }
void TISO_rating_input_form::sigmab1editExit() { limited_field_exit(sigmab1edit, d_.yield_stress_pinion, d_.stress_unit_factor, yield_ok); }
void TISO_rating_input_form::sigmab2editExit() { limited_field_exit(sigmab2edit, d_.yield_stress_wheel, d_.stress_unit_factor, yield_ok); }
void TISO_rating_input_form::sigmas1editExit() { limited_field_exit(sigmas1edit, d_.tensile_stress_pinion, d_.stress_unit_factor, tensile_ok); }
void TISO_rating_input_form::sigmas2editExit() { limited_field_exit(sigmas2edit, d_.tensile_stress_wheel, d_.stress_unit_factor, tensile_ok); }
void TISO_rating_input_form::viscosityeditExit() { limited_field_exit(viscosityedit, d_.lubricant_viscosity, 1.0f, viscosity_ok); }
void TISO_rating_input_form::applicationfactoreditExit() {
  limited_field_exit(applicationfactoredit, d_.application_factor, 1.0f, application_factor_ok);
}

void TISO_rating_input_form::hardness_exit(int gear, QLineEdit* edit) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    const int scale = ComboBoxhardness->currentIndex();
    const float entry = stored_value(v.value);
    if (scale >= 0 && scale < 3) {
      const HardnessRange& r = kHardnessRanges[scale];
      if (hardness_ok(entry, scale)) d_.surface_hardness[gear] = entry;
      else
        warn_field(d_, edit, "Value entered is outside allowable range",
                   format_line("Maximum value is %g", double(r.highest)),
                   format_line("Minimum value is %g", double(r.lowest)));
    }
  }
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::HR1editExit() { hardness_exit(0, HR1edit); }
void TISO_rating_input_form::HR2editExit() { hardness_exit(1, HR2edit); }

void TISO_rating_input_form::pitch_error_from_grade(int gear) {
  d_.base_pitch_error[gear] = accuracy_grade_tolerances(
      d_, d_.reference_diameter[gear], d_.iso_grade[gear], d_.normal_module, d_.axial_contact_ratio,
      d_.transverse_contact_ratio, d_.face_width[gear], gear + 1);
}

// The grade is the entry truncated to a whole number; an entry that truncates outside 0..12 is refused
// before it becomes an integer.
void TISO_rating_input_form::grade_exit(int gear, QLineEdit* edit) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    d_.edit_old_value = float(d_.iso_grade[gear]);
    const double grade = std::trunc(v.value);
    if (accuracy_grade_ok(grade)) {
      d_.iso_grade[gear] = int32_t(grade);
    } else {
      warn_field(d_, edit, "Value is out of range", format_line("Quality grade can be 0 to %d", int(kCoarsestAccuracyGrade)), " ");
      d_.iso_grade[gear] = int32_t(d_.edit_old_value);
    }
    if (d_.pitch_error_from_grade == 1) pitch_error_from_grade(gear);
  }
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::ISOgradepineditExit() { grade_exit(0, ISOgradepinedit); }
void TISO_rating_input_form::ISOgradewheeleditExit() { grade_exit(1, ISOgradewheeledit); }

void TISO_rating_input_form::pitch_error_exit(int gear, QLineEdit* edit) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    // The bound as the field shows lengths: um, or thou in English units.
    const std::string range = "Value can be 0 to " +
                              format_line("%g", double(ld(kLargestPitchError) / ld(d_.length_unit_factor))) + " " +
                              pitchlabel->text().toStdString();
    store_checked(edit, v.value, d_.base_pitch_error[gear], d_.length_unit_factor, pitch_error_ok, range.c_str());
  }
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::pitcherrorpineditExit() { pitch_error_exit(0, pitcherrorpinedit); }
void TISO_rating_input_form::pitcherrorwheeleditExit() { pitch_error_exit(1, pitcherrorwheeledit); }

// Roughness is held as Ra: an entry in Rz is divided by 6 once it is accepted.
void TISO_rating_input_form::roughness_exit(QLineEdit* edit, float& value, const QComboBox* scale) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed && store_checked(edit, v.value, value, d_.length_unit_factor, roughness_ok) &&
      scale->currentIndex() == 1)
    value = to_float(ld(value) / 6.0L);
  finish_field_exit(d_, [this] { refresh(); });
}

void TISO_rating_input_form::roughnesspineditExit() { roughness_exit(roughnesspinedit, d_.flank_roughness[0], RaComboBox); }
void TISO_rating_input_form::roughnesswheeleditExit() { roughness_exit(roughnesswheeledit, d_.flank_roughness[1], RaComboBox); }
void TISO_rating_input_form::roughnessfilpineditExit() {
  roughness_exit(roughnessfilpinedit, d_.fillet_roughness[0], RafillComboBox);
}
void TISO_rating_input_form::roughnessfilwheeleditExit() {
  roughness_exit(roughnessfilwheeledit, d_.fillet_roughness[1], RafillComboBox);
}

// --- Load ---

void TISO_rating_input_form::store_case() {
  d_.current_load_case = ComboBox2->currentIndex();
  if (d_.current_load_case >= 0 && d_.current_load_case < kLoadCaseTableSize)
    store_inputs_into_case(d_, d_.current_load_case);
}

void TISO_rating_input_form::FbetaXeditExit() {
  const FieldValue v = read_field(d_, FbetaXedit);
  if (v.changed) {
    store_checked(FbetaXedit, v.value, d_.f_beta_x, d_.length_unit_factor, misalignment_ok);
    store_case();
  }
  finish_field_exit(d_, [this] { refresh(); });
}

// --- Application factor ---

void TISO_rating_input_form::appfactorcheckboxClick() {
  if (appfactorcheckbox->isChecked()) {
    d_.application_factor_enabled = 1;
    applicationfactoredit->setEnabled(true);
    drivingcombo->setEnabled(false);
    drivencombo->setEnabled(false);
  } else {
    d_.application_factor_enabled = 0;
    drivingcombo->setEnabled(true);
    drivencombo->setEnabled(true);
    drivingcombo->setCurrentIndex(0);
    drivencombo->setCurrentIndex(0);
    d_.application_factor = 1.0f;
    applicationfactoredit->setEnabled(false);
    // The edit shows the factor the rating now takes.
    refresh();
  }
}

void TISO_rating_input_form::application_factor_from_machines() {
  const int driving = drivingcombo->currentIndex(), driven = drivencombo->currentIndex();
  if (driving >= 0 && driving < 4 && driven >= 0 && driven < 4) d_.application_factor = kApplicationFactors[driving][driven];
  refresh();
}

void TISO_rating_input_form::drivingcomboChange() { application_factor_from_machines(); }
void TISO_rating_input_form::drivencomboChange() { application_factor_from_machines(); }

// --- Hardness scale, base pitch error, roughness lists ---

void TISO_rating_input_form::ComboBoxhardnessChange() {
  const int from = d_.hardness_scale, to = ComboBoxhardness->currentIndex();
  if (from != to && to >= 0 && to < 3) {
    // Conversion modes by scale: rows from, columns to (0 HRC, 1 BHN, 2 HV).
    static constexpr int32_t kModes[3][3] = {{0, kHrcToHb, kHrcToHv}, {kHbToHrc, 0, kHbToHv}, {kHvToHrc, kHvToHb, 0}};
    const float brinell_limit = from == 0 ? 52.0f : 544.0f;
    const double brinell_max = kHardnessRanges[1].highest;
    if (to == 1 && (from == 0 || from == 2) &&
        (d_.surface_hardness[0] > brinell_limit || d_.surface_hardness[1] > brinell_limit))
      warn(d_, "Hardness is off Brinell scale", format_line("Maximum value is %g BHN", brinell_max),
           format_line("Hardness has been reduced to %g BHN", brinell_max));
    if (from >= 0 && from < 3) {
      for (float& h : d_.surface_hardness) h = convert_hardness(h, kModes[from][to]);
    }
    d_.hardness_scale = to;
    refresh();
  }
  ComboBoxhardness->setFocus(Qt::OtherFocusReason);
}

void TISO_rating_input_form::pticherrorfromgradecheckboxClick() {
  if (pticherrorfromgradecheckbox->isChecked()) {
    d_.pitch_error_from_grade = 1;
    pitch_error_from_grade(0);
    pitch_error_from_grade(1);
  } else {
    d_.pitch_error_from_grade = 0;
  }
  refresh();
}

void TISO_rating_input_form::RaComboBoxChange() { refresh(); }
void TISO_rating_input_form::RafillComboBoxChange() { refresh(); }

// --- Materials, stress numbers and S-N curves ---

void TISO_rating_input_form::material_changed(int gear, QComboBox* list, QCheckBox* pitting) {
  d_.material_type[gear] = list->currentIndex();
  list->setToolTip(list->currentText());
  if (!allows_limited_pitting(d_.material_type[gear])) {
    d_.limited_pitting[gear] = 0;
    pitting->setChecked(false);
    pitting->setEnabled(false);
  }
  if (stressnumberpincheck->isChecked()) material_properties(d_, gear);
  if (d_.sn_estimate[gear] == 1) updateSNcurves(d_);
  refresh();
}

void TISO_rating_input_form::materialtypepinChange() { material_changed(0, materialtypepin, limitedpittingbox); }
void TISO_rating_input_form::materialtypewheelChange() {
  material_changed(1, materialtypewheel, limitedpittingboxwheel);
}

namespace {
int scaled(const DesignData& d, int pixels) {
  const int m = to_int32_clamped(std::trunc(ld(d.form_scale_multiplier)));
  const int v = to_int32_clamped(std::trunc(ld(d.form_scale_divisor)));
  return v == 0 ? pixels : forms::mul_div(pixels, m, v);
}
}  // namespace

// The material lists are narrow: the one in use widens over its neighbour, which is hidden meanwhile.
void TISO_rating_input_form::materialtypepinDropDown() {
  materialtypepin->resize(scaled(d_, 180), materialtypepin->height());
  materialtypewheel->hide();
}

void TISO_rating_input_form::materialtypepinExit() {
  materialtypepin->resize(scaled(d_, kEditW), materialtypepin->height());
  materialtypewheel->show();
}

void TISO_rating_input_form::materialtypewheelEnter() {
  materialtypewheel->setGeometry(scaled(d_, kPinX), materialtypewheel->y(), scaled(d_, 180), materialtypewheel->height());
  materialtypepin->hide();
}

void TISO_rating_input_form::materialtypewheelExit() {
  materialtypewheel->setGeometry(scaled(d_, kWheelX), materialtypewheel->y(), scaled(d_, kEditW),
                                 materialtypewheel->height());
  materialtypepin->show();
}

void TISO_rating_input_form::stressnumberpincheckClick() {
  if (stressnumberpincheck->isChecked()) {
    material_properties(d_, 0);
    material_properties(d_, 1);
    d_.sn_estimate[0] = 1;
    d_.sn_estimate[1] = 1;
    SNentercheckbox->setChecked(true);
    SNenterwheelcheckbox->setChecked(true);
    set_estimation_controls(true);
  } else {
    set_estimation_controls(false);
  }
  if (d_.sn_estimate[0] == 1) updateSNcurves(d_);
  refresh();
}

void TISO_rating_input_form::estimate_clicked(int gear, QCheckBox* box, QCheckBox* pitting) {
  if (box->isChecked()) {
    d_.sn_estimate[gear] = 1;
    updateSNcurves(d_);
  } else {
    d_.sn_estimate[gear] = 0;
    d_.limited_pitting[gear] = 0;
    pitting->setChecked(false);
  }
  refresh();
}

void TISO_rating_input_form::SNentercheckboxClick() { estimate_clicked(0, SNentercheckbox, limitedpittingbox); }
void TISO_rating_input_form::SNenterwheelcheckboxClick() {
  estimate_clicked(1, SNenterwheelcheckbox, limitedpittingboxwheel);
}

void TISO_rating_input_form::limitedpittingboxClick() {
  d_.limited_pitting[0] = limitedpittingbox->isChecked() ? 1 : 0;
  updateSNcurves(d_);
  refresh();
}

void TISO_rating_input_form::limitedpittingboxwheelClick() {
  d_.limited_pitting[1] = limitedpittingboxwheel->isChecked() ? 1 : 0;
  updateSNcurves(d_);
  refresh();
}

void TISO_rating_input_form::EditSNdatabuttonClick() {
  show_sn_curve_data_dialog(d_, this);
  refresh();
}

// --- Load cases ---

void TISO_rating_input_form::ComboBox2Change() {
  const int k = ComboBox2->currentIndex();
  if (k < 0 || k >= d_.load_case_count || k >= kLoadCaseTableSize) return;
  d_.current_load_case = k;
  load_case_into_inputs(d_, k);
  refresh();
}

void TISO_rating_input_form::Button1Click() {
  show_load_case_dialog(d_, this);
  fill_load_case_list();
  load_first_case();
  refresh();
}

}  // namespace morvell
