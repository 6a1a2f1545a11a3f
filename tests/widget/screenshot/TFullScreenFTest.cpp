// The region window on a fake screen, with a store that records what it is given.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

#include <ostream>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "screenshot/TFullScreenF.h"

namespace quillet::screenshot {
namespace {

// Collects the areas of the window that were painted.
class PaintRecorder final : public QObject {
  public:
    QRegion painted;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

class TFullScreenFTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Every pixel differs from its neighbours, so that a crop off by one shows.
        screen = QImage(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                screen.setPixel(x, y, qRgb(4 * x, 5 * y, (x * 7 + y * 3) % 256));
        grabber.picture.width = screen.width();
        grabber.picture.height = screen.height();
        for (int y = 0; y < screen.height(); ++y) {
            const auto* line = screen.constScanLine(y);
            grabber.picture.pixels.insert(grabber.picture.pixels.end(), line,
                                          line + screen.width() * 4);
        }
    }

    // Runs the command and waits for the window to open.
    void Open() {
        window.Region1Click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isVisible(); }, 5000));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QImage screen;
    platform::fake::FakeScreenGrabber grabber;
    std::vector<QImage> stored;
    TFullScreenF window{grabber, [this](const QImage& image) { stored.push_back(image); }};
};

TEST_F(TFullScreenFTest, OpensOnceAfterTheWaitOverThePrimaryScreen) {
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.timer().isActive());

    window.Region1Click();
    window.Region1Click();
    EXPECT_TRUE(window.timer().isActive());
    EXPECT_TRUE(window.timer().isSingleShot());
    EXPECT_EQ(window.timer().interval(), 200);
    // Nothing happens before the wait is over.
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_FALSE(window.isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isVisible(); }, 5000));
    EXPECT_EQ(grabber.grabs, 1);
    EXPECT_FALSE(window.timer().isActive());
    EXPECT_EQ(window.selection().picture(), screen);
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_EQ(window.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.cursor().shape(), Qt::CrossCursor);

    // While open the command would grab the window itself: it is refused.
    window.Region1Click();
    EXPECT_FALSE(window.timer().isActive());
}

TEST_F(TFullScreenFTest, UnreadableScreenLeavesTheWindowHidden) {
    grabber.picture = {};
    window.Region1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grabber.grabs == 1; }, 5000));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.timer().isActive());
}

struct DragCase {
    const char* name;
    Qt::MouseButton button;
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
    // What is stored: right and bottom excluded; an empty rectangle stores a null image.
    QRect selected;
};

// Test names show the case name rather than its bytes.
void PrintTo(const DragCase& c, std::ostream* out) {
    *out << c.name;
}

class DragTest : public TFullScreenFTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragTest, ReleaseStoresTheRegionAndHides) {
    const DragCase& c = GetParam();
    Open();
    QTest::mousePress(&window, c.button, {}, c.press);
    for (const QPoint& to : c.moves)
        QTest::mouseMove(&window, to);
    // The release position is not used: the region ends where the last move was seen.
    QTest::mouseRelease(&window, c.button, {}, c.release);

    ASSERT_EQ(stored.size(), 1u);
    if (c.selected.isEmpty()) {
        EXPECT_TRUE(stored[0].isNull());
    } else {
        EXPECT_EQ(stored[0].size(), c.selected.size());
        EXPECT_EQ(stored[0], screen.copy(c.selected));
    }
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.selection().picture(), screen);
}

INSTANTIATE_TEST_SUITE_P(
    TFullScreenF, DragTest,
    ::testing::Values(DragCase{"RightButtonUpLeft",
                               Qt::RightButton,
                               {40, 30},
                               {{5, 5}, {12, 9}},
                               {50, 44},
                               QRect(12, 9, 28, 21)},
                      DragCase{"LeftButtonDownRight",
                               Qt::LeftButton,
                               {3, 4},
                               {{20, 25}},
                               {21, 26},
                               QRect(3, 4, 17, 21)},
                      // Beyond the picture's edges the region stops at them.
                      DragCase{"PastThePicture",
                               Qt::LeftButton,
                               {50, 40},
                               {{300, 200}},
                               {300, 200},
                               QRect(50, 40, 14, 8)},
                      DragCase{
                          "ClickWithoutMoving", Qt::LeftButton, {10, 10}, {}, {30, 30}, QRect()}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

// Test names show the case name rather than its bytes.
void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.name;
}

class CloseKeyTest : public TFullScreenFTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(CloseKeyTest, HidesDuringADragAndStoresNothing) {
    const KeyCase& c = GetParam();
    Open();
    QTest::mousePress(&window, Qt::LeftButton, {}, {5, 6});
    QTest::mouseMove(&window, {30, 20});
    ASSERT_NE(window.selection().picture(), screen);

    QTest::keyClick(&window, c.key, c.modifiers);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.selection().dragging());
    EXPECT_EQ(window.selection().picture(), screen);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, {30, 20});
    EXPECT_TRUE(stored.empty());

    // The next opening starts without the old drag.
    Open();
    EXPECT_EQ(grabber.grabs, 2);
    EXPECT_FALSE(window.selection().dragging());
    QTest::mousePress(&window, Qt::LeftButton, {}, {2, 3});
    QTest::mouseMove(&window, {6, 8});
    QTest::mouseRelease(&window, Qt::LeftButton, {}, {6, 8});
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0], screen.copy(QRect(2, 3, 4, 5)));
}

INSTANTIATE_TEST_SUITE_P(
    TFullScreenF, CloseKeyTest,
    ::testing::Values(KeyCase{"Escape", Qt::Key_Escape, {}}, KeyCase{"Return", Qt::Key_Return, {}},
                      KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TFullScreenFTest, OtherKeysAndAStrayReleaseKeepTheWindowOpen) {
    Open();
    QTest::keyClick(&window, Qt::Key_Space);
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_TRUE(window.isVisible());
    // A button that went down before the window opened selects nothing.
    QTest::mouseRelease(&window, Qt::LeftButton, {}, {20, 20});
    EXPECT_TRUE(stored.empty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.selection().picture(), screen);
}

TEST_F(TFullScreenFTest, MovesRepaintOnlyTheBands) {
    Open();
    PaintRecorder recorder;
    window.installEventFilter(&recorder);
    QTest::mousePress(&window, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&window, {40, 30});
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.painted.contains(QPoint(39, 29)); }, 5000));
    EXPECT_TRUE(recorder.painted.contains(QPoint(10, 10)));
    EXPECT_FALSE(recorder.painted.contains(QPoint(25, 20)));

    recorder.painted = {};
    QTest::mouseMove(&window, {50, 40});
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.painted.contains(QPoint(49, 39)); }, 5000));
    // The old band's far corner is erased, the inside of either band never touched.
    EXPECT_TRUE(recorder.painted.contains(QPoint(39, 29)));
    EXPECT_FALSE(recorder.painted.contains(QPoint(25, 20)));
    EXPECT_FALSE(recorder.painted.contains(QPoint(45, 35)));
    window.removeEventFilter(&recorder);
}

}  // namespace
}  // namespace quillet::screenshot
