#include "X11ClipboardConnection.h"
#include "XcbDisplay.h"
#include "XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace quillet::platform {

X11ClipboardConnection::X11ClipboardConnection(const char* displayName) {
    const XcbDisplay display = ConnectToDisplay(displayName);
    connection_ = display.connection;
    if (!connection_ || !display.root)
        return;

    // An input-only window that is never mapped: nothing shows, yet it can hold the properties
    // that selection owners write and can receive their notifications.
    window_ = xcb_generate_id(connection_);
    const std::uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    const xcb_void_cookie_t created = xcb_create_window_checked(
        connection_, XCB_COPY_FROM_PARENT, window_, display.root, -1, -1, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
    if (XcbReply<xcb_generic_error_t> error{xcb_request_check(connection_, created)}) {
        window_ = 0;
        return;
    }

    // The extension refuses every request of a client that has not told it its version first.
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection_, &xcb_xfixes_id);
    if (xfixes && xfixes->present) {
        XcbReply<xcb_xfixes_query_version_reply_t> version{xcb_xfixes_query_version_reply(
            connection_, xcb_xfixes_query_version(connection_, 1, 0), nullptr)};
        if (version && version->major_version >= 1) {
            hasXfixes_ = true;
            xfixesFirstEvent_ = xfixes->first_event;
        }
    }

    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                  QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
    broken_ = false;
    drain();
}

X11ClipboardConnection::~X11ClipboardConnection() {
    notifier_.reset();
    if (connection_)
        xcb_disconnect(connection_);
}

bool X11ClipboardConnection::valid() const {
    return !broken_;
}

std::uint32_t X11ClipboardConnection::atom(const std::string& name) {
    if (!valid())
        return XCB_ATOM_NONE;
    if (auto found = atoms_.find(name); found != atoms_.end())
        return found->second;
    XcbReply<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(name.size()), name.data()),
        nullptr)};
    drain();
    if (!reply)
        return XCB_ATOM_NONE;
    atoms_.emplace(name, reply->atom);
    return reply->atom;
}

std::vector<std::string> X11ClipboardConnection::atomNames(
    const std::vector<std::uint32_t>& atoms) {
    std::vector<std::string> names(atoms.size());
    if (!valid())
        return names;
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    cookies.reserve(atoms.size());
    for (std::uint32_t a : atoms)
        cookies.push_back(xcb_get_atom_name(connection_, a));
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        XcbReply<xcb_get_atom_name_reply_t> reply{
            xcb_get_atom_name_reply(connection_, cookies[i], nullptr)};
        if (reply)
            names[i].assign(xcb_get_atom_name_name(reply.get()),
                            std::size_t(xcb_get_atom_name_name_length(reply.get())));
    }
    drain();
    return names;
}

int X11ClipboardConnection::addListener(EventListener listener) {
    const int id = nextListenerId_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void X11ClipboardConnection::removeListener(int id) {
    listeners_.erase(id);
}

void X11ClipboardConnection::drain() {
    if (!connection_ || broken_)
        return;
    bool any = false;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
        XcbReply<xcb_generic_event_t> event{raw};
        dispatch(*event);
        any = true;
    }
    checkBroken();
    if (any || broken_) {
        for (QEventLoop* loop : waiting_)
            loop->quit();
    }
}

void X11ClipboardConnection::dispatch(const xcb_generic_event_t& event) {
    // A listener may add or remove listeners.
    std::vector<EventListener> current;
    current.reserve(listeners_.size());
    for (const auto& [id, listener] : listeners_)
        current.push_back(listener);
    for (const auto& listener : current)
        listener(event);
}

void X11ClipboardConnection::checkBroken() {
    // A broken connection leaves its socket readable for good: the notifier would fire again and
    // again without end.
    if (!broken_ && xcb_connection_has_error(connection_)) {
        broken_ = true;
        if (notifier_)
            notifier_->setEnabled(false);
    }
}

bool X11ClipboardConnection::waitUntil(const std::function<bool()>& done,
                                       Clock::time_point deadline) {
    for (;;) {
        drain();
        if (done())
            return true;
        if (broken_)
            return false;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(std::min<long long>(left, 1 << 30)));
        waiting_.push_back(&loop);
        loop.exec();
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &loop));
    }
}

}  // namespace quillet::platform
