#include "window_scale.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMetaObject>
#include <QVariant>
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

void fit_to_screen(QWidget* window) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QLayout* layout = window->layout();
  const QSize frame = window->frameGeometry().size() - window->size();
  const QSize room = screen->availableGeometry().size() - frame;
  const bool fixed = window->minimumSize() == window->maximumSize();
  // The width the window takes within the room, and the least size its layout needs at that width (a
  // text that wraps needs the more height the narrower it is).
  const auto width_in_room = [&](const QSize& least) {
    return std::min(std::max(window->width(), least.width()), room.width());
  };
  const auto needed = [&] {
    if (!layout) return window->minimumSizeHint();
    QSize least = layout->totalMinimumSize();
    if (layout->hasHeightForWidth())
      least.setHeight(std::max(least.height(), layout->totalHeightForWidth(width_in_room(least))));
    return least;
  };
  // Never below half the font the window was made with, however often it is fitted.
  constexpr const char* kMadeWithFont = "screen_fit_made_with_font";
  if (!window->property(kMadeWithFont).isValid())
    window->setProperty(kMadeWithFont, QVariant::fromValue(window->font()));
  const QFont made_with = window->property(kMadeWithFont).value<QFont>();
  QFont font = window->font();
  bool smaller = false;
  for (QSize least = needed();
       (least.width() > room.width() || least.height() > room.height()) && forms::smaller_font(font, made_with);
       least = needed()) {
    window->setFont(font);
    smaller = true;
  }
  // A window whose size is fixed (a message box sizes itself so, as wide as the screen at the most but
  // without its frame) is narrowed to the room and takes the height it then needs.
  if (fixed && (smaller || window->width() > room.width() || window->height() > room.height())) {
    const QSize least = needed();
    window->setFixedSize(width_in_room(least), least.height());
  }
  keep_on_screen(window);
}

void fit_to_screen_when_shown(QWidget* window) {
  // After the window's own show handling, which sizes it (a message box fixes its size there).
  forms::on_event(window, QEvent::ShowToParent, [window](QEvent*) {
    fit_to_screen(window);
    return false;
  });
  // A window that sizes itself again when its layout asks (a message box does) is fitted again after that.
  forms::on_event(window, QEvent::LayoutRequest, [window](QEvent*) {
    if (window->isVisible())
      QMetaObject::invokeMethod(window, [window] { fit_to_screen(window); }, Qt::QueuedConnection);
    return false;
  });
}

void scale_window(QWidget* window, const DesignData& d) {
  forms::scale_by(window, to_int32_clamped(std::trunc(ld(d.form_scale_multiplier))),
                  to_int32_clamped(std::trunc(ld(d.form_scale_divisor))));
  forms::fit_captions(window);
  forms::fit_slider_ticks(window);
  // Captions that a window sets as it is shown (units, the design's own texts) are fitted then; this
  // event comes after the window's own show handling.
  forms::on_event(window, QEvent::ShowToParent, [window](QEvent*) {
    forms::fit_captions(window);
    forms::fit_slider_ticks(window);
    return false;
  });
}

void rescale_window(QWidget* window, const WindowScale& scale, const WindowScale& old_scale) {
  const auto whole = [](float v) { return to_int32_clamped(std::trunc(ld(v))); };
  forms::forget_caption_fits(window);
  forms::scale_from_layout(window, whole(scale.multiplier), whole(scale.divisor), whole(old_scale.multiplier),
                           whole(old_scale.divisor));
  forms::fit_captions(window);
  forms::fit_slider_ticks(window);
}

}  // namespace morvell
