// Screenshots through the global keys, with the real program under X.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRasterWindow>
#include <QScreen>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

#include "SelectionOwner.h"
#include "StoredClips.h"
#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

// A picture with no two neighbouring pixels alike, shown at a fixed place on the screen.
class PatternWindow : public QRasterWindow {
  public:
    static constexpr QRect kArea{100, 100, 256, 160};

    PatternWindow() : picture_(kArea.size(), QImage::Format_RGB32) {
        for (int y = 0; y < picture_.height(); ++y)
            for (int x = 0; x < picture_.width(); ++x)
                picture_.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y + 91) % 256));
        setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        setGeometry(kArea);
        show();
        QElapsedTimer clock;
        clock.start();
        while (!isExposed() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        // Let the first paint reach the screen.
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(20);
        }
    }

    const QImage& picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }

  private:
    QImage picture_;
};

QImage GrabScreen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

QImage Decoded(const StoredClip& clip) {
    return QImage::fromData(clip.content, "BMP").convertToFormat(QImage::Format_RGB32);
}

void Keys(const QStringList& keys) {
    RunTool(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys);
}

// Whether this test program may grab Ctrl+Alt+F on the root window, as any other program would.
bool CanGrabCtrlAltF() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    // The keycode that carries the letter f.
    xcb_keycode_t code = 0;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    if (auto* map = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, std::uint8_t(count)), nullptr)) {
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map);
        const int length = xcb_get_keyboard_mapping_keysyms_length(map);
        for (int i = 0; i < length && code == 0; ++i)
            if (keysyms[i] == 'f')
                code = xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
        std::free(map);
    }
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_grab_key_checked(c, 1, screen->root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, code,
                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool granted = code != 0 && !error;
    std::free(error);
    xcb_disconnect(c);
    return granted;
}

class ScreenshotE2E : public RunningQuillet {
  protected:
    // The program's window as the window manager placed it, with room for its frame.
    QRect MainWindowArea() const {
        const QString shell =
            RunTool(QStringLiteral("xdotool"),
                    {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        int x = 0, y = 0, w = 0, h = 0;
        for (const QString& line : shell.split(QLatin1Char('\n'))) {
            const QString value = line.section(QLatin1Char('='), 1);
            if (line.startsWith(QStringLiteral("X=")))
                x = value.toInt();
            else if (line.startsWith(QStringLiteral("Y=")))
                y = value.toInt();
            else if (line.startsWith(QStringLiteral("WIDTH=")))
                w = value.toInt();
            else if (line.startsWith(QStringLiteral("HEIGHT=")))
                h = value.toInt();
        }
        return QRect(x, y, w, h).adjusted(-40, -40, 40, 40);
    }

    PatternWindow pattern;
};

TEST_F(ScreenshotE2E, FullScreenKeyStoresTheScreenOnceAlsoWithNumLock) {
    const QImage before = GrabScreen();
    ASSERT_EQ(before.copy(PatternWindow::kArea), pattern.picture());
    Keys({QStringLiteral("ctrl+alt+f")});
    auto clips = ClipsSoon(1);
    ASSERT_EQ(clips.size(), 1u);
    const StoredClip& shot = clips[0];
    EXPECT_EQ(shot.dataFormat, 2);
    EXPECT_TRUE(shot.title.startsWith(QStringLiteral("Graphic: "))) << shot.title.toStdString();
    EXPECT_EQ(shot.source, QStringLiteral("Created by Quillet"));
    EXPECT_EQ(shot.formatList, QStringLiteral("Image by Quillet"));
    EXPECT_EQ(shot.size, shot.content.size());
    EXPECT_GT(shot.title.size(), 9);
    EXPECT_FALSE(shot.timeStamp.isEmpty());

    // Pixel for pixel the screen, but for the program's own window, which changes as it lists
    // the new clip.
    QImage stored = Decoded(shot);
    ASSERT_EQ(stored.size(), before.size());
    const QRect changing = MainWindowArea();
    QPainter(&stored).fillRect(changing, Qt::black);
    QImage expected = before;
    QPainter(&expected).fillRect(changing, Qt::black);
    EXPECT_EQ(stored, expected);

    // The image is on the clipboard, and that write is not taken as another clip.
    EXPECT_TRUE(
        RunTool(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 QStringLiteral("-t"), QStringLiteral("TARGETS")})
            .contains(QStringLiteral("image/")));
    EXPECT_EQ(ClipsAfterQuiet().size(), 1u);

    // Another modifier with it is another combination.
    Keys({QStringLiteral("ctrl+alt+shift+f")});
    EXPECT_EQ(ClipsAfterQuiet().size(), 1u);

    // Num Lock does not stand in the way.
    Keys({QStringLiteral("Num_Lock")});
    Keys({QStringLiteral("ctrl+alt+f")});
    clips = ClipsSoon(2);
    Keys({QStringLiteral("Num_Lock")});
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[1].id, clips[0].id + 1);
}

