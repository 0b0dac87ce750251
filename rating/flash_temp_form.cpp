#include "flash_temp_form.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "chart_painting.h"
#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "flash_load_factor_form.h"
#include "modal_services.h"
#include "numeric.h"
#include "rating_report_rows.h"
#include "report_lines.h"
#include "results_pane.h"
#include "window_scale.h"

namespace morvell {

Tflashtempform* flashtempform = nullptr;

const char* const kFlashPlotItemNames[kFlashPlotItems] = {"Flash temperature", "Sliding velocity",
                                                          "Rolling velocity", "Specific sliding",
                                                          "Load sharing factor"};

namespace {

constexpr int kPlotWidth = 448, kPlotHeight = 399, kFormulaWidth = 424, kFormulaHeight = 72;
const QColor kWindowColour(255, 255, 255);   // clWindow: an input the user types
const QColor kBtnFaceColour(240, 240, 240);  // clBtnFace: an estimate or a result

// English units of the thermal contact coefficient: lbf/(inch s^0.5 F) from N/(mm s^0.5 K) and back.
ld thermal_coefficient_shown(const DesignData& d, ld bm) {
  return d.unit_system == 2 ? bm / 4.448L * 25.4L * 5.0L * (1.0L / 9.0L) : bm;
}
// A flash temperature is a rise above the bulk temperature: in English units it scales to degrees
// Fahrenheit without the offset of the scale's zero (a rise of 0 degC is a rise of 0 degF).
ld temperature_rise_shown(const DesignData& d, ld theta) { return d.unit_system == 2 ? theta * 9.0L * 0.2L : theta; }

void set_colour(QLineEdit* edit, const QColor& colour) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, colour);
  edit->setPalette(palette);
}

// A symbol of the formula with its subscript in small italic type beside it.
void add_symbol(QWidget* parent, const QString& symbol, const QString& subscript, const QString& hint, int x,
                int y) {
  QLabel* s = add_label(parent, symbol, x, y, 14, 20);
  QFont font = s->font();
  font.setPointSize(11);
  s->setFont(font);
  s->setToolTip(hint);
  if (!subscript.isEmpty()) {
    QLabel* sub = add_label(parent, subscript, x + 13, y + 8, 40, 14);
    QFont small = sub->font();
    small.setItalic(true);
    small.setPointSize(7);
    sub->setFont(small);
    sub->setToolTip(hint);
  }
}

// A box that shows a result.
QLineEdit* add_result_box(QWidget* parent, const char* name, int x, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, 89, 21);
  return edit;
}

// Draws an HTML fragment with its top left corner at (x, y); returns its width.
int draw_html(QPainter& p, const QString& html, int x, int y, const QFont& font) {
  QTextDocument doc;
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
  doc.setHtml(html);
  p.save();
  p.translate(x, y);
  doc.drawContents(&p);
  p.restore();
  return int(std::ceil(doc.idealWidth()));
}

// The largest and smallest finite value of a series (starting from the given values).
void widen(const float* values, int count, double& low, double& high) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) continue;
    if (values[i] > high) high = values[i];
    if (values[i] < low) low = values[i];
  }
}

}  // namespace

void draw_flash_formula(QImage& image) {
  QPainter p(&image);
  draw_in_layout_units(p, image, QSizeF(kFormulaWidth, kFormulaHeight));
  p.fillRect(QRect(0, 0, kFormulaWidth, kFormulaHeight), Qt::white);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font("Times New Roman");
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(17);
  const QString numerator = "K &mu;<sub>m</sub> X<sub>&Gamma;</sub> w<sub>n</sub> "
                            "|(v<sub>r1</sub>)<sup>0.5</sup> &minus; (v<sub>r2</sub>)<sup>0.5</sup>|";
  const QString denominator = "B<sub>M</sub> (B<sub>H</sub>)<sup>0.5</sup>";
  const int mid = kFormulaHeight / 2;
  const int lhs = draw_html(p, "&theta;<sub>fl</sub> = ", 8, mid - 12, font);
  const int x = 8 + lhs + 4;
  QTextDocument top;
  top.setDefaultFont(font);
  top.setHtml(numerator);
  const int width = int(std::ceil(top.idealWidth()));
  draw_html(p, numerator, x, mid - 30, font);
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(x, mid, x + width, mid);
  QTextDocument bottom;
  bottom.setDefaultFont(font);
  bottom.setHtml(denominator);
  draw_html(p, denominator, x + (width - int(bottom.idealWidth())) / 2, mid + 3, font);
}

