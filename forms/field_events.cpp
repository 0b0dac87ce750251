#include "field_events.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>

#include <map>

namespace morvell::forms {

void on_change(QLineEdit* edit, Handler handler) {
  QObject::connect(edit, &QLineEdit::textChanged, edit, [h = std::move(handler)](const QString&) { h(); });
}

void on_click(QCheckBox* box, Handler handler) {
  QObject::connect(box, &QCheckBox::toggled, box, [h = std::move(handler)](bool) { h(); });
}

void on_click(QRadioButton* button, Handler handler) {
  QObject::connect(button, &QRadioButton::toggled, button, [h = std::move(handler)](bool checked) {
    if (checked) h();
  });
}

void set_checked(QAbstractButton* box, bool checked) { box->setChecked(checked); }

void set_checked_quietly(QAbstractButton* box, bool checked) {
  const QSignalBlocker quiet(box);
  box->setChecked(checked);
}

void on_click(QAbstractButton* button, Handler handler) {
  QObject::connect(button, &QAbstractButton::clicked, button, [h = std::move(handler)](bool) { h(); });
}

void on_choice(QComboBox* combo, Handler handler) {
  QObject::connect(combo, &QComboBox::activated, combo, [h = std::move(handler)](int) { h(); });
}

void on_choice(QListWidget* list, Handler handler) {
  QObject::connect(list, &QListWidget::clicked, list, [h = std::move(handler)](const QModelIndex&) { h(); });
}

void on_triggered(QAction* action, Handler handler) {
  QObject::connect(action, &QAction::triggered, action, [h = std::move(handler)](bool) { h(); });
}

namespace {

class EventHook : public QObject {
 public:
  EventHook(QWidget* w, QEvent::Type type, std::function<bool(QEvent*)> handler)
      : QObject(w), type_(type), handler_(std::move(handler)) {
    w->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override { return e->type() == type_ && handler_(e); }

 private:
  QEvent::Type type_;
  std::function<bool(QEvent*)> handler_;
};

struct ControlHandlers {
  Handler enter;
  Handler exit;
};

struct WindowFocus {
  QPointer<QWidget> active;
  bool in_exit = false;
};

// Routes the application's focus changes to the enter and exit handlers of the controls.
class FocusRouter : public QObject {
 public:
  static FocusRouter& instance() {
    static FocusRouter* router = nullptr;
    if (!router) {
      router = new FocusRouter;
      router->setParent(qApp);
      QObject::connect(qApp, &QApplication::focusChanged, router,
                       [](QWidget*, QWidget* now) { if (router) router->focus_changed(now); });
      QObject::connect(router, &QObject::destroyed, [] { router = nullptr; });
    }
    return *router;
  }

  void set(QWidget* control, bool enter, Handler handler) {
    auto& h = handlers_[control];
    (enter ? h.enter : h.exit) = std::move(handler);
    QObject::connect(control, &QObject::destroyed, this, [this, control] { handlers_.erase(control); });
  }

  QWidget* active(QWidget* window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.active.data();
  }

  void focus_changed(QWidget* now) {
    if (!now) return;
    QWidget* window = now->window();
    auto [it, inserted] = windows_.try_emplace(window);
    if (inserted) QObject::connect(window, &QObject::destroyed, this, [this, window] { windows_.erase(window); });
    WindowFocus& state = it->second;
    if (state.in_exit || state.active == now) return;

    QPointer<QWidget> previous = state.active;
    if (previous) {
      state.in_exit = true;
      run(previous, false);
      auto again = windows_.find(window);
      if (again == windows_.end()) return;  // the window went away in the handler
      again->second.in_exit = false;
    }
    // The control that holds the window's focus now: the handler may have moved the focus.
    QWidget* target = window->focusWidget();
    if (!target) target = now;
    windows_[window].active = target;
    if (target != previous.data()) run(target, true);
  }

 private:
  void run(QWidget* control, bool enter) {
    auto it = handlers_.find(control);
    if (it == handlers_.end()) return;
    Handler h = enter ? it->second.enter : it->second.exit;  // copy: the handler may re-register
    if (h) h();
  }

  std::map<QWidget*, ControlHandlers> handlers_;
  std::map<QWidget*, WindowFocus> windows_;
};

}  // namespace

void on_enter(QWidget* control, Handler handler) { FocusRouter::instance().set(control, true, std::move(handler)); }
void on_exit(QWidget* control, Handler handler) { FocusRouter::instance().set(control, false, std::move(handler)); }

void on_event(QWidget* widget, QEvent::Type type, std::function<bool(QEvent*)> handler) {
  new EventHook(widget, type, std::move(handler));
}

QWidget* active_control(QWidget* window) { return FocusRouter::instance().active(window); }

}  // namespace morvell::forms
