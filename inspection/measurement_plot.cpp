#include "measurement_plot.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <cmath>
#include <tuple>

#include "numeric.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

using ld = long double;

const QColor kGrey(0x80, 0x80, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr ld kStep = 0.031415926535897934;  // pi / 100: one segment of the drawn ball

// Height of the window that one gear's ball needs: from 0.05 m_n below the root circle to a little
// above the ball.
ld window_height(const DesignData& d, int gear) {
  const ld mn = d.normal_module;
  const ld above = gear == 0 ? mn * (1.0L / 15.0L) : 0.05L * mn;
  return (ld(d.ball_centre_diameter_finished[gear]) / 2 + ld(d.ball_diameter[gear]) / 2 + above) -
         (ld(d.root_diameter[gear]) / 2 - 0.05L * mn);
}

// The window of the picture's image control (its size in its own units), at the picture's pixel ratio.
MetrologyPlotWindow window_of(DesignData& d, int gear, const QImage& image) {
  const double ratio = image.devicePixelRatio();
  MetrologyPlotWindow w = compute_metrology_plot_window(d, gear, int(std::lround(image.width() / ratio)),
                                                        int(std::lround(image.height() / ratio)));
  w.ratio = ratio;
  return w;
}

QPointF point_of(const PlotPoint& p) { return QPointF(p.x, p.y); }

class Plot {
 public:
  Plot(DesignData& d, int gear, QImage& image)
      : w_(window_of(d, gear, image)), p_(&image), scale_(window_scale_of(d)) {}

  // A length of the layout in pixels of the window as scaled.
  double scaled(double layout_pixels) const { return layout_pixels * scale_; }

  QPainter& painter() { return p_; }
  const MetrologyPlotWindow& window() const { return w_; }

  void set_pen(const QColor& colour, Qt::PenStyle style) { p_.setPen(QPen(colour, 1, style)); }

  void line(ld x0, ld y0, ld x1, ld y1) {
    const auto a = mesh_plot_point(w_, x0, y0);
    const auto b = mesh_plot_point(w_, x1, y1);
    if (a && b) p_.drawLine(point_of(*a), point_of(*b));
  }

  // A circle of radius r about the gear centre, through the pixels of its bounding box.
  void centred_circle(ld r) {
    const auto a = mesh_plot_point(w_, -r, r);
    const auto b = mesh_plot_point(w_, r, -r);
    if (a && b) p_.drawEllipse(QRectF(point_of(*a), point_of(*b)));
  }

  // The ball of diameter D about (0, r_c): 200 straight segments, starting on its right.
  void ball(ld D, ld rc) {
    QPolygonF outline;
    for (int k = 0; k <= 200; ++k) {
      const ld t = k * kStep;
      const auto px = mesh_plot_point(w_, D / 2 * std::cos(t), rc + D / 2 * std::sin(t));
      if (!px) return;
      outline << point_of(*px);
    }
    p_.drawPolyline(outline);
  }

  void text(double x, double y, const QString& s) {
    p_.drawText(QRectF(x, y, scaled(200), scaled(40)), Qt::AlignLeft | Qt::AlignTop, s);
  }
  // Text placed at a point in mm, moved by (dx, dy) pixels of the layout.
  void text_at(ld x, ld y, int dx, int dy, const QString& s) {
    const auto px = mesh_plot_point(w_, x, y);
    if (px) text(px->x + scaled(dx), px->y + scaled(dy), s);
  }

  // 10 points in the layout, scaled with the window as its own text is.
  void label_font() {
    QFont font = p_.font();
    font.setPointSizeF(scaled(10));
    p_.setFont(font);
    p_.setPen(QPen(kGrey));
  }

 private:
  // The window scale, trunc(multiplier) / trunc(divisor); 1 where it has no divisor.
  static double window_scale_of(const DesignData& d) {
    const double m = std::trunc(double(d.form_scale_multiplier)), q = std::trunc(double(d.form_scale_divisor));
    return q > 0 && m > 0 && std::isfinite(m / q) ? m / q : 1.0;
  }

  MetrologyPlotWindow w_;
  QPainter p_;
  double scale_;
};

void draw_gear_teeth(Plot& plot, DesignData& d, int gear) {
  const int32_t g = gear;
  generate_gear_outline(d, g);
  const int32_t z = d.teeth[g];
  if (z <= 0) return;
  QPolygonF line;
  const auto flush = [&] {
    if (line.size() > 1) plot.painter().drawPolyline(line);
    line.clear();
  };
  // Tooth j turned by j 2 pi / z and all by -pi / z, so that a tooth space lies symmetric about the y
  // axis; consecutive teeth join at their common space centre, so the line runs once round the gear.
  for (int32_t j = 0; j < z; ++j) {
    for (const ProfilePoint& point : d.profile_points.points) {
      const ld x = point.x, y = point.y;
      const ld theta = std::atan(x / y) - j * kPiDouble / (ld(z) / 2) - kPiDouble / z;
      const ld r = std::sqrt(x * x + y * y);
      const auto px = mesh_plot_point(plot.window(), r * std::sin(theta), r * std::cos(theta));
      if (px)
        line << point_of(*px);
      else
        flush();
    }
  }
  flush();
}

}  // namespace

