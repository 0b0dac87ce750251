#include "tolerances_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QPushButton>
#include <QShowEvent>

#include <cmath>
#include <vector>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "numeric.h"
#include "report_columns.h"
#include "results_pane.h"
#include "tolerances.h"
#include "window_scale.h"

namespace morvell {

TTolerancesform* Tolerancesform = nullptr;

namespace {

using ld = long double;

// The hidden limit boxes in the order of TTolerancesform::limit_edit: pinion then wheel of each pair,
// the two centre-distance boxes (upper, lower) between the edge chamfers and the thicknesses.
enum class Limit { TipMax, TipMin, ChamferMax, ChamferMin, FaceMax, FaceMin, EdgeMax, EdgeMin, CentreMax,
                   CentreMin, ThicknessMax, ThicknessMin };

struct LimitBox {
  const char* name;
  Limit kind;
  int gear;
};

const LimitBox kLimitBoxes[TTolerancesform::kLimitEdits] = {
    {"Pintipdiaedit", Limit::TipMax, 0},          {"Wheeltipdiaedit", Limit::TipMax, 1},
    {"Pintipdiaedit2", Limit::TipMin, 0},         {"Wheeltipdiaedit2", Limit::TipMin, 1},
    {"pinchamedit", Limit::ChamferMax, 0},        {"wheelchamedit", Limit::ChamferMax, 1},
    {"pinchamedit2", Limit::ChamferMin, 0},       {"wheelchamedit2", Limit::ChamferMin, 1},
    {"Pinfacewidthedit", Limit::FaceMax, 0},      {"Wheelfacewidthedit", Limit::FaceMax, 1},
    {"Pinfacewidthedit2", Limit::FaceMin, 0},     {"Wheelfacewidthedit2", Limit::FaceMin, 1},
    {"Pinedgechamedit", Limit::EdgeMax, 0},       {"Wheeledgechamedit", Limit::EdgeMax, 1},
    {"Pinedgechamedit2", Limit::EdgeMin, 0},      {"Wheeledgechamedit2", Limit::EdgeMin, 1},
    {"Centredistedit", Limit::CentreMax, 0},      {"Centredistedit2", Limit::CentreMin, 0},
    {"Pinfinthick", Limit::ThicknessMax, 0},      {"Wheelfinthick", Limit::ThicknessMax, 1},
    {"Pinfinthick2", Limit::ThicknessMin, 0},     {"Wheelfinthick2", Limit::ThicknessMin, 1},
};

const char* const kLimitCaptions[] = {"Outside Diameter (max) ", "Outside Diameter (min) ",
                                      "Outside Diameter Chamfer (max) ", "Outside Diameter Chamfer (min) ",
                                      "Facewidth (max) ", "Facewidth (min) ", "Edge Chamfer (max) ",
                                      "Edge Chamfer (min)", "Centre Distance (max) ", "Centre Distance (min) ",
                                      "Finished Thickness (max) ", "Finished Thickness (min) "};

// The limit a box holds; for the thickness boxes the normal one (the transverse one follows it).
float& limit_of(DesignData& d, const LimitBox& box) {
  const int i = box.gear;
  switch (box.kind) {
    case Limit::TipMax: return d.tol_tip_diameter_max[i];
    case Limit::TipMin: return d.tol_tip_diameter_min[i];
    case Limit::ChamferMax: return d.tol_tip_chamfer_max[i];
    case Limit::ChamferMin: return d.tol_tip_chamfer_min[i];
    case Limit::FaceMax: return i == 0 ? d.tol_face_width_max_pinion : d.tol_face_width_max_wheel;
    case Limit::FaceMin: return i == 0 ? d.tol_face_width_min_pinion : d.tol_face_width_min_wheel;
    case Limit::EdgeMax: return d.tol_edge_chamfer_max[i];
    case Limit::EdgeMin: return d.tol_edge_chamfer_min[i];
    case Limit::CentreMax: return d.tol_centre_distance_max;
    case Limit::CentreMin: return d.tol_centre_distance_min;
    case Limit::ThicknessMax: return d.tol_normal_thickness_max[i];
    case Limit::ThicknessMin: return d.tol_normal_thickness_min[i];
  }
  return d.tol_centre_distance_min;
}

float& transverse_limit_of(DesignData& d, const LimitBox& box) {
  return box.kind == Limit::ThicknessMax ? d.tol_transverse_thickness_max[box.gear]
                                         : d.tol_transverse_thickness_min[box.gear];
}

bool is_thickness(const LimitBox& box) { return box.kind == Limit::ThicknessMax || box.kind == Limit::ThicknessMin; }

// The eighteen values the window holds, in the order of tolerances_backup.
float* held_value(DesignData& d, int k) {
  float* const values[18] = {&d.tip_diameter[0],
                             &d.tip_diameter[1],
                             &d.tip_chamfer[0],
                             &d.tip_chamfer[1],
                             &d.face_width[0],
                             &d.face_width[1],
                             &d.edge_chamfer[0],
                             &d.edge_chamfer[1],
                             &d.centre_distance,
                             &d.thickness_finished_normal[0],
                             &d.thickness_finished_normal[1],
                             &d.thickness_finished_transverse[0],
                             &d.thickness_finished_transverse[1],
                             &d.backlash_transverse_circular,
                             &d.backlash_normal,
                             &d.backlash_radial,
                             &d.backlash_transverse,
                             &d.backlash_distribution};
  return values[k];
}

}  // namespace

void set_default_tolerance_limits(DesignData& d) {
  const ld cos_beta = std::cos(deg_to_rad_double_pi(d.helix_angle));
  for (int i = 0; i < 2; ++i) {
    const ld da = d.tip_diameter[i];
    d.tol_tip_diameter_max[i] = float(da);
    d.tol_tip_diameter_min[i] = float(da <= 25.4L ? da - 0.0762L : da - 0.127L);
    const ld chamfer = d.tip_chamfer[i];
    d.tol_tip_chamfer_max[i] = float(chamfer);
    const ld chamfer_min = chamfer - (da - ld(d.tol_tip_diameter_min[i])) * 0.5L;
    d.tol_tip_chamfer_min[i] = float(chamfer_min < 0 ? 0 : chamfer_min);
    const ld edge = d.edge_chamfer[i];
    d.tol_edge_chamfer_max[i] = float(edge);
    d.tol_edge_chamfer_min[i] = float(edge - 0.125L < 0 ? 0 : edge - 0.125L);

    const ld ref = d.reference_diameter[i];
    const ld band = ref < 20 ? 0.015L : ref < 500 ? 0.02L : 0.03L;
    const ld finished = d.thickness_finished_normal[i];
    d.tol_normal_thickness_max[i] = float(finished + band);
    d.tol_normal_thickness_min[i] = float(finished - band);
    d.tol_transverse_thickness_max[i] = float(ld(d.tol_normal_thickness_max[i]) / cos_beta);
    d.tol_transverse_thickness_min[i] = float(ld(d.tol_normal_thickness_min[i]) / cos_beta);
    // A band reaching above the nominal thickness moves down, keeping its width.
    const ld nominal = d.thickness_nominal_transverse[i];
    if (ld(d.tol_transverse_thickness_max[i]) > nominal) {
      const float width = d.tol_transverse_thickness_max[i] - d.tol_transverse_thickness_min[i];
      d.tol_transverse_thickness_max[i] = float(nominal);
      d.tol_transverse_thickness_min[i] = float(nominal - width);
      d.tol_normal_thickness_max[i] = float(cos_beta * ld(d.tol_transverse_thickness_max[i]));
      d.tol_normal_thickness_min[i] = float(cos_beta * ld(d.tol_transverse_thickness_min[i]));
    }
  }
  d.tol_face_width_max_pinion = float(ld(d.face_width[0]) + 0.25L);
  d.tol_face_width_min_pinion = float(ld(d.face_width[0]) - 0.25L);
  d.tol_face_width_max_wheel = float(ld(d.face_width[1]) + 0.25L);
  d.tol_face_width_min_wheel = float(ld(d.face_width[1]) - 0.25L);
  const ld a = d.centre_distance;
  d.tol_centre_distance_min = float(a);
  d.tol_centre_distance_max = float(a <= 100 ? a + 0.15L : a <= 200 ? a + 0.2L : a + 0.25L);
}

// Layout designed at 96 pixels per inch; the window scale sizes it.
TTolerancesform::TTolerancesform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Tolerancesform");
  setWindowTitle("Tolerances");
  gradelabel = add_label(this, "ISO Quality Grade ", 8, 34, 150);
  gradelabel->setObjectName("gradelabel");
  gradelabel->setToolTip("ISO 6336 quality grade");
  // The headings and the grade boxes stand over the table's columns, wherever the table's font puts them
  // (place_headings_over_columns).
  pinionheading = add_label(this, "PINION  ", 176, 8, 80);
  pinionheading->setObjectName("pinionheading");
  wheelheading = add_label(this, "WHEEL  ", 272, 8, 80);
  wheelheading->setObjectName("wheelheading");
  ISOgradepinedit = add_numeric_edit(d_, this, "ISOgradepinedit", 176, 32);
  ISOgradewheeledit = add_numeric_edit(d_, this, "ISOgradewheeledit", 272, 32);

