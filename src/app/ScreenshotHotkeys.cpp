#include "ScreenshotHotkeys.h"

#include "platform/GlobalHotkeys.h"

namespace quillet::app {

namespace {
constexpr unsigned kControlAlt = platform::GlobalHotkeys::Control | platform::GlobalHotkeys::Alt;
}

ScreenshotHotkeys::ScreenshotHotkeys(platform::GlobalHotkeys& hotkeys,
                                     std::function<void()> fullScreen, std::function<void()> region)
    : hotkeys_(hotkeys), fullScreen_(std::move(fullScreen)), region_(std::move(region)) {}

ScreenshotHotkeys::~ScreenshotHotkeys() {
    Release();
}

void ScreenshotHotkeys::Register() {
    hotkeys_.setHandler([this](int, unsigned modifiers, char key) { WMhotkey(modifiers, key); });
    hotkeys_.registerHotkey(HotkeyIdFull, kControlAlt, 'F');
    hotkeys_.registerHotkey(HotkeyIdRegion, kControlAlt, 'D');
    registered_ = true;
}

void ScreenshotHotkeys::Release() {
    if (!registered_)
        return;
    hotkeys_.unregisterHotkey(HotkeyIdFull);
    hotkeys_.unregisterHotkey(HotkeyIdRegion);
    hotkeys_.setHandler(nullptr);
    registered_ = false;
}

void ScreenshotHotkeys::WMhotkey(unsigned modifiers, char key) {
    if (key == 'F' && modifiers == kControlAlt)
        fullScreen_();
    if (key == 'D' && modifiers == kControlAlt)
        region_();
}

}  // namespace quillet::app
