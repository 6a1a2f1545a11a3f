#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "HotkeyMatcher.h"
#include "platform/GlobalHotkeys.h"

class QObject;
class QSocketNotifier;
struct xcb_connection_t;

namespace quillet::platform {

// Hotkeys as passive key grabs on the root window, on an X connection of their own. A
// combination is grabbed on every keycode that carries its letter, alone and with each
// combination of Caps Lock and Num Lock, so that the locks never stop it. When the keyboard map
// changes, every hotkey is grabbed again on its new keycodes.
//
// Made after the application object; lives on, and is used from, the user-interface thread.
// Without a display, or once the connection has broken, every registration fails and nothing
// else happens.
class X11GlobalHotkeys final : public GlobalHotkeys {
  public:
    // Connects to `displayName`, or to $DISPLAY when null.
    explicit X11GlobalHotkeys(const char* displayName = nullptr);
    ~X11GlobalHotkeys() override;

    X11GlobalHotkeys(const X11GlobalHotkeys&) = delete;
    X11GlobalHotkeys& operator=(const X11GlobalHotkeys&) = delete;

    void setHandler(PressHandler onPress) override;
    // Waits for the server's answer to each grab. Registering the combination that another id
    // holds here fails as well; registering an id again moves it to the new combination, and on
    // failure leaves it on the old one.
    bool registerHotkey(int id, unsigned modifiers, char key) override;
    void unregisterHotkey(int id) override;

  private:
    bool valid() const;
    // Grabs every keycode with every mask. All or nothing: when one grab is refused, the ones
    // made are released. Returns whether all were made.
    bool grab(const std::vector<std::uint8_t>& keycodes, const std::vector<std::uint16_t>& masks);
    void ungrab(const HotkeyMatcher::Hotkey& hotkey);
    // Reads the modifier map and the keyboard map again and moves every grab to the keycodes
    // and Num Lock modifier they now give.
    void regrabAll();
    // Hands out every event that has arrived.
    void drain();
    // Lets drain() run soon from the event loop: a request that waits for an answer moves the
    // events that arrive meanwhile into xcb's queue, where the socket no longer signals them.
    void postDrain();
    void checkBroken();

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    bool broken_ = true;
    HotkeyMatcher matcher_;
    PressHandler onPress_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool drainPosted_ = false;
    // Expires with this object: a handler may destroy it while events are handed out.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    // Receiver of the posted drains: they die with this object.
    std::unique_ptr<QObject> context_;
};

}  // namespace quillet::platform
