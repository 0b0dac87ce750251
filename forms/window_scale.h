// The window scale: one factor, computed when the main window is created, by which every window
// sizes itself to the screen (the screen width over 1024, one step of 1000/1077 per window-size step
// below 0).
#pragma once

#include "design_data.h"

class QWidget;

namespace morvell {

struct WindowScale {
  float multiplier = 100;
  float divisor = 100;
  bool increase_enabled = false;  // the menu item "Increase"
  bool decrease_enabled = true;   // the menu item "Decrease"
};

// The scale for a screen `screen_width` pixels wide, the results pane as loaded `pane_width` pixels
// wide (450 in the layout) and the window-size step (-3..0).
WindowScale compute_window_scale(int screen_width, int pane_width, int window_size_step);

// Scales a window by trunc(form_scale_multiplier) / trunc(form_scale_divisor).
void scale_window(QWidget* window, const DesignData& d);

}  // namespace morvell
