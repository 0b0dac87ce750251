// Painting steps the rating charts share: pictures at the screen's pixel ratio, fonts that follow a
// chart's size, texts placed by their top left corner (on a white box or without one) or reading upwards
// with the boxes they take, and lines, markers and boxes from positions computed in floating point and
// truncated to whole pixels.
#pragma once

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

#include "screen_picture.h"

class QImage;
class QPainter;

namespace morvell {

// Makes the painter draw in the units of a picture laid out `designed` large, stretched over the whole of
// `image` (whatever its size and pixel ratio), so that a fixed picture is drawn at the pixels it is shown
// with rather than magnified from its layout size.
void draw_in_layout_units(QPainter& p, const QImage& image, QSizeF designed);

// The fonts of a chart follow its size against the size it was laid out at, as the windows' own fonts
// follow the window scale: the factor is the smaller of the width and height ratios.
double chart_scale(QSizeF size, QSizeF designed);

// A chart font ("Arial" or the closest face the system has) `pixel_size` pixels of the chart's picture high
// (rounded), but never smaller than eight pixels of the screen at the picture's pixel ratio.
QFont chart_font_of_size(double pixel_size, double device_pixel_ratio);

// The same font made smaller, down to the least size chart_font_of_size gives, until `text` is at most
// `width` wide; and `text` elided to that width where even the least size is too wide.
QFont font_to_fit(QFont font, const QString& text, double width, double device_pixel_ratio);
QString text_to_fit(const QFont& font, const QString& text, double width);

// A text of a chart and the box it takes: the text's advance and its font's height, turned with the text
// where it reads upwards.
struct ChartText {
  QString text;
  QRectF box;
};
using ChartTexts = std::vector<ChartText>;

// Text drawn with the painter's font and pen with its box's top left corner at (x, y); `opaque`: on the
// painter's background colour. Kept in `texts` with its box.
void place_text(QPainter& p, ChartTexts& texts, double x, double y, const QString& text, bool opaque);
// Text that reads upwards, its box centred on (centre_x, centre_y). No background.
void place_text_upwards(QPainter& p, ChartTexts& texts, double centre_x, double centre_y, const QString& text);

// A chart's title in `font`, a gap below the top edge of a picture `width` wide, centred over the plot
// area from `left` to `right` as far as the picture allows and cut to fit within a gap of its edges; on
// a box of the background.
void place_title(QPainter& p, ChartTexts& texts, const QFont& font, const QString& title, double left, double right,
                 double width, double gap);
// An axis title in `font` reading upwards along the middle of the plot area from `top` to `bottom`, a
// gap from the picture's left edge, cut to the plot area's height.
void place_axis_title_upwards(QPainter& p, ChartTexts& texts, const QFont& font, const QString& title, double top,
                              double bottom, double gap);

// A font of the charts: "Arial" (or the closest face the system has) at a point size as a screen of 96
// pixels per inch shows it.
QFont chart_font(int point_size);
// The same face with a character cell `cell_height` pixels high (the rotated axis titles).
QFont chart_font_by_cell_height(int cell_height);

// Text whose top left corner is (x, y), drawn with the painter's font and pen. `opaque`: on a box of the
// painter's background colour, as wide and high as the text.
void text_out(QPainter& p, int x, int y, const QString& text, bool opaque);

// A pixel position from a value computed in floating point: truncated toward zero. False when the
// value is not finite or lies so far off the picture that no painter can take it.
bool pixel_of(long double v, int& pixel);

// A straight line between two positions in pixels (floating point, truncated when used). Lines that
// leave the picture are cut at a wide box around it, so a point far off the picture still draws the
// part of the line that crosses the picture; a line with a position that is not finite draws nothing,
// nor does one of zero length.
void draw_line(QPainter& p, long double x0, long double y0, long double x1, long double y1);

// The ellipse inscribed in the box from (left, top) to (right, bottom) with its right and bottom edges
// outside the box, in the painter's pen and brush.
void draw_ellipse(QPainter& p, int left, int top, int right, int bottom);

}  // namespace morvell
