#pragma once

namespace quillet::app {

// A width and height in pixels: the primary screen's size or the main window's outer size.
// Both are expected to be 0 or more.
struct PixelSize {
    int Width = 0;
    int Height = 0;
};

// The main window's left edge (X) and top edge (Y) in screen pixels.
struct WindowPosition {
    int X = 0;
    int Y = 0;

    bool operator==(const WindowPosition&) const = default;
};

// The position that centres `window` on `screen`: ScreenWidth / 2 - Width / 2 and
// ScreenHeight / 2 - Height / 2, each taken to the nearest integer, halves to the even one.
WindowPosition CentredPosition(PixelSize screen, PixelSize window);

// A stored position brought back onto `screen` before the first show, in this order, each test
// on the value the previous one left: Y <= 0 becomes 2; Y > ScreenHeight - Height - 1 becomes
// ScreenHeight - Height - 2; X <= 0 becomes 2; X > ScreenWidth - Width - 1 becomes
// ScreenWidth - Width - 2. A window larger than the screen therefore ends with a negative edge.
WindowPosition ClampStoredPosition(WindowPosition stored, PixelSize screen, PixelSize window);

// Where the main window goes at its first show: centred on first use, else the stored position
// clamped as above.
WindowPosition FirstShowPosition(bool firstUse, WindowPosition stored, PixelSize screen,
                                 PixelSize window);

// Where a tray icon click brings the window back from `current`, in this order, each test on the
// value the previous one left: Y <= 0 becomes 2; Y >= ScreenHeight - 3 becomes
// ScreenHeight - Height - 2; X <= 0 becomes 2; X >= ScreenWidth - 3 becomes
// ScreenWidth - Width - 2. A window docked or hidden at an edge thus comes back 2 pixels inside
// the screen; anywhere else it stays where it is.
WindowPosition TrayClickPosition(WindowPosition current, PixelSize screen, PixelSize window);

}  // namespace quillet::app
