#pragma once

#include <memory>

#include "Autostart.h"
#include "ClipboardChangeSource.h"
#include "ClipboardReader.h"
#include "GlobalHotkeys.h"
#include "InstanceLock.h"
#include "ScreenGrabber.h"
#include "SoundPlayer.h"
#include "WindowStyler.h"

namespace quillet::platform {

// Every platform service the program uses, made once in main() and lent to the windows.
// Services arrive here as the program comes to need them.
struct Platform {
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<Autostart> autostart;
    std::unique_ptr<WindowStyler> windowStyler;
    std::unique_ptr<SoundPlayer> soundPlayer;
    std::unique_ptr<ClipboardChangeSource> clipboardChanges;
    std::unique_ptr<ClipboardReader> clipboardReader;
    std::unique_ptr<ScreenGrabber> screenGrabber;
    std::unique_ptr<GlobalHotkeys> globalHotkeys;
};

// The services of the system this program was built for. Defined once per backend.
std::unique_ptr<Platform> CreatePlatform();

}  // namespace quillet::platform
