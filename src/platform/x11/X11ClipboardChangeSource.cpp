#include "X11ClipboardChangeSource.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QMetaObject>

namespace quillet::platform {

X11ClipboardChangeSource::X11ClipboardChangeSource(
    std::shared_ptr<X11ClipboardConnection> connection)
    : connection_(std::move(connection)), clipboard_(connection_->atom("CLIPBOARD")) {
    listener_ = connection_->addListener([this](const xcb_generic_event_t& event) {
        if (!joined_ || !connection_->hasXfixes())
            return;
        if ((event.response_type & 0x7f) !=
            connection_->xfixesFirstEvent() + XCB_XFIXES_SELECTION_NOTIFY)
            return;
        const auto& notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
        if (notify.selection == clipboard_)
            post();
    });
}

X11ClipboardChangeSource::~X11ClipboardChangeSource() {
    leave();
    connection_->removeListener(listener_);
}

void X11ClipboardChangeSource::join(ChangeHandler onChange) {
    onChange_ = std::move(onChange);
    ++generation_;
    if (!joined_)
        selectEvents(true);
    joined_ = true;
    post();
}

void X11ClipboardChangeSource::leave() {
    if (!joined_)
        return;
    joined_ = false;
    ++generation_;
    selectEvents(false);
}

void X11ClipboardChangeSource::selectEvents(bool on) {
    if (!connection_->valid() || !connection_->hasXfixes())
        return;
    const std::uint32_t mask = on ? XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE
                                  : 0;
    xcb_xfixes_select_selection_input(connection_->connection(), connection_->window(), clipboard_,
                                      mask);
    xcb_flush(connection_->connection());
}

void X11ClipboardChangeSource::post() {
    // Queued, so that the handler runs from the event loop: never inside join(), and never in
    // the middle of reading the connection's events.
    QMetaObject::invokeMethod(
        &context_,
        [this, generation = generation_] {
            if (joined_ && generation == generation_ && onChange_) {
                // The handler may join or leave again; it runs from a copy.
                const ChangeHandler handler = onChange_;
                handler();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace quillet::platform
