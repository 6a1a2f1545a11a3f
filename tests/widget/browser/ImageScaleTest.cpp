#include <gtest/gtest.h>

#include "browser/ImageScale.h"

namespace quillet::browser {
namespace {

struct ScaleCase {
    const char* name;
    int w, h, boxWidth, boxHeight;
    QSize expected;
};

class ScaledSizeTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledSizeTest, FitsTheBoxWithoutEnlarging) {
    const ScaleCase& c = GetParam();
    EXPECT_EQ(ScaledSize(c.w, c.h, c.boxWidth, c.boxHeight), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaledSizeTest,
    ::testing::Values(
        // s = max(8, 6.67) = 8.
        ScaleCase{"WideImageBoundByWidth", 2000, 1000, 250, 150, {250, 125}},
        ScaleCase{"TallImageBoundByHeight", 300, 600, 250, 150, {75, 150}},
        ScaleCase{"SmallImageNotEnlarged", 100, 50, 250, 150, {100, 50}},
        ScaleCase{"ExactFit", 250, 150, 250, 150, {250, 150}},
        ScaleCase{"OnePixelTooWide", 251, 150, 250, 150, {250, 149}},
        ScaleCase{"NonIntegralFactor", 1000, 333, 300, 300, {300, 100}},
        // s = 2: 5 / 2 = 2.5 goes down to 2, 7 / 2 = 3.5 up to 4, 3 / 2 = 1.5 up to 2.
        ScaleCase{"HalfToEvenDown", 1000, 5, 500, 500, {500, 2}},
        ScaleCase{"HalfToEvenUp", 1000, 7, 500, 500, {500, 4}},
        ScaleCase{"HalfToEvenUpFromOdd", 1000, 3, 500, 500, {500, 2}},
        ScaleCase{"HalfToEvenWidth", 5, 1000, 500, 500, {2, 500}},
        // 1 / 8 would round to an invisible zero-pixel row.
        ScaleCase{"ThinImageKeepsOneRow", 2000, 1, 250, 150, {250, 1}},
        ScaleCase{"BoxWithoutSizeGivesOnePixel", 100, 50, 0, 0, {1, 1}},
        ScaleCase{"NegativeBoxWidthCountsAsOne", 100, 50, -5, 150, {1, 1}},
        ScaleCase{"EmptyImage", 0, 10, 250, 150, {}}),
    [](const ::testing::TestParamInfo<ScaleCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillet::browser
