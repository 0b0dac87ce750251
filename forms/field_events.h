// The events every window relies on, wired once:
//  - text change of an edit, also when code sets the text (textChanged);
//  - check-box click, also when code sets the state (toggled); a radio button's click when it becomes
//    checked, also by code;
//  - combo and list choice by the user only (activated / clicked);
//  - field enter and exit from focus moves within one window.
//
// Enter and exit follow the window's active control. A move of the focus to another control of the
// same window exits the control that was active and enters the new one. Focus lost to another window,
// a modal dialog or a popup is no exit, and getting it back is no enter. While an exit handler runs,
// focus moves (a warning dialog opening and closing, the handler putting the focus back) are not
// treated as exits or enters of their own; when the handler returns, the control that then holds the
// window's focus is entered, unless it is the one that was just left (the focus was given back).
#pragma once

#include <QEvent>
#include <functional>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QWidget;

namespace morvell::forms {

using Handler = std::function<void()>;

void on_change(QLineEdit* edit, Handler handler);
void on_click(QCheckBox* box, Handler handler);
void on_click(QRadioButton* button, Handler handler);
void on_click(QAbstractButton* button, Handler handler);  // push buttons: the user's click only
void on_choice(QComboBox* combo, Handler handler);
void on_choice(QListWidget* list, Handler handler);
void on_triggered(QAction* action, Handler handler);

// Check boxes and radio buttons set from code, the one rule of every window: setting the state from
// code has the effect of the user's click when it changes the state. The box's click handler runs (a
// radio button's when it becomes checked), so the design follows what the boxes show and a command that
// sets a box needs no step of its own for what the handler does. Setting the state a box already has
// runs nothing. set_checked says so where it is called; a box's own setChecked does the same.
void set_checked(QAbstractButton* box, bool checked);
// The exception: the state without the click handler, for a caller that sets every value the handler
// would set itself and whose boxes the handlers must not turn into another choice half-way. Each use
// names why where it stands (the main window's first show, the measurement window's showing, the lock
// boxes put back after a centre-distance minimisation that found no pair).
void set_checked_quietly(QAbstractButton* box, bool checked);

// Field enter and exit (one handler of each kind per control).
void on_enter(QWidget* control, Handler handler);
void on_exit(QWidget* control, Handler handler);

// A handler for one event type of a widget (key release, mouse up, ...). The handler returns true to
// consume the event.
void on_event(QWidget* widget, QEvent::Type type, std::function<bool(QEvent*)> handler);

// The control a window regards as focused (the last one entered), or nullptr.
QWidget* active_control(QWidget* window);

}  // namespace morvell::forms
