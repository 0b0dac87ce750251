// What the window geometry tests share: the screen of the run and the check of one shown window.
#pragma once

#include <QSize>
#include <QStringList>

class QWidget;

namespace morvell::testing {

// The size of the offscreen screen of this run.
inline QSize screen_size{1024, 768};

// What is wrong with a shown top-level window: the window outside the screen's available area, a
// control outside the window or outside the control holding it, a menu item in the menu bar's overflow.
// Empty when the window shows everything it holds.
QStringList geometry_faults(QWidget* window);

// The captions of a shown top-level window that do not fit their controls: a single-line label, check
// box, radio button or push button narrower than its text in its own font with the style's indicator and
// margins. Empty when every caption fits.
QStringList caption_faults(QWidget* window);

}  // namespace morvell::testing
