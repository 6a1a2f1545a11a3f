#include "TQuilletMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "HintTimingStyle.h"
#include "MainMenu.h"
#include "NotificationSound.h"
#include "ProgramIcon.h"
#include "QuilletApplication.h"
#include "ScreenshotHotkeys.h"
#include "ShellTargets.h"
#include "TAbout.h"
#include "TExitProgram.h"
#include "TrayIcon.h"
#include "WaitPumpingMessages.h"
#include "WindowPlacement.h"
#include "browser/ClipBrowser.h"
#include "browser/ClipGrid.h"
#include "browser/ClipGridModel.h"
#include "browser/ClipPreview.h"
#include "capture/ClipboardWatcher.h"
#include "platform/Platform.h"
#include "screenshot/ScreenCapture.h"
#include "screenshot/TFullScreenF.h"

namespace quillet::app {

TQuilletMain::TQuilletMain(platform::Platform& platform, const QString& appFolder)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      platform_(platform),
      appFolder_(appFolder) {
    setWindowTitle(QStringLiteral("Quillet V5.0.5"));
    setWindowIcon(ProgramIcon());
    setAccessibleName(windowTitle());
    sound_ = std::make_unique<NotificationSound>(*platform_.soundPlayer, settings_);
    buildLayout();
    resize(269, 678);
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

TQuilletMain::~TQuilletMain() = default;

void TQuilletMain::buildLayout() {
    menu_ = std::make_unique<MainMenu>(*menuBar());
    buildToolBar();

    model_ = std::make_unique<browser::ClipGridModel>(clipList_);
    auto* tabs = new QTabWidget;
    tabs->setAccessibleName(QStringLiteral("일반"));
    grid_ = new browser::ClipGrid(clipList_, *model_);
    tabs->addTab(grid_, QStringLiteral("일반"));

    preview_ = new browser::ClipPreview;
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setHandleWidth(10);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tabs);
    splitter->addWidget(preview_);
    splitter->setSizes({379, 240});
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    clipCountPanel_ = new QLabel;
    clipCountPanel_->setFixedWidth(89);
    clipCountPanel_->setAccessibleName(QStringLiteral("ClipCountPanel"));
    statusMessagePanel_ = new QLabel;
    statusMessagePanel_->setAccessibleName(QStringLiteral("StatusMessagePanel"));
    statusBar()->setFixedHeight(21);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addWidget(clipCountPanel_);
    statusBar()->addWidget(statusMessagePanel_, 1);

    browser_ = new browser::ClipBrowser(
        clipList_, *model_, *grid_, *preview_, clipboard_, &app::WaitPumpingMessages,
        [this](const QString& text) { clipCountPanel_->setText(text); }, this);
    capture::CaptureSink& sink = *this;
    capture_ = std::make_unique<capture::ClipCapture>(*platform_.clipboardReader, clipboard_, sink,
                                                      settings_.EnableText, settings_.EnableImage);
    watcher_ = std::make_unique<capture::ClipboardWatcher>(*platform_.clipboardChanges, clipboard_,
                                                           *capture_, sink, settings_.EnableText,
                                                           settings_.EnableImage);
    screenCapture_ = std::make_unique<screenshot::ScreenCapture>(*platform_.screenGrabber,
                                                                 clipboard_, sink, *capture_);
    // The keys run the very commands of the menu items.
    hotkeys_ = std::make_unique<ScreenshotHotkeys>(
        *platform_.globalHotkeys, [this] { menuItem(QStringLiteral("FullScreen1"))->trigger(); },
        [this] { menuItem(QStringLiteral("Region1"))->trigger(); });
    trayIcon_ = new TrayIcon(this);
    connectMenu();
    connectTray();
}

void TQuilletMain::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setAccessibleName(QStringLiteral("Tools"));
    const auto icon = [this](const char* themeName, QStyle::StandardPixmap fallback) {
        return QIcon::fromTheme(QLatin1String(themeName), style()->standardIcon(fallback));
    };
    const struct {
        const char16_t* tip;
        const char* item;
        const char* theme;
        QStyle::StandardPixmap fallback;
    } buttons[] = {
        {u"빈 클립 생성", "CreateEmptyClip1", "document-new", QStyle::SP_FileIcon},
        {u"선택한 클립 삭제", "DeleteSelectedClips1", "edit-delete", QStyle::SP_TrashIcon},
        {u"찾기 (검색)", "Find1", "edit-find", QStyle::SP_FileDialogContentsView},
        {u"선택한 클립 내보내기", "ExportClip1", "document-save-as", QStyle::SP_DialogSaveButton},
    };
    for (const auto& b : buttons) {
        // Each button runs the very handler of the menu item it stands for.
        QAction* item = menuItem(QLatin1String(b.item));
        QAction* action = bar->addAction(icon(b.theme, b.fallback), QString());
        action->setToolTip(QString::fromUtf16(b.tip));
        connect(action, &QAction::triggered, item, &QAction::trigger);
        bar->widgetForAction(action)->setAccessibleName(action->toolTip());
    }
    auto* capture = new QToolButton(bar);
    capture->setIcon(icon("camera-photo", QStyle::SP_ComputerIcon));
    capture->setToolTip(QStringLiteral("이미지 캡처"));
    capture->setAccessibleName(capture->toolTip());
    capture->setPopupMode(QToolButton::InstantPopup);
    auto* captureMenu = new QMenu(capture);
    connect(captureMenu->addAction(QStringLiteral("전체 화면    Ctrl+Alt+F")), &QAction::triggered,
            menuItem(QStringLiteral("FullScreen1")), &QAction::trigger);
    connect(captureMenu->addAction(QStringLiteral("범위           Ctrl+Alt+D")),
            &QAction::triggered, menuItem(QStringLiteral("Region1")), &QAction::trigger);
    capture->setMenu(captureMenu);
    bar->addWidget(capture);
}