ChartTexts draw_flash_plot(QImage& image, DesignData& d, int item) {
  const QSizeF size = image.deviceIndependentSize();
  const double w = size.width(), h = size.height(), ratio = image.devicePixelRatio();
  ChartTexts texts;
  QPainter p(&image);
  p.setBackground(Qt::white);
  p.setBrush(QBrush(Qt::white, Qt::SolidPattern));
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

  // Limits: x over the positions, y by the quantity.
  const int count = d.flash_point_count < 1 ? 1 : d.flash_point_count > kFlashPointCount ? kFlashPointCount
                                                                                          : d.flash_point_count;
  d.chart_plus_x_min = 0;
  d.chart_plus_x_max = float(count - 1);
  double low = 0, high = 0;
  const float* first = nullptr;
  const float* second = nullptr;
  switch (item) {
    case 0:
      first = d.flash_temperature;
      high = d.flash_temperature_max;
      break;
    case 1:
      first = d.flash_sliding_velocity;
      widen(first, count, low, high);
      low = 0;
      break;
    case 2:
      first = d.flash_rolling_velocity_pinion;
      second = d.flash_rolling_velocity_wheel;
      widen(first, count, low, high);
      widen(second, count, low, high);
      low = 0;
      break;
    case 3:
      first = d.flash_specific_sliding_pinion;
      second = d.flash_specific_sliding_wheel;
      low = 1e9;
      widen(first, count, low, high);
      widen(second, count, low, high);
      break;
    default:
      item = 4;
      first = d.flash_load_sharing;
      high = 2.0;
      break;
  }
  // A range of one value (every flash temperature 0, say) has no scale: it is drawn one unit high.
  if (!std::isfinite(low)) low = 0;
  if (!std::isfinite(high) || !(high > low)) high = low + 1.0;
  d.chart_y_min = float(low);
  d.chart_y_max = float(high);
  if (!(d.chart_y_max > d.chart_y_min)) d.chart_y_max = std::nextafter(d.chart_y_min, INFINITY);

  // The texts: the quantity's name as title (and, for two series, a legend under it), the y limits left
  // of the y axis, the positions of the SAP and the EAP under the ends of the x axis with the x axis' title
  // under them, and the quantity's name reading upwards left of the y limits.
  const QString item_text = kFlashPlotItemNames[item];
  const bool temperature = item == 0;
  const double y_min_shown = temperature ? double(temperature_rise_shown(d, d.chart_y_min)) : double(d.chart_y_min);
  const double y_max_shown = temperature ? double(temperature_rise_shown(d, d.chart_y_max)) : double(d.chart_y_max);
  const QString y_min_text = QString::fromStdString(format_line("%6.2f", y_min_shown)).trimmed();
  const QString y_max_text = QString::fromStdString(format_line("%6.2f", y_max_shown)).trimmed();
  const double sap = d.sap_roll_length[0];
  const QString sap_text = QString::fromStdString(format_line("%6.3f", sap)).trimmed();
  const QString eap_text =
      QString::fromStdString(format_line("%6.3f", double(float(ld(sap) + ld(d.path_of_contact))))).trimmed();
  QString y_title = item_text;
  if (temperature) y_title += d.unit_system == 2 ? " (deg. F)" : " (deg. C)";

  // Fonts and margins follow the plot's size; the margins take in the texts beside the plot area.
  const double scale = chart_scale(size, QSizeF(kPlotWidth, kPlotHeight));
  const double gap = std::max(2.0, 4 * scale), tick = std::max(2.0, 5 * scale);
  const QFont title_font = font_to_fit(chart_font_of_size(40.0 / 3 * scale, ratio), item_text, w - 2 * gap, ratio);
  const QFont label_font = chart_font_of_size(32.0 / 3 * scale, ratio);
  const QFontMetricsF title(title_font), label(label_font);
  const double legend_height = second ? label.height() + gap : 0;
  const double top = std::max(60 * scale, gap + title.height() + gap + legend_height + label.height() / 2);
  // The x limits stand below the y axis' lowest label, which is centred on the x axis.
  const double below_axis = std::max(tick, label.height() / 2) + 1;
  const double bottom = h - std::max(40 * scale, below_axis + label.height() + gap / 2 + label.height() + gap / 2);
  const QFont y_title_font =
      font_to_fit(chart_font_of_size(14 / 1.15 * scale, ratio), y_title, bottom - top, ratio);
  const double y_labels = std::max(label.horizontalAdvance(y_min_text), label.horizontalAdvance(y_max_text));
  const double left = std::round(
      std::max(60 * scale, gap + QFontMetricsF(y_title_font).height() + gap + y_labels + gap / 2 + tick));
  const double right = std::round(w - std::max(20 * scale, label.horizontalAdvance(eap_text) / 2 + gap));

  // Frame.
  d.chart_top = int(std::round(top));
  d.chart_bottom = int(std::round(bottom));
  d.chart_left = int(left);
  d.chart_right = int(right);
  d.chart_centre_x = d.chart_plus_x_origin = d.chart_minus_x_origin = d.chart_left;
  const ld origin = d.chart_left;
  const ld ytop = d.chart_top, ybottom = d.chart_bottom, xright = d.chart_right;
  d.chart_y_scale = float((ytop - ybottom) / (ld(d.chart_y_max) - ld(d.chart_y_min)));
  d.chart_plus_x_scale =
      float((xright - origin) / (count > 1 ? ld(d.chart_plus_x_max) - ld(d.chart_plus_x_min) : 1.0L));
  const auto px = [&](int i) { return (ld(i) - ld(d.chart_plus_x_min)) * ld(d.chart_plus_x_scale) + origin; };
  const auto py = [&](float v) { return (ld(v) - ld(d.chart_y_min)) * ld(d.chart_y_scale) + ybottom; };

  // Axes.
  draw_line(p, xright, ybottom, origin, ybottom);
  draw_line(p, origin, ytop, origin, ybottom);

  place_title(p, texts, title_font, item_text, left, right, w, gap);
  p.setFont(label_font);
  place_text(p, texts, left - tick - gap / 2 - label.horizontalAdvance(y_min_text), double(ybottom) - label.height() / 2,
             y_min_text, true);
  place_text(p, texts, left - tick - gap / 2 - label.horizontalAdvance(y_max_text), double(ytop) - label.height() / 2,
             y_max_text, true);
  const double x_labels_y = double(ybottom) + below_axis;
  place_text(p, texts, left - label.horizontalAdvance(sap_text) / 2, x_labels_y, sap_text, true);
  place_text(p, texts, right - label.horizontalAdvance(eap_text) / 2, x_labels_y, eap_text, true);
  {
    const QString text = text_to_fit(label_font, "Position along the path of contact", right - left);
    place_text(p, texts, (left + right) / 2 - label.horizontalAdvance(text) / 2,
               x_labels_y + label.height() + gap / 2, text, true);
  }

  // Eleven ticks on the y axis.
  for (int k = 0; k <= 10; ++k) {
    const ld t = ytop + k * 0.1L * (ybottom - ytop);
    draw_line(p, origin - tick, t, origin, t);
  }

  // The series: circles joined by lines; a second series with narrow markers and a legend.
  int x = 0, y = 0, previous_x = 0, previous_y = 0;
  const auto series = [&](const float* values, bool narrow) {
    bool has_previous = false;
    for (int i = 0; i < count; ++i) {
      if (!pixel_of(px(i), x) || !pixel_of(py(values[i]), y)) {
        has_previous = false;
        continue;
      }
      if (narrow) draw_ellipse(p, x - 1, y - 3, x + 1, y + 3);
      else draw_ellipse(p, x - 2, y - 2, x + 2, y + 2);
      if (has_previous) draw_line(p, x, y, previous_x, previous_y);
      previous_x = x, previous_y = y, has_previous = true;
    }
  };
  series(first, false);
  if (second) {
    series(second, true);
    // The legend under the title: each series' name, then a run of its line with its marker.
    const double run = 30 * scale, legend_y = gap + title.height() + gap;
    const double pinion_w = label.horizontalAdvance("pinion"), wheel_w = label.horizontalAdvance("wheel");
    const double width = pinion_w + gap + run + 3 * gap + wheel_w + gap + run;
    double at = std::max(gap, (left + right) / 2 - width / 2);
    const int line_y = int(legend_y + label.height() / 2);
    place_text(p, texts, at, legend_y, "pinion", true);
    at += pinion_w + gap;
    draw_line(p, at, line_y, at + run, line_y);
    draw_ellipse(p, int(at + run / 2) - 2, line_y - 2, int(at + run / 2) + 2, line_y + 2);
    at += run + 3 * gap;
    place_text(p, texts, at, legend_y, "wheel", true);
    at += wheel_w + gap;
    draw_line(p, at, line_y, at + run, line_y);
    draw_ellipse(p, int(at + run / 2) - 1, line_y - 3, int(at + run / 2) + 1, line_y + 3);
  }

  // The position shown, marked red.
  const int shown = d.flash_position < 0 ? 0 : d.flash_position >= count ? count - 1 : d.flash_position;
  p.setPen(QPen(Qt::red, 1, Qt::SolidLine));
  p.setBrush(QBrush(Qt::red, Qt::SolidPattern));
  if (pixel_of(px(shown), x) && pixel_of(py(first[shown]), y)) draw_ellipse(p, x - 2, y - 2, x + 2, y + 2);
  if (second && pixel_of(px(shown), x) && pixel_of(py(second[shown]), y)) draw_ellipse(p, x - 1, y - 3, x + 1, y + 3);
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  p.setBrush(Qt::NoBrush);

  place_axis_title_upwards(p, texts, y_title_font, y_title, double(ytop), double(ybottom), gap);
  return texts;
}

