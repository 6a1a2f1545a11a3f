#include "HotkeyMatcher.h"

#include <xcb/xproto.h>

#include <algorithm>
#include <bit>

#include "platform/GlobalHotkeys.h"

namespace quillet::platform {

namespace {

// The eight modifier bits of a core event's state. Above them come the pointer buttons and, on
// a server with XKB, the keyboard group (the layout in use), neither of which is a modifier.
constexpr std::uint16_t kModifierBits = 0xff;

}  // namespace

std::uint16_t HotkeyMatcher::xModifiers(unsigned modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & GlobalHotkeys::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & GlobalHotkeys::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & GlobalHotkeys::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

void HotkeyMatcher::setNumLockMask(std::uint16_t mask) {
    constexpr std::uint16_t taken =
        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    const bool usable = std::has_single_bit(mask) && (mask & kModifierBits) && !(mask & taken);
    numLockMask_ = usable ? mask : 0;
}

std::vector<std::uint16_t> HotkeyMatcher::grabMasks(unsigned modifiers) const {
    const std::uint16_t base = xModifiers(modifiers);
    std::vector<std::uint16_t> masks{base, std::uint16_t(base | XCB_MOD_MASK_LOCK)};
    if (numLockMask_) {
        masks.push_back(std::uint16_t(base | numLockMask_));
        masks.push_back(std::uint16_t(base | numLockMask_ | XCB_MOD_MASK_LOCK));
    }
    return masks;
}

void HotkeyMatcher::add(int id, Hotkey hotkey) {
    hotkeys_[id] = std::move(hotkey);
}

void HotkeyMatcher::remove(int id) {
    hotkeys_.erase(id);
}

const HotkeyMatcher::Hotkey* HotkeyMatcher::find(int id) const {
    const auto found = hotkeys_.find(id);
    return found == hotkeys_.end() ? nullptr : &found->second;
}

std::optional<int> HotkeyMatcher::holderOf(unsigned modifiers, char key) const {
    for (const auto& [id, hotkey] : hotkeys_)
        if (hotkey.modifiers == modifiers && hotkey.key == key)
            return id;
    return std::nullopt;
}

std::optional<HotkeyMatcher::Press> HotkeyMatcher::match(std::uint8_t responseType,
                                                         std::uint16_t state,
                                                         std::uint8_t keycode) const {
    if ((responseType & 0x7f) != XCB_KEY_PRESS)
        return std::nullopt;
    const std::uint16_t held = state & kModifierBits & ~(XCB_MOD_MASK_LOCK | numLockMask_);
    for (const auto& [id, hotkey] : hotkeys_) {
        if (held != xModifiers(hotkey.modifiers))
            continue;
        if (std::find(hotkey.keycodes.begin(), hotkey.keycodes.end(), keycode) !=
            hotkey.keycodes.end())
            return Press{id, hotkey.modifiers, hotkey.key};
    }
    return std::nullopt;
}

}  // namespace quillet::platform
