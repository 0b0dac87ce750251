#include "window_scale.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLayout>
#include <QMetaObject>
#include <QVariant>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstring>

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

namespace {

// What a dialog of Qt's own shows above and beside its buttons, put into a scroll area that takes its
// place, the buttons (OK, Cancel, Save) staying in view; false when its layout is no box layout or this
// was done before.
bool scroll_contents(QWidget* window) {
  constexpr const char* kScrolled = "screen_fit_scrolled";
  auto* box = qobject_cast<QBoxLayout*>(window->layout());
  if (!box || window->property(kScrolled).toBool()) return false;
  window->setProperty(kScrolled, true);
  auto* inner = new QWidget;
  auto* inner_layout = new QBoxLayout(box->direction(), inner);
  inner_layout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < box->count();) {
    QLayoutItem* item = box->itemAt(i);
    if (qobject_cast<QDialogButtonBox*>(item->widget())) {
      ++i;
      continue;
    }
    box->takeAt(i);
    if (QWidget* w = item->widget()) {
      delete item;
      inner_layout->addWidget(w);
    } else if (QLayout* l = item->layout()) {
      inner_layout->addLayout(l);
    } else {
      inner_layout->addItem(item);
    }
  }
  auto* area = new QScrollArea(window);
  area->setObjectName("screen_fit_scroll_area");
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(inner);
  box->insertWidget(0, area, 1);
  return true;
}

}  // namespace

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
  // A dialog of Qt's own that does not fit even so (the printer properties' page setup) takes back its
  // font and shows its contents in a scroll area above its buttons.
  if (const QSize least = needed();
      (least.width() > room.width() || least.height() > room.height()) && !fixed && made_by_qt(window) &&
      scroll_contents(window)) {
    window->setFont(made_with);
    smaller = false;
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
  constexpr const char* kFitted = "screen_fit_when_shown";
  if (window->property(kFitted).toBool()) return;
  window->setProperty(kFitted, true);
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

bool made_by_qt(const QWidget* window) {
  // Qt's own classes stand in no namespace and begin with Q; the program's windows stand in its own.
  const char* name = window->metaObject()->className();
  return name[0] == 'Q' && !std::strchr(name, ':');
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
