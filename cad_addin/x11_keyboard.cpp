#include "x11_keyboard.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>

namespace tandrel {

namespace {
constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;
}  // namespace

unsigned EscapeKeycode(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int first = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)), nullptr);
  if (!reply) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  const int per_key = reply->keysyms_per_keycode;
  const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
  xcb_keycode_t found = 0;
  for (int i = 0; i < total && found == 0; ++i)
    if (syms[i] == kEscapeKeysym && per_key > 0) found = xcb_keycode_t(first + i / per_key);
  std::free(reply);
  return found;
}

bool EscapeDownOnDisplay(xcb_connection_t* connection) {
  if (!connection || xcb_connection_has_error(connection)) return false;
  // The mapping is looked up once per connection.
  static xcb_connection_t* mapped = nullptr;
  static unsigned escape = 0;
  if (mapped != connection) {
    escape = EscapeKeycode(connection);
    mapped = connection;
  }
  if (escape == 0) return false;
  xcb_query_keymap_reply_t* keymap =
      xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
  if (!keymap) return false;
  const bool down = (keymap->keys[escape / 8] >> (escape % 8)) & 1;
  std::free(keymap);
  return down;
}

xcb_connection_t* DesktopX11Connection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

}  // namespace tandrel
