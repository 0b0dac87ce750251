#include "sn_curve_data_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "material_table.h"
#include "modal_services.h"
#include "numeric.h"
#include "rating_form_support.h"
#include "window_scale.h"

namespace morvell {

TSNcurveForm* SNcurveForm = nullptr;

namespace {

constexpr const char* kRowCaptions[7] = {
    "Allowable Contact Stress (Static) ", "Allowable Contact Stress (Intermediate) ",
    "Allowable Contact Stress (SigmaHlim) ", "Allowable Contact Stress (Infinite) ",
    "Allowable Bending Stress (Static) ", "Allowable Bending Stress (SigmaFlim) ",
    "Allowable Bending Stress (Infinite) "};
constexpr const char* kStressLabelNames[2][7] = {
    {"Label0", "Label1", "Label11", "Label19", "Label20", "Label21", "Label22"},
    {"Label23", "Label24", "Label25", "Label26", "Label27", "Label28", "Label29"}};
// Object names of the stress and cycles edits of each row.
constexpr const char* kEditNames[2][7][2] = {
    {{"sigmaHstat_pin_unfactorededit", "NLstat_pin_contedit"},
     {"sigmaHpit_pin_unfactorededit", "NLpit_pin_contedit"},
     {"sigmahlimpinedit", "NLlim_pin_contedit"},
     {"sigmaHinf_pinedit", "NLinf_pin_contedit"},
     {"sigmaFstat_pin_unfactorededit", "NLstat_pin_bendedit"},
     {"sigmaflimpinedit", "NLlim_pin_bendedit"},
     {"sigmaFinf_pinedit", "NLinf_pin_bendedit"}},
    {{"sigmaHstat_wheel_unfactorededit", "NLstat_wheel_contedit"},
     {"sigmaHpit_wheel_unfactorededit", "NLpit_wheel_contedit"},
     {"sigmahlimwheeledit", "NLlim_wheel_contedit"},
     {"sigmaHinf_wheeledit", "NLinf_wheel_contedit"},
     {"sigmaFstat_wheel_unfactorededit", "NLstat_wheel_bendedit"},
     {"sigmaflimwheeledit", "NLlim_wheel_bendedit"},
     {"sigmaFinf_wheeledit", "NLinf_wheel_bendedit"}}};

constexpr int kBandHeight = 284;
constexpr int kRowStep = 26;

}  // namespace

// Layout at 96 pixels per inch: the pinion band above the wheel band, OK below both. The tab order runs
// through the wheel band, then OK, then the pinion band.
TSNcurveForm::TSNcurveForm(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("SNcurveForm");
  setWindowTitle("Input Fatigue Curve Data");

  QLineEdit* edits[2][7][2] = {};
  QComboBox* lists[2] = {};
  QCheckBox* pitting_boxes[2] = {};
  QCheckBox* estimate_boxes[2] = {};
  QLabel* pit_cycles_labels[2] = {};

  const auto band = [&](int g) {
    const int top = 8 + g * (kBandHeight + 8);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(8, top, 566, kBandHeight);
    add_label(this, g == 0 ? "Pinion Material Type " : "Wheel Material Type ", 16, top + 11, 250);
    lists[g] = new QComboBox(this);
    lists[g]->setObjectName(g == 0 ? "materialtypepin" : "materialtypewheel");
    lists[g]->setGeometry(270, top + 8, 296, 23);
    fill_material_list(lists[g]);
    int y = top + 40;
    for (int r = 0; r < 7; ++r, y += kRowStep) {
      add_label(this, kRowCaptions[r], 16, y + 3, 250);
      for (int k = 0; k < 2; ++k)
        edits[g][r][k] = add_numeric_edit(d_, this, kEditNames[g][r][k], k == 0 ? 270 : 412, y, 90, 23,
                                          {.right_aligned = true, .text = "0"});
      stress_labels[g][r] = add_label(this, "MPa", 364, y + 3, 44);
      stress_labels[g][r]->setObjectName(kStressLabelNames[g][r]);
      QLabel* cycles = add_label(this, "cycles  ", 506, y + 3, 56);
      if (r == 1) {
        cycles->setObjectName(g == 0 ? "Label31" : "Label38");
        pit_cycles_labels[g] = cycles;
      }
    }
    add_label(this, "Allow Limited Flank Pitting ", 16, y + 5, 250);
    pitting_boxes[g] = new QCheckBox(this);
    pitting_boxes[g]->setObjectName(g == 0 ? "limitedpittingbox" : "limitedpittingboxwheel");
    pitting_boxes[g]->setGeometry(270, y + 5, 17, 17);
    y += kRowStep;
    add_label(this, "Estimate S-N Curve Data ", 16, y + 5, 250);
    estimate_boxes[g] = new QCheckBox(this);
    estimate_boxes[g]->setObjectName(g == 0 ? "SNentercheckbox" : "SNenterwheelcheckbox");
    estimate_boxes[g]->setGeometry(270, y + 5, 17, 17);
  };
  band(1);
  OKbutton = new QPushButton("OK", this);
  OKbutton->setObjectName("OKbutton");
  OKbutton->setGeometry(250, 2 * (kBandHeight + 8) + 8, 90, 27);
  OKbutton->setDefault(true);
  band(0);
  setFixedSize(582, 2 * (kBandHeight + 8) + 46);

  materialtypepin = lists[0];
  materialtypewheel = lists[1];
  limitedpittingbox = pitting_boxes[0];
  limitedpittingboxwheel = pitting_boxes[1];
  SNentercheckbox = estimate_boxes[0];
  SNenterwheelcheckbox = estimate_boxes[1];
  Label31 = pit_cycles_labels[0];
  Label38 = pit_cycles_labels[1];
  QLineEdit** named[2][7][2] = {
      {{&sigmaHstat_pin_unfactorededit, &NLstat_pin_contedit},
       {&sigmaHpit_pin_unfactorededit, &NLpit_pin_contedit},
       {&sigmahlimpinedit, &NLlim_pin_contedit},
       {&sigmaHinf_pinedit, &NLinf_pin_contedit},
       {&sigmaFstat_pin_unfactorededit, &NLstat_pin_bendedit},
       {&sigmaflimpinedit, &NLlim_pin_bendedit},
       {&sigmaFinf_pinedit, &NLinf_pin_bendedit}},
      {{&sigmaHstat_wheel_unfactorededit, &NLstat_wheel_contedit},
       {&sigmaHpit_wheel_unfactorededit, &NLpit_wheel_contedit},
       {&sigmahlimwheeledit, &NLlim_wheel_contedit},
       {&sigmaHinf_wheeledit, &NLinf_wheel_contedit},
       {&sigmaFstat_wheel_unfactorededit, &NLstat_wheel_bendedit},
       {&sigmaflimwheeledit, &NLlim_wheel_bendedit},
       {&sigmaFinf_wheeledit, &NLinf_wheel_bendedit}}};
  for (int g = 0; g < 2; ++g)
    for (int r = 0; r < 7; ++r)
      for (int k = 0; k < 2; ++k) *named[g][r][k] = edits[g][r][k];

  // The fields in the order of the refresh; the limit stresses and the contact limit cycles are the
  // inputs of the estimate.
  fields_ = {
      {sigmaHstat_pin_unfactorededit, &d_.sigma_h_static_pinion, true, false},
      {NLstat_pin_contedit, &d_.nl_static_contact_pinion, false, false},
      {sigmaHpit_pin_unfactorededit, &d_.sigma_h_pit_pinion, true, false},
      {NLpit_pin_contedit, &d_.nl_pit_contact_pinion, false, false},
      {sigmahlimpinedit, &d_.sigma_hlim[0], true, true, contact_stress_number_ok},
      {NLlim_pin_contedit, &d_.nl_lim_contact_pinion, false, true},
      {sigmaHinf_pinedit, &d_.sigma_h_inf_pinion, true, false},
      {NLinf_pin_contedit, &d_.nl_inf_contact_pinion, false, false},
      {sigmaFstat_pin_unfactorededit, &d_.sigma_f_static[0], true, false},
      {NLstat_pin_bendedit, &d_.nl_static_bending_pinion, false, false},
      {sigmaflimpinedit, &d_.sigma_flim[0], true, true, bending_stress_number_ok},
      {NLlim_pin_bendedit, &d_.nl_lim_bending_pinion, false, false},
      {sigmaFinf_pinedit, &d_.sigma_f_inf_pinion, true, false},
      {NLinf_pin_bendedit, &d_.nl_inf_bending_pinion, false, false},
      {sigmaHstat_wheel_unfactorededit, &d_.sigma_h_static_wheel, true, false},
      {NLstat_wheel_contedit, &d_.nl_static_contact_wheel, false, false},
      {sigmaHpit_wheel_unfactorededit, &d_.sigma_h_pit_wheel, true, false},
      {NLpit_wheel_contedit, &d_.nl_pit_contact_wheel, false, false},
      {sigmahlimwheeledit, &d_.sigma_hlim[1], true, true, contact_stress_number_ok},
      {NLlim_wheel_contedit, &d_.nl_lim_contact_wheel, false, true},
      {sigmaHinf_wheeledit, &d_.sigma_h_inf_wheel, true, false},
      {NLinf_wheel_contedit, &d_.nl_inf_contact_wheel, false, false},
      {sigmaFstat_wheel_unfactorededit, &d_.sigma_f_static[1], true, false},
      {NLstat_wheel_bendedit, &d_.nl_static_bending_wheel, false, false},
      {sigmaflimwheeledit, &d_.sigma_flim[1], true, true, bending_stress_number_ok},
      {NLlim_wheel_bendedit, &d_.nl_lim_bending_wheel, false, false},
      {sigmaFinf_wheeledit, &d_.sigma_f_inf_wheel, true, false},
      {NLinf_wheel_bendedit, &d_.nl_inf_bending_wheel, false, false},
  };

  for (const Field& field : fields_) {
    QLineEdit* e = field.edit;
    forms::on_exit(e, [this, e] { field_exit(e); });
  }
  forms::on_choice(materialtypepin, [this] { materialtypepinChange(); });
  forms::on_choice(materialtypewheel, [this] { materialtypewheelChange(); });
  forms::on_click(SNentercheckbox, [this] { SNentercheckboxClick(); });
  forms::on_click(SNenterwheelcheckbox, [this] { SNenterwheelcheckboxClick(); });
  forms::on_click(limitedpittingbox, [this] { limitedpittingboxClick(); });
  forms::on_click(limitedpittingboxwheel, [this] { limitedpittingboxwheelClick(); });
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
  FormCreate();
}

void TSNcurveForm::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void TSNcurveForm::mousePressEvent(QMouseEvent* event) {
  FormClick();
  QDialog::mousePressEvent(event);
}

void TSNcurveForm::done(int result) {
  if (isVisible() && focusWidget() != OKbutton) OKbutton->setFocus(Qt::OtherFocusReason);
  QDialog::done(result);
}

void TSNcurveForm::FormClick() { OKbutton->setFocus(Qt::OtherFocusReason); }

void TSNcurveForm::OKbuttonClick() { accept(); }

// The check boxes from the flags (a box set to another state runs its click handler); the limited-pitting
// box of a gear is live only while its curve is estimated.
void TSNcurveForm::set_boxes_from_design() {
  QCheckBox* pitting[2] = {limitedpittingbox, limitedpittingboxwheel};
  QCheckBox* estimate[2] = {SNentercheckbox, SNenterwheelcheckbox};
  for (int g = 0; g < 2; ++g) {
    if (d_.limited_pitting[g] == 1) pitting[g]->setChecked(true);
    else if (d_.limited_pitting[g] == 0) pitting[g]->setChecked(false);
    if (d_.sn_estimate[g] == 1) estimate[g]->setChecked(true);
    else if (d_.sn_estimate[g] == 0) estimate[g]->setChecked(false);
    if (d_.sn_estimate[g] == 1) pitting[g]->setEnabled(true);
    else if (d_.sn_estimate[g] == 0) pitting[g]->setEnabled(false);
  }
}

void TSNcurveForm::FormCreate() { set_boxes_from_design(); }

void TSNcurveForm::FormShow() {
  OKbutton->setFocus(Qt::OtherFocusReason);
  materialtypepin->setCurrentIndex(d_.material_type[0]);
  materialtypewheel->setCurrentIndex(d_.material_type[1]);
  set_boxes_from_design();
  if (d_.unit_system == 1 || d_.unit_system == 2)
    for (auto& gear : stress_labels)
      for (QLabel* label : gear) label->setText(d_.unit_system == 2 ? "psi" : "MPa");
  Set_SN_input_textboxes();
}

void TSNcurveForm::Set_SN_input_textboxes() {
  QCheckBox* pitting[2] = {limitedpittingbox, limitedpittingboxwheel};
  for (int g = 0; g < 2; ++g) {
    if (allows_limited_pitting(d_.material_type[g])) {
      pitting[g]->setEnabled(true);
    } else {
      pitting[g]->setChecked(false);
      d_.limited_pitting[g] = 0;
      pitting[g]->setEnabled(false);
    }
  }

  for (const Field& field : fields_) {
    const float shown = field.stress ? static_cast<float>(static_cast<ld>(*field.value) /
                                                          static_cast<ld>(d_.stress_unit_factor))
                                     : *field.value;
    field.edit->setText(QString::fromStdString(format_value(d_, shown)));
    field.edit->setToolTip(field.stress ? value_hint(shown) : cycles_hint(shown));
  }

  struct GearRows {
    QLineEdit* contact_locked[7];  // static, intermediate and infinite stress; the four contact cycles
    QLineEdit* pit[2];
    QLabel* pit_labels[2];
    QLineEdit* bending_locked[5];  // static and infinite stress; the three bending cycles
  };
  const GearRows rows[2] = {
      {{sigmaHstat_pin_unfactorededit, sigmaHpit_pin_unfactorededit, sigmaHinf_pinedit, NLstat_pin_contedit,
        NLpit_pin_contedit, NLlim_pin_contedit, NLinf_pin_contedit},
       {sigmaHpit_pin_unfactorededit, NLpit_pin_contedit},
       {stress_labels[0][1], Label31},
       {sigmaFstat_pin_unfactorededit, sigmaFinf_pinedit, NLstat_pin_bendedit, NLlim_pin_bendedit,
        NLinf_pin_bendedit}},
      {{sigmaHstat_wheel_unfactorededit, sigmaHpit_wheel_unfactorededit, sigmaHinf_wheeledit,
        NLstat_wheel_contedit, NLpit_wheel_contedit, NLlim_wheel_contedit, NLinf_wheel_contedit},
       {sigmaHpit_wheel_unfactorededit, NLpit_wheel_contedit},
       {stress_labels[1][1], Label38},
       {sigmaFstat_wheel_unfactorededit, sigmaFinf_wheeledit, NLstat_wheel_bendedit, NLlim_wheel_bendedit,
        NLinf_wheel_bendedit}}};
  for (int g = 0; g < 2; ++g) {
    const GearRows& r = rows[g];
    const bool estimated = d_.sn_estimate[g] == 1;
    const bool pitting_allowed = d_.limited_pitting[g] == 1;
    for (QLineEdit* e : r.contact_locked) set_locked(e, estimated);
    if (estimated) {
      for (QLineEdit* e : r.pit) e->setVisible(pitting_allowed);
      for (QLabel* l : r.pit_labels) l->setVisible(pitting_allowed);
    } else {
      for (QLineEdit* e : r.pit) {
        set_locked(e, !pitting_allowed);
        e->setVisible(pitting_allowed);
      }
    }
    for (QLineEdit* e : r.bending_locked) set_locked(e, estimated);
  }
}

void TSNcurveForm::field_exit(QLineEdit* edit) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    for (const Field& field : fields_) {
      if (field.edit != edit) continue;
      const auto stored = finite_entry(d_, edit, static_cast<long double>(v.value) * (field.stress ? d_.stress_unit_factor : 1.0f));
      if (!stored) break;
      // The allowable stress numbers take the rating input window's ranges.
      if (field.accepted && !field.accepted(*stored)) {
        warn_field(d_, edit, "Value is out of range", " ", " ");
        break;
      }
      // A point of a curve lies above zero stress and cycles (0 stands only for a curve not given).
      if (!field.accepted && !(*stored > 0.0f)) {
        warn_field(d_, edit, "Value is out of range", "Must be greater than 0", " ");
        break;
      }
      const float before = *field.value;
      *field.value = *stored;
      if (field.runs_estimate) updateSNcurves(d_);
      // The points of each curve stay above zero and at rising load cycles.
      for (int g = 0; g < 2; ++g) {
        const SnCurveProblem problem = sn_curve_problem(d_, g, false);
        if (problem.ok()) continue;
        *field.value = before;
        if (field.runs_estimate) updateSNcurves(d_);
        warn_field(d_, edit, "Value is out of range", problem.text, " ");
        break;
      }
    }
  }
  finish_field_exit(d_, [this] { Set_SN_input_textboxes(); });
}

