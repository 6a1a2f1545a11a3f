// The X11 hotkeys against a real server: keys typed with xdotool, rival programs on connections
// of their own, and keyboard maps changed under the running grabs.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <vector>

#include "XSessionTools.h"
#include "platform/x11/X11GlobalHotkeys.h"

namespace quillet::e2e {
namespace {

using platform::GlobalHotkeys;
using platform::X11GlobalHotkeys;

constexpr unsigned kCtrlAlt = GlobalHotkeys::Control | GlobalHotkeys::Alt;

// X modifier bits and keysyms, spelled out rather than taken from the code under test.
constexpr std::uint16_t kShiftMask = 0x01;
constexpr std::uint16_t kLockMask = 0x02;
constexpr std::uint16_t kControlMask = 0x04;
constexpr std::uint16_t kMod1Mask = 0x08;
constexpr std::uint16_t kCtrlAltMask = kControlMask | kMod1Mask;
constexpr std::uint32_t kNumLockKeysym = 0xff7f;
constexpr std::uint32_t kKeysymF = 'f';
constexpr std::uint32_t kKeysymD = 'd';

// The marker: registered in every test, typed last, so that its arrival proves that whatever
// was typed before it has been read and handed out.
constexpr int kMarkerId = 100;
constexpr char kMarkerKey = 'G';

struct Press {
    int id;
    unsigned modifiers;
    char key;
    friend bool operator==(const Press&, const Press&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Press& p) {
        return out << "{id " << p.id << ", modifiers " << p.modifiers << ", key " << p.key << "}";
    }
};
using Presses = std::vector<Press>;

void Type(const QString& keys) {
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// A plain connection of the test's own: to look at the keyboard state and maps, to change the
// maps, and to try grabs as another program would.
class RawDisplay {
  public:
    RawDisplay() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~RawDisplay() { xcb_disconnect(c_); }

    bool ok() const { return !xcb_connection_has_error(c_); }

    // The modifiers held and locked now.
    std::uint16_t modifierState() const {
        Reply<xcb_query_pointer_reply_t> reply{
            xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr), &std::free};
        return reply ? std::uint16_t(reply->mask & 0xff) : 0;
    }

    struct KeyboardMap {
        xcb_keycode_t first = 0;
        int perKeycode = 0;
        std::vector<xcb_keysym_t> keysyms;

        std::vector<xcb_keycode_t> keycodesOf(xcb_keysym_t keysym) const {
            std::vector<xcb_keycode_t> found;
            for (std::size_t i = 0; i < keysyms.size(); ++i) {
                const auto keycode = xcb_keycode_t(first + i / std::size_t(perKeycode));
                if (keysyms[i] == keysym && (found.empty() || found.back() != keycode))
                    found.push_back(keycode);
            }
            return found;
        }
        xcb_keysym_t* row(xcb_keycode_t keycode) {
            return keysyms.data() + std::size_t(keycode - first) * std::size_t(perKeycode);
        }
    };

    KeyboardMap keyboardMap() const {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        Reply<xcb_get_keyboard_mapping_reply_t> reply{
            xcb_get_keyboard_mapping_reply(
                c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, std::uint8_t(count)), nullptr),
            &std::free};
        KeyboardMap map;
        if (!reply)
            return map;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
        map.first = setup->min_keycode;
        map.perKeycode = reply->keysyms_per_keycode;
        map.keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
        return map;
    }

    bool setKeyboardMap(const KeyboardMap& map) const {
        const auto count = std::uint8_t(map.keysyms.size() / std::size_t(map.perKeycode));
        return check(xcb_change_keyboard_mapping_checked(
            c_, count, map.first, std::uint8_t(map.perKeycode), map.keysyms.data()));
    }

    // Eight rows, Shift to Mod5, of `perModifier` keycodes each (0 for an empty place).
    struct ModifierMap {
        int perModifier = 0;
        std::vector<xcb_keycode_t> keycodes;
    };

    ModifierMap modifierMap() const {
        Reply<xcb_get_modifier_mapping_reply_t> reply{
            xcb_get_modifier_mapping_reply(c_, xcb_get_modifier_mapping(c_), nullptr), &std::free};
        ModifierMap map;
        if (!reply)
            return map;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
        map.perModifier = reply->keycodes_per_modifier;
        map.keycodes.assign(codes, codes + 8 * map.perModifier);
        return map;
    }

    bool setModifierMap(const ModifierMap& map) const {
        Reply<xcb_set_modifier_mapping_reply_t> reply{
            xcb_set_modifier_mapping_reply(
                c_,
                xcb_set_modifier_mapping(c_, std::uint8_t(map.perModifier), map.keycodes.data()),
                nullptr),
            &std::free};
        return reply && reply->status == XCB_MAPPING_STATUS_SUCCESS;
    }

