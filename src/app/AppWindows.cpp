#include "AppWindows.h"

#include "TQuilletMain.h"

namespace quillet::app {

AppWindows::AppWindows(platform::Platform& platform, const QString& appFolder)
    : main(std::make_unique<TQuilletMain>(platform, appFolder)) {}

// The other windows are owned by the main window's lifetime; they go first.
AppWindows::~AppWindows() = default;

}  // namespace quillet::app