// Layout designed at 96 pixels per inch: inputs and results on the left, the plot on the right.
Tflashtempform::Tflashtempform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("flashtempform");
  setWindowTitle("Flash Temperature");

  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(8, 8, kFormulaWidth, kFormulaHeight);  // drawn when shown, at the window's scale
  Image2->setToolTip("Fundamental flash temperature formula");

  constexpr int kSymbolX = 8, kEditX = 60, kUnitsX = 155, kBoxX = 262, kTop = 92, kStep = 27;
  const QString theta = QString::fromUtf8("\u03b8"), mu = QString::fromUtf8("\u03bc"),
                gamma_upper = QString::fromUtf8("\u0393"), gamma = QString::fromUtf8("\u03b3");
  struct Row {
    QLineEdit** edit;
    const char* name;
    QString symbol, subscript;
    const char* hint;
    QLabel** units;
    const char* units_name;
    QCheckBox** box;
    const char* box_name;
  };
  const Row rows[] = {
      {&Kedit, "Kedit", "K", "", "Numerical factor", nullptr, nullptr, &CheckBoxK, "CheckBoxK"},
      {&mumedit, "mumedit", mu, "m", "Mean coefficient of friction", nullptr, nullptr, &CheckBoxmum, "CheckBoxmum"},
      {&BMedit, "BMedit", "B", "M", "Thermal contact coefficient", &unitsBM, "unitsBM", &CheckBoxBM, "CheckBoxBM"},
      {&XGAMMAedit, "XGAMMAedit", "X", gamma_upper, "Load sharing factor", nullptr, nullptr, &CheckBoxXGAMMA,
       "CheckBoxXGAMMA"},
      {&wnedit, "wnedit", "w", "n", "Normal unit load", &unitswn, "unitswn", &CheckBoxwn, "CheckBoxwn"},
      {&BHedit, "BHedit", "B", "H", "Semi-width of rectangular contact band", &unitsBH, "unitsBH", nullptr, nullptr},
      {&Vr1edit, "Vr1edit", "V", "r1", "Rolling velocity of pinion", &unitsvr1, "unitsvr1", nullptr, nullptr},
      {&Vr2edit, "Vr2edit", "V", "r2", "Rolling velocity of wheel", &unitsvr2, "unitsvr2", nullptr, nullptr},
      {&thetafledit, "thetafledit", theta, "fl", "Flash temperature", &unitsthetafl, "unitsthetafl", nullptr, nullptr},
      {&thetaflmaxedit, "thetaflmaxedit", theta, "fl max", "Maximum flash temperature", &unitsthetaflmax,
       "unitsthetaflmax", nullptr, nullptr},
      {&gamma1edit, "gamma1edit", gamma, "1", "Specific sliding of pinion", nullptr, nullptr, nullptr, nullptr},
      {&gamma2edit, "gamma2edit", gamma, "2", "Specific sliding of gear", nullptr, nullptr, nullptr, nullptr},
      {&Vgedit, "Vgedit", "V", "g", "Sliding velocity", &unitsvg, "unitsvg", nullptr, nullptr},
  };
  int y = kTop;
  for (const Row& r : rows) {
    add_symbol(this, r.symbol, r.subscript, r.hint, kSymbolX, y);
    // An input (a row with a box) is a numeric field; its text is as long as the user types it.
    *r.edit = r.box ? add_numeric_edit(d_, this, r.name, kEditX, y, 89, 21,
                                       {.max_length = NumericEditStyle::kAnyLength})
                    : add_result_box(this, r.name, kEditX, y);
    if (r.units) {
      *r.units = add_label(this, "", kUnitsX, y + 2, 100);
      (*r.units)->setObjectName(r.units_name);
    }
    if (r.box) {
      *r.box = new QCheckBox(this);
      (*r.box)->setObjectName(r.box_name);
      (*r.box)->setGeometry(kBoxX, y + 2, 17, 17);
      (*r.box)->setChecked(true);  // every input starts estimated
      add_label(this, "(Estimate) ", kBoxX + 20, y + 2, 70);
    } else {
      (*r.edit)->setReadOnly(true);
      set_colour(*r.edit, kBtnFaceColour);
    }
    y += kStep;
  }
  QLabel* half = add_label(this, "0.5", kUnitsX + 62, 2 * kStep + kTop - 4, 20, 12);
  QFont small = half->font();
  small.setPointSize(6);
  half->setFont(small);

  Button2 = new QPushButton(">>", this);
  Button2->setObjectName("Button2");
  Button2->setAutoDefault(false);
  Button2->setToolTip("Type of profile modification for load sharing factor");
  Button2->setGeometry(kBoxX + 95, kTop + 3 * kStep, 40, 21);

  constexpr int kRightX = 448;
  add_label(this, "Parameter to plot  ", kRightX, 11, 150);
  plotcombo = new QComboBox(this);
  plotcombo->setObjectName("plotcombo");
  for (const char* name : kFlashPlotItemNames) plotcombo->addItem(name);
  plotcombo->setGeometry(kRightX + 190, 8, 200, 22);
  add_label(this, "Position along path of contact ", kRightX, 39, 190);
  positioncombo = new QComboBox(this);
  positioncombo->setObjectName("positioncombo");
  positioncombo->addItem("P1 Pinion SAP");
  positioncombo->addItem("P2 ");
  for (int k = 3; k <= 63; ++k) positioncombo->addItem(QString("P%1").arg(k));
  positioncombo->addItem("P64 Pinion EAP");
  positioncombo->setGeometry(kRightX + 190, 36, 200, 22);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(kRightX, 66, kPlotWidth, kPlotHeight);

  ratingnotrun = add_label(this, QString("%1\n%2").arg(kRatingNotRunLines[0], kRatingNotRunLines[1]), kSymbolX,
                           kTop + 13 * kStep + 6, kRightX - 2 * kSymbolX, 34);
  ratingnotrun->setObjectName("ratingnotrun");
  ratingnotrun->hide();
  dynamicfactorrange = add_label(this, QString(), kSymbolX, kTop + 13 * kStep + 6, kRightX - 2 * kSymbolX, 34);
  dynamicfactorrange->setObjectName("dynamicfactorrange");
  dynamicfactorrange->setWordWrap(true);
  dynamicfactorrange->hide();

  Button1 = new QPushButton("Close", this);
  Button1->setObjectName("Button1");
  Button1->setAutoDefault(false);
  Button1->setGeometry(kRightX + kPlotWidth - 75, 66 + kPlotHeight + 8, 75, 25);
  setFixedSize(kRightX + kPlotWidth + 8, 66 + kPlotHeight + 41);

  forms::on_exit(Kedit, [this] { KeditExit(); });
  forms::on_exit(mumedit, [this] { mumeditExit(); });
  forms::on_exit(BMedit, [this] { BMeditExit(); });
  forms::on_exit(XGAMMAedit, [this] { XGAMMAeditExit(); });
  forms::on_exit(wnedit, [this] { wneditExit(); });
  forms::on_click(CheckBoxK, [this] { CheckBoxKClick(); });
  forms::on_click(CheckBoxmum, [this] { CheckBoxmumClick(); });
  forms::on_click(CheckBoxBM, [this] { CheckBoxBMClick(); });
  forms::on_click(CheckBoxXGAMMA, [this] { CheckBoxXGAMMAClick(); });
  forms::on_click(CheckBoxwn, [this] { CheckBoxwnClick(); });
  forms::on_choice(positioncombo, [this] { positioncomboChange(); });
  forms::on_choice(plotcombo, [this] { plotcomboChange(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  forms::on_click(Button2, [this] { Button2Click(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tflashtempform::showEvent(QShowEvent* event) {
  // The formula at the size and pixel ratio it is shown at.
  QImage formula = picture_for(Image2);
  draw_flash_formula(formula);
  Image2->setPixmap(QPixmap::fromImage(formula));
  FormShow();
  QDialog::showEvent(event);
}

void Tflashtempform::FormShow() {
  d_.flash_point_count = kFlashPointCount;
  const bool english = d_.unit_system == 2;
  unitsBM->setText(english ? "lbf/inch/F/s" : " N/mm/K/s");
  unitswn->setText(english ? "lbf/inch" : "N/mm");
  unitsBH->setText(english ? "inch" : "mm");
  for (QLabel* l : {unitsvr1, unitsvr2, unitsvg}) l->setText(english ? "ft/sec" : "m/s");
  for (QLabel* l : {unitsthetafl, unitsthetaflmax}) l->setText(english ? "degrees F" : "degrees C");
  d_.flash_position = 0;
  positioncombo->setCurrentIndex(0);
  plotcombo->setCurrentIndex(0);
  Setflash_textboxes();
}

FlashEstimates Tflashtempform::estimates() const {
  return {CheckBoxK->isChecked(), CheckBoxmum->isChecked(), CheckBoxBM->isChecked(), CheckBoxXGAMMA->isChecked(),
          CheckBoxwn->isChecked()};
}

void Tflashtempform::flashtempcalcs() { calc_flash_temperature(d_, estimates()); }

int Tflashtempform::position() const {
  return d_.flash_position < 0 ? 0 : d_.flash_position >= kFlashPointCount ? kFlashPointCount - 1 : d_.flash_position;
}

void Tflashtempform::show_not_rated() {
  for (QLineEdit* edit : {Kedit, mumedit, BMedit, XGAMMAedit, wnedit, BHedit, Vr1edit, Vr2edit, thetafledit,
                          thetaflmaxedit, gamma1edit, gamma2edit, Vgedit}) {
    edit->clear();
    edit->setToolTip(QString());
  }
  // A blank picture at the screen's pixel ratio, and no texts of a plot drawn before.
  plot_ = picture_for(Image1);
  plot_.fill(Qt::white);
  plot_texts_ = ChartTexts();
  Image1->setPixmap(QPixmap::fromImage(plot_));
}

void Tflashtempform::Setflash_textboxes() {
  const bool ratable = rated();
  ratingnotrun->setVisible(!ratable);
  const QString range_notice = ratable ? QString::fromStdString(dynamic_factor_range_notice(d_)) : QString();
  dynamicfactorrange->setText(range_notice);
  dynamicfactorrange->setVisible(!range_notice.isEmpty());
  for (QWidget* w : std::initializer_list<QWidget*>{Kedit, mumedit, BMedit, XGAMMAedit, wnedit, CheckBoxK,
                                                    CheckBoxmum, CheckBoxBM, CheckBoxXGAMMA, CheckBoxwn, Button2,
                                                    plotcombo, positioncombo})
    w->setEnabled(ratable);
  if (!ratable) {
    show_not_rated();
    return;
  }
  flashtempcalcs();

  const std::pair<QCheckBox*, QLineEdit*> inputs[] = {
      {CheckBoxK, Kedit}, {CheckBoxmum, mumedit}, {CheckBoxBM, BMedit}, {CheckBoxXGAMMA, XGAMMAedit}, {CheckBoxwn, wnedit}};
  for (const auto& [box, edit] : inputs) {
    edit->setReadOnly(box->isChecked());
    set_colour(edit, box->isChecked() ? kBtnFaceColour : kWindowColour);
  }
  Button2->setVisible(CheckBoxXGAMMA->isChecked());

  const int i = position();
  const auto value = [this](QLineEdit* edit, ld shown) { show_field(edit, format_value(d_, float(shown)), shown); };
  value(Kedit, d_.flash_k_factor);
  value(mumedit, d_.flash_mean_friction);
  value(XGAMMAedit, d_.flash_load_sharing[i]);
  value(gamma1edit, d_.flash_specific_sliding_pinion[i]);
  value(gamma2edit, d_.flash_specific_sliding_wheel[i]);
  value(wnedit, d_.unit_system == 2 ? ld(d_.flash_unit_load) * d_.length_unit_factor / d_.force_unit_factor
                                    : ld(d_.flash_unit_load));
  value(BMedit, thermal_coefficient_shown(d_, d_.flash_thermal_coefficient));
  const ld bh = ld(d_.flash_hertz_half_width[i]) / d_.length_unit_factor;
  show_field(BHedit, format_length(d_, float(bh)), bh);
  value(Vr1edit, ld(d_.flash_rolling_velocity_pinion[i]) / d_.velocity_unit_factor);
  value(Vr2edit, ld(d_.flash_rolling_velocity_wheel[i]) / d_.velocity_unit_factor);
  value(Vgedit, ld(d_.flash_sliding_velocity[i]) / d_.velocity_unit_factor);
  value(thetafledit, temperature_rise_shown(d_, d_.flash_temperature[i]));
  value(thetaflmaxedit, temperature_rise_shown(d_, d_.flash_temperature_max));

  plotflash();
}

void Tflashtempform::plotflash() {
  // At the screen's pixel ratio, so that the screen shows the plot's own pixels.
  plot_ = picture_for(Image1);
  plot_texts_ = draw_flash_plot(plot_, d_, plotcombo->currentIndex() < 0 ? 0 : plotcombo->currentIndex());
  Image1->setPixmap(QPixmap::fromImage(plot_));
}

void Tflashtempform::input_exit(Input input) {
  QLineEdit* edits[] = {Kedit, mumedit, BMedit, XGAMMAedit, wnedit};
  QLineEdit* edit = edits[input];
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    const bool english = d_.unit_system == 2;
    float* target = nullptr;
    ld value = v.value;
    float lower = 0, upper = 0;  // lower bound exclusive, upper inclusive, compared as stored
    switch (input) {
      case kK:
        target = &d_.flash_k_factor, lower = 0, upper = 2;
        break;
      case kMu:
        target = &d_.flash_mean_friction, lower = 0.001f, upper = 0.5f;
        break;
      case kBM:
        target = &d_.flash_thermal_coefficient, lower = 5, upper = 20;
        if (english) value = value * 4.448L * (1.0L / 25.4L) * 9.0L * 0.2L;
        break;
      case kX:
        target = &d_.flash_load_sharing[position()], lower = 0, upper = 1.5f;
        break;
      case kWn:
        target = &d_.flash_unit_load, lower = 0, upper = 1e6f;
        if (english) value = value * d_.force_unit_factor / d_.length_unit_factor;
        break;
    }
    d_.edit_old_value = *target;
    *target = float(value);
    if (!(*target > lower && *target <= upper)) {
      warn_field(d_, edit, "Value is out of range", " ", " ");
      *target = d_.edit_old_value;
    }
    // An entered load-sharing factor applies at every position.
    if (input == kX) d_.flash_load_sharing_input = *target;
  }
  finish_field_exit(d_, [this] { Setflash_textboxes(); });
}

void Tflashtempform::KeditExit() { input_exit(kK); }
void Tflashtempform::mumeditExit() { input_exit(kMu); }
void Tflashtempform::BMeditExit() { input_exit(kBM); }
void Tflashtempform::XGAMMAeditExit() { input_exit(kX); }
void Tflashtempform::wneditExit() { input_exit(kWn); }
void Tflashtempform::CheckBoxKClick() { Setflash_textboxes(); }
void Tflashtempform::CheckBoxmumClick() { Setflash_textboxes(); }
void Tflashtempform::CheckBoxBMClick() { Setflash_textboxes(); }
void Tflashtempform::CheckBoxXGAMMAClick() { Setflash_textboxes(); }
void Tflashtempform::CheckBoxwnClick() { Setflash_textboxes(); }

void Tflashtempform::positioncomboChange() {
  if (positioncombo->currentIndex() >= 0) d_.flash_position = positioncombo->currentIndex();
  Setflash_textboxes();
}

void Tflashtempform::plotcomboChange() { Setflash_textboxes(); }

void Tflashtempform::Button2Click() {
  if (flashloadform) {
    forms::services().show_modal(*flashloadform);
  } else {
    Tflashloadform dialog(d_, this);
    forms::services().show_modal(dialog);
  }
  Setflash_textboxes();
}

void Tflashtempform::Button1Click() { accept(); }

void Tflashtempform::done(int result) {
  // A field still being edited is left first, so its entry is stored and checked.
  if (isVisible()) Button1->setFocus(Qt::OtherFocusReason);
  QDialog::done(result);
}

}  // namespace morvell