QAction* TQuilletMain::menuItem(const QString& name) const {
    return menu_->item(name);
}

void TQuilletMain::connectMenu() {
    connect(menuItem(QStringLiteral("ExitProgram1")), &QAction::triggered, this, &QWidget::close);
    connect(menuItem(QStringLiteral("HelpDocument1")), &QAction::triggered, this,
            [this] { OpenHelpDocument(appFolder_); });
    connect(menuItem(QStringLiteral("Website1")), &QAction::triggered, this, &OpenWebsite);
    connect(menuItem(QStringLiteral("EmailUs1")), &QAction::triggered, this, &OpenEmailUs);
    connect(menuItem(QStringLiteral("About1")), &QAction::triggered, this, [this] {
        if (about_)
            about_->exec();
    });
    connect(menuItem(QStringLiteral("FullScreen1")), &QAction::triggered, this,
            [this] { screenCapture_->FullScreen1Click(); });
    connect(menuItem(QStringLiteral("Region1")), &QAction::triggered, this, [this] {
        if (regionWindow_)
            regionWindow_->Region1Click();
    });
    QAction* stop = menuItem(QStringLiteral("StopCapturing1"));
    connect(stop, &QAction::triggered, this,
            [this, stop] { watcher_->StopCapturing1Click(*stop); });
    // A checkable item has flipped its mark already when it reports the click.
    QAction* text = menuItem(QStringLiteral("Text1"));
    text->setCheckable(true);
    connect(text, &QAction::triggered, this,
            [this, text](bool checked) { watcher_->Text1Click(*text, !checked); });
    QAction* image = menuItem(QStringLiteral("Image1"));
    image->setCheckable(true);
    connect(image, &QAction::triggered, this,
            [this, image](bool checked) { watcher_->Image1Click(*image, !checked); });
}

void TQuilletMain::connectTray() {
    const auto runs = [this](const char* trayItem, const char* menuItemName) {
        connect(trayIcon_->item(QLatin1String(trayItem)), &QAction::triggered,
                menuItem(QLatin1String(menuItemName)), &QAction::trigger);
    };
    runs("CaptureFullScreenCtrlAltF1", "FullScreen1");
    runs("CaptureRegionCtrlAltZ1", "Region1");
    runs("Options2", "Options1");
    // The tray's stop/start item keeps a caption of its own.
    QAction* stop = trayIcon_->item(QStringLiteral("Option2"));
    connect(stop, &QAction::triggered, this,
            [this, stop] { watcher_->StopCapturing1Click(*stop); });
    connect(trayIcon_->item(QStringLiteral("Quit2")), &QAction::triggered, this, &QWidget::close);
    connect(trayIcon_, &TrayIcon::clicked, this, &TQuilletMain::TrayIcon1Click);
}

void TQuilletMain::attachDialogs(TExitProgram& exitProgram, TAbout& about,
                                 screenshot::TFullScreenF& regionWindow) {
    exitProgram_ = &exitProgram;
    about_ = &about;
    regionWindow_ = &regionWindow;
}

