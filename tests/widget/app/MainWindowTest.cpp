// The main window with its dialogs, on fakes and a store in a temporary folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/AppWindows.h"
#include "app/ScreenshotHotkeys.h"
#include "app/TQuilletMain.h"
#include "app/TrayIcon.h"
#include "app/WindowPlacement.h"
#include "capture/ClipboardWatcher.h"
#include "platform/fake/FakePlatform.h"
#include "screenshot/TFullScreenF.h"
#include "store/ClipDatabase.h"
#include "support/ModalWatcher.h"
#include "support/TestDatabase.h"

namespace quillet::app {
namespace {

using test::ModalWatcher;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { test::MakeClipDatabase(file(QStringLiteral("ClipsData.db"))); }

    QString file(const QString& name) const { return dir.filePath(name); }

    void WriteIni(const QByteArray& text) {
        QFile ini(file(QStringLiteral("options.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }

    // Gives the fake screen a small picture, and returns it.
    QImage SetScreen() {
        QImage screen(16, 8, QImage::Format_RGB32);
        screen.fill(QColor(10, 20, 30));
        screen.setPixelColor(3, 2, QColor(250, 128, 1));
        platform::ScreenPicture& picture = fakes.screenGrabber->picture;
        picture.width = screen.width();
        picture.height = screen.height();
        picture.pixels.clear();
        for (int y = 0; y < screen.height(); ++y) {
            const auto* line = screen.constScanLine(y);
            picture.pixels.insert(picture.pixels.end(), line, line + screen.width() * 4);
        }
        return screen;
    }

    std::unique_ptr<AppWindows> Start() {
        platform = fakes.take();
        return std::make_unique<AppWindows>(*platform, dir.path() + QLatin1Char('/'));
    }

    QTemporaryDir dir;
    platform::fake::FakePlatform fakes;
    std::unique_ptr<platform::Platform> platform;
};

struct MenuItemCase {
    const char* name;
    const char16_t* menu;
    const char16_t* caption;
};

class MenuTest : public MainWindowTest, public ::testing::WithParamInterface<MenuItemCase> {};

TEST_P(MenuTest, ItemHasItsCaptionInItsMenu) {
    const MenuItemCase& c = GetParam();
    auto windows = Start();
    QAction* item = windows->main->menuItem(QLatin1String(c.name));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromUtf16(c.caption));
    // Walk up to the top-level menu the item sits in.
    QWidget* owner = item->associatedObjects().isEmpty()
                         ? nullptr
                         : qobject_cast<QWidget*>(item->associatedObjects().front());
    while (owner && qobject_cast<QMenu*>(owner->parentWidget()))
        owner = owner->parentWidget();
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(static_cast<QMenu*>(owner)->title(), QString::fromUtf16(c.menu));
}

INSTANTIATE_TEST_SUITE_P(
    MainMenu, MenuTest,
    ::testing::Values(MenuItemCase{"SaveCurrent1", u"파일", u"데이터베이스 백업"},
                      MenuItemCase{"LoadFromSavedDatabase1", u"파일", u"백업된 데이터베이스 사용"},
                      MenuItemCase{"Options1", u"파일", u"옵션"},
                      MenuItemCase{"ExitProgram1", u"파일", u"프로그램 종료"},
                      MenuItemCase{"StopCapturing1", u"캡처", u"캡처 멈춤"},
                      MenuItemCase{"Text1", u"캡처", u"텍스트"},
                      MenuItemCase{"Image1", u"캡처", u"이미지"},
                      MenuItemCase{"FullScreen1", u"캡처", u"전체 화면        Ctrl+Alt+F"},
                      MenuItemCase{"Region1", u"캡처", u"범위               Ctrl+Alt+D"},
                      MenuItemCase{"ClipProperties2", u"편집", u"클립 속성"},
                      MenuItemCase{"Find1", u"편집", u"찾기"},
                      MenuItemCase{"LockSelectedClips2", u"편집", u"선택한 클립 잠금"},
                      MenuItemCase{"UnlockSelectedClips1", u"편집", u"선택한 클립 잠금 해제"},
                      MenuItemCase{"DeleteSelectedClips1", u"편집", u"선택한 클립 삭제"},
                      MenuItemCase{"DeleteAllClips1", u"편집", u"모든 클립 삭제"},
                      MenuItemCase{"CreateEmptyClip1", u"편집", u"빈 클립 생성"},
                      MenuItemCase{"ExportClip1", u"편집", u"선택한 클립 내보내기"},
                      MenuItemCase{"SelectPreviousClip1", u"보기", u"이전 클립 선택"},
                      MenuItemCase{"SelectNextClip1", u"보기", u"다음 클립 선택"},
                      MenuItemCase{"ChangeProgramsTransparency1", u"보기", u"프로그램 투명도 변경"},
                      MenuItemCase{"HelpDocument1", u"도움말", u"도움말 문서"},
                      MenuItemCase{"EmailUs1", u"도움말", u"E-mail Us"},
                      MenuItemCase{"Website1", u"도움말", u"웹사이트"},
                      MenuItemCase{"About1", u"도움말", u"About"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ToolBarButtonsAreNamedByTheirTooltips) {
    auto windows = Start();
    QStringList names;
    for (const QToolBar* bar : windows->main->findChildren<QToolBar*>())
        for (const QAbstractButton* button : bar->findChildren<QAbstractButton*>())
            if (!button->toolTip().isEmpty()) {
                names << button->toolTip();
                EXPECT_EQ(button->accessibleName(), button->toolTip());
            }
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("빈 클립 생성"), QStringLiteral("선택한 클립 삭제"),
                           QStringLiteral("찾기 (검색)"), QStringLiteral("선택한 클립 내보내기"),
                           QStringLiteral("이미지 캡처")}));
}

// How the exit dialog is answered, and whether that confirms.
struct ExitCase {
    const char* name;
    std::function<void(QWidget*)> answer;
    bool confirms;
};

class ExitTest : public MainWindowTest, public ::testing::WithParamInterface<ExitCase> {};

QPushButton* Button(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST_P(ExitTest, OnlyOkEndsTheRunAndWritesTheSettings) {
    const ExitCase& c = GetParam();
    WriteIni("; kept\n[Position]\nPositionX=5\n");
    auto windows = Start();
    windows->main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows->main.get()));

    QString caption;
    ModalWatcher watcher([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        c.answer(dialog);
    });
    const bool closed = windows->main->close();

    EXPECT_TRUE(watcher.seen());
    EXPECT_EQ(caption, QStringLiteral("프로그램 종료?"));
    EXPECT_EQ(closed, c.confirms);
    // The screenshot keys are released only by a confirmed exit.
    EXPECT_EQ(fakes.globalHotkeys->registered.size(), c.confirms ? 0u : 2u);
    QFile ini(file(QStringLiteral("options.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    if (!c.confirms) {
        EXPECT_TRUE(windows->main->isVisible());
        EXPECT_EQ(text, QByteArray("; kept\n[Position]\nPositionX=5\n"));
        return;
    }
    EXPECT_TRUE(text.startsWith("; kept\n[Position]\nPositionX="));
    for (const char* key :
         {"PositionY=", "FirstUse=0", "EnableText=1", "EnableImage=1", "TransparentValue=240",
          "RunAtWindowsStart=1", "SetMinimized=1", "Auto-Hide Left=1", "Auto-Hide Right=1",
          "Auto-Hide Top=1", "Auto-Hide Bottom=1", "EnableSound=1"})
        EXPECT_TRUE(text.contains(key)) << key;
    EXPECT_FALSE(windows->main->databaseOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExitTest,
    ::testing::Values(
        ExitCase{"Ok",
                 [](QWidget* d) {
                     QTest::mouseClick(Button(d, QStringLiteral("확인")), Qt::LeftButton);
                 },
                 true},
        ExitCase{"Cancel",
                 [](QWidget* d) {
                     QTest::mouseClick(Button(d, QStringLiteral("취소")), Qt::LeftButton);
                 },
                 false},
        ExitCase{"Escape", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }, false},
        ExitCase{"Enter", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); }, false},
        ExitCase{"CloseButton", [](QWidget* d) { d->close(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct FirstShowCase {
    const char* name;
    QByteArray ini;
    int opacityAfterShow;
    bool centred;
};

class FirstShowTest : public MainWindowTest, public ::testing::WithParamInterface<FirstShowCase> {};

TEST_P(FirstShowTest, PlacesTheWindowAndSetsItsOpacity) {
    const FirstShowCase& c = GetParam();
    WriteIni(c.ini);
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    EXPECT_EQ(fakes.windowStyler->opacity[main.winId()], c.opacityAfterShow);
    EXPECT_TRUE(fakes.windowStyler->toolWindows.count(main.winId()));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize outer = main.frameGeometry().size();
    if (c.centred) {
        const WindowPosition expected =
            CentredPosition({screen.width(), screen.height()}, {outer.width(), outer.height()});
        EXPECT_EQ(main.pos(), QPoint(expected.X, expected.Y));
    } else {
        EXPECT_EQ(main.pos(), QPoint(2, 2));  // stored off screen, brought back inside
    }
    // Only the first show places the window.
    main.hide();
    main.move(100, 120);
    main.show();
    EXPECT_EQ(main.pos(), QPoint(100, 120));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FirstShowTest,
    ::testing::Values(
        FirstShowCase{"Defaults", "", 0, true},
        FirstShowCase{"Visible", "[Others]\nSetMinimized=0\n", 240, true},
        FirstShowCase{"LowEightBits", "[Others]\nSetMinimized=0\nTransparentValue=300\n", 44, true},
        FirstShowCase{"StoredPosition",
                      "[Others]\nFirstUse=0\nSetMinimized=0\n[Position]\nPositionX=-400\n"
                      "PositionY=-7\n",
                      240, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, CopiedTextIsCapturedShownAndAnnounced) {
    WriteIni("[Others]\nSetMinimized=0\n");
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_EQ(fakes.clipboardChanges->joins, 1);
    EXPECT_TRUE(main.watcher().CaptureOn());

    fakes.clipboardReader->setText("copied elsewhere");
    fakes.clipboardReader->owner = "/usr/bin/editor";
    fakes.clipboardChanges->deliver();

    ASSERT_EQ(main.clips().count(), 1);
    const store::ClipRow& clip = main.clips().at(0);
    EXPECT_EQ(clip.Title, QStringLiteral("copied elsewhere"));
    EXPECT_EQ(clip.Source, QStringLiteral("/usr/bin/editor"));
    EXPECT_EQ(clip.FormatList, QStringLiteral("TARGETS,  UTF8_STRING,  "));
    EXPECT_EQ(main.LastClipText(), QStringLiteral("copied elsewhere"));
    const auto panel = [&main] {
        for (const QLabel* label : main.findChildren<QLabel*>())
            if (label->accessibleName() == QStringLiteral("StatusMessagePanel"))
                return label->text();
        return QString();
    };
    EXPECT_EQ(panel(), QStringLiteral("Clip Captured"));
    EXPECT_EQ(fakes.soundPlayer->played, (std::vector<std::string>{"sound/ok.wav"}));
    // Shown, not written back to the clipboard.
    EXPECT_NE(QGuiApplication::clipboard()->text(), QStringLiteral("copied elsewhere"));

    // The same text again is a duplicate.
    fakes.clipboardChanges->deliver();
    EXPECT_EQ(main.clips().count(), 1);
    EXPECT_EQ(fakes.soundPlayer->played.back(), "sound/fail.wav");
    EXPECT_EQ(panel(), QStringLiteral("Duplicate Clip Ignored"));
}

TEST_F(MainWindowTest, FullScreenCaptureStoresTheScreenOnceAndSelectsIt) {
    const QImage screen = SetScreen();
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    fakes.clipboardReader->setText("text before");
    fakes.clipboardChanges->deliver();
    ASSERT_EQ(main.LastClipText(), QStringLiteral("text before"));

    QAction* fullScreen = main.menuItem(QStringLiteral("FullScreen1"));
    fullScreen->trigger();
    fullScreen->trigger();
    // The clipboard writes are the program's own: their change is not captured.
    fakes.clipboardChanges->deliver();

    ASSERT_EQ(main.clips().count(), 3);
    const store::ClipRow& first = main.clips().at(1);
    const store::ClipRow& second = main.clips().at(2);
    EXPECT_EQ(second.ID, first.ID + 1);
    EXPECT_EQ(second.DataFormat, store::kImageClip);
    EXPECT_TRUE(second.Title.startsWith(QStringLiteral("Graphic: ")));
    EXPECT_EQ(second.Source, QStringLiteral("Created by Quillet"));
    EXPECT_EQ(second.FormatList, QStringLiteral("Image by Quillet"));
    EXPECT_EQ(main.LastClipText(), QString());
    EXPECT_EQ(main.clips().CurrentRow(), 1);

    auto db = store::ClipDatabase::OpenClipDatabase(file(QStringLiteral("ClipsData.db")));
    const QByteArray bmp = db.ReadClipContent(second.ID, store::kImageClip).bytes;
    EXPECT_EQ(second.Size, bmp.size());
    EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), screen);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), screen);
    EXPECT_EQ(fakes.soundPlayer->played.back(), "sound/ok.wav");
}

TEST_F(MainWindowTest, RegionKeyOpensTheRegionWindowAndItsDragBecomesTheNewestClip) {
    const QImage screen = SetScreen();
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    screenshot::TFullScreenF& region = *windows->fullScreen;

    // The key and the menu command within the wait open the window once.
    EXPECT_TRUE(fakes.globalHotkeys->press(
        platform::GlobalHotkeys::Control | platform::GlobalHotkeys::Alt, 'D'));
    main.menuItem(QStringLiteral("Region1"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return region.isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&region));
    EXPECT_EQ(fakes.screenGrabber->grabs, 1);

    QTest::mousePress(&region, Qt::LeftButton, {}, QPoint(6, 4));
    QTest::mouseMove(&region, QPoint(2, 1));
    QTest::mouseRelease(&region, Qt::LeftButton, {}, QPoint(2, 1));

    EXPECT_FALSE(region.isVisible());
    ASSERT_EQ(main.clips().count(), 1);
    const store::ClipRow& row = main.clips().at(0);
    EXPECT_EQ(row.Source, QStringLiteral("Created by Quillet"));
    EXPECT_EQ(row.FormatList, QStringLiteral("Image by Quillet"));
    EXPECT_EQ(main.clips().CurrentRow(), 1);
    auto db = store::ClipDatabase::OpenClipDatabase(file(QStringLiteral("ClipsData.db")));
    const QByteArray bmp = db.ReadClipContent(row.ID, store::kImageClip).bytes;
    EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32),
              screen.copy(2, 1, 4, 3));
}

TEST_F(MainWindowTest, StopAndStartCapturingFromTheMenu) {
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    QAction* stop = main.menuItem(QStringLiteral("StopCapturing1"));
    stop->trigger();
    EXPECT_EQ(stop->text(), QStringLiteral("Start Capturing"));
    EXPECT_FALSE(fakes.clipboardChanges->joined());
    fakes.clipboardReader->setText("while stopped");
    fakes.clipboardChanges->deliver();
    EXPECT_EQ(main.clips().count(), 0);

    stop->trigger();
    EXPECT_EQ(stop->text(), QStringLiteral("Stop Capturing"));
    EXPECT_TRUE(fakes.clipboardChanges->joined());

    // The filter items switch the settings that reach options.ini.
    QAction* text = main.menuItem(QStringLiteral("Text1"));
    text->setChecked(true);
    text->trigger();
    EXPECT_FALSE(text->isChecked());
    EXPECT_FALSE(main.settings().EnableText);
}

TEST_F(MainWindowTest, TooltipsComeQuickly) {
    auto windows = Start();
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
}

TEST_F(MainWindowTest, LastClipTextIsTheNewestClipWhenItIsText) {
    {
        auto db = store::ClipDatabase::OpenClipDatabase(file(QStringLiteral("ClipsData.db")));
        store::ClipRow row;
        row.DataFormat = store::kTextClip;
        db.InsertClip(row, QStringLiteral("older"));
        db.InsertClip(row, QStringLiteral("newest text"));
    }
    auto windows = Start();
    EXPECT_EQ(windows->main->clips().count(), 2);
    EXPECT_EQ(windows->main->LastClipText(), QStringLiteral("newest text"));
}

TEST_F(MainWindowTest, TrayMenuHasItsItemsInOrder) {
    auto windows = Start();
    TrayIcon& tray = windows->main->trayIcon();
    EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("Quillet"));
    EXPECT_FALSE(tray.icon().icon().isNull());
    EXPECT_EQ(tray.icon().contextMenu(), &tray.menu());
    QStringList items;
    for (QAction* action : tray.menu().actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->objectName() + QLatin1Char('=') + action->text());
    EXPECT_EQ(items, (QStringList{QStringLiteral("CaptureFullScreenCtrlAltF1=전체 화면 캡처"),
                                  QStringLiteral("CaptureRegionCtrlAltZ1=범위 캡처"),
                                  QStringLiteral("-"), QStringLiteral("Option2=캡처 멈춤"),
                                  QStringLiteral("-"), QStringLiteral("Options2=옵션"),
                                  QStringLiteral("-"), QStringLiteral("Quit2=종료")}));
}

TEST_F(MainWindowTest, TrayItemsRunTheMainCommands) {
    SetScreen();
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    TrayIcon& tray = main.trayIcon();

    tray.item(QStringLiteral("CaptureFullScreenCtrlAltF1"))->trigger();
    ASSERT_EQ(main.clips().count(), 1);
    EXPECT_EQ(main.clips().at(0).Source, QStringLiteral("Created by Quillet"));

    // Stop and start from the tray: only the tray item's caption changes.
    QAction* stop = tray.item(QStringLiteral("Option2"));
    stop->trigger();
    EXPECT_FALSE(fakes.clipboardChanges->joined());
    EXPECT_EQ(stop->text(), QStringLiteral("Start Capturing"));
    EXPECT_EQ(main.menuItem(QStringLiteral("StopCapturing1"))->text(), QStringLiteral("캡처 멈춤"));
    stop->trigger();
    EXPECT_TRUE(fakes.clipboardChanges->joined());
    EXPECT_EQ(stop->text(), QStringLiteral("Stop Capturing"));

    // Quitting asks first, as the main menu's exit does.
    QString caption;
    ModalWatcher watcher([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    tray.item(QStringLiteral("Quit2"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("프로그램 종료?"));
    EXPECT_TRUE(main.databaseOpen());
}

TEST_F(MainWindowTest, MinimiseHidesAndTheTrayClickBringsTheWindowBackOpaque) {
    WriteIni("[Others]\nSetMinimized=0\nTransparentValue=200\n");
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    main.move(150, 160);
    main.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }));
    EXPECT_FALSE(main.isMinimized());

    fakes.windowStyler->opacity[main.winId()] = 0;
    Q_EMIT main.trayIcon().clicked();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.pos(), QPoint(150, 160));
    EXPECT_EQ(fakes.windowStyler->opacity[main.winId()], 200);
}

struct TrayClickCase {
    const char* name;
    // The window's position before the click and after it, from the screen's and the window's
    // size.
    std::function<QPoint(QSize screen, QSize window)> before;
    std::function<QPoint(QSize screen, QSize window)> after;
};

class TrayClickTest : public MainWindowTest, public ::testing::WithParamInterface<TrayClickCase> {};

// A window docked or hidden at an edge comes back 2 pixels inside the screen.
TEST_P(TrayClickTest, BringsTheWindowInsideTheScreen) {
    const TrayClickCase& c = GetParam();
    WriteIni("[Others]\nSetMinimized=0\n");
    auto windows = Start();
    TQuilletMain& main = *windows->main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize window = main.frameGeometry().size();
    main.move(c.before(screen, window));
    main.hide();

    main.TrayIcon1Click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.pos(), c.after(screen, window));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TrayClickTest,
    ::testing::Values(
        TrayClickCase{"HiddenAtTop", [](QSize, QSize w) { return QPoint(40, 3 - w.height()); },
                      [](QSize, QSize) { return QPoint(40, 2); }},
        TrayClickCase{"HiddenAtBottom", [](QSize s, QSize) { return QPoint(40, s.height() - 3); },
                      [](QSize s, QSize w) { return QPoint(40, s.height() - w.height() - 2); }},
        TrayClickCase{"HiddenAtLeft", [](QSize, QSize w) { return QPoint(3 - w.width(), 30); },
                      [](QSize, QSize) { return QPoint(2, 30); }},
        TrayClickCase{"HiddenAtRight", [](QSize s, QSize) { return QPoint(s.width() - 3, 30); },
                      [](QSize s, QSize w) { return QPoint(s.width() - w.width() - 2, 30); }},
        TrayClickCase{"MidScreen", [](QSize, QSize) { return QPoint(100, 90); },
                      [](QSize, QSize) { return QPoint(100, 90); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, StartedTransparentTheKeysWorkAndTheTrayClickShowsTheWindow) {
    SetScreen();
    auto windows = Start();  // SetMinimized is on by default
    TQuilletMain& main = *windows->main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_EQ(fakes.windowStyler->opacity[main.winId()], 0);

    EXPECT_TRUE(fakes.globalHotkeys->press(
        platform::GlobalHotkeys::Control | platform::GlobalHotkeys::Alt, 'F'));
    EXPECT_EQ(main.clips().count(), 1);
    EXPECT_EQ(fakes.windowStyler->opacity[main.winId()], 0);

    // Also when hidden.
    main.hide();
    fakes.globalHotkeys->press(platform::GlobalHotkeys::Control | platform::GlobalHotkeys::Alt,
                               'F');
    EXPECT_EQ(main.clips().count(), 2);
    EXPECT_FALSE(main.isVisible());

    main.TrayIcon1Click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(fakes.windowStyler->opacity[main.winId()], 240);
}

}  // namespace
}  // namespace quillet::app
