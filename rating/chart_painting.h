// Painting steps the rating charts share: texts placed by their top left corner (on a white box or
// without one), texts that read upwards, and lines, markers and boxes from positions computed in
// floating point and truncated to whole pixels.
#pragma once

#include <QFont>
#include <QString>

class QPainter;

namespace morvell {

// A font of the charts: "Arial" (or the closest face the system has) at a point size as a screen of 96
// pixels per inch shows it.
QFont chart_font(int point_size);
// The same face with a character cell `cell_height` pixels high (the rotated axis titles).
QFont chart_font_by_cell_height(int cell_height);

// Text whose top left corner is (x, y), drawn with the painter's font and pen. `opaque`: on a box of the
// painter's background colour, as wide and high as the text.
void text_out(QPainter& p, int x, int y, const QString& text, bool opaque);
// Text that reads upwards (turned 90 degrees counter-clockwise) whose unturned top left corner is (x, y):
// it runs up from y, its top towards smaller x. No box.
void text_out_upwards(QPainter& p, int x, int y, const QString& text);

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