  mainresults = new QTextEdit(this);
  mainresults->setObjectName("mainresults");
  mainresults->setReadOnly(true);
  mainresults->setAcceptRichText(false);
  mainresults->setLineWrapMode(QTextEdit::NoWrap);
  // A small fixed-pitch font; every line's tab stops are set from its columns in the scaled font.
  QFont small = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  small.setPointSize(8);
  mainresults->setFont(small);
  mainresults->setGeometry(8, 64, 600, 232);

  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setAutoDefault(false);
  Button1->setGeometry(270, 306, 75, 25);
  setFixedSize(616, 340);

  // The size limits: hidden in the layout, and nothing shows them.
  for (int k = 0; k < kLimitEdits; ++k) {
    QLineEdit* edit =
        add_numeric_edit(d_, this, kLimitBoxes[k].name, 160 + 96 * kLimitBoxes[k].gear, 340 + 24 * (k / 2));
    edit->hide();
    forms::on_exit(edit, [this, k] { limit_exit(k); });
    limit_edits_[k] = edit;
  }
  for (int row = 0; row < 12; ++row) add_label(this, kLimitCaptions[row], 8, 342 + 24 * row, 150)->hide();
  for (int k = 0; k < 13; ++k) {
    const int number = k < 11 ? k + 1 : k + 2;
    unit_labels[k] = new QLabel("mm", this);
    unit_labels[k]->setObjectName(QString("units%1").arg(number));
    unit_labels[k]->setGeometry(352, 342 + 24 * k, 40, 17);
    unit_labels[k]->hide();
  }
  QLineEdit** named[kLimitEdits] = {&Pintipdiaedit,     &Wheeltipdiaedit,     &Pintipdiaedit2,  &Wheeltipdiaedit2,
                                    &pinchamedit,       &wheelchamedit,       &pinchamedit2,    &wheelchamedit2,
                                    &Pinfacewidthedit,  &Wheelfacewidthedit,  &Pinfacewidthedit2,
                                    &Wheelfacewidthedit2, &Pinedgechamedit,   &Wheeledgechamedit,
                                    &Pinedgechamedit2,  &Wheeledgechamedit2,  &Centredistedit,  &Centredistedit2,
                                    &Pinfinthick,       &Wheelfinthick,       &Pinfinthick2,    &Wheelfinthick2};
  for (int k = 0; k < kLimitEdits; ++k) *named[k] = limit_edits_[k];
  radcompedit = new QLineEdit(this);
  radcompedit->setObjectName("radcompedit");
  radcompedit->setReadOnly(true);
  radcompedit->setToolTip("Total radial composite deviation taken fron quality grade");
  radcompedit->hide();
  finthicknessComboBox = new QComboBox(this);
  finthicknessComboBox->setObjectName("finthicknessComboBox");
  finthicknessComboBox->addItems({"Normal", "Transverse"});
  finthicknessComboBox->setToolTip("Transverse circular or normal circular");
  finthicknessComboBox->hide();
  defaultcheckbox = new QCheckBox("Use Default Tolerances ", this);
  defaultcheckbox->setObjectName("defaultcheckbox");
  defaultcheckbox->setChecked(true);
  defaultcheckbox->hide();

