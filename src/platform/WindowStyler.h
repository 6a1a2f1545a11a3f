#pragma once

#include <cstdint>

#include "PlatformTypes.h"

namespace quillet::platform {

// Window properties that the toolkit does not set on every system: staying above other
// windows without a taskbar or pager entry, and a whole-window opacity.
class WindowStyler {
  public:
    virtual ~WindowStyler() = default;

    // Marks `window` as always on top and absent from the taskbar and pager. Call it after the
    // window has a native handle and before it is first shown; the window manager reads the
    // marks when the window is mapped. User-interface thread only.
    virtual void makeToolWindow(NativeWindow window) = 0;

    // Sets the opacity of `window`, 0 (invisible but still present and placed) to 255 (opaque).
    // Takes effect at once, whether the window is shown or hidden. User-interface thread only.
    virtual void setOpacity(NativeWindow window, std::uint8_t alpha) = 0;
};

}  // namespace quillet::platform
