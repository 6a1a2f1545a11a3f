#include "CanberraSoundPlayer.h"
#include "FileInstanceLock.h"
#include "QtScreenGrabber.h"
#include "X11ClipboardChangeSource.h"
#include "X11ClipboardConnection.h"
#include "X11ClipboardReader.h"
#include "X11GlobalHotkeys.h"
#include "X11WindowStyler.h"
#include "XdgAutostart.h"
#include "platform/Platform.h"

namespace quillet::platform {

std::unique_ptr<Platform> CreatePlatform() {
    auto platform = std::make_unique<Platform>();
    platform->instanceLock = std::make_unique<FileInstanceLock>();
    platform->autostart = std::make_unique<XdgAutostart>();
    platform->windowStyler = std::make_unique<X11WindowStyler>();
    platform->soundPlayer = std::make_unique<CanberraSoundPlayer>();
    auto clipboard = std::make_shared<X11ClipboardConnection>();
    platform->clipboardChanges = std::make_unique<X11ClipboardChangeSource>(clipboard);
    platform->clipboardReader = std::make_unique<X11ClipboardReader>(clipboard);
    platform->screenGrabber = std::make_unique<QtScreenGrabber>();
    platform->globalHotkeys = std::make_unique<X11GlobalHotkeys>();
    return platform;
}

}  // namespace quillet::platform
