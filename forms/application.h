// The application object of the program's windows.
//
// It restores the C numeric locale right after Qt has applied the user's locale (design files and
// preferences are read and written with C number formats), and it guards every event: an exception
// that escapes a handler is shown in a message box with the application title as caption, and the
// program goes on. Every dialog of Qt's own making is fitted to its screen when shown (window_scale.h),
// also one that Qt opens by itself from inside another.
//
// It also counts user actions: every key or mouse input that reaches the program while no other input
// is being handled starts a new action. Reports that are shown at most once per action use the count.
#pragma once

#include <QApplication>
#include <cstdint>

namespace morvell::forms {

class FormsApplication : public QApplication {
 public:
  FormsApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Number of the user action in progress (0 before the first input).
uint64_t user_action_number();
// Starts a new user action (the application does this on input; tests call it directly).
void begin_user_action();

// Shows an exception's text the way the guard does.
void show_exception(const char* what);

}  // namespace morvell::forms
