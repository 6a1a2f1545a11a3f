// The region selection on a small picture whose pixels all differ: the band drawn into the
// picture, its erasure, the corner ordering and the crop.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QRegion>

#include <ostream>
#include <string>
#include <vector>

#include "screenshot/RegionSelection.h"

namespace quillet::screenshot {
namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 6;

// Every pixel differs from every other one, and from every inverted one.
QImage Picture() {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.setPixel(x, y, qRgb(10 + 20 * x, 5 + 30 * y, 100));
    return picture;
}

// The pixels of `rect` in its first or last row or column.
bool OnOutline(const QRect& rect, int x, int y) {
    return rect.contains(x, y) &&
           (x == rect.left() || x == rect.right() || y == rect.top() || y == rect.bottom());
}

// Checks that `shown` is `original` with exactly the outline pixels of `band` inverted.
void ExpectBand(const QImage& shown, const QImage& original, const QRect& band) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb expected =
                OnOutline(band, x, y) ? original.pixel(x, y) ^ 0x00FFFFFFu : original.pixel(x, y);
            EXPECT_EQ(shown.pixel(x, y), expected) << "pixel " << x << "," << y;
        }
}

// The pixels that differ between two pictures of the same size.
QRegion Difference(const QImage& a, const QImage& b) {
    QRegion changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed += QRect(x, y, 1, 1);
    return changed;
}

// Whether every pixel of `inner` lies in `outer`.
bool Covers(const QRegion& outer, const QRegion& inner) {
    return (inner - outer).isEmpty();
}

// Whether two regions hold the same pixels, however they are cut into rectangles.
bool SamePixels(const QRegion& a, const QRegion& b) {
    return (a ^ b).isEmpty();
}

struct DragCase {
    const char* name;
    QPoint press;
    std::vector<QPoint> moves;
    // The selection the drag ends with: right and bottom excluded.
    QRect selected;
};

// Test names show the case name rather than its bytes.
void PrintTo(const DragCase& c, std::ostream* out) {
    *out << c.name;
}

class DragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragTest, BandFollowsThePointerAndLeavesNoTrace) {
    const DragCase& c = GetParam();
    const QImage original = Picture();
    RegionSelection selection;
    selection.setPicture(original);

    EXPECT_TRUE(selection.press(c.press).isEmpty());
    EXPECT_EQ(selection.picture(), original);
    for (const QPoint& to : c.moves) {
        const QImage before = selection.picture();
        const QRegion changed = selection.move(to);
        // The window repaints what changed and nothing else: the old band and the new one.
        EXPECT_TRUE(Covers(changed, Difference(before, selection.picture())));
        EXPECT_TRUE(Covers(Difference(before, original) + Difference(selection.picture(), original),
                           changed));
    }
    ASSERT_TRUE(selection.dragging());
    ExpectBand(selection.picture(), original, c.selected);

    const QImage banded = selection.picture();
    const RegionSelection::Release released = selection.release();
    EXPECT_FALSE(selection.dragging());
    EXPECT_EQ(selection.picture(), original);
    EXPECT_TRUE(SamePixels(released.changed, Difference(banded, original)));
    ASSERT_TRUE(released.region.has_value());
    EXPECT_EQ(released.region->size(), c.selected.size());
    EXPECT_EQ(*released.region, original.copy(c.selected));
}

