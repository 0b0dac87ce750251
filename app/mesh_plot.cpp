#include "mesh_plot.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <cmath>

#include "mesh_plot_math.h"
#include "numeric.h"
#include "tooth_profile.h"

namespace morvell {

namespace {

const QColor kPlotGrey(128, 128, 128);

// Draws the outline in profile_points on every tooth of the gear as one line running once round the
// gear. A point that cannot be placed on the canvas (not a number, infinite) breaks the line.
void draw_gear_outline(QPainter& p, DesignData& d, const MeshPlotWindow& w, int gear) {
  QPolygonF line;
  const auto flush = [&] {
    if (line.size() > 1) p.drawPolyline(line);
    line.clear();
  };
  const int32_t z = d.teeth[gear];
  for (int32_t i = 0; i < z; ++i) {
    for (const ProfilePoint& point : d.profile_points.points) {
      place_profile_point(d, gear, i, point.x, point.y);
      const std::optional<PlotPoint> px = mesh_plot_point(w, d.profile_point_xy[0], d.profile_point_xy[1]);
      if (px)
        line << QPointF(px->x, px->y);
      else
        flush();
    }
  }
  flush();
}

// A circle of radius r about (cx, cy) in mm, drawn through the pixels of its bounding box.
void draw_circle(QPainter& p, const MeshPlotWindow& w, long double cx, long double cy, long double r) {
  const std::optional<PlotPoint> a = mesh_plot_point(w, cx - r, cy + r);
  const std::optional<PlotPoint> b = mesh_plot_point(w, cx + r, cy - r);
  if (!a || !b) return;
  p.drawEllipse(QRectF(QPointF(a->x, a->y), QPointF(b->x, b->y)));
}

}  // namespace

void draw_mesh_plot(DesignData& d, QImage& image) {
  // The window in the image control's pixels, the picture at its own pixel ratio.
  const double ratio = image.devicePixelRatio();
  MeshPlotWindow w = compute_mesh_plot_window(d, int(std::lround(image.width() / ratio)),
                                              int(std::lround(image.height() / ratio)));
  w.ratio = ratio;
  const bool pinion = d.view_selection == kViewPinion || d.view_selection == kViewMesh;
  const bool wheel = d.view_selection == kViewWheel || d.view_selection == kViewMesh;

  QPainter p(&image);
  p.fillRect(QRectF(QPointF(0, 0), image.deviceIndependentSize()), Qt::white);

  QPen pen(Qt::black, 1, Qt::SolidLine);
  p.setPen(pen);
  if (d.show_nominal_profile == 1) {
    if (pinion) {
      generate_gear_outline(d, 0, true);
      draw_gear_outline(p, d, w, 0);
    }
    if (wheel) {
      generate_gear_outline(d, 1, true);
      draw_gear_outline(p, d, w, 1);
    }
  }

  // Reference circles, dotted grey.
  pen.setColor(kPlotGrey);
  pen.setStyle(Qt::DotLine);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  if (pinion) draw_circle(p, w, 0, 0, ld(d.reference_diameter[0]) / 2);
  if (d.view_selection == kViewWheel) draw_circle(p, w, 0, 0, ld(d.reference_diameter[1]) / 2);
  if (d.view_selection == kViewMesh) draw_circle(p, w, 0, d.centre_distance, ld(d.reference_diameter[1]) / 2);

  // Finished outlines, solid grey.
  pen.setStyle(Qt::SolidLine);
  p.setPen(pen);
  if (pinion) {
    generate_gear_outline(d, 0, false);
    draw_gear_outline(p, d, w, 0);
  }
  if (wheel) {
    generate_gear_outline(d, 1, false);
    draw_gear_outline(p, d, w, 1);
  }
  p.end();
}

}  // namespace morvell
