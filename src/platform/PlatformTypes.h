#pragma once

#include <cstdint>

// Plain value types shared by the platform interfaces. They carry no toolkit types, so that a
// backend written against the bare system API can implement the interfaces as they are.
namespace quillet::platform {

// The system's handle of a top-level window: an X11 window id, or a Win32 HWND.
using NativeWindow = std::uintptr_t;

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Edges in screen pixels; right and bottom are exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

}  // namespace quillet::platform
