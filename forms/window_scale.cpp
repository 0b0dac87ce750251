#include "window_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "caption_fit.h"
#include "field_events.h"
#include "numeric.h"
#include "scaling.h"

namespace morvell {

WindowScale compute_window_scale(int screen_width, int screen_height, int pane_width, int window_size_step) {
  WindowScale s;
  s.divisor = 1000;
  // The width that the screen's height allows a 1024 x 768 layout.
  const ld width = std::min(ld(screen_width), ld(screen_height) * 1024.0L / 768.0L);
  // 0.439453125 = 450 / 1024: the multiplier is 1000 x width / 1024 with the layout unscaled.
  s.multiplier = float(width / ld(pane_width) * 0.439453125L * 1000.0L);
  if (window_size_step <= -1 && window_size_step >= -3) {
    for (int i = 0; i < -window_size_step; ++i) s.multiplier = float(s.multiplier * 0.928505106778L);
    s.increase_enabled = true;
    if (window_size_step == -3) s.decrease_enabled = false;
  }
  return s;
}

void keep_on_screen(QWidget* window) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect frame = window->frameGeometry();
  const int border_w = frame.width() - window->width(), border_h = frame.height() - window->height();
  if ((frame.width() > area.width() || frame.height() > area.height()) &&
      window->minimumSize() != window->maximumSize()) {
    window->resize(std::min(window->width(), area.width() - border_w),
                   std::min(window->height(), area.height() - border_h));
    frame = window->frameGeometry();
  }
  const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
  const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
  if (x != frame.left() || y != frame.top()) window->move(x, y);
}

void scale_window(QWidget* window, const DesignData& d) {
  forms::scale_by(window, to_int32_clamped(std::trunc(ld(d.form_scale_multiplier))),
                  to_int32_clamped(std::trunc(ld(d.form_scale_divisor))));
  forms::fit_captions(window);
  // Captions that a window sets as it is shown (units, the design's own texts) are fitted then; this
  // event comes after the window's own show handling.
  forms::on_event(window, QEvent::ShowToParent, [window](QEvent*) {
    forms::fit_captions(window);
    return false;
  });
}

}  // namespace morvell
