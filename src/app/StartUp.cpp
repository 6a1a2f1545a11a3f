#include "StartUp.h"

#include <QCoreApplication>

#include "AppWindows.h"
#include "TAlreadyRun.h"
#include "TDatabaseNotHere.h"
#include "TQuilletMain.h"
#include "platform/Platform.h"
#include "store/ClipDatabase.h"
#include "store/StoreError.h"

namespace quillet::app {

QString AppFolder() {
    // applicationDirPath follows the executable's own path, not the current directory.
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

RunKind ChooseRun(platform::InstanceLock& lock, const QString& appFolder) {
    if (!lock.tryAcquire(kInstanceName))
        return RunKind::AlreadyRunning;
    try {
        store::ClipDatabase check =
            store::ClipDatabase::OpenClipDatabase(appFolder + QStringLiteral("ClipsData.db"));
        check.Close();
    } catch (const store::StoreError&) {
        // A missing file and a file that cannot be opened are told apart nowhere.
        return RunKind::NoDatabase;
    }
    return RunKind::Normal;
}

int RunQuillet(platform::Platform& platform, const QString& appFolder) {
    switch (ChooseRun(*platform.instanceLock, appFolder)) {
        case RunKind::AlreadyRunning: {
            TAlreadyRun notice(*platform.windowStyler);
            notice.exec();
            return 0;
        }
        case RunKind::NoDatabase: {
            TDatabaseNotHere notice(*platform.windowStyler);
            notice.exec();
            platform.instanceLock->release();
            return 0;
        }
        case RunKind::Normal:
            break;
    }
    {
        AppWindows windows(platform, appFolder);
        // Joining the clipboard announced one change, which must be handled (what the
        // clipboard holds at start) before the first show puts the newest clip on the
        // clipboard: that write is the program's own and is not to be captured.
        QCoreApplication::processEvents();
        windows.main->show();
        QCoreApplication::exec();
    }
    platform.instanceLock->release();
    return 0;
}

}  // namespace quillet::app
