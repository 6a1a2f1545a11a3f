#pragma once

#include <QString>

namespace quillet::platform {
class InstanceLock;
struct Platform;
}  // namespace quillet::platform

namespace quillet::app {

// The name under which only one instance may run.
inline constexpr const char* kInstanceName = "Quillet V5.0";

// The three ways a run can go.
enum class RunKind { AlreadyRunning, NoDatabase, Normal };

// The folder of the running executable, with its trailing separator: where ClipsData.db and
// options.ini are kept, whatever the current directory is. Needs the application object.
QString AppFolder();

// Takes the instance lock and, when it was free, checks that appFolder + "ClipsData.db" opens
// read-write (never creating it). Reads nothing from the database and never touches
// options.ini. On AlreadyRunning the lock is not held; otherwise it is held until released.
RunKind ChooseRun(platform::InstanceLock& lock, const QString& appFolder);

// The whole run after the application object exists: the 'already running' notice, the
// 'database not found' notice, or the program's windows and event loop. Returns the exit code,
// which is 0 on every path.
int RunQuillet(platform::Platform& platform, const QString& appFolder);

}  // namespace quillet::app
