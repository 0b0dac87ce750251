// The pixels of a chart drawn into an image, for the tests of the rating windows' charts.
#pragma once

#include <QImage>

#include <cmath>

namespace morvell::testing {

inline QRgb rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// True when a pixel of the colour lies within `reach` pixels of (x, y).
inline bool near(const QImage& image, long double x, long double y, QRgb colour, int reach = 1) {
  const int cx = int(std::trunc(x)), cy = int(std::trunc(y));
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (image.valid(cx + dx, cy + dy) && rgb(image, cx + dx, cy + dy) == (colour & 0xFFFFFF)) return true;
  return false;
}

}  // namespace morvell::testing
