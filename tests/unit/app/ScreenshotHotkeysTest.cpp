// The screenshot keys on the platform's fake hotkeys.
#include <gtest/gtest.h>

#include "app/ScreenshotHotkeys.h"
#include "platform/fake/FakePlatform.h"

namespace quillet::app {
namespace {

using platform::GlobalHotkeys;
using Fake = platform::fake::FakeGlobalHotkeys;

constexpr unsigned kCtrl = GlobalHotkeys::Control;
constexpr unsigned kAlt = GlobalHotkeys::Alt;
constexpr unsigned kShift = GlobalHotkeys::Shift;

struct Runs {
    int fullScreen = 0;
    int region = 0;
};

struct Keys {
    Fake platform;
    Runs runs;
    ScreenshotHotkeys hotkeys{platform, [this] { ++runs.fullScreen; }, [this] { ++runs.region; }};
};

struct PressCase {
    const char* name;
    unsigned modifiers;
    char key;
    int fullScreen;
    int region;
};

class HotkeyPressTest : public ::testing::TestWithParam<PressCase> {};

// Whatever arrives, only Ctrl+Alt with F or D runs a command, and only its own; the id a press
// comes under is not looked at.
TEST_P(HotkeyPressTest, RunsTheCommandOfExactlyCtrlAlt) {
    const PressCase& c = GetParam();
    Keys keys;
    keys.hotkeys.Register();
    for (int id : {ScreenshotHotkeys::HotkeyIdFull, ScreenshotHotkeys::HotkeyIdRegion, 77})
        keys.platform.deliver(id, c.modifiers, c.key);
    EXPECT_EQ(keys.runs.fullScreen, 3 * c.fullScreen);
    EXPECT_EQ(keys.runs.region, 3 * c.region);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, HotkeyPressTest,
    ::testing::Values(PressCase{"CtrlAltF", kCtrl | kAlt, 'F', 1, 0},
                      PressCase{"CtrlAltD", kCtrl | kAlt, 'D', 0, 1},
                      PressCase{"CtrlShiftAltF", kCtrl | kShift | kAlt, 'F', 0, 0},
                      PressCase{"CtrlF", kCtrl, 'F', 0, 0}, PressCase{"AltD", kAlt, 'D', 0, 0},
                      PressCase{"CtrlAltZ", kCtrl | kAlt, 'Z', 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScreenshotHotkeys, RegistersBothCombinationsUnderDistinctIds) {
    Keys keys;
    keys.hotkeys.Register();
    ASSERT_EQ(keys.platform.registered.size(), 2u);
    EXPECT_EQ(keys.platform.registered.at(ScreenshotHotkeys::HotkeyIdFull),
              (Fake::Combination{kCtrl | kAlt, 'F'}));
    EXPECT_EQ(keys.platform.registered.at(ScreenshotHotkeys::HotkeyIdRegion),
              (Fake::Combination{kCtrl | kAlt, 'D'}));
    EXPECT_TRUE(keys.platform.press(kCtrl | kAlt, 'D'));
    EXPECT_FALSE(keys.platform.press(kCtrl | kShift | kAlt, 'F'));
    EXPECT_EQ(keys.runs.region, 1);
    EXPECT_EQ(keys.runs.fullScreen, 0);
}

TEST(ScreenshotHotkeys, AKeyHeldByAnotherProgramIsLeftOutAndTheOtherStillWorks) {
    Keys keys;
    keys.platform.heldElsewhere.insert({kCtrl | kAlt, 'F'});
    keys.hotkeys.Register();
    EXPECT_FALSE(keys.platform.press(kCtrl | kAlt, 'F'));
    EXPECT_TRUE(keys.platform.press(kCtrl | kAlt, 'D'));
    EXPECT_EQ(keys.runs.fullScreen, 0);
    EXPECT_EQ(keys.runs.region, 1);
}

TEST(ScreenshotHotkeys, ReleaseFreesBothKeysForOtherPrograms) {
    Keys keys;
    keys.hotkeys.Register();
    keys.hotkeys.Release();
    EXPECT_TRUE(keys.platform.registered.empty());
    EXPECT_TRUE(keys.platform.registerHotkey(5, kCtrl | kAlt, 'F'));
    // The keys no longer reach the commands, also when the system still has a press queued.
    keys.platform.deliver(ScreenshotHotkeys::HotkeyIdFull, kCtrl | kAlt, 'F');
    EXPECT_EQ(keys.runs.fullScreen, 0);
}

TEST(ScreenshotHotkeys, DestroyingReleasesKeysStillRegistered) {
    Fake platform;
    {
        ScreenshotHotkeys hotkeys(
            platform, [] {}, [] {});
        hotkeys.Register();
    }
    EXPECT_TRUE(platform.registered.empty());
}

}  // namespace
}  // namespace quillet::app