void TSNcurveForm::estimate_clicked(int gear) {
  QCheckBox* box = gear == 0 ? SNentercheckbox : SNenterwheelcheckbox;
  QCheckBox* pitting = gear == 0 ? limitedpittingbox : limitedpittingboxwheel;
  if (box->isChecked()) {
    d_.sn_estimate[gear] = 1;
    updateSNcurves(d_);
    pitting->setEnabled(true);
  } else {
    d_.sn_estimate[gear] = 0;  // the points keep their values as the start of entry
    pitting->setEnabled(false);
  }
  Set_SN_input_textboxes();
}

void TSNcurveForm::SNentercheckboxClick() { estimate_clicked(0); }
void TSNcurveForm::SNenterwheelcheckboxClick() { estimate_clicked(1); }

void TSNcurveForm::limited_pitting_clicked(int gear) {
  QCheckBox* box = gear == 0 ? limitedpittingbox : limitedpittingboxwheel;
  d_.limited_pitting[gear] = box->isChecked() ? 1 : 0;
  updateSNcurves(d_);
  Set_SN_input_textboxes();
}

void TSNcurveForm::limitedpittingboxClick() { limited_pitting_clicked(0); }
void TSNcurveForm::limitedpittingboxwheelClick() { limited_pitting_clicked(1); }

void TSNcurveForm::material_changed(int gear, QComboBox* list) {
  d_.material_type[gear] = list->currentIndex();
  QCheckBox* pitting = gear == 0 ? limitedpittingbox : limitedpittingboxwheel;
  if (!allows_limited_pitting(d_.material_type[gear])) {
    pitting->setChecked(false);
    d_.limited_pitting[gear] = 0;
    pitting->setEnabled(false);
  } else {
    pitting->setEnabled(true);
  }
  updateSNcurves(d_);
  Set_SN_input_textboxes();
}

void TSNcurveForm::materialtypepinChange() { material_changed(0, materialtypepin); }
void TSNcurveForm::materialtypewheelChange() { material_changed(1, materialtypewheel); }

void show_sn_curve_data_dialog(DesignData& d, QWidget* parent) {
  if (SNcurveForm) {
    forms::services().show_modal(*SNcurveForm);
    return;
  }
  TSNcurveForm dialog(d, parent);
  forms::services().show_modal(dialog);
}

}  // namespace morvell
