#include "metrology_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

#include <QShowEvent>

#include <cmath>
#include <cstring>
#include <iterator>

#include "backlash.h"
#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "measurement.h"
#include "measurement_plot.h"
#include "numeric.h"
#include "results_pane.h"
#include "screen_picture.h"
#include "window_scale.h"

namespace morvell {

Tmetrologyform* metrologyform = nullptr;

namespace {

using ld = long double;

const QColor kMenuColour(0xF0, 0xF0, 0xF0);  // read-only boxes of derived values
const QColor kWindowColour(Qt::white);       // boxes that take an entry

// Layout designed at 96 pixels per inch; the window scale sizes it.
constexpr int kCaptionX = 8, kPinionX = 278, kWheelX = 372, kUnitX = 466, kExtraX = 520, kTop = 32, kStep = 28;
constexpr int kPlotX = 646;

// A box that shows a derived value: read-only and never focused.
QLineEdit* add_display_box(QWidget* parent, const char* name, int x, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(12);
  edit->setGeometry(x, y, 89, 21);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  return edit;
}

QLabel* add_image(QWidget* parent, const char* name, int x, int y, int width, int height) {
  auto* image = new QLabel(parent);
  image->setObjectName(name);
  image->setGeometry(x, y, width, height);
  return image;
}

void set_box_colour(QLineEdit* edit, const QColor& colour) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, colour);
  edit->setPalette(palette);
}

}  // namespace