TEST_F(ScreenshotE2E, RegionDraggedUpAndLeftWithTheRightButtonStoresThatRectangle) {
    Keys({QStringLiteral("ctrl+alt+d")});
    const QString region = WaitForWindow(QStringLiteral("Region"), run->processId());
    ASSERT_FALSE(region.isEmpty());
    // The pattern sits above every managed window; once gone, the window shows the frozen
    // picture of it.
    pattern.hide();
    QCoreApplication::processEvents();
    QThread::msleep(200);
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("200"),
             QStringLiteral("mousedown"), QStringLiteral("3"), QStringLiteral("mousemove"),
             QStringLiteral("250"), QStringLiteral("180"), QStringLiteral("mousemove"),
             QStringLiteral("140"), QStringLiteral("130"), QStringLiteral("mouseup"),
             QStringLiteral("3")});
    const auto clips = ClipsSoon(1);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].source, QStringLiteral("Created by Quillet"));
    EXPECT_EQ(clips[0].formatList, QStringLiteral("Image by Quillet"));
    EXPECT_EQ(clips[0].size, clips[0].content.size());
    // Columns 140 to 299 and rows 130 to 199, without a trace of the band.
    EXPECT_EQ(Decoded(clips[0]), pattern.picture().copy(40, 30, 160, 70));
    EXPECT_TRUE(FindWindows(QStringLiteral("Region"), run->processId()).isEmpty());
}

TEST_F(ScreenshotE2E, EscapeClosesTheRegionWindowAndStoresNothing) {
    SelectionOwner owner(SelectionOwner::Targets{{"UTF8_STRING", "copied before"}});
    ASSERT_TRUE(owner.owns());
    ASSERT_EQ(ClipsSoon(1).size(), 1u);

    Keys({QStringLiteral("ctrl+alt+d")});
    const QString region = WaitForWindow(QStringLiteral("Region"), run->processId());
    ASSERT_FALSE(region.isEmpty());
    QThread::msleep(200);
    TypeKeys(region, QStringLiteral("Escape"));
    QElapsedTimer clock;
    clock.start();
    while (!FindWindows(QStringLiteral("Region"), run->processId()).isEmpty() &&
           clock.elapsed() < 5000)
        QThread::msleep(50);
    EXPECT_TRUE(FindWindows(QStringLiteral("Region"), run->processId()).isEmpty());
    EXPECT_EQ(ClipsAfterQuiet().size(), 1u);
    EXPECT_EQ(RunTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                                QStringLiteral("clipboard")}),
              QStringLiteral("copied before"));
}

TEST_F(ScreenshotE2E, ConfirmedExitFreesTheKeysForOtherPrograms) {
    EXPECT_FALSE(CanGrabCtrlAltF());  // the program holds it
    ASSERT_TRUE(ExitConfirmed(*run, window));
    EXPECT_TRUE(CanGrabCtrlAltF());
}

}  // namespace
}  // namespace quillet::e2e
