#pragma once

#include <functional>

namespace quillet::platform {
class GlobalHotkeys;
}

namespace quillet::app {

// The two system-wide screenshot keys: Ctrl+Alt+F for the whole screen and Ctrl+Alt+D for a
// region. They work whether the main window is shown, hidden or fully transparent.
class ScreenshotHotkeys {
  public:
    // Any two distinct ids will do; only the combinations and their commands matter.
    static constexpr int HotkeyIdFull = 1;
    static constexpr int HotkeyIdRegion = 2;

    ScreenshotHotkeys(platform::GlobalHotkeys& hotkeys, std::function<void()> fullScreen,
                      std::function<void()> region);
    // Releases the keys if Release() has not run.
    ~ScreenshotHotkeys();

    // Registers both keys. A key that the system refuses (another program holds it) is left
    // out: it just never arrives.
    void Register();
    // Releases both keys, so that other programs may take them.
    void Release();

    // A press of a registered key: `key` with exactly Ctrl+Alt runs its command; anything else
    // does nothing. Which id it came under is not looked at.
    void WMhotkey(unsigned modifiers, char key);

  private:
    platform::GlobalHotkeys& hotkeys_;
    std::function<void()> fullScreen_;
    std::function<void()> region_;
    bool registered_ = false;
};

}  // namespace quillet::app
