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

// The scale for a screen of `screen_width` x `screen_height` pixels (the area windows may take), the
// results pane as loaded `pane_width` pixels wide (450 in the layout) and the window-size step (-3..0).
// The layouts are designed for a screen of 1024 x 768: the scale follows the screen's width, or its
// height where that is the smaller share (a wide screen), so that every window fits the screen.
WindowScale compute_window_scale(int screen_width, int screen_height, int pane_width, int window_size_step);

// A shown window whose frame reaches beyond the part of its screen that windows may take is made smaller
// (unless its size is fixed) and moved so that the frame lies within it.
void keep_on_screen(QWidget* window);

// A shown window of the system's making (a file, print or message dialog), which the window scale does
// not size, fitted to its screen: while its layout needs more room than the part of the screen that
// windows may take, it takes a smaller font (in quarter points, down to half the font it was made with);
// a window of fixed size takes the size it then needs, at most as wide as that part; a dialog of Qt's
// own that does not fit even with the smallest font keeps its font and shows its contents in a scroll
// area above its buttons; and keep_on_screen makes it smaller where it is larger than that part and
// moves it into it.
void fit_to_screen(QWidget* window);
// The same each time the window is shown, and after each time it lays itself out again while shown
// (once set up, a second call adds nothing).
void fit_to_screen_when_shown(QWidget* window);
// Whether a window is one of Qt's own (a file, print, page setup or printer properties dialog that Qt
// opens by itself, from inside the print dialog for instance) rather than one of the program's.
bool made_by_qt(const QWidget* window);

// Scales a window by trunc(form_scale_multiplier) / trunc(form_scale_divisor); a caption that the
// scaled control cannot hold then takes a smaller font.
void scale_window(QWidget* window, const DesignData& d);

// A window that scale_window scaled, with its layout kept before (scaling.h, record_layout), laid out
// again at the scale `scale` in place of `old_scale`, as a window made at that scale, captions fitted
// again.
void rescale_window(QWidget* window, const WindowScale& scale, const WindowScale& old_scale);

}  // namespace morvell
