// What the add-in asks of the desktop: message boxes with one OK button, the state of the Esc key
// while a long calculation runs, and opening a file with the desktop's viewer. Tests install their own.
#pragma once

#include <string>

namespace tandrel {

class AddinServices {
 public:
  virtual ~AddinServices() = default;
  // A modal message box with one OK button.
  virtual void ShowMessage(const std::u16string& text);
  // Whether Esc is held down now: on an X11 desktop the server's keyboard state; elsewhere (Wayland,
  // offscreen) there is no keyboard state to ask, the answer is false and a calculation runs to its end.
  virtual bool EscapeHeld();
  // Opens the file with the program the desktop associates with it; false when none could be started.
  virtual bool OpenWithShell(const std::u16string& path);
};

AddinServices& Services();
void SetServices(AddinServices* services);  // null: back to the desktop's

}  // namespace tandrel
