#include "TQuilletMain.h"

#include <QShowEvent>

#include "ProgramIcon.h"
#include "QuilletApplication.h"
#include "platform/Platform.h"

namespace quillet::app {

TQuilletMain::TQuilletMain(platform::Platform& platform, const QString& appFolder)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      platform_(platform),
      appFolder_(appFolder) {
    setWindowTitle(QStringLiteral("Quillet V5.0.5"));
    setWindowIcon(ProgramIcon());
    setAccessibleName(windowTitle());
    resize(269, 678);
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

TQuilletMain::~TQuilletMain() = default;

void TQuilletMain::FormCreate() {
    settings_ = ReadSettings(appFolder_ + QStringLiteral("options.ini"));
    database_ = store::ClipDatabase::OpenClipDatabase(appFolder_ + QStringLiteral("ClipsData.db"));
    database_->LoadAllClips([this](store::ClipRow&& row) {
        lastClipId_ = row.ID;
        clipList_.push_back(std::move(row));
    });
}

void TQuilletMain::showEvent(QShowEvent* event) {
    if (firstShow_) {
        // No taskbar or pager entry: the window manager reads the marks when it maps the window.
        platform_.windowStyler->makeToolWindow(winId());
        firstShow_ = false;
    }
    QMainWindow::showEvent(event);
}

}  // namespace quillet::app
