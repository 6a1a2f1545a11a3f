#include "AppWindows.h"

#include "TAbout.h"
#include "TExitProgram.h"
#include "TQuilletMain.h"
#include "platform/Platform.h"

namespace quillet::app {

AppWindows::AppWindows(platform::Platform& platform, const QString& appFolder)
    : main(std::make_unique<TQuilletMain>(platform, appFolder)),
      exitProgram(std::make_unique<TExitProgram>(main.get(), *platform.windowStyler)),
      about(std::make_unique<TAbout>(main.get(), *platform.windowStyler)) {
    main->attachDialogs(*exitProgram, *about);
}

// The dialogs are children of the main window: they go before it, in reverse order.
AppWindows::~AppWindows() {
    about.reset();
    exitProgram.reset();
}

}  // namespace quillet::app
