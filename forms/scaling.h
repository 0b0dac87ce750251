// Window scaling as the form library's ScaleBy(multiplier, divisor) did it: every control's position
// and size, and every font, are multiplied by multiplier / divisor; a top-level window's size too
// (its position stays).
#pragma once

class QWidget;

namespace morvell::forms {

// value * multiplier / divisor rounded to the nearest integer, halves away from zero (as MulDiv).
int mul_div(int value, int multiplier, int divisor);

// Scales `window` and every control in it. A divisor of 0 or a ratio of 1 changes nothing.
void scale_by(QWidget* window, int multiplier, int divisor);

// Keeps the window's layout as built, before any scaling: its size and font, and the place and font
// of every control in it (a control without a font of its own is kept so).
void record_layout(QWidget* window);

// Lays a window whose layout record_layout kept out again at another scale: the layout as built, then
// scale_by(multiplier, divisor), so that the window is what a window built at that scale would be.
// Controls made after the layout was kept are brought back from the scale they have,
// `old_multiplier` / `old_divisor`, and scaled with the others.
void scale_from_layout(QWidget* window, int multiplier, int divisor, int old_multiplier, int old_divisor);

}  // namespace morvell::forms
