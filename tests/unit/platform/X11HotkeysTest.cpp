#include "platform/x11/HotkeyMatcher.h"

#include <gtest/gtest.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/x11/X11GlobalHotkeys.h"

namespace quillet::platform {

// Lets gtest print a press when a case fails.
void PrintTo(const HotkeyMatcher::Press& press, std::ostream* out) {
    *out << "{id " << press.id << ", modifiers " << press.modifiers << ", key " << press.key << "}";
}

namespace {

using Press = HotkeyMatcher::Press;

constexpr unsigned kCtrlAlt = GlobalHotkeys::Control | GlobalHotkeys::Alt;
constexpr unsigned kCtrlShift = GlobalHotkeys::Control | GlobalHotkeys::Shift;

// X modifier bits, spelled out rather than taken from the code under test.
constexpr std::uint16_t kShift = 0x01;
constexpr std::uint16_t kCaps = 0x02;
constexpr std::uint16_t kCtrl = 0x04;
constexpr std::uint16_t kMod1 = 0x08;
constexpr std::uint16_t kMod2 = 0x10;
constexpr std::uint16_t kMod3 = 0x20;
constexpr std::uint16_t kMod4 = 0x40;
constexpr std::uint16_t kButton1 = 0x100;
constexpr std::uint16_t kSecondGroup = 0x2000;  // XKB's layout index in core events

constexpr std::uint8_t kF = 41;
constexpr std::uint8_t kSecondF = 200;  // another key that carries F as well
constexpr std::uint8_t kD = 40;
constexpr std::uint8_t kG = 42;

// Ctrl+Alt+F on two keycodes, Ctrl+Alt+D, and Ctrl+Shift+F on F's first keycode, with Num Lock
// on Mod2 as most keyboards have it.
HotkeyMatcher ThreeHotkeys(std::uint16_t numLock = kMod2) {
    HotkeyMatcher matcher;
    matcher.setNumLockMask(numLock);
    matcher.add(1, {kCtrlAlt, 'F', {kF, kSecondF}, matcher.grabMasks(kCtrlAlt)});
    matcher.add(2, {kCtrlAlt, 'D', {kD}, matcher.grabMasks(kCtrlAlt)});
    matcher.add(3, {kCtrlShift, 'F', {kF}, matcher.grabMasks(kCtrlShift)});
    return matcher;
}

struct MatchCase {
    const char* name;
    std::uint8_t type;
    std::uint16_t state;
    std::uint8_t keycode;
    std::optional<Press> expected;
};

class Match : public testing::TestWithParam<MatchCase> {};

TEST_P(Match, ReportsExactlyTheRegisteredPresses) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(ThreeHotkeys().match(c.type, c.state, c.keycode), c.expected);
}

const Press kCtrlAltF{1, kCtrlAlt, 'F'};

INSTANTIATE_TEST_SUITE_P(
    Events, Match,
    testing::Values(
        MatchCase{"CtrlAltF", XCB_KEY_PRESS, kCtrl | kMod1, kF, kCtrlAltF},
        MatchCase{"OtherKeycodeOfF", XCB_KEY_PRESS, kCtrl | kMod1, kSecondF, kCtrlAltF},
        MatchCase{"WithNumLock", XCB_KEY_PRESS, kCtrl | kMod1 | kMod2, kF, kCtrlAltF},
        MatchCase{"WithCapsLock", XCB_KEY_PRESS, kCtrl | kMod1 | kCaps, kF, kCtrlAltF},
        MatchCase{"WithBothLocksAButtonAndTheSecondLayout", XCB_KEY_PRESS,
                  kCtrl | kMod1 | kCaps | kMod2 | kButton1 | kSecondGroup, kF, kCtrlAltF},
        MatchCase{"SecondIdOnItsOwnKey", XCB_KEY_PRESS, kCtrl | kMod1 | kMod2, kD,
                  Press{2, kCtrlAlt, 'D'}},
        MatchCase{"ShiftCombinationOnTheSameKey", XCB_KEY_PRESS, kCtrl | kShift | kCaps, kF,
                  Press{3, kCtrlShift, 'F'}},
        MatchCase{"CtrlAltShiftIsNoneOfThem", XCB_KEY_PRESS, kCtrl | kMod1 | kShift, kF,
                  std::nullopt},
        MatchCase{"CtrlAlone", XCB_KEY_PRESS, kCtrl, kF, std::nullopt},
        MatchCase{"NoModifiers", XCB_KEY_PRESS, 0, kF, std::nullopt},
        MatchCase{"CtrlAltSuper", XCB_KEY_PRESS, kCtrl | kMod1 | kMod4, kF, std::nullopt},
        // Mod3 is no lock on this keyboard: it is held like any other modifier.
        MatchCase{"CtrlAltMod3", XCB_KEY_PRESS, kCtrl | kMod1 | kMod3, kF, std::nullopt},
        MatchCase{"Release", XCB_KEY_RELEASE, kCtrl | kMod1, kF, std::nullopt},
        MatchCase{"ReleaseWithLocks", XCB_KEY_RELEASE, kCtrl | kMod1 | kMod2 | kCaps, kD,
                  std::nullopt},
        MatchCase{"UnregisteredKeycode", XCB_KEY_PRESS, kCtrl | kMod1, kG, std::nullopt},
        MatchCase{"NotAKeyEvent", XCB_BUTTON_PRESS, kCtrl | kMod1, kF, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The Num Lock bit comes from the keyboard map: where Num Lock sits on Mod3, Mod3 is left out
// and Mod2 counts as held.
TEST(HotkeyMatcher, NumLockIsWhicheverModifierTheMapSays) {
    const HotkeyMatcher onMod3 = ThreeHotkeys(kMod3);
    EXPECT_EQ(onMod3.match(XCB_KEY_PRESS, kCtrl | kMod1 | kMod3, kF), kCtrlAltF);
    EXPECT_EQ(onMod3.match(XCB_KEY_PRESS, kCtrl | kMod1 | kMod2, kF), std::nullopt);

    const HotkeyMatcher without = ThreeHotkeys(0);
    EXPECT_EQ(without.match(XCB_KEY_PRESS, kCtrl | kMod1 | kCaps, kF), kCtrlAltF);
    EXPECT_EQ(without.match(XCB_KEY_PRESS, kCtrl | kMod1 | kMod2, kF), std::nullopt);
}

TEST(HotkeyMatcher, RemovedIdNoLongerMatchesAndTheOthersStay) {
    HotkeyMatcher matcher = ThreeHotkeys();
    matcher.remove(1);
    matcher.remove(99);  // unknown: ignored
    EXPECT_EQ(matcher.match(XCB_KEY_PRESS, kCtrl | kMod1, kF), std::nullopt);
    EXPECT_EQ(matcher.match(XCB_KEY_PRESS, kCtrl | kMod1, kD), (Press{2, kCtrlAlt, 'D'}));
    EXPECT_EQ(matcher.match(XCB_KEY_PRESS, kCtrl | kShift, kF), (Press{3, kCtrlShift, 'F'}));
    EXPECT_EQ(matcher.holderOf(kCtrlAlt, 'F'), std::nullopt);
    EXPECT_EQ(matcher.holderOf(kCtrlAlt, 'D'), 2);
    EXPECT_EQ(matcher.holderOf(kCtrlShift, 'F'), 3);
}

struct GrabCase {
    const char* name;
    std::uint16_t numLock;  // as read from the modifier map
    unsigned modifiers;
    std::vector<std::uint16_t> masks;
};

class Grab : public testing::TestWithParam<GrabCase> {};

// Every lock state must be grabbed: the server starts a grab only on the exact modifier state.
TEST_P(Grab, CoversEveryLockState) {
    const GrabCase& c = GetParam();
    HotkeyMatcher matcher;
    matcher.setNumLockMask(c.numLock);
    std::vector<std::uint16_t> masks = matcher.grabMasks(c.modifiers);
    std::sort(masks.begin(), masks.end());
    EXPECT_EQ(masks, c.masks);
}

constexpr std::uint16_t kCA = kCtrl | kMod1;

INSTANTIATE_TEST_SUITE_P(
    Masks, Grab,
    testing::Values(
        GrabCase{
            "NumLockOnMod2", kMod2, kCtrlAlt, {kCA, kCA | kCaps, kCA | kMod2, kCA | kMod2 | kCaps}},
        GrabCase{
            "NumLockOnMod3", kMod3, kCtrlAlt, {kCA, kCA | kCaps, kCA | kMod3, kCA | kMod3 | kCaps}},
        GrabCase{"NoNumLock", 0, kCtrlAlt, {kCA, kCA | kCaps}},
        GrabCase{"ShiftToo",
                 kMod2,
                 kCtrlAlt | GlobalHotkeys::Shift,
                 {kCA | kShift, kCA | kShift | kCaps, kCA | kShift | kMod2,
                  kCA | kShift | kMod2 | kCaps}},
        // Num Lock sharing Alt's modifier cannot be told apart from Alt: taken as none.
        GrabCase{"NumLockClashingWithAlt", kMod1, kCtrlAlt, {kCA, kCA | kCaps}},
        GrabCase{"NumLockOnTwoModifiers", kMod2 | kMod3, kCtrlAlt, {kCA, kCA | kCaps}}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a display nothing can be grabbed; every call still returns normally.
TEST(X11GlobalHotkeys, WithoutADisplayRegisteringFails) {
    X11GlobalHotkeys hotkeys("no display here");
    int presses = 0;
    hotkeys.setHandler([&](int, unsigned, char) { ++presses; });
    EXPECT_FALSE(hotkeys.registerHotkey(1, kCtrlAlt, 'F'));
    EXPECT_FALSE(hotkeys.registerHotkey(1, kCtrlAlt, 'F'));
    hotkeys.unregisterHotkey(1);
    hotkeys.unregisterHotkey(7);
    EXPECT_EQ(presses, 0);
}

}  // namespace
}  // namespace quillet::platform
