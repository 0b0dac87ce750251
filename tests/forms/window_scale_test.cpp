// The window scale from the screen width and the window-size step, with the states of the two
// window-size menu items.
#include <gtest/gtest.h>

#include <cmath>

#include "window_scale.h"

using namespace morvell;

TEST(WindowScale, FromScreenWidthAndStep) {
  struct Case { int screen; int step; int multiplier; bool increase; bool decrease; };
  for (const Case& c : {Case{1024, 0, 1000, false, true}, Case{1024, -1, 928, true, true},
                        Case{1024, -2, 862, true, true}, Case{1024, -3, 800, true, false},
                        Case{1280, 0, 1250, false, true}, Case{1280, -1, 1160, true, true},
                        Case{1280, -2, 1077, true, true}, Case{1280, -3, 1000, true, false}}) {
    const WindowScale s = compute_window_scale(c.screen, c.screen * 3 / 4, 450, c.step);
    EXPECT_EQ(int(std::trunc(s.multiplier)), c.multiplier) << c.screen << " step " << c.step;
    EXPECT_EQ(s.divisor, 1000.0f);
    EXPECT_EQ(s.increase_enabled, c.increase) << c.screen << " step " << c.step;
    EXPECT_EQ(s.decrease_enabled, c.decrease) << c.screen << " step " << c.step;
  }
  // The pane's loaded width cancels a scaling applied while the layout was loaded.
  EXPECT_EQ(int(std::trunc(compute_window_scale(1280, 1024, 563, 0).multiplier)), 999);
  EXPECT_NEAR(compute_window_scale(1024, 768, 450, -3).multiplier, 800.484f, 0.001f);
  // A wide screen scales by its height: 1080 / 768 of the layout, not 1920 / 1024, which would take the
  // windows beyond its bottom edge.
  EXPECT_EQ(int(std::trunc(compute_window_scale(1920, 1080, 450, 0).multiplier)), 1406);
  EXPECT_EQ(int(std::trunc(compute_window_scale(1280, 1024, 450, 0).multiplier)), 1250);
}
