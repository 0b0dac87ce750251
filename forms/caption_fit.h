// Captions that fit their controls. The windows are laid out for a 1024 x 768 screen and scaled as a
// whole, but text does not shrink in step with the controls: a font's glyphs are hinted to whole pixels
// and a check box keeps its indicator's size, so on a small or highly scaled screen a caption can need a
// few pixels more than its control has. Such a control takes a smaller font, just small enough; a check
// box too small for its indicator's square draws a smaller square.
#pragma once

class QFont;
class QWidget;

namespace morvell::forms {

// The width a control's caption needs in the control's own font, with the indicator, frame and margins
// the style draws around it (blanks that end the caption do not count: a cut-off blank shows nothing);
// 0 for controls that show no single-line caption (fields, editable or narrow lists, word-wrapped or
// rich text, pictures). A list's caption is the choice it shows.
int caption_width(const QWidget* control);

// The font a quarter point smaller than `font` (a pixel for a font sized in pixels), into `font`; false,
// with `font` unchanged, when that would be below half of `original`.
bool smaller_font(QFont& font, const QFont& original);

// Marks a list laid out narrower than its choices on purpose (it widens as it drops down, and its hint
// shows the whole choice): its caption is not held to its width.
void mark_narrow_list(QWidget* list);

// Every visible-to-be control of `window` whose caption needs more than its width takes the largest
// smaller font (in steps of a quarter point, down to half its size) with which the caption fits.
// A list is fitted again whenever its choice changes. Each fit starts from the font the control was
// laid out with, so a caption that fits again takes that font back. A check box or radio button lower
// than its indicator's square (or, without a caption, narrower) draws a square as large as it holds,
// and the style's own again when it has the room.
void fit_captions(QWidget* window);

// The least room between neighbouring tick marks of a slider, pixels: closer ticks run together.
inline constexpr int kLeastTickSpacing = 3;

// The room between neighbouring tick marks of a horizontal or vertical slider with ticks: its groove's
// length over the number of intervals its ticks mark.
double tick_spacing(const QWidget* slider);

// Every slider of `window` whose ticks stand closer than kLeastTickSpacing marks every second, fifth,
// ... step (the least multiple of the interval it was laid out with that divides its range and leaves
// the room), and the interval it was laid out with again where that has the room.
void fit_slider_ticks(QWidget* window);

// Forgets the fits made in `window`, for a window laid out anew (scaling.h, scale_from_layout): the
// next fit_captions fits its captions as in a window never fitted.
void forget_caption_fits(QWidget* window);

}  // namespace morvell::forms
