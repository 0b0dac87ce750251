#include "application.h"

#include <QDialog>
#include <QEvent>
#include <QWidget>

#include <clocale>
#include <exception>

#include "modal_services.h"
#include "window_scale.h"

namespace morvell::forms {

namespace {
uint64_t action_number = 0;
int input_depth = 0;

bool is_user_input(QEvent::Type t) {
  switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return false;
  }
}
}  // namespace

uint64_t user_action_number() { return action_number; }
void begin_user_action() { ++action_number; }

void show_exception(const char* what) {
  services().message(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                     QString::fromLocal8Bit(what ? what : "Unknown error"), MessageIcon::Error);
}

FormsApplication::FormsApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Qt has switched the process to the user's locale; numbers in files stay in the C form.
  std::setlocale(LC_NUMERIC, "C");
}

bool FormsApplication::notify(QObject* receiver, QEvent* event) {
  // Every dialog of Qt's making is fitted to its screen, also those that Qt opens by itself (the
  // printer's properties and the output file's chooser inside the print dialog); the program's own
  // windows size themselves by the window scale.
  if (event->type() == QEvent::Polish && receiver->isWidgetType()) {
    auto* w = static_cast<QWidget*>(receiver);
    if (w->isWindow() && qobject_cast<QDialog*>(w) && made_by_qt(w)) fit_to_screen_when_shown(w);
  }
  const bool input = is_user_input(event->type()) && receiver->isWidgetType();
  if (input) {
    if (input_depth == 0) begin_user_action();
    ++input_depth;
  }
  bool result = false;
  try {
    result = QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    show_exception(e.what());
  } catch (...) {
    show_exception(nullptr);
  }
  if (input) --input_depth;
  return result;
}

}  // namespace morvell::forms
