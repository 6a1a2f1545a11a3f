#include "app/WindowPlacement.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace quillet::app {
namespace {

// Stored positions come from the settings file and may be any int. The edge limits are worked
// out in 64 bits so that no size can overflow them, and saturated when they become a position.
int Saturated(std::int64_t value) {
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

// Nearest integer, halves to the even neighbour. Written out rather than left to nearbyint(),
// whose result depends on the floating-point rounding mode in force.
int RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    return static_cast<int>(rounded);
}

int CentredEdge(int screenExtent, int windowExtent) {
    return RoundHalfToEven(screenExtent / 2.0 - windowExtent / 2.0);
}

}  // namespace

WindowPosition CentredPosition(PixelSize screen, PixelSize window) {
    return {CentredEdge(screen.Width, window.Width), CentredEdge(screen.Height, window.Height)};
}

WindowPosition ClampStoredPosition(WindowPosition stored, PixelSize screen, PixelSize window) {
    const std::int64_t maxY = std::int64_t{screen.Height} - window.Height - 1;
    const std::int64_t maxX = std::int64_t{screen.Width} - window.Width - 1;
    WindowPosition p = stored;
    if (p.Y <= 0)
        p.Y = 2;
    if (p.Y > maxY)
        p.Y = Saturated(maxY - 1);
    if (p.X <= 0)
        p.X = 2;
    if (p.X > maxX)
        p.X = Saturated(maxX - 1);
    return p;
}

WindowPosition FirstShowPosition(bool firstUse, WindowPosition stored, PixelSize screen,
                                 PixelSize window) {
    return firstUse ? CentredPosition(screen, window) : ClampStoredPosition(stored, screen, window);
}

WindowPosition TrayClickPosition(WindowPosition current, PixelSize screen, PixelSize window) {
    // The thresholds are the screen's last three pixels, not the window's size: auto-hide leaves
    // a docked window with only a strip inside the screen, and only such a window is moved.
    WindowPosition p = current;
    if (p.Y <= 0)
        p.Y = 2;
    if (p.Y >= std::int64_t{screen.Height} - 3)
        p.Y = Saturated(std::int64_t{screen.Height} - window.Height - 2);
    if (p.X <= 0)
        p.X = 2;
    if (p.X >= std::int64_t{screen.Width} - 3)
        p.X = Saturated(std::int64_t{screen.Width} - window.Width - 2);
    return p;
}

}  // namespace quillet::app
