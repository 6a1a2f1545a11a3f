#pragma once

#include <cstdint>
#include <vector>

#include "PlatformTypes.h"

namespace quillet::platform {

// A picture of the screen, one pixel per screen pixel, rows top-down, four bytes per pixel in
// the order blue, green, red, unused.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

class ScreenGrabber {
  public:
    virtual ~ScreenGrabber() = default;

    // The primary screen's rectangle in screen pixels.
    virtual ScreenRect primaryScreen() = 0;

    // Grabs the primary screen at its own size. An empty picture when the screen cannot be
    // read. User-interface thread only; blocks for the copy.
    virtual ScreenPicture grabPrimaryScreen() = 0;
};

}  // namespace quillet::platform
