#pragma once

#include <QMainWindow>

#include <memory>
#include <optional>

#include "Settings.h"
#include "browser/ClipList.h"
#include "capture/ClipCapture.h"
#include "capture/ClipboardWriter.h"
#include "store/ClipDatabase.h"

class QLabel;
class QToolButton;

namespace quillet::platform {
struct Platform;
}
namespace quillet::capture {
class ClipboardWatcher;
}
namespace quillet::screenshot {
class ScreenCapture;
class TFullScreenF;
}  // namespace quillet::screenshot
namespace quillet::browser {
class ClipBrowser;
class ClipGrid;
class ClipGridModel;
class ClipPreview;
}  // namespace quillet::browser

namespace quillet::app {

class MainMenu;
class NotificationSound;
class ScreenshotHotkeys;
class TrayIcon;
class TAbout;
class TExitProgram;

// The main window. It owns everything that lives for the run: the settings record, the
// database connection, the clip list and the flags; each subsystem's handlers live with the
// subsystem, and the window wires them to its menus and controls.
class TQuilletMain final : public QMainWindow, private capture::CaptureSink {
    Q_OBJECT
  public:
    // Runs the creation steps. A step that fails is reported through ReportError and the steps
    // after it are skipped; the window is made all the same.
    TQuilletMain(platform::Platform& platform, const QString& appFolder);
    ~TQuilletMain() override;

    // The dialogs made after the main window; the window uses them from then on.
    void attachDialogs(TExitProgram& exitProgram, TAbout& about,
                       screenshot::TFullScreenF& regionWindow);

    // Sets the window's opacity, 0 (invisible, still present) to 255.
    void SetWindowOpacity(quint8 alpha);
    // Shows `text` in the status bar until the next message.
    void ShowStatusMessage(const QString& text) override;
    // Plays "sound/" + `fileName` unless sounds are off.
    void PlayNotificationSound(const QString& fileName) override;

    const Settings& settings() const { return settings_; }
    const browser::ClipList& clips() const { return clipList_; }
    const QString& LastClipText() const { return capture_->LastClipText(); }
    const capture::ClipboardWatcher& watcher() const { return *watcher_; }
    bool databaseOpen() const { return database_.has_value() && database_->isOpen(); }
    browser::ClipBrowser& browser() const { return *browser_; }
    screenshot::ScreenCapture& screenCapture() const { return *screenCapture_; }
    QAction* menuItem(const QString& name) const;
    TrayIcon& trayIcon() const { return *trayIcon_; }

    // Brings the window back from the tray: a window at or beyond a screen edge comes 2 pixels
    // inside it, its opacity is set again, and it is shown in front.
    void TrayIcon1Click();

  Q_SIGNALS:
    // A new clip, stored already, has joined the list.
    void clipAppended(qint64 id);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Minimising hides the window; only the tray icon brings it back.
    void changeEvent(QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void buildLayout();
    void buildToolBar();
    void connectMenu();
    void connectTray();

    // What a capture asks of the window.
    void WaitPumpingMessages(int ms) override;
    void ClearPreviewReadOnly() override;
    void AppendClip(store::ClipRow row) override;
    void Repaint() override;
    void SelectNewestClip() override;
    void ClearShowWithoutCopy() override;

    platform::Platform& platform_;
    const QString appFolder_;
    Settings settings_;
    std::optional<store::ClipDatabase> database_;
    browser::ClipList clipList_;
    capture::ClipboardWriter clipboard_;
    std::unique_ptr<capture::ClipCapture> capture_;
    std::unique_ptr<capture::ClipboardWatcher> watcher_;
    std::unique_ptr<screenshot::ScreenCapture> screenCapture_;

    std::unique_ptr<ScreenshotHotkeys> hotkeys_;

    std::unique_ptr<MainMenu> menu_;
    TrayIcon* trayIcon_ = nullptr;
    std::unique_ptr<NotificationSound> sound_;
    std::unique_ptr<browser::ClipGridModel> model_;
    browser::ClipGrid* grid_ = nullptr;
    browser::ClipPreview* preview_ = nullptr;
    browser::ClipBrowser* browser_ = nullptr;
    QLabel* clipCountPanel_ = nullptr;
    QLabel* statusMessagePanel_ = nullptr;

    TExitProgram* exitProgram_ = nullptr;
    TAbout* about_ = nullptr;
    screenshot::TFullScreenF* regionWindow_ = nullptr;
    bool FirstShow = true;
};

}  // namespace quillet::app