    // The modifier bit that Num Lock has in the modifier map now.
    std::uint16_t numLockMask() const {
        const std::vector<xcb_keycode_t> numLock = keyboardMap().keycodesOf(kNumLockKeysym);
        const ModifierMap map = modifierMap();
        for (std::size_t i = 0; i < map.keycodes.size(); ++i) {
            if (std::count(numLock.begin(), numLock.end(), map.keycodes[i]))
                return std::uint16_t(1u << (i / std::size_t(map.perModifier)));
        }
        return 0;
    }

    // Grabs as another program: true when the server allows it. The grab is kept.
    bool grab(xcb_keycode_t keycode, std::uint16_t mask) const {
        return check(xcb_grab_key_checked(c_, 1, root_, mask, keycode, XCB_GRAB_MODE_ASYNC,
                                          XCB_GRAB_MODE_ASYNC));
    }
    // Returns once the server has carried the ungrab out, so that other clients' requests
    // after it see the key free.
    void ungrab(xcb_keycode_t keycode, std::uint16_t mask) const {
        check(xcb_ungrab_key_checked(c_, keycode, root_, mask));
    }
    // Whether another program could take `keycode` with `mask` now; leaves nothing behind.
    bool grabbable(xcb_keycode_t keycode, std::uint16_t mask) const {
        if (!grab(keycode, mask))
            return false;
        ungrab(keycode, mask);
        return true;
    }

  private:
    bool check(xcb_void_cookie_t cookie) const {
        Reply<xcb_generic_error_t> error{xcb_request_check(c_, cookie), &std::free};
        return !error && ok();
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
};

class X11HotkeysE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(raw.ok());
        setNumLock(false);
        hotkeys->setHandler([this](int id, unsigned modifiers, char key) {
            presses.push_back({id, modifiers, key});
        });
        ASSERT_TRUE(hotkeys->registerHotkey(kMarkerId, kCtrlAlt, kMarkerKey));
    }

    void TearDown() override {
        setNumLock(false);
        if (raw.modifierState() & kLockMask)
            Type(QStringLiteral("Caps_Lock"));
    }

    // Types each of `keys` with xdotool, then the marker; returns what the handler got before
    // the marker, and forgets it.
    Presses typed(std::initializer_list<const char*> keys) {
        presses.clear();
        for (const char* k : keys)
            Type(QString::fromLatin1(k));
        Type(QStringLiteral("ctrl+alt+g"));
        const Press marker{kMarkerId, kCtrlAlt, kMarkerKey};
        EXPECT_TRUE(WaitFor([&] {
            return std::find(presses.begin(), presses.end(), marker) != presses.end();
        })) << "the marker never arrived";
        Presses before(presses.begin(), std::find(presses.begin(), presses.end(), marker));
        presses.clear();
        return before;
    }

    void setNumLock(bool on) {
        const std::uint16_t bit = raw.numLockMask();
        ASSERT_NE(bit, 0) << "the keyboard map has no Num Lock";
        if (bool(raw.modifierState() & bit) != on)
            Type(QStringLiteral("Num_Lock"));
        ASSERT_EQ(bool(raw.modifierState() & bit), on);
    }

    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const {
        const std::vector<xcb_keycode_t> keycodes = raw.keyboardMap().keycodesOf(keysym);
        EXPECT_EQ(keycodes.size(), 1u);
        return keycodes.empty() ? 0 : keycodes.front();
    }

    // Every lock state that a hotkey of Ctrl+Alt must hold.
    std::vector<std::uint16_t> ctrlAltMasks() const {
        const std::uint16_t numLock = raw.numLockMask();
        return {kCtrlAltMask, kCtrlAltMask | kLockMask, std::uint16_t(kCtrlAltMask | numLock),
                std::uint16_t(kCtrlAltMask | numLock | kLockMask)};
    }

    // How many of the Ctrl+Alt lock states of `keycode` another program could take now.
    int freeCtrlAltGrabs(xcb_keycode_t keycode) const {
        int count = 0;
        for (std::uint16_t mask : ctrlAltMasks())
            count += raw.grabbable(keycode, mask) ? 1 : 0;
        return count;
    }

    RawDisplay raw;
    std::unique_ptr<X11GlobalHotkeys> hotkeys = std::make_unique<X11GlobalHotkeys>();
    Presses presses;
};

const Press kCtrlAltF{1, kCtrlAlt, 'F'};

TEST_F(X11HotkeysE2E, OnlyTheExactCombinationArrivesOncePerPress) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF});
    EXPECT_EQ(typed({"ctrl+alt+shift+f", "f", "ctrl+f", "alt+f", "super+ctrl+alt+f", "ctrl+alt+e"}),
              Presses{});
    EXPECT_EQ(typed({"ctrl+alt+f", "ctrl+alt+f"}), (Presses{kCtrlAltF, kCtrlAltF}));
}

