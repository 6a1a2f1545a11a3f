#pragma once

#include <xcb/xcb.h>

namespace quillet::platform {

// A connection of its own to an X display, and the root window of its default screen.
struct XcbDisplay {
    // Null when the display cannot be reached.
    xcb_connection_t* connection = nullptr;
    // 0 when the display has no such screen; the connection is kept open then.
    xcb_window_t root = 0;
};

// Connects to `displayName`, or to $DISPLAY when null. The caller closes the connection.
XcbDisplay ConnectToDisplay(const char* displayName);

}  // namespace quillet::platform