  forms::on_exit(ISOgradepinedit, [this] { ISOgradepineditExit(); });
  forms::on_exit(ISOgradewheeledit, [this] { ISOgradewheeleditExit(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  forms::on_click(defaultcheckbox, [this] { defaultcheckboxClick(); });
  forms::on_choice(finthicknessComboBox, [this] { finthicknessComboBoxChange(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void TTolerancesform::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TTolerancesform::take_snapshot() {
  for (int k = 0; k < 18; ++k) d_.tolerances_backup[k] = *held_value(d_, k);
  addendum_backup_[0] = d_.addendum[0];
  addendum_backup_[1] = d_.addendum[1];
}

void TTolerancesform::restore_snapshot() {
  for (int k = 0; k < 18; ++k) *held_value(d_, k) = d_.tolerances_backup[k];
  // The addenda as they were, to the last bit: worked out again from the tip diameters they could differ
  // in the last digit, and a window closed without an entry changes nothing of the design.
  d_.addendum[0] = addendum_backup_[0];
  d_.addendum[1] = addendum_backup_[1];
}

void TTolerancesform::FormShow() {
  d_.geometry_manager_override = 1;
  d_.geometry_manager_mode = 0;
  finthicknessComboBox->setCurrentIndex(0);
  for (QLabel* label : unit_labels) label->setText(d_.unit_system == 2 ? "inch" : "mm");
  if (defaultcheckbox->isChecked()) set_default_tolerance_limits(d_);
  take_snapshot();
  Set_textboxes();
  ISOgradepinedit->setFocus(Qt::OtherFocusReason);
  field_enter(d_, ISOgradepinedit);
}

void TTolerancesform::Set_textboxes() {
  restore_snapshot();
  const bool defaults = defaultcheckbox->isChecked();
  if (defaults) set_default_tolerance_limits(d_);

  QLineEdit* const grade_boxes[2] = {ISOgradepinedit, ISOgradewheeledit};
  for (int i = 0; i < 2; ++i) {
    grade_boxes[i]->setText(QString::fromStdString(format_line("%-10.0f", double(d_.iso_grade[i]))));
    grade_boxes[i]->setToolTip(QString::fromStdString(format_line("%-d", d_.iso_grade[i])));
  }

  const ld lf = d_.length_unit_factor;
  const bool transverse = finthicknessComboBox->currentIndex() == 1;
  for (int k = 0; k < kLimitEdits; ++k) {
    const LimitBox& box = kLimitBoxes[k];
    const float limit = is_thickness(box) && transverse ? transverse_limit_of(d_, box) : limit_of(d_, box);
    const float shown = float(ld(limit) / lf);
    limit_edits_[k]->setText(QString::fromStdString(format_length(d_, shown)));
    limit_edits_[k]->setToolTip(
        QString::fromStdString(format_line(is_thickness(box) ? "%10.5f" : "%-10.5f", double(shown))));
  }
  const float radial = float(0.001L * (ld(d_.iso1328_deviations[0].F_i2) + d_.iso1328_deviations[1].F_i2) / lf);
  radcompedit->setText(QString::fromStdString(format_length(d_, radial)));

  const bool english = d_.unit_system == 2;
  const ld scale = english ? 0.001L / lf : 0.001L;
  struct Row {
    const char* caption;  // with "%s" for the unit and the tabs after it
    float GearDeviations::*field;
  };
  const Row rows[12] = {
      {" Single radial composite deviation (%s)\t", &GearDeviations::f_i2},
      {" Total radial composite deviation (%s)\t", &GearDeviations::F_i2},
      {" Single pitch deviation (%s) \t\t", &GearDeviations::f_pt},
      {" Total cumulative pitch deviation (%s) \t", &GearDeviations::F_p},
      {" Single tangential comp. deviation (%s)\t", &GearDeviations::f_i1},
      {" Total tangential comp. deviation (%s)\t", &GearDeviations::F_i1},
      {" Profile form deviation (%s) \t\t", &GearDeviations::f_f_alpha},
      {" Profile slope deviation (%s) \t\t", &GearDeviations::f_H_alpha},
      {" Total profile deviation (%s) \t\t", &GearDeviations::F_alpha},
      {" Helix form deviation (%s) \t\t", &GearDeviations::f_f_beta},
      {" Helix slope deviation (%s) \t\t", &GearDeviations::f_H_beta},
      {" Total helix deviation (%s) \t\t", &GearDeviations::F_beta},
  };
  QStringList lines;
  lines << QString::fromStdString(
      format_line(" ISO Quality grade \t\t\t%-d\t\t%-d", d_.iso_grade[0], d_.iso_grade[1]));
  const char* const values = english ? "%-16.4f\t%-16.4f" : "%-16.3f\t%-16.3f";
  for (const Row& row : rows) {
    const std::string caption = format_line(row.caption, english ? "inch" : "mm");
    const double pinion = double(ld(d_.iso1328_deviations[0].*row.field) * scale);
    const double wheel = double(ld(d_.iso1328_deviations[1].*row.field) * scale);
    lines << QString::fromStdString(caption + format_line(values, pinion, wheel));
  }
  mainresults->setPlainText(lines.join('\n'));
  // The values of every line under each other, in the pinion's and the wheel's column, whatever the font.
  lay_out_report_columns(mainresults->document());
  place_headings_over_columns();

  for (QLineEdit* edit : limit_edits_) edit->setEnabled(!defaults);
}

void TTolerancesform::place_headings_over_columns() {
  // Where the first line's values start in the laid-out table, in the window's pixels.
  QTextDocument* doc = mainresults->document();
  const QTextBlock first = doc->begin();
  const QRectF box = doc->documentLayout()->blockBoundingRect(first);  // lays the line out
  if (!first.layout() || first.layout()->lineCount() == 0) return;
  const QTextLine line = first.layout()->lineAt(0);
  const QString text = first.text();
  const int origin = mainresults->viewport()->mapTo(this, QPoint(0, 0)).x() + int(std::lround(box.x())) -
                     mainresults->horizontalScrollBar()->value();
  std::vector<int> columns;
  for (int i = 1; i < text.size(); ++i)
    if (text[i - 1] == QChar('\t') && text[i] != QChar('\t'))
      columns.push_back(origin + int(std::lround(line.cursorToX(i))));
  if (columns.size() != 2) return;
  QWidget* const placed[2][2] = {{pinionheading, ISOgradepinedit}, {wheelheading, ISOgradewheeledit}};
  for (int gear = 0; gear < 2; ++gear)
    for (QWidget* w : placed[gear]) w->move(columns[gear], w->y());
}

void TTolerancesform::grade_exit(int i) {
  QLineEdit* box = i == 0 ? ISOgradepinedit : ISOgradewheeledit;
  const FieldValue v = read_field(d_, box);
  if (v.changed) {
    d_.edit_old_value = float(d_.iso_grade[i]);
    // Truncated to a whole grade; checked before the conversion, so that no entry is too large for it.
    const double grade = std::trunc(v.value);
    if (accuracy_grade_ok(grade)) {
      d_.iso_grade[i] = int32_t(grade);
    } else {
      warn_field(d_, box, "Value is out of range", format_line("Quality grade can be 0 to %d", int(kCoarsestAccuracyGrade)), " ");
      d_.iso_grade[i] = int32_t(d_.edit_old_value);
    }
    const float f_pt = accuracy_grade_tolerances(d_, d_.reference_diameter[i], d_.iso_grade[i], d_.normal_module,
                                                 d_.axial_contact_ratio, d_.transverse_contact_ratio,
                                                 d_.face_width[i], i + 1);
    if (d_.pitch_error_from_grade == 1)
      d_.base_pitch_error[i] = f_pt;
    else
      d_.pitch_deviation_from_grade[i] = f_pt;
  }
  finish_field_exit(d_, [this] { Set_textboxes(); });
}

void TTolerancesform::limit_exit(int k) {
  const LimitBox& box = kLimitBoxes[k];
  QLineEdit* edit = limit_edits_[k];
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    const int i = box.gear;
    const ld mn = d_.normal_module;
    float& limit = limit_of(d_, box);
    d_.edit_old_value = limit;
    const float value = float(v.value * double(d_.length_unit_factor));
    const auto refuse = [&](const char* line1, const char* line2, const char* line3) {
      warn_field(d_, edit, line1, line2, line3);
      limit = d_.edit_old_value;
    };
    const auto adjust = [&](float adjusted, std::string_view line1, std::string_view line2) {
      limit = adjusted;
      warn_field(d_, edit, line1, line2, " ");
    };
    switch (box.kind) {
      case Limit::TipMax:
      case Limit::TipMin: {
        limit = value;
        const bool crossed = box.kind == Limit::TipMax ? limit < d_.tol_tip_diameter_min[i]
                                                       : limit > d_.tol_tip_diameter_max[i];
        if (crossed)
          refuse("Value is out of range",
                 box.kind == Limit::TipMax ? "Maximum tolerance must be greater than minimum"
                                           : "Minimum tolerance must be less than maximum ",
                 " ");
        const ld da = d_.tip_diameter[i];
        if (!(ld(limit) >= da - 0.5L * mn && ld(limit) <= da + 0.5L * mn)) refuse("Value is out of range", "", " ");
        break;
      }
      case Limit::ChamferMax:
      case Limit::ChamferMin: {
        limit = value;
        const ld lower = (ld(d_.thickness_nominal_normal[i]) - d_.thickness_finished_normal[i]) * 0.5L + 0.025L;
        const ld v_ld = limit;
        if (limit != 0 && (v_ld < lower || !per_module_ok(limit, kChamferPerModule, d_.normal_module))) refuse("Value is out of range", " ", " ");
        break;
      }
      case Limit::FaceMax:
      case Limit::FaceMin: {
        limit = value;
        const ld b = d_.face_width[i];
        if (!(ld(limit) >= 0.98L * b && ld(limit) <= 1.02L * b)) refuse("Value is out of range", " ", " ");
        if (limit > kLargestFaceWidth) {
          const std::string line = format_line(" must be less than %g mm", double(kLargestFaceWidth));
          if (box.kind == Limit::FaceMax)
            adjust(kLargestFaceWidth, "Face width" + line, "Value of face width has been adjusted");
          else
            adjust(kLargestFaceWidth, "Face width2" + line, "Value of face width2 has been adjusted");
        }
        break;
      }
      case Limit::EdgeMax:
      case Limit::EdgeMin:
        limit = value;
        if (limit < 0) adjust(0, "Chamfer cannot be less than zero", "Value has been adjusted");
        if (limit > module_share(kChamferPerModule, d_.normal_module))
          adjust(module_share(kChamferPerModule, d_.normal_module),
                 format_line("Chamfer cannot be greater than %g*Mn", double(kChamferPerModule)), "Value has been adjusted");
        break;
      case Limit::CentreMax:
      case Limit::CentreMin: {
        limit = value;
        const ld a = d_.centre_distance;
        if (!(ld(limit) >= a - 0.01L * a && ld(limit) <= a + 0.01L * a))
          refuse("Minimum value of centre distance has been exceeded", " ", " ");
        break;
      }
      case Limit::ThicknessMax:
      case Limit::ThicknessMin: {
        float& transverse = transverse_limit_of(d_, box);
        const float old_transverse = transverse;
        const ld cos_beta = std::cos(deg_to_rad_double_pi(d_.helix_angle));
        if (finthicknessComboBox->currentIndex() == 1) {
          transverse = value;
          limit = float(cos_beta * ld(value));
        } else {
          limit = value;
          transverse = float(ld(value) / cos_beta);
        }
        const ld nominal = d_.thickness_nominal_normal[i];
        const auto refuse_both = [&](const std::string& line1) {
          warn_field(d_, edit, line1, " ", " ");
          limit = d_.edit_old_value;
          transverse = old_transverse;
        };
        if (!(ld(limit) >= 0.85L * nominal && ld(limit) <= 1.15L * nominal)) {
          refuse_both("Value is out of range");
        } else if (box.kind == Limit::ThicknessMax) {
          // Judged, and told, as the field shows the thickness: normal or transverse, in the unit typed and
          // with the decimals of the fields.
          const bool shown_transverse = finthicknessComboBox->currentIndex() == 1;
          const ld shown_nominal = (shown_transverse ? ld(d_.thickness_nominal_transverse[i]) : nominal) /
                                   ld(d_.length_unit_factor);
          // An entry is taken to six decimals: one that stands for the nominal thickness is not above it.
          if (ld(v.value) > shown_nominal + 5e-7L)
            refuse_both(std::string("Value must be less than nominal ") + (shown_transverse ? "transverse" : "normal") +
                        " thickness " + format_length(d_, float(shown_nominal)));
        }
        break;
      }
    }
  }
  finish_field_exit(d_, [this] { Set_textboxes(); });
}

void TTolerancesform::Button1Click() { accept(); }

void TTolerancesform::FormClose() {
  Button1->setFocus(Qt::OtherFocusReason);
  d_.geometry_manager_override = 0;
  restore_snapshot();
}

void TTolerancesform::done(int result) {
  if (isVisible()) FormClose();
  QDialog::done(result);
}

}  // namespace morvell
