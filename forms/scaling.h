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

}  // namespace morvell::forms
