// Owning the CLIPBOARD selection: a service thread with its own connection answers other
// programs' requests while this process holds the desktop clipboard. The host never waits on it
// longer than the claim; the thread stops when another client takes the selection, when a new
// offer replaces it, and when the library is unloaded.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/x11_connection.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

using namespace x11;

// One answer being sent in increments: the requestor deletes the property to ask for the next.
struct Transfer {
  xcb_window_t requestor = 0;
  xcb_atom_t property = 0;
  xcb_atom_t target = 0;
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  std::size_t sent = 0;
  bool finished = false;  // the empty closing piece is out
  Clock::time_point deadline;
};

class SelectionService {
 public:
  ~SelectionService() { Stop(); }

  bool Offer(const std::vector<std::string>& mimes, SelectionEncoder encoder) {
    std::lock_guard<std::mutex> hold(lock_);
    StopLocked();
    if (!DisplayNamed()) return false;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return false;
    wakeRead_ = pipeEnds[0], wakeWrite_ = pipeEnds[1];
    std::promise<bool> claimed;
    std::future<bool> claim = claimed.get_future();
    owns_ = false;
    taken_ = false;
    thread_ =
        std::thread(&SelectionService::Run, this, mimes, std::move(encoder), std::move(claimed));
    const bool ok = claim.wait_for(kPeerTimeout) == std::future_status::ready && claim.get();
    if (!ok) StopLocked();
    return ok;
  }

  bool Owns() const { return owns_.load(); }
  bool Taken() const { return taken_.load(); }

  void Stop() {
    std::lock_guard<std::mutex> hold(lock_);
    StopLocked();
  }

 private:
  void StopLocked() {
    if (thread_.joinable()) {
      const char wake = 1;
      [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &wake, 1);
      thread_.join();
    }
    if (wakeRead_ >= 0) ::close(wakeRead_), ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
    owns_ = false;
  }

