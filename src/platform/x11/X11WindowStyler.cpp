#include "X11WindowStyler.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace quillet::platform {

X11WindowStyler::X11WindowStyler() = default;

X11WindowStyler::~X11WindowStyler() {
    if (connection_)
        xcb_disconnect(connection_);
}

bool X11WindowStyler::connected() {
    if (!connection_) {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            xcb_disconnect(connection_);
            connection_ = nullptr;
        }
    }
    return connection_ != nullptr;
}

std::uint32_t X11WindowStyler::atom(const char* name) {
    auto cookie = xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const std::uint32_t result = reply->atom;
    std::free(reply);
    return result;
}

void X11WindowStyler::makeToolWindow(NativeWindow window) {
    if (!connected())
        return;
    const auto win = xcb_window_t(window);
    const xcb_atom_t netWmState = atom("_NET_WM_STATE");
    std::vector<xcb_atom_t> states;
    // Keep what the toolkit has put there already; add ours once.
    auto cookie = xcb_get_property(connection_, 0, win, netWmState, XCB_ATOM_ATOM, 0, 64);
    if (auto* reply = xcb_get_property_reply(connection_, cookie, nullptr)) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        states.assign(values, values + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
    }
    for (const char* name :
         {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t a = atom(name);
        if (std::find(states.begin(), states.end(), a) == states.end())
            states.push_back(a);
    }
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, win, netWmState, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    // A round trip: the server has applied the change before the toolkit maps the window.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

void X11WindowStyler::setOpacity(NativeWindow window, std::uint8_t alpha) {
    if (!connected())
        return;
    // The property scales 0..255 to the whole 32-bit range; compositors read it.
    const std::uint32_t value = std::uint32_t(alpha) * 0x01010101u;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, xcb_window_t(window),
                        atom("_NET_WM_WINDOW_OPACITY"), XCB_ATOM_CARDINAL, 32, 1, &value);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

}  // namespace quillet::platform
