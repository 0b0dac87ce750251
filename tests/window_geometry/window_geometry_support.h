// What the window geometry tests share: the screen of the run and the check of one shown window.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QStringList>

#include "chart_painting.h"

class QWidget;

namespace morvell::testing {

// The size of the offscreen screen of this run.
inline QSize screen_size{1024, 768};
// Whether the captions are checked as well as the windows' place (--place-only leaves them out).
inline bool check_captions = true;

// What is wrong with a shown top-level window: the window outside the screen's available area, a
// control outside the window or outside the control holding it, a check box's square cut by the box, a
// menu item in the menu bar's overflow.
// Empty when the window shows everything it holds.
QStringList geometry_faults(QWidget* window);

// The captions of a shown top-level window that do not fit their controls: a single-line label, check
// box, radio button or push button narrower than its text in its own font with the style's indicator and
// margins. Empty when every caption fits.
QStringList caption_faults(QWidget* window);

// What is wrong with the texts of a chart drawn into `picture` (at its pixel ratio): a text whose box
// leaves the picture or reaches into the plot area (between the axes) or into another text's box, a box
// without a mark of its text in it, or a mark on the picture's outermost pixels (something cut off at
// its edge). Empty when every text stands whole in its own place.
QStringList chart_text_faults(const QImage& picture, const ChartTexts& texts, const QRectF& plot_area);

}  // namespace morvell::testing