  void Run(std::vector<std::string> mimes, SelectionEncoder encoder, std::promise<bool> claimed) {
    Connection c;
    if (!c.ok()) return claimed.set_value(false);
    const xcb_atom_t clipboard = c.Atom("CLIPBOARD");
    targets_ = c.Atom("TARGETS");
    incr_ = c.Atom("INCR");
    offered_.clear();
    for (const std::string& m : mimes) offered_[c.Atom(m)] = m;
    const xcb_window_t window = c.MakeWindow();
    // A claim needs a real timestamp: a zero-length append to our own window brings one.
    xcb_change_property(c.get(), XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, nullptr);
    xcb_flush(c.get());
    xcb_timestamp_t now = XCB_CURRENT_TIME;
    const Clock::time_point deadline = Clock::now() + kPeerTimeout;
    while (auto e = c.WaitEvent(deadline)) {
      if (EventType(e.get()) == XCB_PROPERTY_NOTIFY) {
        now = reinterpret_cast<const xcb_property_notify_event_t*>(e.get())->time;
        break;
      }
    }
    xcb_set_selection_owner(c.get(), window, clipboard, now);
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(c.get(), clipboard);
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c.get(), cookie, nullptr));
    if (!owner || owner->owner != window) return claimed.set_value(false);
    owns_ = true;
    claimed.set_value(true);

    // Pieces small enough for any server's request limit.
    const std::size_t maxRequest = std::size_t(xcb_get_maximum_request_length(c.get())) * 4;
    chunk_ =
        std::min<std::size_t>(std::size_t(256) << 10, maxRequest > 4096 ? maxRequest - 1024 : 1024);
    encoded_.clear();
    transfers_.clear();
    Serve(c, encoder);
    owns_ = false;
    transfers_.clear();
    encoded_.clear();
    xcb_destroy_window(c.get(), window);
    xcb_flush(c.get());
  }

  void Serve(Connection& c, const SelectionEncoder& encoder) {
    for (;;) {
      pollfd fds[2] = {{xcb_get_file_descriptor(c.get()), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
      ::poll(fds, 2, transfers_.empty() ? -1 : 500);
      if (fds[1].revents) return;
      while (auto e = Reply<xcb_generic_event_t>(xcb_poll_for_event(c.get()))) {
        switch (EventType(e.get())) {
          case XCB_SELECTION_CLEAR:
            taken_ = true;
            return;  // another client owns the clipboard now
          case XCB_SELECTION_REQUEST:
            Answer(c, *reinterpret_cast<const xcb_selection_request_event_t*>(e.get()), encoder);
            break;
          case XCB_PROPERTY_NOTIFY:
            Continue(c, *reinterpret_cast<const xcb_property_notify_event_t*>(e.get()));
            break;
          default:
            break;
        }
      }
      if (c.broken()) return;
      // A requestor that stopped asking for pieces is given up on.
      const Clock::time_point now = Clock::now();
      std::erase_if(transfers_, [&](const Transfer& t) { return t.deadline < now; });
    }
  }

  static void Notify(Connection& c, const xcb_selection_request_event_t& r, xcb_atom_t property) {
    xcb_selection_notify_event_t n = {};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = r.time;
    n.requestor = r.requestor;
    n.selection = r.selection;
    n.target = r.target;
    n.property = property;
    xcb_send_event(c.get(), 0, r.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&n));
    xcb_flush(c.get());
  }

  void Answer(Connection& c, const xcb_selection_request_event_t& r,
              const SelectionEncoder& encoder) {
    // Old clients leave the property empty and mean the target's own name.
    const xcb_atom_t property = r.property != XCB_NONE ? r.property : r.target;
    if (r.target == targets_) {
      std::vector<xcb_atom_t> list{targets_};
      for (const auto& [atom, name] : offered_) list.push_back(atom);
      xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, r.requestor, property, XCB_ATOM_ATOM, 32,
                          uint32_t(list.size()), list.data());
      return Notify(c, r, property);
    }
    const auto offered = offered_.find(r.target);
    if (offered == offered_.end()) return Notify(c, r, XCB_NONE);
    auto& bytes = encoded_[r.target];
    if (!bytes) {
      auto made = std::make_shared<std::vector<uint8_t>>();
      bool ok = false;
      try {
        ok = encoder(offered->second, *made);
      } catch (...) {
        ok = false;
      }
      if (!ok || made->empty()) return Notify(c, r, XCB_NONE);
      bytes = std::move(made);
    }
    if (bytes->size() <= chunk_) {
      xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, r.requestor, property, r.target, 8,
                          uint32_t(bytes->size()), bytes->data());
      return Notify(c, r, property);
    }
    // Too large for one request: announce the size and send pieces as the requestor reads them.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c.get(), r.requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = uint32_t(std::min<std::size_t>(bytes->size(), UINT32_MAX));
    xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, r.requestor, property, incr_, 32, 1, &size);
    transfers_.push_back(
        {r.requestor, property, r.target, bytes, 0, false, Clock::now() + kPeerTimeout});
    Notify(c, r, property);
  }

  void Continue(Connection& c, const xcb_property_notify_event_t& p) {
    if (p.state != XCB_PROPERTY_DELETE) return;
    for (auto it = transfers_.begin(); it != transfers_.end(); ++it) {
      if (it->requestor != p.window || it->property != p.atom) continue;
      if (it->finished) {
        transfers_.erase(it);
        return;
      }
      const std::size_t n = std::min(chunk_, it->bytes->size() - it->sent);
      xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->target,
                          8, uint32_t(n), it->bytes->data() + it->sent);
      xcb_flush(c.get());
      it->sent += n;
      it->finished = n == 0;
      it->deadline = Clock::now() + kPeerTimeout;
      if (it->finished) transfers_.erase(it);
      return;
    }
  }

  std::mutex lock_;
  std::thread thread_;
  int wakeRead_ = -1, wakeWrite_ = -1;
  std::atomic<bool> owns_{false};
  std::atomic<bool> taken_{false};
  // Used by the service thread only.
  xcb_atom_t targets_ = 0, incr_ = 0;
  std::map<xcb_atom_t, std::string> offered_;
  std::map<xcb_atom_t, std::shared_ptr<const std::vector<uint8_t>>> encoded_;
  std::vector<Transfer> transfers_;
  std::size_t chunk_ = 0;
};

// Constructed on first use and destroyed when the library is unloaded (or the process ends),
// which stops and joins the thread.
SelectionService& Service() {
  static SelectionService service;
  return service;
}

}  // namespace

bool OfferClipboard(const std::vector<std::string>& mimes, SelectionEncoder encoder) {
  return Service().Offer(mimes, std::move(encoder));
}

bool OwnsClipboard() { return Service().Owns(); }

bool ClipboardTakenByAnotherClient() { return Service().Taken(); }

void ReleaseClipboard() { Service().Stop(); }

}  // namespace platform
