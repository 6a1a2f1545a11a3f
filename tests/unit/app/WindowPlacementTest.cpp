#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

namespace quillet::app {

void PrintTo(const WindowPosition& p, std::ostream* out) {
    *out << "(" << p.X << ", " << p.Y << ")";
}

namespace {

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

constexpr PixelSize kFullHd{1920, 1080};
constexpr PixelSize kWindow{285, 600};

struct CentreCase {
    const char* name;
    PixelSize screen;
    PixelSize window;
    WindowPosition expected;
};

void PrintTo(const CentreCase& c, std::ostream* out) {
    *out << c.name;
}

class Centre : public testing::TestWithParam<CentreCase> {};

TEST_P(Centre, RoundsHalvesToEven) {
    const CentreCase c = GetParam();
    EXPECT_EQ(CentredPosition(c.screen, c.window), c.expected);
    // On first use the stored position is ignored.
    EXPECT_EQ(FirstShowPosition(true, {-7, 99999}, c.screen, c.window), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FirstUse, Centre,
    testing::Values(
        // 960 - 142.5 = 817.5 and 540 - 300 = 240.
        CentreCase{"HalfUpToEven", kFullHd, {285, 600}, {818, 240}},
        // 960 - 143.5 = 816.5 and 540 - 200.5 = 339.5.
        CentreCase{"HalfDownToEven", kFullHd, {287, 401}, {816, 340}},
        // Odd screen and odd window: no half left over.
        CentreCase{"WholeResult", {1921, 1081}, {285, 601}, {818, 240}},
        // A window larger than the screen: -100.5 goes to -100, -101.5 to -102.
        CentreCase{"NegativeHalves", {100, 100}, {301, 303}, {-100, -102}},
        CentreCase{"WindowFillsScreen", {800, 600}, {800, 600}, {0, 0}},
        CentreCase{"HugeSizes", {kMax, kMax}, {0, kMax}, {1073741824, 0}}),
    [](const testing::TestParamInfo<CentreCase>& info) { return std::string(info.param.name); });

struct ClampCase {
    const char* name;
    PixelSize screen;
    PixelSize window;
    WindowPosition from;
    WindowPosition expected;
};

void PrintTo(const ClampCase& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const testing::TestParamInfo<ClampCase>& info) {
    return info.param.name;
}

// Limits for kFullHd and kWindow: Y up to 1080 - 600 - 1 = 479 stays, X up to
// 1920 - 285 - 1 = 1634 stays.
class StoredClamp : public testing::TestWithParam<ClampCase> {};

TEST_P(StoredClamp, ClampsInOrder) {
    const ClampCase c = GetParam();
    EXPECT_EQ(ClampStoredPosition(c.from, c.screen, c.window), c.expected);
    EXPECT_EQ(FirstShowPosition(false, c.from, c.screen, c.window), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FirstShow, StoredClamp,
    testing::Values(
        ClampCase{"Inside", kFullHd, kWindow, {100, 100}, {100, 100}},
        ClampCase{"OneIsInside", kFullHd, kWindow, {1, 1}, {1, 1}},
        ClampCase{"ZeroBecomesTwo", kFullHd, kWindow, {0, 0}, {2, 2}},
        ClampCase{"NegativeBecomesTwo", kFullHd, kWindow, {-300, -40}, {2, 2}},
        ClampCase{"AtLowerLimits", kFullHd, kWindow, {1634, 479}, {1634, 479}},
        ClampCase{"PastLowerLimits", kFullHd, kWindow, {1635, 480}, {1633, 478}},
        ClampCase{"FarOutside", kFullHd, kWindow, {kMax, kMax}, {1633, 478}},
        ClampCase{"FarOutsideNegative", kFullHd, kWindow, {kMin, kMin}, {2, 2}},
        // Each test reads the value the previous one left: 2 is already past the lower limit
        // of a window taller or wider than the screen.
        ClampCase{"WindowLargerThanScreen", {800, 600}, {900, 700}, {0, 0}, {-102, -102}},
        ClampCase{"WindowLargerKeepsNoInsideValue", {800, 600}, {900, 700}, {50, 50}, {-102, -102}},
        ClampCase{"HugeWindowSaturates", {0, 0}, {kMax, kMax}, {5, 5}, {kMin, kMin}}),
    CaseName);

// Thresholds for kFullHd: Y from 1080 - 3 = 1077 moves to 1080 - 600 - 2 = 478, X from
// 1920 - 3 = 1917 moves to 1920 - 285 - 2 = 1633.
class TrayClamp : public testing::TestWithParam<ClampCase> {};

TEST_P(TrayClamp, BringsDockedWindowBack) {
    const ClampCase c = GetParam();
    EXPECT_EQ(TrayClickPosition(c.from, c.screen, c.window), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TrayClick, TrayClamp,
    testing::Values(
        ClampCase{"Inside", kFullHd, kWindow, {100, 100}, {100, 100}},
        ClampCase{"HiddenAtTopAndLeft", kFullHd, kWindow, {-282, -597}, {2, 2}},
        ClampCase{"ZeroBecomesTwo", kFullHd, kWindow, {0, 0}, {2, 2}},
        ClampCase{"HiddenAtBottomAndRight", kFullHd, kWindow, {1917, 1077}, {1633, 478}},
        // Partly off the screen but not docked: shown where it is.
        ClampCase{"JustBeforeThresholds", kFullHd, kWindow, {1916, 1076}, {1916, 1076}},
        ClampCase{"FarOutside", kFullHd, kWindow, {kMax, kMax}, {1633, 478}},
        // On a 5-pixel screen the 2 set by the first test already reaches the second one.
        ClampCase{"SecondTestSeesFirstResult", {5, 5}, {4, 4}, {0, 0}, {-1, -1}},
        ClampCase{"HugeWindowSaturates", {0, 0}, {kMax, kMax}, {5, 5}, {kMin, kMin}}),
    CaseName);

}  // namespace
}  // namespace quillet::app
