// Reading the CLIPBOARD selection from whichever client owns it.
#include <cstring>

#include "platform/x11_connection.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

using namespace x11;

// The most a clipboard answer may bring (a 16384 x 16384 picture uncompressed, and some).
constexpr std::size_t kMaxAnswerBytes = std::size_t(1) << 31;

// Reads and deletes the property; appends its bytes. Returns the property's type, or NONE.
xcb_atom_t TakeProperty(Connection& c, xcb_window_t window, xcb_atom_t property,
                        std::vector<uint8_t>& bytes, std::size_t* length) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(c.get(), 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4);
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c.get(), cookie, nullptr));
  if (!reply) return XCB_ATOM_NONE;
  const std::size_t n = std::size_t(xcb_get_property_value_length(reply.get()));
  if (bytes.size() + n > kMaxAnswerBytes) return XCB_ATOM_NONE;
  const auto* value = static_cast<const uint8_t*>(xcb_get_property_value(reply.get()));
  bytes.insert(bytes.end(), value, value + n);
  *length = n;
  return reply->type;
}

// Waits for the answer to a conversion: the SelectionNotify naming our request.
bool AwaitNotify(Connection& c, xcb_window_t window, xcb_atom_t target, xcb_atom_t* property) {
  const Clock::time_point deadline = Clock::now() + kPeerTimeout;
  while (auto e = c.WaitEvent(deadline)) {
    if (EventType(e.get()) != XCB_SELECTION_NOTIFY) continue;
    const auto* n = reinterpret_cast<const xcb_selection_notify_event_t*>(e.get());
    if (n->requestor != window || n->target != target) continue;
    *property = n->property;
    return true;
  }
  return false;
}

// Collects an answer sent in increments: each new value of the property is one piece, an empty
// one ends it. Deleting the property asks for the next piece.
bool ReadIncrements(Connection& c, xcb_window_t window, xcb_atom_t property,
                    std::vector<uint8_t>& bytes) {
  bytes.clear();
  for (;;) {
    const Clock::time_point deadline = Clock::now() + kPeerTimeout;
    bool arrived = false;
    while (auto e = c.WaitEvent(deadline)) {
      if (EventType(e.get()) != XCB_PROPERTY_NOTIFY) continue;
      const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e.get());
      if (p->window == window && p->atom == property && p->state == XCB_PROPERTY_NEW_VALUE) {
        arrived = true;
        break;
      }
    }
    if (!arrived) return false;
    std::size_t length = 0;
    if (TakeProperty(c, window, property, bytes, &length) == XCB_ATOM_NONE) return false;
    if (length == 0) return true;
  }
}

}  // namespace

SelectionRead ReadClipboard(const std::vector<std::string>& mimes, std::string& mime,
                            std::vector<uint8_t>& bytes) {
  Connection c;
  if (!c.ok()) return SelectionRead::kNoDisplay;
  constexpr SelectionRead kNothing = SelectionRead::kNothing;
  const xcb_atom_t clipboard = c.Atom("CLIPBOARD");
  const xcb_atom_t incr = c.Atom("INCR");
  const xcb_atom_t property = c.Atom("PALMORA_CLIPBOARD");
  {
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(c.get(), clipboard);
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c.get(), cookie, nullptr));
    if (!owner || owner->owner == XCB_NONE) return kNothing;
  }
  const xcb_window_t window = c.MakeWindow();
  for (const std::string& wanted : mimes) {
    const xcb_atom_t target = c.Atom(wanted);
    if (target == XCB_ATOM_NONE) continue;
    xcb_convert_selection(c.get(), window, clipboard, target, property, XCB_CURRENT_TIME);
    xcb_flush(c.get());
    xcb_atom_t answered = XCB_NONE;
    if (!AwaitNotify(c, window, target, &answered)) return kNothing;  // the owner is silent
    if (answered == XCB_NONE) continue;                               // not in this type
    std::vector<uint8_t> answer;
    std::size_t length = 0;
    const xcb_atom_t type = TakeProperty(c, window, answered, answer, &length);
    if (type == incr) {
      if (!ReadIncrements(c, window, answered, answer)) return kNothing;
    } else if (type == XCB_ATOM_NONE) {
      continue;
    }
    if (answer.empty()) continue;
    mime = wanted;
    bytes = std::move(answer);
    return SelectionRead::kDelivered;
  }
  return kNothing;
}

}  // namespace platform
