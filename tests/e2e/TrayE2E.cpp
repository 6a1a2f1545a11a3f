// The notification area icon under a real tray host (trayer), with the real program under X.
#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include "StoredClips.h"
#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

// The tray icon window and the tray menu are both titled after the tooltip.
const QString kIconTitle = QStringLiteral("Quillet");

void ClickOn(const QString& window, const QString& button) {
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("8"),
             QStringLiteral("8"), QStringLiteral("click"), button});
}

class TrayE2E : public RunningQuillet {
  protected:
    void TearDown() override {
        trayHost.kill();
        trayHost.waitForFinished();
    }

    // The program's visible windows titled kIconTitle. Their title is set only as the UTF-8
    // name, which xdotool's search by name does not read.
    QStringList iconWindows() const {
        QStringList found;
        const QStringList all = RunTool(QStringLiteral("xdotool"),
                                        {QStringLiteral("search"), QStringLiteral("--all"),
                                         QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                         QString::number(run->processId()),
                                         QStringLiteral("--name"), QStringLiteral(".*")})
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& w : all)
            if (RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), w})
                    .trimmed() == kIconTitle)
                found << w;
        return found;
    }

    // Starts a tray host at the top right corner of the screen.
    void startTrayHost() {
        trayHost.start(
            QStringLiteral("trayer"),
            {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
             QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
             QStringLiteral("--height"), QStringLiteral("32")});
        ASSERT_TRUE(trayHost.waitForStarted());
    }

    QProcess trayHost;
};

TEST_F(TrayE2E, IconAppearsWhenAHostStartsAndItsMenuRunsTheCommands) {
    // No host yet: nowhere to show the icon.
    QThread::msleep(500);
    EXPECT_TRUE(iconWindows().isEmpty());

    startTrayHost();
    ASSERT_TRUE(WaitFor([&] { return iconWindows().size() == 1; }, 10000));
    const QString icon = iconWindows().front();

    ClickOn(icon, QStringLiteral("3"));
    ASSERT_TRUE(WaitFor([&] { return iconWindows().size() == 2; })) << "no menu";
    // The first item takes the whole screen.
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
    const auto clips = ClipsSoon(1);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].dataFormat, 2);
    EXPECT_EQ(clips[0].formatList, QStringLiteral("Image by Quillet"));
    EXPECT_TRUE(WaitFor([&] { return iconWindows().size() == 1; })) << "the menu stayed";
}

TEST_F(TrayE2E, MinimisingHidesTheWindowAndALeftClickBringsItBack) {
    startTrayHost();
    ASSERT_TRUE(WaitFor([&] { return iconWindows().size() == 1; }, 10000));
    const QString icon = iconWindows().front();

    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), window});
    ASSERT_TRUE(WaitFor([&] { return FindWindows(kMainTitle, run->processId()).isEmpty(); }, 10000))
        << "still on the screen";
    // Hidden, not iconified: nothing left in a taskbar to click.
    const QString hidden = WindowProperty(window, QStringLiteral("WM_STATE"));
    EXPECT_FALSE(hidden.contains(QStringLiteral("Iconic"))) << hidden.toStdString();

    ClickOn(icon, QStringLiteral("1"));
    ASSERT_FALSE(WaitForWindow(kMainTitle, run->processId()).isEmpty());
    // Shown again as a tool window that stays on top.
    const QString state = WindowProperty(window, QStringLiteral("_NET_WM_STATE"));
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
        << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) << state.toStdString();
}

// The window manager drops a window's state marks when it is hidden: a dialog shown a second
// time must carry them again.
TEST_F(TrayE2E, ExitDialogShownAgainStaysOutOfTheTaskbar) {
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(showing);
        AskToClose(window);
        const QString dialog = WaitForWindow(QStringLiteral("프로그램 종료?"), run->processId());
        ASSERT_FALSE(dialog.isEmpty());
        const QString state = WindowProperty(dialog, QStringLiteral("_NET_WM_STATE"));
        EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
            << state.toStdString();
        EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")))
            << state.toStdString();
        TypeKeys(dialog, QStringLiteral("Escape"));
        ASSERT_TRUE(WaitFor([&] {
            return FindWindows(QStringLiteral("프로그램 종료?"), run->processId()).isEmpty();
        }));
    }
    EXPECT_EQ(run->state(), QProcess::Running);
}

}  // namespace
}  // namespace quillet::e2e
