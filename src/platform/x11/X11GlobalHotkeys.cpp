#include "X11GlobalHotkeys.h"
#include "XcbDisplay.h"
#include "XcbReply.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QObject>
#include <QSocketNotifier>

#include <algorithm>
#include <utility>

namespace quillet::platform {

namespace {

// The keyboard map as the server gives it now: which keycodes carry a keysym, and which
// modifier Num Lock is. Asked for once per object, when first needed.
class KeyboardMap {
  public:
    explicit KeyboardMap(xcb_connection_t* connection)
        : connection_(connection), symbols_(xcb_key_symbols_alloc(connection)) {}

    // Every keycode that carries `keysym` at any level or group, each once; empty when none
    // does or the map cannot be had.
    std::vector<std::uint8_t> keycodes(xcb_keysym_t keysym) const {
        std::vector<std::uint8_t> result;
        if (!symbols_)
            return result;
        XcbReply<xcb_keycode_t> codes{xcb_key_symbols_get_keycode(symbols_.get(), keysym)};
        if (!codes)
            return result;
        for (const xcb_keycode_t* code = codes.get(); *code != XCB_NO_SYMBOL; ++code)
            result.push_back(*code);
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
        return result;
    }

    // The modifier bit of the row of the modifier map that holds a Num Lock key; 0 when none
    // does. Usually Mod2, but the map decides.
    std::uint16_t numLockMask() const {
        const std::vector<std::uint8_t> numLock = keycodes(XK_Num_Lock);
        if (numLock.empty())
            return 0;
        XcbReply<xcb_get_modifier_mapping_reply_t> reply{xcb_get_modifier_mapping_reply(
            connection_, xcb_get_modifier_mapping(connection_), nullptr)};
        if (!reply)
            return 0;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
        const int perModifier = reply->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t code = codes[modifier * perModifier + i];
                if (code != 0 && std::binary_search(numLock.begin(), numLock.end(), code))
                    return std::uint16_t(1u << modifier);
            }
        }
        return 0;
    }

  private:
    struct Free {
        void operator()(xcb_key_symbols_t* symbols) const { xcb_key_symbols_free(symbols); }
    };

    xcb_connection_t* connection_;
    std::unique_ptr<xcb_key_symbols_t, Free> symbols_;
};

// The lower-case keysym of an upper-case letter: the one the unshifted key carries.
xcb_keysym_t LetterKeysym(char key) {
    return xcb_keysym_t(XK_a + (key - 'A'));
}

}  // namespace

X11GlobalHotkeys::X11GlobalHotkeys(const char* displayName)
    : context_(std::make_unique<QObject>()) {
    const XcbDisplay display = ConnectToDisplay(displayName);
    connection_ = display.connection;
    root_ = display.root;
    if (!connection_ || !root_)
        return;

    matcher_.setNumLockMask(KeyboardMap(connection_).numLockMask());

    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                  QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, context_.get(),
                     [this] { drain(); });
    broken_ = false;
    checkBroken();
    postDrain();
}

X11GlobalHotkeys::~X11GlobalHotkeys() {
    notifier_.reset();
    if (!connection_)
        return;
    // Closing the connection would release the grabs as well; releasing them first lets other
    // programs have them even while the server is slow to notice the close.
    if (valid()) {
        for (const auto& [id, hotkey] : matcher_.hotkeys())
            ungrab(hotkey);
    }
    xcb_disconnect(connection_);
}

void X11GlobalHotkeys::setHandler(PressHandler onPress) {
    onPress_ = std::move(onPress);
}

bool X11GlobalHotkeys::registerHotkey(int id, unsigned modifiers, char key) {
    if (!valid())
        return false;
    if (key < 'A' || key > 'Z' || (modifiers & ~unsigned(Control | Alt | Shift)))
        return false;
    // The server would let this connection grab a combination twice; the second id would then
    // lose it the moment the first is unregistered.
    if (const std::optional<int> holder = matcher_.holderOf(modifiers, key)) {
        if (*holder != id)
            return false;
        if (!matcher_.find(id)->keycodes.empty())
            return true;
    }

    const std::vector<std::uint8_t> keycodes = KeyboardMap(connection_).keycodes(LetterKeysym(key));
    const std::vector<std::uint16_t> masks = matcher_.grabMasks(modifiers);
    const bool grabbed = !keycodes.empty() && grab(keycodes, masks);
    postDrain();
    if (!grabbed)
        return false;
    if (const HotkeyMatcher::Hotkey* old = matcher_.find(id))
        ungrab(*old);
    matcher_.add(id, {modifiers, key, keycodes, masks});
    return true;
}

