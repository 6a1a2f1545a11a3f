#include "AppWindows.h"

#include "TAbout.h"
#include "TExitProgram.h"
#include "TQuilletMain.h"
#include "platform/Platform.h"
#include "screenshot/ScreenCapture.h"
#include "screenshot/TFullScreenF.h"

namespace quillet::app {

AppWindows::AppWindows(platform::Platform& platform, const QString& appFolder)
    : main(std::make_unique<TQuilletMain>(platform, appFolder)),
      exitProgram(std::make_unique<TExitProgram>(main.get(), *platform.windowStyler)),
      about(std::make_unique<TAbout>(main.get(), *platform.windowStyler)),
      fullScreen(std::make_unique<screenshot::TFullScreenF>(
          *platform.screenGrabber, [this](const QImage& region) {
              this->main->screenCapture().StoreScreenshotClip(region,
                                                              screenshot::ScreenshotKind::Region);
          })) {
    main->attachDialogs(*exitProgram, *about, *fullScreen);
}

// The later windows go before the main window, in reverse order: the dialogs are its children,
// and the region window stores through it.
AppWindows::~AppWindows() {
    fullScreen.reset();
    about.reset();
    exitProgram.reset();
}

}  // namespace quillet::app