MetrologyPlotWindow compute_metrology_plot_window(DesignData& d, int gear, int width, int height) {
  const ld rp = window_height(d, 0);
  const ld rw = window_height(d, 1);
  const ld R = rp >= rw ? rp : rw;
  const ld zoom = d.plot_zoom;
  const ld y_bottom = ld(d.root_diameter[gear]) / 2 - 0.05L * ld(d.normal_module);
  d.plot_pan_y = float(R / (2 * zoom) - R / 2);
  MetrologyPlotWindow w;
  w.height = height;
  w.left = (-(R / 2) * (width - 10) / (height - 10) - ld(d.plot_pan_x)) / zoom;
  w.bottom = y_bottom - ld(d.plot_pan_y);
  w.top = w.bottom + R / zoom;
  d.plot_scale_y = float(-(height - 10) * zoom / R);
  d.plot_scale_x = -d.plot_scale_y;
  w.scale_x = d.plot_scale_x;
  w.scale_y = d.plot_scale_y;
  return w;
}

void draw_metrology_legends(QImage& contact, QImage& reference, QImage& base) {
  QImage* images[3] = {&contact, &reference, &base};
  const QColor colours[3] = {Qt::black, kSilver, kGrey};
  for (int k = 0; k < 3; ++k) {
    QImage& image = *images[k];
    QPainter p(&image);
    const QSizeF size = image.deviceIndependentSize();
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    p.setPen(QPen(colours[k], 1, Qt::DotLine));
    const int y = int(std::lround(size.height())) / 2;
    p.drawLine(QPointF(0, y), QPointF(size.width(), y));
  }
}

void draw_metrology_plot(DesignData& d, int gear, QImage& image) {
  Plot plot(d, gear, image);
  QPainter& p = plot.painter();
  p.fillRect(QRectF(QPointF(0, 0), image.deviceIndependentSize()), Qt::white);
  const QString name = gear == 0 ? "Pinion" : "Wheel";
  plot.label_font();
  plot.text(plot.scaled(5), 0, name);

  const MetrologyPlotWindow& w = plot.window();
  const ld db = d.base_diameter[gear];
  const ld dc = d.ball_centre_diameter_finished[gear];
  const ld D = d.ball_diameter[gear];
  const ld rb = db / 2, rc = dc / 2;
  const ld alpha = std::acos(db / dc);
  const ld centre_nominal = ld(d.ball_centre_diameter_nominal[gear]) / 2;
  // "A" and "C" mark the base-circle points of the tangents, moved to the window's left edge (and its
  // mirror) when the point lies left of the window.
  ld xa = -rb * std::sin(alpha);
  ld ya = rb * std::cos(alpha);
  if (xa < w.left) {
    xa = w.left;
    ya = centre_nominal + w.left * std::sin(alpha);
  }

  if (d.metrology_plot_plane == kMetrologyTransversePlane) {
    p.setBrush(Qt::NoBrush);
    plot.set_pen(kSilver, Qt::DotLine);
    plot.centred_circle(ld(d.reference_diameter[gear]) / 2);
    plot.set_pen(Qt::black, Qt::DotLine);
    plot.centred_circle(ld(d.ball_contact_diameter_nominal[gear]) / 2);
    plot.set_pen(kGrey, Qt::DotLine);
    plot.centred_circle(rb);
    plot.set_pen(kGrey, Qt::SolidLine);
    const ld c = gear == 0 ? 1.0L / 15.0L : 0.1L;
    plot.line(-c * D, rc, c * D, rc);
    plot.line(0, rc - c * D, 0, rc + c * D);
    plot.set_pen(kGrey, Qt::DashDotLine);
    plot.line(rb * std::sin(alpha), rb * std::cos(alpha), 0, rc);
    plot.line(0, rc, -rb * std::sin(alpha), rb * std::cos(alpha));
    plot.set_pen(kGrey, Qt::SolidLine);
    plot.ball(D, rc);
    plot.label_font();
    plot.text_at(xa, ya, 0, 10, "A");
    plot.text_at(0, centre_nominal, -5, 10, "B");
    plot.text_at(-xa, ya, -12, 10, "C");
    p.setBrush(Qt::white);
    plot.set_pen(kGrey, Qt::SolidLine);
    draw_gear_teeth(plot, d, gear);
    return;
  }

  const ld b = d.face_width[gear];
  const ld beta_b = deg_to_rad_double_pi(d.base_helix_angle);
  plot.set_pen(kGrey, Qt::SolidLine);
  p.setBrush(Qt::white);
  {
    const auto a = mesh_plot_point(w, -rb * std::tan(alpha), rc + b / 2);
    const auto c = mesh_plot_point(w, rb * std::tan(alpha), rc - b / 2);
    if (a && c) p.drawRect(QRectF(point_of(*a), point_of(*c)));
  }
  p.setBrush(Qt::NoBrush);
  plot.ball(D, rc);
  plot.label_font();
  const auto label_row = mesh_plot_point(w, 0, centre_nominal);
  if (label_row) {
    for (auto [x, dx, s] : {std::tuple<ld, int, const char*>{xa, 0, "A"}, {0, -5, "B"}, {-xa, -12, "C"}}) {
      const auto px = mesh_plot_point(w, x, centre_nominal);
      if (px) plot.text(px->x + plot.scaled(dx), label_row->y + plot.scaled(5), s);
    }
  }
  plot.set_pen(kGrey, Qt::DashDotLine);
  plot.line(-db * std::tan(alpha), rc, db * std::tan(alpha), rc);
  plot.set_pen(kGrey, Qt::SolidLine);
  plot.line(0, rc - b / 2, 0, rc + b / 2);
  for (const ld s : {1.0L, -1.0L}) {
    plot.line(s * (D / 2) / std::cos(beta_b) + (b / 2) * std::tan(beta_b), rc + b / 2,
              s * (D / 2) / std::cos(beta_b) - (b / 2) * std::tan(beta_b), rc - b / 2);
  }
  plot.line(-(D / 2) * std::cos(beta_b), rc + (D / 2) * std::sin(beta_b), (D / 2) * std::cos(beta_b),
            rc - (D / 2) * std::sin(beta_b));
}

}  // namespace morvell
