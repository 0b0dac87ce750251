// Esc held down on an X11 display is seen in the server's keyboard state while no events are read.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstdlib>

#include "x11_keyboard.h"

namespace tandrel {
namespace {

// The XTEST extension's FakeInput request, sent by hand: it presses or releases a key on the display
// as a person at the keyboard would.
xcb_extension_t xtest{"XTEST", 0};

struct FakeInputRequest {
  uint8_t major_opcode, minor_opcode;
  uint16_t length;
  uint8_t type, detail;
  uint8_t pad0[2];
  uint32_t time;
  uint32_t root;
  uint8_t pad1[8];
  int16_t root_x, root_y;
  uint8_t pad2[7];
  uint8_t device;
};
static_assert(sizeof(FakeInputRequest) == 36);

void FakeKey(xcb_connection_t* c, bool press, unsigned keycode) {
  FakeInputRequest request{};
  request.type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
  request.detail = uint8_t(keycode);
  static const xcb_protocol_request_t info = {2, &xtest, 2, 1};
  struct iovec parts[4];
  parts[2].iov_base = &request;
  parts[2].iov_len = sizeof request;
  parts[3].iov_base = nullptr;
  parts[3].iov_len = 0;
  const unsigned sequence = xcb_send_request(c, XCB_REQUEST_CHECKED, parts + 2, &info);
  xcb_generic_error_t* error = xcb_request_check(c, xcb_void_cookie_t{sequence});
  EXPECT_EQ(error, nullptr);
  std::free(error);
}

TEST(X11Keyboard, EscapeHeldDownIsSeenWithoutReadingEvents) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X11 display";
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    GTEST_SKIP() << "the X11 display cannot be reached";
  }
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xtest);
  if (!ext || !ext->present) {
    xcb_disconnect(c);
    GTEST_SKIP() << "the display cannot fake key presses";
  }
  const unsigned escape = EscapeKeycode(c);
  ASSERT_NE(escape, 0u);
  EXPECT_FALSE(EscapeDownOnDisplay(c));
  FakeKey(c, true, escape);
  EXPECT_TRUE(EscapeDownOnDisplay(c));
  FakeKey(c, false, escape);
  EXPECT_FALSE(EscapeDownOnDisplay(c));
  xcb_disconnect(c);
}

}  // namespace
}  // namespace tandrel
