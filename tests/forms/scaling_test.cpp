// Scaling of windows by multiplier / divisor.
#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "scaling.h"

using namespace morvell::forms;

TEST(Scaling, MulDivRoundsHalvesAwayFromZero) {
  struct Case { int v, m, d, expected; };
  for (const Case& c : {Case{450, 1250, 1000, 563}, Case{450, 1000, 1000, 450}, Case{10, 928, 1000, 9},
                        Case{5, 1, 2, 3}, Case{-5, 1, 2, -3}, Case{7, 800, 1000, 6}, Case{3, 5, 0, 3}}) {
    EXPECT_EQ(mul_div(c.v, c.m, c.d), c.expected) << c.v << " " << c.m << "/" << c.d;
  }
}

TEST(Scaling, PositionsSizesAndFontsOfEveryControl) {
  QWidget window;
  window.resize(1000, 600);
  QFont base = window.font();
  base.setPointSizeF(10);
  window.setFont(base);
  auto* panel = new QWidget(&window);
  panel->setGeometry(100, 40, 400, 200);
  auto* label = new QLabel("x", panel);
  label->setGeometry(10, 20, 80, 21);
  QFont big = label->font();
  big.setPointSizeF(16);
  label->setFont(big);
  auto* plain = new QLabel("y", panel);
  plain->setGeometry(0, 0, 50, 20);

  scale_by(&window, 1250, 1000);
  EXPECT_EQ(window.size(), QSize(1250, 750));
  EXPECT_EQ(panel->geometry(), QRect(125, 50, 500, 250));
  EXPECT_EQ(label->geometry(), QRect(13, 25, 100, 26));
  EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 12.5);
  EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 20.0);
  EXPECT_DOUBLE_EQ(plain->font().pointSizeF(), 12.5);  // inherited from the window

  const QRect before = panel->geometry();
  scale_by(&window, 1000, 1000);  // neutral
  EXPECT_EQ(panel->geometry(), before);
}
