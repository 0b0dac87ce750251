#include "picture_check.h"

namespace morvell::testing {

namespace {

bool marked(const QImage& image, int x, int y) {
  return image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

bool marked_near(const QImage& image, int x, int y, int reach) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (marked(image, x + dx, y + dy)) return true;
  return false;
}

}  // namespace

::testing::AssertionResult drawn_at_twice_the_pixels(const QImage& once, const QImage& twice) {
  if (twice.devicePixelRatio() != 2 || twice.size() != once.size() * 2)
    return ::testing::AssertionFailure() << "picture " << twice.width() << "x" << twice.height() << " at ratio "
                                         << twice.devicePixelRatio() << " for " << once.width() << "x"
                                         << once.height();
  int marks = 0;
  for (int y = 0; y < twice.height(); ++y)
    for (int x = 0; x < twice.width(); ++x) {
      if (!marked(twice, x, y)) continue;
      ++marks;
      if (!marked_near(once, x / 2, y / 2, 2))
        return ::testing::AssertionFailure() << "a mark at (" << x << ", " << y << ") where the picture has none";
    }
  // Not on the outermost pixels: positions truncated toward zero put what lies less than a pixel left of
  // or above the picture on its first column or row, but less than half a pixel at the finer grid.
  for (int y = 1; y + 1 < once.height(); ++y)
    for (int x = 1; x + 1 < once.width(); ++x)
      if (marked(once, x, y) && !marked_near(twice, 2 * x, 2 * y, 2))
        return ::testing::AssertionFailure() << "no mark near (" << 2 * x << ", " << 2 * y << ") for the picture's at ("
                                             << x << ", " << y << ")";
  if (marks == 0) return ::testing::AssertionFailure() << "nothing drawn";
  for (int y = 0; y + 1 < twice.height(); y += 2)
    for (int x = 0; x + 1 < twice.width(); x += 2) {
      const QRgb c = twice.pixel(x, y);
      if (twice.pixel(x + 1, y) != c || twice.pixel(x, y + 1) != c || twice.pixel(x + 1, y + 1) != c)
        return ::testing::AssertionSuccess();
    }
  return ::testing::AssertionFailure() << "every square of 2 x 2 pixels is of one colour: a magnified picture";
}

}  // namespace morvell::testing
