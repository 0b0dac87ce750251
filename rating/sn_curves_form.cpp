#include "sn_curves_form.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart_painting.h"
#include "numeric.h"
#include "results_pane.h"
#include "window_scale.h"

namespace morvell {

TSNCurvesform* SNCurvesform = nullptr;

namespace {

constexpr int kImageWidth = 485, kImageHeight = 320, kGap = 8;
constexpr ld kLogCyclesMin = 2.0L, kLogCyclesMax = 11.0L;  // 1e2 .. 1e11

bool positive(ld v) { return std::isfinite(v) && v > 0; }

}  // namespace

SnChart sn_chart_of(const DesignData& d, int image) {
  SnChart c;
  switch (image) {
    case 0:
      c = {"Allowable Pinion Contact Stress", true, 4,
           {d.nl_static_contact_pinion, d.nl_pit_contact_pinion, d.nl_lim_contact_pinion, d.nl_inf_contact_pinion},
           {d.sn_permissible_contact_pinion[0], d.sn_permissible_contact_pinion[1], d.sn_permissible_contact_pinion[2],
            d.sn_permissible_contact_pinion[3]},
           d.load_cycles_pinion, d.contact_stress[0]};
      break;
    case 1:
      c = {"Allowable Wheel Contact Stress", true, 4,
           {d.nl_static_contact_wheel, d.nl_pit_contact_wheel, d.nl_lim_contact_wheel, d.nl_inf_contact_wheel},
           {d.sn_permissible_contact_wheel[0], d.sn_permissible_contact_wheel[1], d.sn_permissible_contact_wheel[2],
            d.sn_permissible_contact_wheel[3]},
           d.load_cycles_wheel, d.contact_stress[1]};
      break;
    case 2:
      c = {"Allowable Pinion Bending Stress", false, 3,
           {d.nl_static_bending_pinion, d.nl_lim_bending_pinion, d.nl_inf_bending_pinion, 0},
           {d.sn_permissible_bending_pinion[0], d.sn_permissible_bending_pinion[1], d.sn_permissible_bending_pinion[2], 0},
           d.load_cycles_pinion, d.tooth_root_stress_pinion};
      break;
    default:
      c = {"Allowable Wheel Bending Stress", false, 3,
           {d.nl_static_bending_wheel, d.nl_lim_bending_wheel, d.nl_inf_bending_wheel, 0},
           {d.sn_permissible_bending_wheel[0], d.sn_permissible_bending_wheel[1], d.sn_permissible_bending_wheel[2], 0},
           d.load_cycles_wheel, d.tooth_root_stress_wheel};
      break;
  }
  return c;
}

ld SnChartScale::x(ld cycles) const {
  if (!positive(cycles)) return nan_ld();
  return left + (std::log10(cycles) - kLogCyclesMin) * (right - left) / (kLogCyclesMax - kLogCyclesMin);
}

ld SnChartScale::y(ld stress) const {
  if (!has_stress_axis || !positive(stress)) return nan_ld();
  return bottom + (std::log10(stress) - std::log10(s_min)) * (top - bottom) / (std::log10(s_max) - std::log10(s_min));
}

namespace {

// The stresses of the six ticks of the stress axis, at fifths of its logarithmic range (as 32-bit floats).
std::vector<float> stress_ticks(const SnChartScale& s) {
  std::vector<float> ticks;
  if (!s.has_stress_axis) return ticks;
  const ld log_min = std::log10(s.s_min), log_max = std::log10(s.s_max);
  for (int j = 0; j <= 5; ++j) ticks.push_back(float(std::pow(10.0L, log_min + 0.2L * j * (log_max - log_min))));
  return ticks;
}

QString stress_label(const DesignData& d, float stress) {
  const double shown = d.unit_system == 2 ? double(stress) / double(d.stress_unit_factor) : double(stress);
  return QString::fromStdString(format_line("%6.0f", shown)).trimmed();
}

QString cycles_label(int decade) {
  return QString::fromStdString(format_line("%5.1e", std::pow(10.0, double(2 + decade))));
}

QString stress_title(const SnChart& chart, const DesignData& d) {
  return chart.contact ? (d.unit_system == 2 ? "Contact Stress (Psi)" : "Contact Stress (MPa)")
                       : (d.unit_system == 2 ? "Bending Stress (Psi)" : "Bending Stress (MPa)");
}

// The widest of the texts in the font.
double widest(const QFont& font, const QStringList& texts) {
  const QFontMetricsF metrics(font);
  double w = 0;
  for (const QString& t : texts) w = std::max(w, metrics.horizontalAdvance(t));
  return w;
}

QStringList all_cycles_labels() {
  QStringList labels;
  for (int i = 0; i <= 9; ++i) labels << cycles_label(i);
  return labels;
}

}  // namespace

SnChartScale sn_chart_scale(const SnChart& chart, const DesignData& d, QSizeF size, double device_pixel_ratio) {
  SnChartScale s;

  // The range runs over the infinite-life and static points and the operating point, widened outwards
  // to multiples of 50 MPa. Values that are not numbers take no part.
  const ld lowest = chart.points > 0 ? chart.permissible[chart.points - 1] : nan_ld();
  const ld highest = chart.points > 0 ? chart.permissible[0] : nan_ld();
  const ld op = chart.operating_stress;
  const auto finite_min = [](ld a, ld b) { return !std::isfinite(a) ? b : !std::isfinite(b) ? a : std::min(a, b); };
  const auto finite_max = [](ld a, ld b) { return !std::isfinite(a) ? b : !std::isfinite(b) ? a : std::max(a, b); };
  const ld lo = finite_min(lowest, op), hi = finite_max(highest, op);
  s.s_min = 50.0L * std::floor(0.02L * lo);
  s.s_max = 50.0L * std::ceil(0.02L * hi);

  // A range that reaches zero or below has no logarithmic scale: it then starts at the power of ten
  // below the smallest positive stress of the chart; a range of one value is widened by 50 MPa.
  bool stress_axis = true;
  if (!positive(s.s_min)) {
    ld smallest = nan_ld();
    for (int k = 0; k < chart.points; ++k)
      if (positive(chart.permissible[k])) smallest = finite_min(smallest, chart.permissible[k]);
    if (positive(op)) smallest = finite_min(smallest, op);
    if (positive(smallest)) s.s_min = std::pow(10.0L, std::floor(std::log10(smallest)));
    else stress_axis = false;  // no positive stress: no stress axis
  }
  if (stress_axis) {
    if (!(s.s_max > s.s_min)) s.s_max = s.s_min + 50.0L;
    s.has_stress_axis = std::isfinite(s.s_max);
  }

  // Fonts and margins follow the chart's size; the margins take in the texts beside the plot area.
  const double scale = chart_scale(size, QSizeF(kImageWidth, kImageHeight));
  const double w = size.width(), h = size.height();
  s.gap = std::max(2.0, 4 * scale);
  s.tick = std::max(2.0, 5 * scale);
  s.title_font = font_to_fit(chart_font_of_size(40.0 / 3 * scale, device_pixel_ratio), chart.title, w - 2 * s.gap,
                             device_pixel_ratio);
  s.label_font = chart_font_of_size(8 * scale, device_pixel_ratio);
  s.cycles_title_font = chart_font_of_size(32.0 / 3 * scale, device_pixel_ratio);
  const QFontMetricsF title(s.title_font), label(s.label_font), cycles_title(s.cycles_title_font);

  s.top = std::max(40 * scale, s.gap + title.height() + s.gap + label.height() / 2);
  s.bottom = h - std::max(40 * scale, std::max(s.tick + 1, label.height() / 2 + 1) + label.height() + s.gap / 2 +
                                          cycles_title.height() + s.gap / 2);
  s.cycles_label_width = widest(s.label_font, all_cycles_labels());
  s.right = w - std::max(30 * scale, s.cycles_label_width / 2 + s.gap);

  // The stress axis' title reads upwards along the plot area's height, left of the tick labels.
  s.stress_title_font = font_to_fit(chart_font_of_size(13 / 1.15 * scale, device_pixel_ratio),
                                    stress_title(chart, d), double(s.bottom - s.top), device_pixel_ratio);
  QStringList stress_labels;
  for (const float v : stress_ticks(s)) stress_labels << stress_label(d, v);
  s.left = std::max(60 * scale, s.gap + QFontMetricsF(s.stress_title_font).height() + s.gap +
                                    widest(s.label_font, stress_labels) + s.gap / 2 + s.tick);
  return s;
}

ChartTexts draw_sn_chart(QImage& image, const SnChart& chart, const DesignData& d) {
  const QSizeF size = image.deviceIndependentSize();
  const SnChartScale s = sn_chart_scale(chart, d, size, image.devicePixelRatio());
  ChartTexts texts;
  QPainter p(&image);
  p.setBackground(Qt::white);
  p.setBrush(QBrush(Qt::white, Qt::SolidPattern));
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

  place_title(p, texts, s.title_font, chart.title, double(s.left), double(s.right), size.width(), s.gap);

  // Cycles axis with one tick per decade, labelled under the tick where the labels have room (every
  // second or third decade where the decades are narrower than their labels).
  draw_line(p, s.left, s.bottom, s.right, s.bottom);
  p.setFont(s.label_font);
  const QFontMetricsF label(s.label_font);
  const double decade = double(s.right - s.left) / 9;
  const int every = std::max(1, int(std::ceil((s.cycles_label_width + s.gap) / decade)));
  const double label_y = double(s.bottom) + std::max(s.tick + 1, label.height() / 2 + 1);
  for (int i = 0; i <= 9; ++i) {
    const ld xi = s.x(std::pow(10.0L, ld(2 + i)));
    draw_line(p, xi, s.bottom, xi, s.bottom + s.tick);
    if (i % every == 0) {
      const QString text = cycles_label(i);
      place_text(p, texts, double(xi) - label.horizontalAdvance(text) / 2, label_y, text, true);
    }
  }
  p.setFont(s.cycles_title_font);
  {
    const QString title = text_to_fit(s.cycles_title_font, "Number of Cycles", double(s.right - s.left));
    const double width = QFontMetricsF(s.cycles_title_font).horizontalAdvance(title);
    place_text(p, texts, double(s.left + s.right) / 2 - width / 2, label_y + label.height() + s.gap / 2, title, true);
  }

  // Stress axis with six ticks at fifths of the logarithmic range, each labelled left of its tick.
  draw_line(p, s.left, s.bottom, s.left, s.top);
  if (s.has_stress_axis) {
    p.setFont(s.label_font);
    for (const float sj : stress_ticks(s)) {
      const ld yj = s.y(sj);
      draw_line(p, s.left, yj, s.left - s.tick, yj);
      const QString text = stress_label(d, sj);
      place_text(p, texts, double(s.left) - s.tick - s.gap / 2 - label.horizontalAdvance(text),
                 double(yj) - label.height() / 2, text, true);
    }

    // The curve: a run at the static level from the left edge, then straight lines between the points.
    draw_line(p, s.x(1e2L), s.y(chart.permissible[0]), s.x(chart.cycles[0]), s.y(chart.permissible[0]));
    for (int k = 1; k < chart.points; ++k)
      draw_line(p, s.x(chart.cycles[k - 1]), s.y(chart.permissible[k - 1]), s.x(chart.cycles[k]),
                s.y(chart.permissible[k]));

    // The operating point of the load case. Load cycles beyond the cycles axis put it at the axis' end,
    // drawn open: it lies further out than the chart reaches.
    const ld first = std::pow(10.0L, ld(kLogCyclesMin)), last = std::pow(10.0L, ld(kLogCyclesMax));
    const ld cycles = chart.load_cycles;
    const bool beyond = positive(cycles) && (cycles < first || cycles > last);
    int px = 0, py = 0;
    if (pixel_of(s.x(std::clamp(cycles, first, last)), px) && pixel_of(s.y(chart.operating_stress), py)) {
      const QPen pen = p.pen();
      p.setBrush(beyond ? QBrush(Qt::white, Qt::SolidPattern) : QBrush(Qt::red, Qt::SolidPattern));
      if (beyond) p.setPen(QPen(Qt::red, pen.widthF()));
      draw_ellipse(p, px - 2, py - 2, px + 2, py + 2);
      p.setPen(pen);
    }
  }

  p.setBrush(Qt::NoBrush);
  place_axis_title_upwards(p, texts, s.stress_title_font, stress_title(chart, d), double(s.top), double(s.bottom),
                           s.gap);
  return texts;
}

// Layout designed at 96 pixels per inch: four images in a two-by-two grid with a border of 8 pixels.
TSNCurvesform::TSNCurvesform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("SNCurvesform");
  setWindowTitle("ISO 6336 SN Fatigue Curves");
  QLabel** images[4] = {&Image1, &Image2, &Image3, &Image4};
  for (int k = 0; k < 4; ++k) {
    QLabel* image = new QLabel(this);
    image->setObjectName(QString("Image%1").arg(k + 1));
    image->setGeometry(kGap + (k % 2) * (kImageWidth + kGap), kGap + (k / 2) * (kImageHeight + kGap), kImageWidth,
                       kImageHeight);
    *images[k] = image;
  }
  setFixedSize(2 * kImageWidth + 3 * kGap, 2 * kImageHeight + 3 * kGap);
  scale_window(this, d_);
  d_.edit_changed = 0;
}

void TSNCurvesform::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->geometry();
    move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void TSNCurvesform::FormShow() {
  QLabel* images[4] = {Image1, Image2, Image3, Image4};
  for (int k = 0; k < 4; ++k) {
    // At the screen's pixel ratio, so that the screen shows the chart's own pixels.
    bitmaps_[k] = picture_for(images[k]);
    texts_[k] = draw_sn_chart(bitmaps_[k], sn_chart_of(d_, k), d_);
    images[k]->setPixmap(QPixmap::fromImage(bitmaps_[k]));
  }
}

}  // namespace morvell