Tmetrologyform::Tmetrologyform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("metrologyform");
  setWindowTitle("Tooth Thickness Measurement");
  add_label(this, "PINION ", kPinionX + 16, 8, 80);
  add_label(this, "WHEEL ", kWheelX + 16, 8, 80);

  struct RowSpec {
    const char* caption;
    const char* pinion;
    const char* wheel;
    const char* unit;  // nullptr: no unit label
    bool typed;
  };
  const RowSpec rows[] = {
      {"Measurement Over Balls (Nominal) ", "measball1edit", "measball2edit", "unitsmesballnom", false},
      {"Measurement Over Balls (Finished) ", "measball1finedit", "measball2finedit", "unitsmesballfin", true},
      {"Ball Diameter ", "balldia1edit", "balldia2edit", "unitsball", true},
      {"Diameter To Ball Centre (Finished) ", "ball1centreedit", "ball2centreedit", "unitsballcentre", false},
      {"Ball Contact Diameter (Finished) ", "ball1contactdiaedit", "ball2contactdiaedit", "unitsballcont", false},
      {"Pressure Angle To Ball Centre (Finished) ", "pa1edit", "pa2edit", "unitsalpha", false},
      {"Pressure Angle To Contact Point (Finished) ", "pac1edit", "pac2edit", "unitsalpha2", false},
      {"Chordal Span Nominal ", "chordspan1edit", "chordspan2edit", "unitsspannom", false},
      {"Chordal Span Finished ", "chordspan1finedit", "chordspan2finedit", "unitsspanfin", true},
      {"Number of Teeth To Span ", "N1edit", "N2edit", nullptr, true},
      {"Contact Diameter (Finished) ", "chordcontact1edit", "chordcontact2edit", "unitscontdiafin", false},
      {"Reference Diameter ", "dref1edit", "dref2edit", "unitsdref", false},
      {"Base Diameter ", "dbase1edit", "dbase2edit", "unitsbasedia", false},
      {"Base Helix Angle ", "betab1edit", "betab2edit", "unitsbasebeta", false},
  };
  constexpr int kRows = int(std::size(rows));
  QLineEdit* boxes[kRows][2];
  QLabel* units[kRows] = {};
  for (int r = 0; r < kRows; ++r) {
    const int y = kTop + r * kStep;
    add_label(this, rows[r].caption, kCaptionX, y + 2, kPinionX - 2 - kCaptionX);
    const char* names[2] = {rows[r].pinion, rows[r].wheel};
    for (int g = 0; g < 2; ++g) {
      const int x = g == 0 ? kPinionX : kWheelX;
      QLineEdit* box = boxes[r][g] =
          rows[r].typed ? add_numeric_edit(d_, this, names[g], x, y) : add_display_box(this, names[g], x, y);
      set_box_colour(box, rows[r].typed ? kWindowColour : kMenuColour);
    }
    if (rows[r].unit) {
      units[r] = add_label(this, "mm", kUnitX, y + 2, kExtraX - 2 - kUnitX);
      units[r]->setObjectName(rows[r].unit);
    }
  }
  measball1edit = boxes[0][0], measball2edit = boxes[0][1];
  measball1finedit = boxes[1][0], measball2finedit = boxes[1][1];
  balldia1edit = boxes[2][0], balldia2edit = boxes[2][1];
  ball1centreedit = boxes[3][0], ball2centreedit = boxes[3][1];
  ball1contactdiaedit = boxes[4][0], ball2contactdiaedit = boxes[4][1];
  pa1edit = boxes[5][0], pa2edit = boxes[5][1];
  pac1edit = boxes[6][0], pac2edit = boxes[6][1];
  chordspan1edit = boxes[7][0], chordspan2edit = boxes[7][1];
  chordspan1finedit = boxes[8][0], chordspan2finedit = boxes[8][1];
  N1edit = boxes[9][0], N2edit = boxes[9][1];
  chordcontact1edit = boxes[10][0], chordcontact2edit = boxes[10][1];
  dref1edit = boxes[11][0], dref2edit = boxes[11][1];
  dbase1edit = boxes[12][0], dbase2edit = boxes[12][1];
  betab1edit = boxes[13][0], betab2edit = boxes[13][1];
  unitsmesballnom = units[0], unitsmesballfin = units[1], unitsball = units[2], unitsballcentre = units[3];
  unitsballcont = units[4], unitsalpha = units[5], unitsalpha2 = units[6], unitsspannom = units[7];
  unitsspanfin = units[8], unitscontdiafin = units[10], unitsdref = units[11], unitsbasedia = units[12];
  unitsbasebeta = units[13];

  defaultballdiacheckbox = new QCheckBox("(Use Default) ", this);
  defaultballdiacheckbox->setObjectName("defaultballdiacheckbox");
  defaultballdiacheckbox->setGeometry(kExtraX, kTop + 2 * kStep, kPlotX - 6 - kExtraX, 21);
  defaultteethcheckbox = new QCheckBox("(Use Default) ", this);
  defaultteethcheckbox->setObjectName("defaultteethcheckbox");
  defaultteethcheckbox->setGeometry(kExtraX, kTop + 9 * kStep, kPlotX - 6 - kExtraX, 21);
  Image3 = add_image(this, "Image3", kExtraX, kTop + 4 * kStep + 4, 40, 13);
  Image4 = add_image(this, "Image4", kExtraX, kTop + 11 * kStep + 4, 40, 13);
  Image5 = add_image(this, "Image5", kExtraX, kTop + 12 * kStep + 4, 40, 13);

  basetransbutton = add_button(this, "basetransbutton", "Base/Transverse Plane", kPlotX, 6, 164);
  Zoomoutbutton = add_button(this, "Zoomoutbutton", "Zoom Out", kPlotX + 172, 6, 80);
  resetButton = add_button(this, "resetButton", "Reset", kPlotX + 262, 6, 80);
  Image1 = add_image(this, "Image1", kPlotX, 40, 344, 256);
  Image2 = add_image(this, "Image2", kPlotX, 304, 344, 257);
  const int buttons_y = kTop + 14 * kStep + 12;
  OKbutton = add_button(this, "OKbutton", "OK", kPinionX + 7, buttons_y, 75);
  cancelbutton = add_button(this, "cancelbutton", "Cancel", kWheelX + 7, buttons_y, 75);
  make_cancel_button(cancelbutton);
  setFixedSize(kPlotX + 344 + 12, 304 + 257 + 12);

  forms::on_exit(measball1finedit, [this] { measball1fineditExit(); });
  forms::on_exit(measball2finedit, [this] { measball2fineditExit(); });
  forms::on_exit(chordspan1finedit, [this] { chordspan1fineditExit(); });
  forms::on_exit(chordspan2finedit, [this] { chordspan2fineditExit(); });
  forms::on_exit(balldia1edit, [this] { balldia1editExit(); });
  forms::on_exit(balldia2edit, [this] { balldia2editExit(); });
  forms::on_exit(N1edit, [this] { N1editExit(); });
  forms::on_exit(N2edit, [this] { N2editExit(); });
  forms::on_click(defaultballdiacheckbox, [this] { defaultballdiacheckboxClick(); });
  forms::on_click(defaultteethcheckbox, [this] { defaultteethcheckboxClick(); });
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
  forms::on_click(cancelbutton, [this] { cancelbuttonClick(); });
  forms::on_click(basetransbutton, [this] { basetransbuttonClick(); });
  forms::on_click(Zoomoutbutton, [this] { ZoomoutbuttonClick(); });
  forms::on_click(resetButton, [this] { resetButtonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tmetrologyform::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void Tmetrologyform::set_row_state(QLineEdit* pinion, QLineEdit* wheel, bool use_default) {
  for (QLineEdit* box : {pinion, wheel}) {
    box->setReadOnly(use_default);
    set_box_colour(box, use_default ? kMenuColour : kWindowColour);
  }
}

void Tmetrologyform::show_default_ball_state() {
  forms::set_checked_quietly(defaultballdiacheckbox, d_.default_ball_diameter == 1);
  set_row_state(balldia1edit, balldia2edit, d_.default_ball_diameter == 1);
}

void Tmetrologyform::FormShow() {
  cancel_copy_.take(d_);
  d_.metrology_plot_plane = kMetrologyTransversePlane;
  Setmetrology_textboxes();
  OKbutton->setFocus(Qt::OtherFocusReason);
  // An exception to the rule for boxes set from code (field_events.h): the boxes take the flags' states
  // without their click handlers, which would put the default ball diameter and span in place of the
  // design's. Showing the window changes no value of the design, also when a box still holds its state
  // from an earlier showing.
  show_default_ball_state();
  forms::set_checked_quietly(defaultteethcheckbox, d_.default_span_teeth == 1);
  set_row_state(N1edit, N2edit, d_.default_span_teeth == 1);
  float* backup = d_.metrology_backup;
  backup[0] = d_.thickness_finished_transverse[0];
  backup[1] = d_.thickness_finished_transverse[1];
  backup[2] = float(d_.span_teeth[0]);
  backup[3] = float(d_.span_teeth[1]);
  backup[4] = d_.ball_diameter[0];
  backup[5] = d_.ball_diameter[1];
  backup[6] = d_.backlash_normal;
  backup[7] = d_.backlash_distribution;
  std::memcpy(&backup[8], &d_.default_ball_diameter, sizeof(float));  // the two flags as integers
  std::memcpy(&backup[9], &d_.default_span_teeth, sizeof(float));
  d_.plot_zoom = 1;
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  const QString length = d_.unit_system == 2 ? "inch" : "mm";
  for (QLabel* label : {unitsmesballnom, unitsmesballfin, unitsball, unitsballcentre, unitsballcont, unitsspannom,
                        unitsspanfin, unitscontdiafin, unitsdref, unitsbasedia})
    label->setText(length);
  for (QLabel* label : {unitsalpha, unitsalpha2, unitsbasebeta}) label->setText("degrees");
}

void Tmetrologyform::Setmetrology_textboxes() {
  metrology_meshplot_report1();
  metrology_meshplot_report2();
  const ld lf = d_.length_unit_factor;
  const auto length = [&](QLineEdit* box, float value) {
    const float shown = float(ld(value) / lf);
    show_field(box, format_length(d_, shown), shown);
  };
  const auto angle = [&](QLineEdit* box, float degrees) { show_field(box, format_value(d_, degrees), degrees); };
  // Pressure angle on the circle of diameter dia: acos(d_b / dia) in degrees.
  const auto pressure_angle = [&](int i, float dia) {
    return float(rad_to_deg_double_pi(checked_acos(ld(d_.base_diameter[i]) / ld(dia))));
  };
  QLineEdit* const measball[2] = {measball1edit, measball2edit};
  QLineEdit* const measballfin[2] = {measball1finedit, measball2finedit};
  QLineEdit* const balldia[2] = {balldia1edit, balldia2edit};
  QLineEdit* const centre[2] = {ball1centreedit, ball2centreedit};
  QLineEdit* const contact[2] = {ball1contactdiaedit, ball2contactdiaedit};
  QLineEdit* const pa[2] = {pa1edit, pa2edit};
  QLineEdit* const pac[2] = {pac1edit, pac2edit};
  QLineEdit* const span[2] = {chordspan1edit, chordspan2edit};
  QLineEdit* const spanfin[2] = {chordspan1finedit, chordspan2finedit};
  QLineEdit* const teeth[2] = {N1edit, N2edit};
  QLineEdit* const spancontact[2] = {chordcontact1edit, chordcontact2edit};
  QLineEdit* const dref[2] = {dref1edit, dref2edit};
  QLineEdit* const dbase[2] = {dbase1edit, dbase2edit};
  QLineEdit* const betab[2] = {betab1edit, betab2edit};
  for (int i = 0; i < 2; ++i) {
    length(measball[i], d_.ball_measurement_nominal[i]);
    length(measballfin[i], d_.ball_measurement_finished[i]);
    length(balldia[i], d_.ball_diameter[i]);
    length(centre[i], d_.ball_centre_diameter_finished[i]);
    length(contact[i], d_.ball_contact_diameter_finished[i]);
    angle(pa[i], pressure_angle(i, d_.ball_centre_diameter_finished[i]));
    angle(pac[i], pressure_angle(i, d_.ball_contact_diameter_finished[i]));
    length(span[i], d_.chordal_span_nominal[i]);
    length(spanfin[i], d_.chordal_span_finished[i]);
    const QString k = QString::number(d_.span_teeth[i]);
    teeth[i]->setText(k);
    teeth[i]->setToolTip(k);
    length(spancontact[i], d_.span_contact_diameter_finished[i]);
    length(dref[i], d_.reference_diameter[i]);
    length(dbase[i], d_.base_diameter[i]);
    angle(betab[i], d_.base_helix_angle);
  }
}

void Tmetrologyform::recompute_balls(int i) {
  d_.ball_measurement_nominal[i] =
      measurement_over_balls(d_, d_.teeth[i], &d_.ball_diameter[i], d_.thickness_nominal_transverse[i],
                             d_.normal_module, d_.helix_angle, d_.normal_pressure_angle, d_.tip_diameter[i],
                             &d_.ball_contact_diameter_nominal[i], &d_.ball_centre_diameter_nominal[i]);
  d_.ball_measurement_finished[i] =
      measurement_over_balls(d_, d_.teeth[i], &d_.ball_diameter[i], d_.thickness_finished_transverse[i],
                             d_.normal_module, d_.helix_angle, d_.normal_pressure_angle, d_.tip_diameter[i],
                             &d_.ball_contact_diameter_finished[i], &d_.ball_centre_diameter_finished[i]);
}

void Tmetrologyform::recompute_spans(int i) {
  d_.chordal_span_nominal[i] =
      span_measurement(d_.span_teeth[i], d_.teeth[i], d_.thickness_nominal_transverse[i], d_.normal_module,
                       d_.helix_angle, d_.normal_pressure_angle, &d_.span_contact_diameter_nominal[i]);
  d_.chordal_span_finished[i] =
      span_measurement(d_.span_teeth[i], d_.teeth[i], d_.thickness_finished_transverse[i], d_.normal_module,
                       d_.helix_angle, d_.normal_pressure_angle, &d_.span_contact_diameter_finished[i]);
}

void Tmetrologyform::finished_exit(int i, bool span) {
  QLineEdit* box = span ? (i == 0 ? chordspan1finedit : chordspan2finedit)
                        : (i == 0 ? measball1finedit : measball2finedit);
  const FieldValue v = read_field(d_, box);
  if (v.changed) {
    float& measured = span ? d_.chordal_span_finished[i] : d_.ball_measurement_finished[i];
    d_.scratch_values[0] = d_.thickness_finished_normal[i];
    d_.scratch_values[1] = d_.thickness_finished_transverse[i];
    d_.scratch_values[2] = measured;
    measured = float(v.value * double(d_.length_unit_factor));
    d_.thickness_finished_transverse[i] =
        span ? thickness_from_span(d_.span_teeth[i], d_.teeth[i], d_.normal_module, d_.helix_angle,
                                   d_.normal_pressure_angle, measured)
             : thickness_from_ball_measurement(d_.teeth[i], measured, d_.ball_diameter[i], d_.normal_module,
                                               d_.helix_angle, d_.normal_pressure_angle);
    d_.thickness_finished_normal[i] =
        float(std::cos(deg_to_rad_double_pi(d_.helix_angle)) * ld(d_.thickness_finished_transverse[i]));
    // Between 85 % of the nominal thickness and the nominal one; a measurement without a thickness
    // (the balls cannot reach the flanks) is refused with them.
    const ld finished = d_.thickness_finished_normal[i];
    const ld nominal = d_.thickness_nominal_normal[i];
    if (!(0.85L * nominal <= finished && finished <= nominal)) {
      warn_field(d_, box, "Value is out of range", " ", " ");
      d_.thickness_finished_normal[i] = d_.scratch_values[0];
      d_.thickness_finished_transverse[i] = d_.scratch_values[1];
      measured = d_.scratch_values[2];
    }
    backlash_from_finished_thicknesses(d_, i);
    calc_gear_geometry(d_);
  }
  finish_field_exit(d_, [this] { Setmetrology_textboxes(); });
}

void Tmetrologyform::ball_diameter_exit(int i) {
  QLineEdit* box = i == 0 ? balldia1edit : balldia2edit;
  const FieldValue v = read_field(d_, box);
  if (v.changed) {
    d_.scratch_values[0] = d_.ball_diameter[i];
    // The measurement enlarges a ball too small to reach the flanks: such a ball is refused, and the
    // refusal takes back the ball, so that neither gear's ball changes.
    const float typed = float(v.value * double(d_.length_unit_factor));
    d_.ball_diameter[i] = typed;
    recompute_balls(i);
    // The ball touches the flank between the form and the end of active profile and stays clear of
    // the root circle. A ball of no size has no measurement and is refused with the rest.
    const bool fits = d_.ball_diameter[i] == typed && ball_fits(d_, i);
    if (!fits) {
      warn_field(d_, box, "Value is out of range", " ", " ");
      d_.ball_diameter[i] = d_.scratch_values[0];
      recompute_balls(i);
    }
    show_default_ball_state();
  }
  finish_field_exit(d_, [this] { Setmetrology_textboxes(); });
}

void Tmetrologyform::span_teeth_exit(int i) {
  QLineEdit* box = i == 0 ? N1edit : N2edit;
  const FieldValue v = read_field(d_, box);
  if (v.changed) {
    d_.scratch_int = d_.span_teeth[i];
    // A span over fewer than one tooth or over more teeth than the gear has measures nothing; such an
    // entry (also one too large for a whole number) is refused before it is taken.
    const double k = std::trunc(v.value);
    bool fits = k >= 1 && k <= double(d_.teeth[i]);
    if (fits) {
      d_.span_teeth[i] = int32_t(k);
      recompute_spans(i);
      fits = span_fits(d_, i);
    }
    if (!fits) {
      warn_field(d_, box, "Value is out of range", " ", " ");
      d_.span_teeth[i] = d_.scratch_int;
      recompute_spans(i);
    }
  }
  finish_field_exit(d_, [this] { Setmetrology_textboxes(); });
}

void Tmetrologyform::defaultballdiacheckboxClick() {
  d_.ball_diameter[0] = float(1.8L * ld(d_.normal_module));
  d_.ball_diameter[1] = d_.ball_diameter[0];
  recompute_balls(0);
  recompute_balls(1);
  Setmetrology_textboxes();
  const bool checked = defaultballdiacheckbox->isChecked();
  set_row_state(balldia1edit, balldia2edit, checked);
  d_.default_ball_diameter = checked ? 1 : 0;
}

void Tmetrologyform::defaultteethcheckboxClick() {
  for (int i = 0; i < 2; ++i) {
    d_.span_teeth[i] = default_span_teeth_count(d_.profile_shift[i], d_.virtual_teeth[i]);
    recompute_spans(i);
  }
  Setmetrology_textboxes();
  const bool checked = defaultteethcheckbox->isChecked();
  set_row_state(N1edit, N2edit, checked);
  d_.default_span_teeth = checked ? 1 : 0;
}

void Tmetrologyform::OKbuttonClick() { accept(); }

void Tmetrologyform::cancelbuttonClick() {
  abandon_pending_entry(d_);
  cancelbutton->setFocus(Qt::OtherFocusReason);
  QDialog::reject();
  // Last, after the closing pass: the design as shown, the boxes' flags and the backlash included.
  cancel_copy_.restore(d_);
}

void Tmetrologyform::reject() { cancelbuttonClick(); }

void Tmetrologyform::FormClose() {
  OKbutton->setFocus(Qt::OtherFocusReason);
  calc_gear_geometry(d_);
  d_.plot_zoom = 1;
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
}

void Tmetrologyform::done(int result) {
  if (isVisible()) FormClose();
  QDialog::done(result);
}

void Tmetrologyform::draw_plot(int gear, QLabel* image) {
  // At the screen's pixel ratio, so that the screen shows the plot's own pixels.
  QImage canvas = picture_for(image);
  draw_metrology_plot(d_, gear, canvas);
  image->setPixmap(QPixmap::fromImage(canvas));
}

void Tmetrologyform::metrology_meshplot_report1() { draw_plot(0, Image1); }

void Tmetrologyform::metrology_meshplot_report2() {
  const bool transverse = d_.metrology_plot_plane == kMetrologyTransversePlane;
  QLabel* legends[3] = {Image3, Image4, Image5};
  QImage canvases[3];
  for (int k = 0; k < 3; ++k) canvases[k] = picture_for(legends[k]);
  draw_metrology_legends(canvases[0], canvases[1], canvases[2]);
  for (int k = 0; k < 3; ++k) {
    legends[k]->setVisible(transverse);
    legends[k]->setPixmap(QPixmap::fromImage(canvases[k]));
  }
  draw_plot(1, Image2);
}

void Tmetrologyform::resetButtonClick() {
  d_.plot_zoom = 1;
  d_.plot_pan_x = 0;
  d_.plot_pan_y = 0;
  metrology_meshplot_report1();
  metrology_meshplot_report2();
}

void Tmetrologyform::ZoomoutbuttonClick() {
  d_.plot_zoom = float(double(d_.plot_zoom) * 0.9);
  metrology_meshplot_report1();
  metrology_meshplot_report2();
}

void Tmetrologyform::basetransbuttonClick() {
  if (d_.metrology_plot_plane == kMetrologyTransversePlane)
    d_.metrology_plot_plane = kMetrologyBasePlane;
  else if (d_.metrology_plot_plane == kMetrologyBasePlane)
    d_.metrology_plot_plane = kMetrologyTransversePlane;
  Setmetrology_textboxes();
}

}  // namespace morvell
