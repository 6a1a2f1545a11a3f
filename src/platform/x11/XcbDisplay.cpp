#include "XcbDisplay.h"

namespace quillet::platform {

XcbDisplay ConnectToDisplay(const char* displayName) {
    XcbDisplay display;
    int screenNumber = 0;
    display.connection = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(display.connection)) {
        xcb_disconnect(display.connection);
        display.connection = nullptr;
        return display;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(display.connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem > 0)
        display.root = screens.data->root;
    return display;
}

}  // namespace quillet::platform
