// A short-lived connection to the X server named by DISPLAY, with the bounded waits the
// clipboard and capture services share.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace platform::x11 {

using Clock = std::chrono::steady_clock;

// How long a peer may keep us waiting for each answer or increment.
inline constexpr std::chrono::milliseconds kPeerTimeout{3000};

struct FreeDeleter {
  void operator()(void* p) const noexcept { std::free(p); }
};
// xcb hands replies and events back as malloc'd blocks.
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

class Connection {
 public:
  // Connects to DISPLAY; ok() tells whether that worked.
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool ok() const { return conn_ != nullptr; }
  xcb_connection_t* get() const { return conn_; }
  const xcb_screen_t* screen() const { return screen_; }
  bool broken() const { return xcb_connection_has_error(conn_) != 0; }

  xcb_atom_t Atom(const std::string& name);
  // An unmapped input-only window that reports property changes, for selection traffic.
  xcb_window_t MakeWindow();
  // The next event, waiting no later than deadline; null on timeout or a broken connection.
  Reply<xcb_generic_event_t> WaitEvent(Clock::time_point deadline);

 private:
  xcb_connection_t* conn_ = nullptr;
  const xcb_screen_t* screen_ = nullptr;
};

// The event's type without the bit that marks events sent by another client.
inline uint8_t EventType(const xcb_generic_event_t* e) { return e->response_type & 0x7F; }

}  // namespace platform::x11
