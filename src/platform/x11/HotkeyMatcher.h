#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace quillet::platform {

// The table of grabbed hotkeys, and which of them a key event of the X server stands for. Plain
// data: it knows nothing of the connection, so that the rules can be tried without a server.
//
// Modifiers come in two spellings: the GlobalHotkeys bits (Control, Alt, Shift) that callers
// use, and the X modifier masks of grabs and events (Control, Mod1 for Alt, Shift, Lock for
// Caps Lock, and whichever ModN the keyboard map gives Num Lock).
class HotkeyMatcher {
  public:
    // One registered combination and the grabs that stand for it.
    struct Hotkey {
        unsigned modifiers = 0;
        char key = 0;
        std::vector<std::uint8_t> keycodes;
        std::vector<std::uint16_t> masks;
    };

    // A press to report to the handler.
    struct Press {
        int id = 0;
        unsigned modifiers = 0;
        char key = 0;
        friend bool operator==(const Press&, const Press&) = default;
    };

    // The X modifier mask of GlobalHotkeys `modifiers`; bits it does not know are dropped.
    static std::uint16_t xModifiers(unsigned modifiers);

    // Tells which X modifier Num Lock is (a single ModN bit), or 0 when the keyboard has none.
    // A mask that would clash with Shift, Caps Lock, Control or Alt is taken as none: grabbing
    // with it would change the combination itself.
    void setNumLockMask(std::uint16_t mask);
    std::uint16_t numLockMask() const { return numLockMask_; }

    // The masks to grab for `modifiers`: its X mask alone and with every combination of Caps
    // Lock and Num Lock, since the server matches a grab only on the exact modifier state.
    std::vector<std::uint16_t> grabMasks(unsigned modifiers) const;

    // Enters (or replaces) `hotkey` under `id`.
    void add(int id, Hotkey hotkey);
    // Drops `id`; an unknown id is ignored.
    void remove(int id);
    // The hotkey under `id`, or null. Valid until the table next changes.
    const Hotkey* find(int id) const;
    // The id that holds `modifiers` + `key`, if one does.
    std::optional<int> holderOf(unsigned modifiers, char key) const;
    const std::map<int, Hotkey>& hotkeys() const { return hotkeys_; }

    // The press that an event of X type `responseType` (KeyPress or KeyRelease; the send-event
    // bit is ignored) with modifier `state` and `keycode` stands for: a press of a listed
    // keycode whose modifiers, leaving out Caps Lock, Num Lock, the pointer buttons and the
    // keyboard group, are exactly the registered ones. Nothing for releases and anything else.
    std::optional<Press> match(std::uint8_t responseType, std::uint16_t state,
                               std::uint8_t keycode) const;

  private:
    std::map<int, Hotkey> hotkeys_;
    std::uint16_t numLockMask_ = 0;
};

}  // namespace quillet::platform