void X11GlobalHotkeys::unregisterHotkey(int id) {
    const HotkeyMatcher::Hotkey* hotkey = matcher_.find(id);
    if (!hotkey)
        return;
    if (valid())
        ungrab(*hotkey);
    matcher_.remove(id);
}

bool X11GlobalHotkeys::valid() const {
    return !broken_;
}

bool X11GlobalHotkeys::grab(const std::vector<std::uint8_t>& keycodes,
                            const std::vector<std::uint16_t>& masks) {
    // All requests first, then all answers: one round trip, however many grabs.
    std::vector<xcb_void_cookie_t> cookies;
    cookies.reserve(keycodes.size() * masks.size());
    for (std::uint8_t keycode : keycodes) {
        for (std::uint16_t mask : masks)
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, mask, keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool all = true;
    for (const xcb_void_cookie_t& cookie : cookies) {
        // BadAccess: another client holds this grab.
        if (XcbReply<xcb_generic_error_t> error{xcb_request_check(connection_, cookie)})
            all = false;
    }
    // A broken connection answers every check with "no error".
    checkBroken();
    if (all && valid())
        return true;
    // Releasing a grab this connection never got is harmless: only its own grabs go.
    ungrab({0, 0, keycodes, masks});
    return false;
}

void X11GlobalHotkeys::ungrab(const HotkeyMatcher::Hotkey& hotkey) {
    if (!valid())
        return;
    for (std::uint8_t keycode : hotkey.keycodes) {
        for (std::uint16_t mask : hotkey.masks)
            xcb_ungrab_key(connection_, keycode, root_, mask);
    }
    xcb_flush(connection_);
}

void X11GlobalHotkeys::regrabAll() {
    if (!valid())
        return;
    for (const auto& [id, hotkey] : matcher_.hotkeys())
        ungrab(hotkey);
    const KeyboardMap keyboard(connection_);
    matcher_.setNumLockMask(keyboard.numLockMask());
    const std::map<int, HotkeyMatcher::Hotkey> previous = matcher_.hotkeys();
    for (const auto& [id, hotkey] : previous) {
        HotkeyMatcher::Hotkey moved{hotkey.modifiers, hotkey.key,
                                    keyboard.keycodes(LetterKeysym(hotkey.key)),
                                    matcher_.grabMasks(hotkey.modifiers)};
        // A combination that another program took meanwhile, or whose letter left the map,
        // stays registered without grabs: it comes back with the next map change that allows
        // it, or with registering it again.
        if (moved.keycodes.empty() || !grab(moved.keycodes, moved.masks))
            moved.keycodes.clear();
        matcher_.add(id, std::move(moved));
    }
    postDrain();
}

void X11GlobalHotkeys::drain() {
    drainPosted_ = false;
    if (!valid())
        return;
    const std::weak_ptr<int> alive = alive_;
    bool mappingChanged = false;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
        XcbReply<xcb_generic_event_t> event{raw};
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAPPING_NOTIFY) {
            const auto& mapping = *reinterpret_cast<const xcb_mapping_notify_event_t*>(raw);
            if (mapping.request == XCB_MAPPING_KEYBOARD || mapping.request == XCB_MAPPING_MODIFIER)
                mappingChanged = true;
        } else if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            const auto& key = *reinterpret_cast<const xcb_key_press_event_t*>(raw);
            const std::optional<HotkeyMatcher::Press> press =
                matcher_.match(type, key.state, key.detail);
            if (press && onPress_) {
                // The handler may register, unregister, replace itself or destroy this object.
                const PressHandler handler = onPress_;
                handler(press->id, press->modifiers, press->key);
                if (alive.expired())
                    return;
            }
        }
    }
    checkBroken();
    // A tool that changes the map sends a burst of notifications; one new grab covers them all.
    if (mappingChanged)
        regrabAll();
}

void X11GlobalHotkeys::postDrain() {
    if (drainPosted_ || !valid())
        return;
    drainPosted_ = true;
    QMetaObject::invokeMethod(
        context_.get(), [this] { drain(); }, Qt::QueuedConnection);
}

void X11GlobalHotkeys::checkBroken() {
    // A broken connection leaves its socket readable for good: the notifier would fire again and
    // again without end.
    if (!broken_ && xcb_connection_has_error(connection_)) {
        broken_ = true;
        if (notifier_)
            notifier_->setEnabled(false);
    }
}

}  // namespace quillet::platform