TEST_F(X11HotkeysE2E, LocksDoNotStopTheHotkey) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    setNumLock(true);
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "Num Lock on";

    Type(QStringLiteral("Caps_Lock"));
    ASSERT_TRUE(raw.modifierState() & kLockMask);
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "Num Lock and Caps Lock on";

    setNumLock(false);
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "Caps Lock on";
}

TEST_F(X11HotkeysE2E, TwoIdsArriveUnderTheirOwnIds) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    ASSERT_TRUE(hotkeys->registerHotkey(2, kCtrlAlt, 'D'));
    const Press d{2, kCtrlAlt, 'D'};
    EXPECT_EQ(typed({"ctrl+alt+d", "ctrl+alt+f", "ctrl+alt+d"}), (Presses{d, kCtrlAltF, d}));

    hotkeys->unregisterHotkey(1);
    hotkeys->unregisterHotkey(12345);  // never registered: ignored
    EXPECT_EQ(typed({"ctrl+alt+f", "ctrl+alt+d"}), Presses{d});
}

TEST_F(X11HotkeysE2E, AnotherProgramIsRefusedUntilTheHotkeyIsUnregistered) {
    const xcb_keycode_t f = keycodeOf(kKeysymF);
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    EXPECT_EQ(freeCtrlAltGrabs(f), 0) << "every lock state must be held";

    X11GlobalHotkeys other;
    Presses toOther;
    other.setHandler([&](int id, unsigned m, char k) { toOther.push_back({id, m, k}); });
    EXPECT_FALSE(other.registerHotkey(7, kCtrlAlt, 'F'));
    EXPECT_TRUE(other.registerHotkey(8, kCtrlAlt, 'D')) << "only the held combination is refused";
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "the refusal must not disturb us";

    hotkeys->unregisterHotkey(1);
    EXPECT_EQ(freeCtrlAltGrabs(f), 4) << "every lock state must be released";
    ASSERT_TRUE(other.registerHotkey(7, kCtrlAlt, 'F'));
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{});
    EXPECT_TRUE(WaitFor([&] { return toOther == Presses{{7, kCtrlAlt, 'F'}}; }));
}

TEST_F(X11HotkeysE2E, DestroyingReleasesEveryHotkey) {
    const xcb_keycode_t f = keycodeOf(kKeysymF);
    const xcb_keycode_t d = keycodeOf(kKeysymD);
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    ASSERT_TRUE(hotkeys->registerHotkey(2, kCtrlAlt, 'D'));
    hotkeys.reset();
    EXPECT_EQ(freeCtrlAltGrabs(f), 4);
    EXPECT_EQ(freeCtrlAltGrabs(d), 4);
    X11GlobalHotkeys next;
    EXPECT_TRUE(next.registerHotkey(1, kCtrlAlt, 'F'));
}

// Another program holds only one lock state of the combination: the registration fails as a
// whole and keeps none of the states it got.
TEST_F(X11HotkeysE2E, PartlyHeldCombinationIsRefusedAndLeavesNoGrabBehind) {
    const xcb_keycode_t f = keycodeOf(kKeysymF);
    for (std::uint16_t held : ctrlAltMasks()) {
        SCOPED_TRACE(held);
        RawDisplay rival;
        ASSERT_TRUE(rival.grab(f, held));
        EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
        EXPECT_EQ(freeCtrlAltGrabs(f), 3);
        rival.ungrab(f, held);
        EXPECT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
        hotkeys->unregisterHotkey(1);
    }
}

TEST_F(X11HotkeysE2E, OneCombinationBelongsToOneIdAndAnIdMovesWhole) {
    const xcb_keycode_t f = keycodeOf(kKeysymF);
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    EXPECT_FALSE(hotkeys->registerHotkey(2, kCtrlAlt, 'F'));
    hotkeys->unregisterHotkey(2);
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "the refused id must not take it";
    EXPECT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F')) << "registering again is harmless";
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF});

    // Registering id 1 again with D gives up F.
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'D'));
    EXPECT_EQ(freeCtrlAltGrabs(f), 4);
    EXPECT_EQ(typed({"ctrl+alt+f", "ctrl+alt+d"}), (Presses{{1, kCtrlAlt, 'D'}}));

    // A move that is refused leaves the id where it was.
    RawDisplay rival;
    ASSERT_TRUE(rival.grab(f, kCtrlAltMask));
    EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    EXPECT_EQ(typed({"ctrl+alt+d"}), (Presses{{1, kCtrlAlt, 'D'}}));
}