void TQuilletMain::FormCreate() {
    if (!qobject_cast<HintTimingStyle*>(QApplication::style()))
        QApplication::setStyle(new HintTimingStyle);
    hotkeys_->Register();
    settings_ = ReadSettings(appFolder_ + QStringLiteral("options.ini"));
    database_ = store::ClipDatabase::OpenClipDatabase(appFolder_ + QStringLiteral("ClipsData.db"));
    browser_->setDatabase(&*database_);
    capture_->setDatabase(&*database_);
    screenCapture_->setDatabase(&*database_);
    clipList_.Fill(*database_);
    if (!clipList_.isEmpty()) {
        const store::ClipRow& newest = clipList_.at(clipList_.count() - 1);
        const store::ClipContent content = database_->ReadClipContent(newest.ID, newest.DataFormat);
        if (newest.DataFormat == store::kTextClip)
            capture_->setLastClipText(content.text);
    }
    browser_->Repaint();
    watcher_->JoinViewerChain();
}

void TQuilletMain::SetWindowOpacity(quint8 alpha) {
    platform_.windowStyler->setOpacity(winId(), alpha);
}

void TQuilletMain::ShowStatusMessage(const QString& text) {
    statusMessagePanel_->setText(text);
}

void TQuilletMain::PlayNotificationSound(const QString& fileName) {
    sound_->play(fileName);
}

void TQuilletMain::WaitPumpingMessages(int ms) {
    app::WaitPumpingMessages(ms);
}

void TQuilletMain::ClearPreviewReadOnly() {
    preview_->setReadOnly(false);
}

void TQuilletMain::AppendClip(store::ClipRow row) {
    const qint64 id = row.ID;
    clipList_.Append(std::move(row));
    Q_EMIT clipAppended(id);
}

void TQuilletMain::Repaint() {
    browser_->Repaint();
}

void TQuilletMain::SelectNewestClip() {
    browser_->SelectNewestClip();
}

void TQuilletMain::ClearShowWithoutCopy() {
    browser_->ShowWithoutCopy = false;
}

void TQuilletMain::showEvent(QShowEvent* event) {
    // No taskbar or pager entry: the window manager reads the marks when it maps the window, and
    // may drop them when the window is hidden, so each show sets them.
    platform_.windowStyler->makeToolWindow(winId());
    QMainWindow::showEvent(event);
    FormShow();
}

void TQuilletMain::FormShow() {
    if (FirstShow) {
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const QSize outer = frameGeometry().size();
        const WindowPosition position =
            FirstShowPosition(settings_.FirstUse, {settings_.PositionX, settings_.PositionY},
                              {screen.width(), screen.height()}, {outer.width(), outer.height()});
        settings_.PositionX = position.X;
        settings_.PositionY = position.Y;
        SetWindowOpacity(OpacityOf(settings_.TransparentValue));
        move(position.X, position.Y);
        browser_->bsSkinStringGrid1Click();
    }
    menuItem(QStringLiteral("Text1"))->setChecked(settings_.EnableText);
    menuItem(QStringLiteral("Image1"))->setChecked(settings_.EnableImage);
    if (settings_.SetMinimized && FirstShow)
        SetWindowOpacity(0);
    FirstShow = false;
}

void TQuilletMain::TrayIcon1Click() {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize outer = frameGeometry().size();
    const WindowPosition position = TrayClickPosition({x(), y()}, {screen.width(), screen.height()},
                                                      {outer.width(), outer.height()});
    move(position.X, position.Y);
    SetWindowOpacity(OpacityOf(settings_.TransparentValue));
    show();
    raise();
    activateWindow();
}

void TQuilletMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    // Hidden rather than iconified: the window has no taskbar entry to come back from. The state
    // goes back to normal, so that the tray click shows the window as it was.
    QTimer::singleShot(0, this, [this] {
        if (!isMinimized())
            return;
        setWindowState(windowState() & ~Qt::WindowMinimized);
        hide();
    });
}

void TQuilletMain::closeEvent(QCloseEvent* event) {
    if (exitProgram_)
        exitProgram_->exec();
    if (!exitProgram_ || !exitProgram_->ExitConfirmed()) {
        event->ignore();
        return;
    }
    settings_.PositionX = x();
    settings_.PositionY = y();
    // A settings file that cannot be written is skipped, as every settings failure is: the
    // clips are safe in the database, and the run ends cleanly.
    WriteSettings(appFolder_ + QStringLiteral("options.ini"), settings_);
    hotkeys_->Release();
    if (database_)
        database_->Close();
    watcher_->LeaveViewerChain();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace quillet::app