INSTANTIATE_TEST_SUITE_P(
    RegionSelection, DragTest,
    ::testing::Values(
        // The same rectangle from each of its corners.
        DragCase{"DownRight", {1, 2}, {{5, 5}}, QRect(1, 2, 4, 3)},
        DragCase{"UpLeft", {5, 5}, {{1, 2}}, QRect(1, 2, 4, 3)},
        DragCase{"DownLeft", {5, 2}, {{1, 5}}, QRect(1, 2, 4, 3)},
        DragCase{"UpRight", {1, 5}, {{5, 2}}, QRect(1, 2, 4, 3)},
        // Only the last move counts, also when it crosses back over the start.
        DragCase{"Wandering", {3, 3}, {{7, 5}, {0, 0}, {6, 1}, {1, 4}}, QRect(1, 3, 2, 1)},
        DragCase{"ThinColumn", {2, 1}, {{3, 5}}, QRect(2, 1, 1, 4)},
        DragCase{"ThinRow", {6, 3}, {{1, 4}}, QRect(1, 3, 5, 1)},
        DragCase{"OnePixel", {4, 4}, {{5, 5}}, QRect(4, 4, 1, 1)},
        DragCase{"TwoByTwo", {4, 1}, {{6, 3}}, QRect(4, 1, 2, 2)},
        // The picture's right and bottom edge can be reached, and nothing beyond them.
        DragCase{"WholePicture", {0, 0}, {{kWidth, kHeight}}, QRect(0, 0, kWidth, kHeight)},
        DragCase{"BeyondEveryEdge", {-3, -40}, {{20, 3}, {90, 60}}, QRect(0, 0, kWidth, kHeight)},
        DragCase{"OffTopLeft", {3, 2}, {{-5, -1}}, QRect(0, 0, 3, 2)},
        DragCase{"StartOffRight", {12, 1}, {{5, 4}}, QRect(5, 1, 3, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

struct EmptyCase {
    const char* name;
    QPoint press;
    std::vector<QPoint> moves;
};

// Test names show the case name rather than its bytes.
void PrintTo(const EmptyCase& c, std::ostream* out) {
    *out << c.name;
}

class EmptySelectionTest : public ::testing::TestWithParam<EmptyCase> {};

// A selection of zero width or height draws no band and is stored as a null image.
TEST_P(EmptySelectionTest, IsStoredAsANullImage) {
    const EmptyCase& c = GetParam();
    const QImage original = Picture();
    RegionSelection selection;
    selection.setPicture(original);
    selection.press(c.press);
    for (const QPoint& to : c.moves)
        selection.move(to);
    EXPECT_EQ(selection.picture(), original);

    const RegionSelection::Release released = selection.release();
    EXPECT_TRUE(released.changed.isEmpty());
    ASSERT_TRUE(released.region.has_value());
    EXPECT_TRUE(released.region->isNull());
    EXPECT_EQ(selection.picture(), original);
}

INSTANTIATE_TEST_SUITE_P(RegionSelection, EmptySelectionTest,
                         ::testing::Values(EmptyCase{"ClickWithoutMoving", {3, 3}, {}},
                                           EmptyCase{"Horizontal", {1, 2}, {{4, 4}, {6, 2}}},
                                           EmptyCase{"Vertical", {4, 1}, {{4, 5}}},
                                           EmptyCase{"AlongTheRightEdge", {9, 1}, {{kWidth, 5}}},
                                           EmptyCase{"BackToTheStart", {2, 2}, {{5, 5}, {2, 2}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegionSelection, ReleaseWithoutADragSelectsNothing) {
    const QImage original = Picture();
    RegionSelection selection;
    selection.setPicture(original);
    EXPECT_FALSE(selection.release().region.has_value());

    // Not even the region of the drag before it.
    selection.press({1, 1});
    selection.move({4, 4});
    ASSERT_TRUE(selection.release().region.has_value());
    const RegionSelection::Release again = selection.release();
    EXPECT_FALSE(again.region.has_value());
    EXPECT_TRUE(again.changed.isEmpty());
    EXPECT_EQ(selection.picture(), original);
}

TEST(RegionSelection, PressDuringADragAndMovesWithoutOneChangeNothing) {
    const QImage original = Picture();
    RegionSelection selection;
    selection.setPicture(original);
    EXPECT_TRUE(selection.move({3, 3}).isEmpty());
    EXPECT_EQ(selection.picture(), original);

    selection.press({1, 1});
    selection.move({4, 3});
    const QImage banded = selection.picture();
    // A second button going down neither restarts the drag nor touches the band.
    EXPECT_TRUE(selection.press({6, 5}).isEmpty());
    EXPECT_EQ(selection.start(), QPoint(1, 1));
    EXPECT_EQ(selection.current(), QPoint(4, 3));
    EXPECT_EQ(selection.picture(), banded);
    EXPECT_EQ(*selection.release().region, original.copy(QRect(1, 1, 3, 2)));
    // The corners stay as the drag left them.
    EXPECT_EQ(selection.start(), QPoint(1, 1));
    EXPECT_EQ(selection.current(), QPoint(4, 3));
}

TEST(RegionSelection, CancelErasesTheBandAndEndsTheDrag) {
    const QImage original = Picture();
    RegionSelection selection;
    selection.setPicture(original);
    EXPECT_TRUE(selection.cancel().isEmpty());

    selection.press({6, 1});
    selection.move({2, 4});
    const QImage banded = selection.picture();
    const QRegion erased = selection.cancel();
    EXPECT_TRUE(SamePixels(erased, Difference(banded, original)));
    EXPECT_FALSE(selection.dragging());
    EXPECT_EQ(selection.picture(), original);
    EXPECT_FALSE(selection.release().region.has_value());
}

TEST(RegionSelection, NewPictureEndsTheDragAndIsNeverDrawnOnByTheOldBand) {
    RegionSelection selection;
    selection.setPicture(Picture());
    selection.press({1, 1});
    selection.move({5, 4});

    QImage next(kWidth, kHeight, QImage::Format_RGB32);
    next.fill(qRgb(1, 2, 3));
    selection.setPicture(next);
    EXPECT_FALSE(selection.dragging());
    EXPECT_FALSE(selection.release().region.has_value());
    EXPECT_EQ(selection.picture(), next);
    // The caller's image is a copy: bands drawn into the selection's picture leave it alone.
    selection.press({0, 0});
    selection.move({3, 3});
    EXPECT_EQ(next.pixel(0, 0), qRgb(1, 2, 3));
}

}  // namespace
}  // namespace quillet::screenshot