TEST_F(X11HotkeysE2E, KeysAndModifiersOutsideTheContractAreRefused) {
    EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt, 'f'));
    EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt, '1'));
    EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt, '\0'));
    EXPECT_FALSE(hotkeys->registerHotkey(1, kCtrlAlt | 8u, 'F'));
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{});
}

// Restores the keyboard's maps as they were when it was made.
class KeyboardMapsGuard {
  public:
    explicit KeyboardMapsGuard(const RawDisplay& raw)
        : raw_(raw), keys_(raw.keyboardMap()), modifiers_(raw.modifierMap()) {}
    ~KeyboardMapsGuard() {
        raw_.setModifierMap(modifiers_);
        raw_.setKeyboardMap(keys_);
    }

  private:
    const RawDisplay& raw_;
    RawDisplay::KeyboardMap keys_;
    RawDisplay::ModifierMap modifiers_;
};

TEST_F(X11HotkeysE2E, NumLockOnAnotherModifierIsFollowed) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    const std::uint16_t usual = raw.numLockMask();
    const std::vector<xcb_keycode_t> numLockKeys = raw.keyboardMap().keycodesOf(kNumLockKeysym);
    ASSERT_FALSE(numLockKeys.empty());

    // Num Lock moves to the first modifier from Mod2 up that it is not on now.
    RawDisplay::ModifierMap map = raw.modifierMap();
    const int from = std::countr_zero(unsigned(usual));
    const int to = from == 4 ? 5 : 4;
    for (int i = 0; i < map.perModifier; ++i) {
        xcb_keycode_t& code = map.keycodes[std::size_t(from * map.perModifier + i)];
        if (std::count(numLockKeys.begin(), numLockKeys.end(), code))
            code = 0;
    }
    xcb_keycode_t* row = &map.keycodes[std::size_t(to * map.perModifier)];
    std::fill(row, row + map.perModifier, 0);
    row[0] = numLockKeys.front();

    {
        KeyboardMapsGuard restore(raw);
        ASSERT_TRUE(raw.setModifierMap(map));
        ASSERT_EQ(raw.numLockMask(), 1u << to);
        // The marker arrives after the map notification: the grabs have moved by then.
        EXPECT_EQ(typed({}), Presses{});

        X11GlobalHotkeys madeAfter;
        Presses toMadeAfter;
        madeAfter.setHandler([&](int id, unsigned m, char k) {
            toMadeAfter.push_back({id, m, k});
        });
        ASSERT_TRUE(madeAfter.registerHotkey(2, kCtrlAlt, 'D'));

        setNumLock(true);
        EXPECT_FALSE(raw.modifierState() & usual);
        EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "grabbed again after the change";
        Type(QStringLiteral("ctrl+alt+d"));
        EXPECT_TRUE(WaitFor([&] {
            return toMadeAfter == Presses{{2, kCtrlAlt, 'D'}};
        })) << "made after the change";
        setNumLock(false);
    }
    ASSERT_EQ(raw.numLockMask(), usual);
    EXPECT_EQ(typed({}), Presses{});
    setNumLock(true);
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF}) << "grabbed again after the way back";
}

TEST_F(X11HotkeysE2E, LetterMovedToAnotherKeyIsFollowed) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, kCtrlAlt, 'F'));
    RawDisplay::KeyboardMap map = raw.keyboardMap();
    const xcb_keycode_t before = keycodeOf(kKeysymF);
    // A keycode without any symbol takes over the old key's symbols; the old key gets none.
    xcb_keycode_t spare = 0;
    for (int k = map.first; k < map.first + int(map.keysyms.size()) / map.perKeycode; ++k) {
        const xcb_keysym_t* r = map.row(xcb_keycode_t(k));
        if (std::all_of(r, r + map.perKeycode, [](xcb_keysym_t s) { return s == 0; })) {
            spare = xcb_keycode_t(k);
            break;
        }
    }
    ASSERT_NE(spare, 0) << "no free keycode";
    std::copy(map.row(before), map.row(before) + map.perKeycode, map.row(spare));
    std::fill(map.row(before), map.row(before) + map.perKeycode, 0);

    KeyboardMapsGuard restore(raw);
    ASSERT_TRUE(raw.setKeyboardMap(map));
    ASSERT_EQ(keycodeOf(kKeysymF), spare);
    EXPECT_EQ(typed({}), Presses{});
    EXPECT_EQ(freeCtrlAltGrabs(spare), 0);
    EXPECT_EQ(freeCtrlAltGrabs(before), 4) << "the old key must be let go";
    EXPECT_EQ(typed({"ctrl+alt+f"}), Presses{kCtrlAltF});
}

}  // namespace
}  // namespace quillet::e2e
