#include "SelectionOwner.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace quillet::e2e {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

}  // namespace

SelectionOwner::SelectionOwner(Targets targets, bool answer) : targets_(std::move(targets)) {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_))
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = Atom(connection_, "CLIPBOARD");
    xcb_set_selection_owner(connection_, window_, clipboard, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, clipboard), nullptr);
    owns_ = owner && owner->owner == window_;
    std::free(owner);
    if (answer)
        thread_ = std::thread([this] { serve(); });
}

SelectionOwner::~SelectionOwner() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (connection_)
        xcb_disconnect(connection_);
}

void SelectionOwner::serve() {
    const xcb_atom_t targetsAtom = Atom(connection_, "TARGETS");
    std::vector<xcb_atom_t> offered{targetsAtom};
    for (const auto& target : targets_)
        offered.push_back(Atom(connection_, target.first));
    pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
    while (!stop_) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection_);
        if (!event) {
            poll(&fd, 1, 20);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
            auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            xcb_atom_t property = request->property ? request->property : request->target;
            if (request->target == targetsAtom) {
                xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request->requestor,
                                    property, XCB_ATOM_ATOM, 32, uint32_t(offered.size()),
                                    offered.data());
            } else if (auto found = std::find(offered.begin() + 1, offered.end(), request->target);
                       found != offered.end()) {
                const std::string& bytes = targets_[size_t(found - offered.begin() - 1)].second;
                xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request->requestor,
                                    property, request->target, 8, uint32_t(bytes.size()),
                                    bytes.data());
            } else {
                property = XCB_ATOM_NONE;
            }
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = property;
            xcb_send_event(connection_, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&notify));
            xcb_flush(connection_);
        }
        std::free(event);
    }
}

}  // namespace quillet::e2e
