// The search window's plot of the result file, the pick of a design from it, the zoom rectangle and the
// report of the design held in the design data.
#include <QComboBox>
#include <QFontMetrics>
#include <QPainter>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "design_file.h"
#include "design_search.h"
#include "numeric.h"
#include "optimization_form.h"
#include "report_columns.h"
#include "results_pane.h"
#include "search_plot_variables.h"
#include "search_report.h"
#include "search_result_file.h"
#include "tooth_profile.h"
#include "warning_dialog.h"

namespace morvell {

namespace {

// A position in pixels from one computed in floating point, truncated toward zero to a whole pixel of
// the screen the picture is painted for (`ratio` of them per pixel); false when the position is not
// finite or lies so far off the picture that no painter takes it.
bool to_pixel(ld v, double ratio, double& pixel) {
  if (!std::isfinite(v) || v > 1e6L || v < -1e6L) return false;
  pixel = double(std::trunc(v * ratio) / ratio);
  return true;
}

// The small circle of a design at (x, y): the ellipse in the box from (x - 2, y - 2) to (x + 2, y + 2),
// its corners truncated.
void draw_design_circle(QPainter& p, ld x, ld y, double ratio) {
  double l, t, r, b;
  if (to_pixel(x - 2, ratio, l) && to_pixel(y - 2, ratio, t) && to_pixel(x + 2, ratio, r) && to_pixel(y + 2, ratio, b))
    p.drawEllipse(QRectF(QPointF(l, t), QPointF(r, b)));
}

// Text whose top left corner is (x, y), on a white box.
void text_out(QPainter& p, int x, int y, const QString& text) {
  const QFontMetrics m(p.font());
  const QRect box(x, y, m.horizontalAdvance(text), m.height());
  p.fillRect(box, p.background());
  p.drawText(x, y + m.ascent(), text);
}

QString label_text(ld v, const char* teeth_format = nullptr) {
  char text[64];
  const char* format = teeth_format ? teeth_format : v > 1000 ? "%6.0f" : v > 100 ? "%6.1f" : "%6.3f";
  std::snprintf(text, sizeof text, format, double(v));
  return QString::fromLatin1(text);
}

// The axis range a plot can be drawn with: bounds that are equal (a single design, or a range such as
// the helix angles of spur designs, 0 to 0) are moved apart around their value, and bounds that are not
// finite become 0 to 1, so that a scale never divides by zero.
void drawable_range(float& min, float& max, bool teeth) {
  if (!std::isfinite(min) || !std::isfinite(max)) {
    min = 0;
    max = teeth ? 2.0f : 1.0f;
    return;
  }
  if (min != max) return;
  const float half = teeth ? 1.0f : (min == 0 ? 1.0f : std::fabs(min) * 0.05f);
  min -= half;
  max += half;
}

// Whether `design` lies inside every range of SearchRanges as the window holds them in d.
bool inside_window_ranges(const DesignData& d, const DesignData& design) {
  const auto probe = std::make_unique<DesignData>(design);
  static_cast<SearchRanges&>(*probe) = d;
  return !outside_search_ranges(*probe);
}

// One tick per tooth on a pinion-teeth axis, as long as the range is a whole and modest number of teeth.
int teeth_ticks(float min, float max) {
  const ld n = std::trunc(ld(max) - ld(min));
  return n >= 1 && n <= 200 ? int(n) : 0;
}

}  // namespace

void Toptimizationform::select_opti_plot_variable() {
  plot_variable_value(d_, XplusComboBox->currentIndex(), d_.scratch_values[0]);
  plot_variable_value(d_, YaxisComboBox->currentIndex(), d_.scratch_values[1]);
  plot_variable_value(d_, XnegComboBox->currentIndex(), d_.scratch_values[2]);
}

void Toptimizationform::check_opti_in_limits() {
  d_.scratch_values[5] = 0;
  if (outside_search_ranges(d_)) d_.scratch_values[5] = 1.0f;
}

void Toptimizationform::form_report() { report_design(d_); }

void Toptimizationform::report_design(const DesignData& design) {
  {
    ResultsPane pane(mainresults);
    write_search_report(design, pane);
  }
  lay_out_report_columns(mainresults->document());
  mainresults->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mainresults->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void Toptimizationform::optimizer_plot_report() {
  // In the pixels of the plot's layout, which the picture keeps at every size of the window.
  QImage& image = Image1->picture();
  const QSizeF size = Image1->layout_size();
  ChartState& c = d_;
  c.chart_top = 30;
  c.chart_bottom = int(std::lround(size.height())) - 35;
  c.chart_left = 25;
  c.chart_right = int(std::lround(size.width())) - 25;
  const ld middle = (ld(c.chart_left) + c.chart_right) * 0.5L;
  c.chart_centre_x = int(middle);
  c.chart_plus_x_origin = int(middle + 42);
  c.chart_minus_x_origin = int(middle - 42);
  const int centre = c.chart_centre_x, top = c.chart_top, bottom = c.chart_bottom, left = c.chart_left,
            right = c.chart_right, plus_origin = c.chart_plus_x_origin, minus_origin = c.chart_minus_x_origin;

  QPainter p(&image);
  Image1->paint_in_layout(p);
  p.setBackground(Qt::white);
  p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
  pick_marked_ = false;
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(left, bottom, centre, bottom);
  p.drawLine(right, bottom, centre, bottom);
  p.drawLine(centre, top, centre, bottom);

  QFont font("Arial");
  font.setPointSize(10);
  p.setFont(font);
  text_out(p, centre - 123, top - 28, "DESIGN SPACE SEARCH RESULTS");
  font.setPointSize(8);
  p.setFont(font);
  copy_text(d_.line_text, XplusComboBox->currentText().toStdString());
  text_out(p, centre + 200, bottom + 19, QString::fromLatin1(d_.line_text));
  copy_text(d_.line_text, XnegComboBox->currentText().toStdString());
  text_out(p, centre - 300, bottom + 19, QString::fromLatin1(d_.line_text));

  if (d_.search_results_ready == 0) {
    p.end();
    Image1->update();
    return;
  }

  if (progress.is_visible && progress.set_visible && !progress.is_visible()) progress.set_visible(true);
  d_.search_eval_count_shown = d_.search_eval_count;
  const bool after_search = d_.search_eval_count_shown != 0;
  // The extents of Auto Scale and the drawing both go through the records of the window's search.
  const std::vector<DesignPointRecord>& records = results_;
  // The bar runs over the records read: right after a search (which filled it to half) from 50 to 100,
  // on a later redraw from 0; with Auto Scale the records are read twice, each reading taking half of
  // that.
  int shown_position = -1;
  int64_t read = 0;
  const int64_t total = int64_t(records.size()) * (d_.chart_autoscale == 1 ? 2 : 1);
  auto advance = [&] {
    ++d_.search_eval_count;
    ++read;
    const int64_t start = after_search ? 50 : 0;
    const int bar = int(std::clamp<int64_t>(start + read * (100 - start) / std::max<int64_t>(total, 1), 0, 100));
    if (bar != shown_position) show_progress_position(bar);
    shown_position = bar;
  };

  if (d_.chart_autoscale == 1) {
    SearchExtents extents(d_);
    for (const DesignPointRecord& record : records) {
      store_design_point(record, d_);
      advance();
      extents.add(d_);
    }
    extents.apply(d_);
  }

  const int plus_index = XplusComboBox->currentIndex(), y_index = YaxisComboBox->currentIndex(),
            minus_index = XnegComboBox->currentIndex();
  plot_variable_range(d_, plus_index, c.chart_plus_x_min, c.chart_plus_x_max);
  plot_variable_range(d_, minus_index, c.chart_minus_x_min, c.chart_minus_x_max);
  plot_variable_range(d_, y_index, c.chart_y_min, c.chart_y_max);
  drawable_range(c.chart_plus_x_min, c.chart_plus_x_max, plus_index == kPinionTeethVariable);
  drawable_range(c.chart_minus_x_min, c.chart_minus_x_max, minus_index == kPinionTeethVariable);
  drawable_range(c.chart_y_min, c.chart_y_max, y_index == kPinionTeethVariable);
  c.chart_y_scale = float((ld(top) - bottom) / (ld(c.chart_y_max) - c.chart_y_min));
  c.chart_plus_x_scale = float((ld(right) - plus_origin) / (ld(c.chart_plus_x_max) - c.chart_plus_x_min));
  c.chart_minus_x_scale = float((ld(left) - minus_origin) / (ld(c.chart_minus_x_max) - c.chart_minus_x_min));

  // Ticks and labels of the three axes.
  const ld stress_factor = d_.stress_unit_factor;
  auto axis = [&](int index, float min, float max, bool vertical, int sign, int origin, int length) {
    const int n = index == kPinionTeethVariable ? teeth_ticks(min, max) : 0;
    const bool stress = index >= kFirstStressVariable;
    if (n > 0) {
      const int step = length / n;
      for (int i = 0; i <= n; ++i) {
        const int at = origin + sign * i * step;
        if (vertical) p.drawLine(centre - 2, at, centre + 2, at);
        else p.drawLine(at, bottom, at, bottom - 5);
        const QString text = label_text(ld(min) + i * (ld(max) - min) / n, "%3.0f");
        if (vertical) text_out(p, centre + 2, (i == 0 ? bottom - 16 : i == n ? bottom - 10 : bottom - 13) - i * step, text);
        else text_out(p, at - 10, bottom + 5, text);
      }
      return;
    }
    for (int i = 0; i <= 4; ++i) {
      const ld at = ld(origin) + sign * i * ld(length) / 4;
      const int tick = int(at);
      if (vertical) p.drawLine(centre - 2, tick, centre + 2, tick);
      else p.drawLine(tick, bottom, tick, bottom - 5);
    }
    for (int pass = 0; pass < (stress ? 2 : 1); ++pass) {
      for (int i = 0; i <= 4; ++i) {
        ld v = ld(min) + i * (ld(max) - min) / 4;
        if (pass == 1) v /= stress_factor;
        const ld offset = i * ld(length) / 4;
        if (vertical)
          text_out(p, centre + 2, int((i == 0 ? bottom - 18 : i == 4 ? bottom - 10 : bottom - 13) - offset), label_text(v));
        else
          text_out(p, int(ld(origin) - 20 + sign * offset), bottom + 5, label_text(v));
      }
    }
  };
  axis(plus_index, c.chart_plus_x_min, c.chart_plus_x_max, false, 1, plus_origin, right - plus_origin);
  axis(minus_index, c.chart_minus_x_min, c.chart_minus_x_max, false, -1, minus_origin, minus_origin - left);
  axis(y_index, c.chart_y_min, c.chart_y_max, true, -1, bottom, bottom - top);

  // The Y title reads upwards.
  {
    QFont title("Arial");
    title.setPixelSize(14);
    p.save();
    p.setFont(title);
    p.translate(centre - 30, top + 150);
    p.rotate(-90);
    p.drawText(0, QFontMetrics(title).ascent(), YaxisComboBox->currentText());
    p.restore();
  }

  // Every design inside all ranges as a circle on each half.
  p.setBrush(Qt::white);
  p.setPen(QPen(Qt::black, 1));
  for (const DesignPointRecord& record : records) {
    store_design_point(record, d_);
    advance();
    select_opti_plot_variable();
    check_opti_in_limits();
    if (d_.scratch_values[5] == 1.0f) continue;
    const ld y = ld(bottom) + (ld(d_.scratch_values[1]) - c.chart_y_min) * c.chart_y_scale;
    const ld xp = ld(plus_origin) + (ld(d_.scratch_values[0]) - c.chart_plus_x_min) * c.chart_plus_x_scale;
    const ld xm = ld(minus_origin) + (ld(d_.scratch_values[2]) - c.chart_minus_x_min) * c.chart_minus_x_scale;
    for (ld x : {xp, xm}) draw_design_circle(p, x, y, Image1->screen_pixels_per_layout_pixel());
  }
  p.end();
  Image1->update();
  if (progress.set_visible) progress.set_visible(false);
  d_.search_eval_count = 0;
  // The reading left the last record in the design data. A design picked from these results stays the
  // one shown: its report, and its red marks where the ranges let it be drawn.
  if (picked_) {
    report_design(*picked_);
    if (inside_window_ranges(d_, *picked_listed_)) {
      draw_markers(*picked_listed_, Qt::red);
      pick_marked_ = true;
    }
  } else {
    form_report();
  }
}

// --- Markers of a design ---

void Toptimizationform::draw_markers(const DesignData& design, QColor colour) {
  float plus_value = 0, y_value = 0, minus_value = 0;
  plot_variable_value(design, XplusComboBox->currentIndex(), plus_value);
  plot_variable_value(design, YaxisComboBox->currentIndex(), y_value);
  plot_variable_value(design, XnegComboBox->currentIndex(), minus_value);
  const ChartState& c = d_;
  QPainter p(&Image1->picture());
  Image1->paint_in_layout(p);
  p.setPen(QPen(colour, 1));
  p.setBrush(Qt::white);
  const ld y = ld(c.chart_bottom) + (ld(y_value) - c.chart_y_min) * c.chart_y_scale;
  const ld xp = ld(c.chart_plus_x_origin) + (ld(plus_value) - c.chart_plus_x_min) * c.chart_plus_x_scale;
  const ld xm = ld(c.chart_minus_x_origin) + (ld(minus_value) - c.chart_minus_x_min) * c.chart_minus_x_scale;
  for (ld x : {xp, xm}) draw_design_circle(p, x, y, Image1->screen_pixels_per_layout_pixel());
  p.end();
  Image1->update();
}

// --- Mouse ---

void Toptimizationform::Image1MouseDown(int x, int y) {
  if (d_.chart_zoom_mode != 1) return;
  d_.chart_dragging = 1;
  d_.chart_rubber_band[0] = d_.chart_rubber_band[2] = x;
  d_.chart_rubber_band[1] = d_.chart_rubber_band[3] = y;
}

void Toptimizationform::xor_rubber_band() {
  QPainter p(&Image1->picture());
  Image1->paint_in_layout(p);
  p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Qt::NoBrush);
  const int* band = d_.chart_rubber_band;
  p.drawRect(QRect(QPoint(band[2], band[3]), QPoint(band[0], band[1])).normalized());
}

void Toptimizationform::Image1MouseMove(int x, int y) {
  if (d_.chart_dragging != 1 || d_.chart_zoom_mode != 1) return;
  const ChartState& c = d_;
  auto in_minus = [&](int px, int py) {
    return c.chart_left <= px && px <= c.chart_minus_x_origin && c.chart_top <= py && py <= c.chart_bottom;
  };
  auto in_plus = [&](int px, int py) {
    return c.chart_plus_x_origin <= px && px <= c.chart_right && c.chart_top <= py && py <= c.chart_bottom;
  };
  const int ax = d_.chart_rubber_band[2], ay = d_.chart_rubber_band[3];
  if (!((in_minus(ax, ay) && in_minus(x, y)) || (in_plus(ax, ay) && in_plus(x, y)))) return;
  xor_rubber_band();  // erases the rectangle to the old corner
  d_.chart_rubber_band[0] = x;
  d_.chart_rubber_band[1] = y;
  xor_rubber_band();
  Image1->update();
}

void Toptimizationform::Image1MouseUp(int x, int y) {
  const ChartState& c = d_;
  if (d_.chart_zoom_mode == 0) {
    const bool rows = c.chart_top <= y && y <= c.chart_bottom;
    if (rows && c.chart_left <= x && x <= c.chart_minus_x_origin) pick(false, x, y);
    else if (rows && c.chart_plus_x_origin <= x && x <= c.chart_right) pick(true, x, y);
  } else if (d_.chart_zoom_mode == 1 && d_.search_results_ready == 1) {
    zoom();
  }
}

void Toptimizationform::pick(bool plus_half, int px, int py) {
  // No results in this showing of the window: there is nothing to pick from.
  if (d_.search_results_ready != 1) return;
  const float origin = float(plus_half ? d_.chart_plus_x_origin : d_.chart_minus_x_origin);
  const float scale = plus_half ? d_.chart_plus_x_scale : d_.chart_minus_x_scale;
  const float axis_min = plus_half ? d_.chart_plus_x_min : d_.chart_minus_x_min;
  const int x_index = plus_half ? XplusComboBox->currentIndex() : XnegComboBox->currentIndex();
  const float x = float((ld(px) - origin) / scale + axis_min);
  const float y = float((ld(py) - d_.chart_bottom) / d_.chart_y_scale + d_.chart_y_min);

  // The scan goes through the records the plot lists, in file order, and reads each into the design
  // data; a click that matches no record leaves the design, the report and the marks as they were. A
  // record is read into the design the window was shown with, as its search rated it from that design.
  const auto before = std::make_unique<DesignData>(d_);
  if (user_design_) take_user_design();
  d_.chart_pick_x_match = 0;
  d_.chart_pick_y_match = 0;
  std::size_t next = 0;
  bool found = false;
  while (!(d_.chart_pick_x_match && d_.chart_pick_y_match)) {
    d_.chart_pick_x_match = 0;
    d_.chart_pick_y_match = 0;
    if (next == results_.size()) {
      d_.chart_pick_x_match = d_.chart_pick_y_match = 1;
      break;
    }
    store_design_point(results_[next++], d_);
    float v = 0, w = 0;
    plot_variable_value(d_, x_index, v);
    plot_variable_value(d_, YaxisComboBox->currentIndex(), w);
    d_.chart_pick_x_match = std::fabs(double(x) - v) < std::fabs(6.0 / scale);
    d_.chart_pick_y_match = std::fabs(double(y) - w) < std::fabs(6.0 / d_.chart_y_scale);
    check_opti_in_limits();
    if (d_.scratch_values[5] == 1.0f) d_.chart_pick_x_match = 0;
    found = d_.chart_pick_x_match && d_.chart_pick_y_match;
  }
  if (!found) {
    d_ = *before;
    return;
  }
  // The design as the file lists it, whose circles the marks go round.
  auto listed = std::make_unique<DesignData>(d_);

  // Evaluate the picked design once more with the centre distance held, its own ratio and its own shifts
  // as listed, whichever split gave them (the split of the candidate evaluated last would split the
  // shift sum afresh).
  const float kept_ratio = d_.desired_ratio;
  d_.search_single_design = 1;
  d_.geometry_manager_mode = 1;
  d_.shift_distribution_auto = 0;
  d_.desired_ratio = float(ld(d_.teeth[1]) * 1.0L / (ld(d_.teeth[0]) * 1.0L));
  search_design_space(d_);
  d_.search_single_design = 0;
  d_.desired_ratio = kept_ratio;

  // A record that was not written by a search of this design (its teeth do not fit the centre
  // distance, say) can evaluate to a design that could not be saved: it is not taken.
  {
    auto evaluated = std::make_unique<DesignData>(d_);
    const DesignFileResult storable = check_design_text(*evaluated, design_file_text(*evaluated));
    if (!storable.ok()) {
      d_ = *before;
      copy_text(d_.warning_lines[0], "The picked design cannot be used:");
      copy_text(d_.warning_lines[1], storable.detail);
      show_warning_dialog(d_);
      return;
    }
  }

  // The earlier pick's marks turn black.
  if (picked_ && pick_marked_) draw_markers(*picked_listed_, Qt::black);

  // Its tooth profiles, so that the report's form diameters are the picked design's (on either half).
  for (int i = 0; i < 2; ++i)
    generate_tooth_profile(finished_outline_input(d_, i), &d_.form_diameter[i], d_.profile_points);

  form_report();
  picked_ = std::make_unique<DesignData>(d_);
  picked_listed_ = std::move(listed);
  draw_markers(*picked_listed_, Qt::red);
  pick_marked_ = true;
}

void Toptimizationform::zoom() {
  ChartState& c = d_;
  const int ax = c.chart_rubber_band[2], ay = c.chart_rubber_band[3];
  const bool rows = c.chart_top <= ay && ay <= c.chart_bottom;
  bool plus_half;
  if (rows && c.chart_left <= ax && ax <= c.chart_minus_x_origin) plus_half = false;
  else if (rows && c.chart_plus_x_origin <= ax && ax <= c.chart_right) plus_half = true;
  else return;
  c.chart_dragging = 0;

  float& x_min = plus_half ? c.chart_plus_x_min : c.chart_minus_x_min;
  float& x_max = plus_half ? c.chart_plus_x_max : c.chart_minus_x_max;
  if (std::fabs(ld(x_max) - x_min) <= 0.001L || std::fabs(ld(c.chart_y_max) - c.chart_y_min) <= 0.001L) {
    copy_text(d_.warning_lines[0], "Zoom is set at maximum value");
    copy_text(d_.warning_lines[1], "Use reset to enable zoom again");
    show_warning_dialog(d_);
    return;
  }
  const int lo_col = plus_half ? c.chart_plus_x_origin : c.chart_left;
  const int hi_col = plus_half ? c.chart_right : c.chart_minus_x_origin;
  int cx = std::clamp(c.chart_rubber_band[0], lo_col, hi_col);
  int cy = std::clamp(c.chart_rubber_band[1], c.chart_top, c.chart_bottom);
  int x0 = ax, y0 = ay;
  auto widen = [](int& a, int& b) {
    if (a == b || std::abs(a - b) >= 10) return;
    int& smaller = a < b ? a : b;
    int& larger = a < b ? b : a;
    smaller -= 5;
    larger += 5;
  };
  widen(cx, x0);
  widen(cy, y0);

  const float origin = float(plus_half ? c.chart_plus_x_origin : c.chart_minus_x_origin);
  const float scale = plus_half ? c.chart_plus_x_scale : c.chart_minus_x_scale;
  if (cx != x0) {
    const float at_min = x_min;
    auto value = [&](int col) { return float((ld(col) - origin) / scale + at_min); };
    const int smaller = std::min(cx, x0), larger = std::max(cx, x0);
    // On the mirrored -X half the smaller column gives the maximum.
    x_min = value(plus_half ? smaller : larger);
    x_max = value(plus_half ? larger : smaller);
  }
  if (cy != y0) {
    const float at_min = c.chart_y_min;
    auto value = [&](int row) { return float((ld(row) - c.chart_bottom) / c.chart_y_scale + at_min); };
    c.chart_y_max = value(std::min(cy, y0));
    c.chart_y_min = value(std::max(cy, y0));
  }
  zoom_plot_variable_range(d_, plus_half ? XplusComboBox->currentIndex() : XnegComboBox->currentIndex(), x_min, x_max);
  zoom_plot_variable_range(d_, YaxisComboBox->currentIndex(), c.chart_y_min, c.chart_y_max);
  Set_optimizer_textboxes();
}

}  // namespace morvell
