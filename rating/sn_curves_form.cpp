#include "sn_curves_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>

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

SnChartScale sn_chart_scale(const SnChart& chart, int width, int height) {
  SnChartScale s;
  s.left = 60;
  s.right = ld(width) - 30;
  s.top = 40;
  s.bottom = ld(height) - 40;

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
  if (!positive(s.s_min)) {
    ld smallest = nan_ld();
    for (int k = 0; k < chart.points; ++k)
      if (positive(chart.permissible[k])) smallest = finite_min(smallest, chart.permissible[k]);
    if (positive(op)) smallest = finite_min(smallest, op);
    if (!positive(smallest)) return s;  // no positive stress: no stress axis
    s.s_min = std::pow(10.0L, std::floor(std::log10(smallest)));
  }
  if (!(s.s_max > s.s_min)) s.s_max = s.s_min + 50.0L;
  s.has_stress_axis = std::isfinite(s.s_max);
  return s;
}

void draw_sn_chart(QImage& image, const SnChart& chart, const DesignData& d) {
  const SnChartScale s = sn_chart_scale(chart, image.width(), image.height());
  QPainter p(&image);
  p.setBackground(Qt::white);
  p.setBrush(QBrush(Qt::white, Qt::SolidPattern));
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  p.fillRect(image.rect(), Qt::white);
  int px = 0, py = 0;

  // Title.
  p.setFont(chart_font(10));
  if (pixel_of((s.right - s.left) * 0.5L - 70, px)) text_out(p, px, 2, chart.title, true);

  // Cycles axis with one tick and label per decade.
  draw_line(p, s.left, s.bottom, s.right, s.bottom);
  p.setFont(chart_font(6));
  for (int i = 0; i <= 9; ++i) {
    const ld xi = s.x(std::pow(10.0L, ld(2 + i)));
    draw_line(p, xi, s.bottom, xi, s.bottom + 5);
    if (pixel_of((s.right - s.left) / 9.0L * i + s.left - 15, px) && pixel_of(s.bottom + 5, py))
      text_out(p, px, py, QString::fromStdString(format_line("%5.1e", std::pow(10.0, double(2 + i)))), true);
  }
  p.setFont(chart_font(8));
  if (pixel_of((s.right - s.left) * 0.5L - 15, px) && pixel_of(s.bottom + 20, py))
    text_out(p, px, py, "Number of Cycles", true);

  // Stress axis with six ticks at fifths of the logarithmic range.
  draw_line(p, s.left, s.bottom, s.left, s.top);
  if (s.has_stress_axis) {
    p.setFont(chart_font(6));
    const ld log_min = std::log10(s.s_min), log_max = std::log10(s.s_max);
    for (int j = 0; j <= 5; ++j) {
      const float sj = float(std::pow(10.0L, log_min + 0.2L * j * (log_max - log_min)));
      const ld yj = s.y(sj);
      draw_line(p, s.left, yj, s.left - 5, yj);
      const double shown = d.unit_system == 2 ? double(sj) / double(d.stress_unit_factor) : double(sj);
      if (pixel_of(s.left - 45, px) && pixel_of(s.bottom - 0.2L * j * (s.bottom - s.top) - 5, py))
        text_out(p, px, py, QString::fromStdString(format_line("%6.0f", shown)), true);
    }

    // The curve: a run at the static level from the left edge, then straight lines between the points.
    draw_line(p, s.x(1e2L), s.y(chart.permissible[0]), s.x(chart.cycles[0]), s.y(chart.permissible[0]));
    for (int k = 1; k < chart.points; ++k)
      draw_line(p, s.x(chart.cycles[k - 1]), s.y(chart.permissible[k - 1]), s.x(chart.cycles[k]),
                s.y(chart.permissible[k]));

    // The operating point of the load case.
    if (pixel_of(s.x(chart.load_cycles), px) && pixel_of(s.y(chart.operating_stress), py)) {
      p.setBrush(QBrush(Qt::red, Qt::SolidPattern));
      draw_ellipse(p, px - 2, py - 2, px + 2, py + 2);
    }
  }

  // Stress-axis label, reading upwards, without a box.
  p.setBrush(Qt::NoBrush);
  p.setFont(chart_font_by_cell_height(13));
  const char* label = chart.contact ? (d.unit_system == 2 ? "Contact Stress (Psi)" : "Contact Stress (MPa)")
                                    : (d.unit_system == 2 ? "Bending Stress (Psi)" : "Bending Stress (MPa)");
  if (pixel_of(s.left - 58, px) && pixel_of((s.bottom - s.top) * 0.5L + 85, py)) text_out_upwards(p, px, py, label);
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
    if (bitmaps_[k].isNull()) bitmaps_[k] = QImage(images[k]->size(), QImage::Format_RGB32);
    draw_sn_chart(bitmaps_[k], sn_chart_of(d_, k), d_);
    images[k]->setPixmap(QPixmap::fromImage(bitmaps_[k]));
  }
}

}  // namespace morvell
