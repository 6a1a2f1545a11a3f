#pragma once

#include "platform/ScreenGrabber.h"

namespace quillet::platform {

// The primary screen through the toolkit's screen grab, which on X11 copies the root window's
// area of that screen from the server.
class QtScreenGrabber final : public ScreenGrabber {
  public:
    ScreenRect primaryScreen() override;
    ScreenPicture grabPrimaryScreen() override;
};

}  // namespace quillet::platform
