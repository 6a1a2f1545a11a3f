#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QSocketNotifier;

namespace quillet::platform {

// A connection to the X server of its own, with a hidden window of its own, for the clipboard
// backend: the toolkit's connection is never used for the clipboard. Events are read from the
// user-interface thread's event loop and handed to the listeners. Made after the application
// object; lives on, and is used from, the user-interface thread only.
//
// When the display cannot be opened, or the connection breaks later, the object stays usable:
// valid() is false and every request answers with nothing.
class X11ClipboardConnection {
  public:
    using Clock = std::chrono::steady_clock;
    using EventListener = std::function<void(const xcb_generic_event_t& event)>;

    // Connects to `displayName`, or to $DISPLAY when null.
    explicit X11ClipboardConnection(const char* displayName = nullptr);
    ~X11ClipboardConnection();

    X11ClipboardConnection(const X11ClipboardConnection&) = delete;
    X11ClipboardConnection& operator=(const X11ClipboardConnection&) = delete;

    // True while the connection works and the hidden window exists.
    bool valid() const;

    xcb_connection_t* connection() const { return connection_; }
    // The hidden window: requestor of conversions (it receives property-change events) and
    // receiver of selection-owner notifications.
    std::uint32_t window() const { return window_; }
    // The first event code of the XFixes extension; 0 when the server lacks it (then no
    // selection-owner notifications can be had).
    std::uint8_t xfixesFirstEvent() const { return xfixesFirstEvent_; }
    bool hasXfixes() const { return hasXfixes_; }

    // The atom of `name`, interned once and remembered; XCB_ATOM_NONE on failure.
    std::uint32_t atom(const std::string& name);
    // The names of `atoms`, in the same order, asked in one batch; an empty name for an atom
    // the server does not know.
    std::vector<std::string> atomNames(const std::vector<std::uint32_t>& atoms);

    // Calls `listener` with every event read from now on, until removeListener(the id).
    int addListener(EventListener listener);
    void removeListener(int id);

    // Reads and hands out every event that has arrived. Must run after each request that waits
    // for a reply: xcb moves the events that arrive meanwhile into its queue, where the socket
    // no longer signals them.
    void drain();

    // Dispatches the user-interface thread's events until `done` is true (checked after each
    // batch of X events) or `deadline` has passed, or the connection breaks. Returns `done()`.
    // May be nested: listeners and event-loop handlers run while it waits.
    bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline);

  private:
    void dispatch(const xcb_generic_event_t& event);
    void checkBroken();

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0;
    bool hasXfixes_ = false;
    std::uint8_t xfixesFirstEvent_ = 0;
    bool broken_ = true;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::map<std::string, std::uint32_t> atoms_;
    std::map<int, EventListener> listeners_;
    int nextListenerId_ = 1;
    // The event loops of the waits in progress, innermost last; each is woken to look again
    // after events have been handed out.
    std::vector<QEventLoop*> waiting_;
};

}  // namespace quillet::platform
