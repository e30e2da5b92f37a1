#include "platform/x11_connection.h"

#include <poll.h>

#include <algorithm>
#include <thread>

#include "platform/x11_display.h"

namespace platform {

bool DisplayNamed() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}

namespace x11 {

Connection::Connection() {
  if (!DisplayNamed()) return;
  int screenNumber = 0;
  xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(conn)) {
    // A busy server can refuse a connection for a moment: one more try after a short pause.
    xcb_disconnect(conn);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    conn = xcb_connect(nullptr, &screenNumber);
  }
  if (xcb_connection_has_error(conn)) {
    xcb_disconnect(conn);
    return;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  if (!it.rem) {
    xcb_disconnect(conn);
    return;
  }
  conn_ = conn;
  screen_ = it.data;
}

Connection::~Connection() {
  if (conn_) xcb_disconnect(conn_);
}

xcb_atom_t Connection::Atom(const std::string& name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(conn_, 0, uint16_t(name.size()), name.c_str());
  Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(conn_, cookie, nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t Connection::MakeWindow() {
  const xcb_window_t window = xcb_generate_id(conn_);
  const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window, screen_->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
  xcb_flush(conn_);
  return window;
}

Reply<xcb_generic_event_t> Connection::WaitEvent(Clock::time_point deadline) {
  for (;;) {
    if (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) return Reply<xcb_generic_event_t>(e);
    if (broken()) return nullptr;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return nullptr;
    pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
    ::poll(&fd, 1, int(std::min<int64_t>(left, 1000)));
  }
}

}  // namespace x11
}  // namespace platform
