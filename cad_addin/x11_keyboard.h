// The state of the Esc key on an X11 display, read from the server's keyboard state at the moment of
// asking (the key map), not from the event queue: a long calculation that pumps no events can still
// see Esc held down.
#pragma once

struct xcb_connection_t;

namespace tandrel {

// The key code that carries Esc in the display's keyboard mapping, 0 when none does.
unsigned EscapeKeycode(xcb_connection_t* connection);

// Whether Esc is down on the display of this connection; false when the display has no Esc key.
bool EscapeDownOnDisplay(xcb_connection_t* connection);

// The connection of the desktop's X11 display, null on any other platform (offscreen, Wayland).
xcb_connection_t* DesktopX11Connection();

}  // namespace tandrel
