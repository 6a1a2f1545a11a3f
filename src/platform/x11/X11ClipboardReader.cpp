#include "X11ClipboardReader.h"
#include "XcbReply.h"

#include <xcb/res.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QImageReader>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace quillet::platform {

namespace {

// Nested reads (an event handler that reads while an outer read waits) each need a property of
// their own; a pool that is walked round keeps an answer that comes too late from landing in a
// later read of the same target.
constexpr unsigned kPropertyPool = 16;

const std::array<const char*, 6> kTextTargets = {
    "UTF8_STRING", "text/plain;charset=utf-8", "STRING", "TEXT", "text/plain", "COMPOUND_TEXT"};

const char* const kPasswordHint = "x-kde-passwordManagerHint";

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(char(0xC0 | (byte >> 6)));
            out.push_back(char(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

bool IsValidUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoder works only when its result is taken.
    const QString decoded = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// Capped, so that an unbounded budget cannot overflow the clock.
std::chrono::steady_clock::time_point DeadlineAfter(ClipboardReader::Budget budget) {
    return std::chrono::steady_clock::now() +
           std::clamp<ClipboardReader::Budget>(budget, ClipboardReader::Budget::zero(),
                                               std::chrono::hours(24));
}

// Owners do send malformed UTF8_STRING; what the program keeps must still be UTF-8.
std::string RepairUtf8(std::string bytes) {
    if (IsValidUtf8(bytes))
        return bytes;
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toStdString();
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

X11ClipboardReader::X11ClipboardReader(std::shared_ptr<X11ClipboardConnection> connection,
                                       std::size_t maxBytes)
    : connection_(std::move(connection)),
      maxBytes_(maxBytes),
      clipboard_(connection_->atom("CLIPBOARD")) {
    listener_ =
        connection_->addListener([this](const xcb_generic_event_t& event) { onEvent(event); });
}

X11ClipboardReader::~X11ClipboardReader() {
    connection_->removeListener(listener_);
}

void X11ClipboardReader::onEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_SELECTION_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(event);
            if (notify.requestor != connection_->window() || notify.selection != clipboard_)
                return;
            for (Transfer* transfer : transfers_) {
                // A refusal names no property, so only its target tells which read it answers.
                if (!transfer->answered && transfer->target == notify.target &&
                    (notify.property == transfer->property || notify.property == XCB_ATOM_NONE)) {
                    transfer->answered = true;
                    transfer->refused = notify.property == XCB_ATOM_NONE;
                    // The owner wrote the property before telling us; that write is no chunk.
                    transfer->newValues = 0;
                    return;
                }
            }
            return;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (notify.window != connection_->window() || notify.state != XCB_PROPERTY_NEW_VALUE)
                return;
            for (Transfer* transfer : transfers_) {
                if (transfer->answered && transfer->property == notify.atom)
                    ++transfer->newValues;
            }
            return;
        }
        default:
            return;
    }
}

std::uint32_t X11ClipboardReader::freeProperty() {
    for (unsigned tries = 0; tries < kPropertyPool; ++tries) {
        const unsigned slot = nextProperty_++ % kPropertyPool;
        const std::uint32_t property =
            connection_->atom("QUILLET_CLIPBOARD_" + std::to_string(slot));
        const bool busy = std::any_of(transfers_.begin(), transfers_.end(),
                                      [&](const Transfer* t) { return t->property == property; });
        if (!busy)
            return property;
    }
    return XCB_ATOM_NONE;
}

std::optional<X11ClipboardReader::Property> X11ClipboardReader::takeProperty(
    std::uint32_t property) {
    xcb_connection_t* c = connection_->connection();
    // The whole value at once: only a read that reaches the end deletes the property, and the
    // deletion is what asks an owner for its next chunk.
    XcbReply<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        c,
        xcb_get_property(c, 1, connection_->window(), property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         std::uint32_t(std::min<std::size_t>(maxBytes_ / 4 + 1, UINT32_MAX / 4))),
        nullptr)};
    connection_->drain();
    if (!reply || reply->type == XCB_ATOM_NONE)
        return std::nullopt;
    Property result;
    if (reply->bytes_after != 0) {
        xcb_delete_property(c, connection_->window(), property);
        xcb_flush(c);
        result.complete = false;
        return result;
    }
    result.type = reply->type;
    result.format = reply->format;
    const auto* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    result.bytes.assign(value, std::size_t(xcb_get_property_value_length(reply.get())));
    return result;
}

std::optional<X11ClipboardReader::Property> X11ClipboardReader::convert(
    std::uint32_t target, Clock::time_point deadline) {
    if (!connection_->valid() || target == XCB_ATOM_NONE)
        return std::nullopt;
    const std::uint32_t incr = connection_->atom("INCR");
    const std::uint32_t property = freeProperty();
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_connection_t* c = connection_->connection();
    const xcb_window_t window = connection_->window();

    Transfer transfer;
    transfer.target = target;
    transfer.property = property;
    transfers_.push_back(&transfer);
    struct Cleanup {
        X11ClipboardReader* reader;
        Transfer* transfer;
        ~Cleanup() {
            auto& list = reader->transfers_;
            list.erase(std::find(list.begin(), list.end(), transfer));
            if (reader->connection_->valid()) {
                xcb_delete_property(reader->connection_->connection(),
                                    reader->connection_->window(), transfer->property);
                xcb_flush(reader->connection_->connection());
            }
        }
    } cleanup{this, &transfer};

    // What an earlier, abandoned read left there must not pass for this answer.
    xcb_delete_property(c, window, property);
    xcb_convert_selection(c, window, clipboard_, target, property, XCB_CURRENT_TIME);
    xcb_flush(c);
    if (!connection_->waitUntil([&] { return transfer.answered; }, deadline) || transfer.refused)
        return std::nullopt;

    std::optional<Property> first = takeProperty(property);
    if (!first || !first->complete || first->bytes.size() > maxBytes_)
        return std::nullopt;
    if (first->type != incr || incr == XCB_ATOM_NONE)
        return first;

    // A large content comes in chunks: taking the INCR property above asked for the first one;
    // each chunk taken asks for the next, and an empty chunk ends the transfer.
    Property whole;
    whole.type = XCB_ATOM_NONE;
    for (;;) {
        if (!connection_->waitUntil([&] { return transfer.newValues > 0; }, deadline))
            return std::nullopt;
        transfer.newValues = 0;
        std::optional<Property> chunk = takeProperty(property);
        if (!chunk)
            continue;
        if (!chunk->complete)
            return std::nullopt;
        if (chunk->bytes.empty()) {
            if (whole.type == XCB_ATOM_NONE)
                whole.type = chunk->type;
            return whole;
        }
        if (chunk->bytes.size() > maxBytes_ - whole.bytes.size())
            return std::nullopt;
        whole.type = chunk->type;
        whole.format = chunk->format;
        whole.bytes += chunk->bytes;
    }
}

std::optional<std::vector<std::string>> X11ClipboardReader::targetNames(
    Clock::time_point deadline) {
    std::optional<Property> targets = convert(connection_->atom("TARGETS"), deadline);
    if (!targets || targets->format != 32)
        return std::nullopt;
    std::vector<std::uint32_t> atoms(targets->bytes.size() / 4);
    std::memcpy(atoms.data(), targets->bytes.data(), atoms.size() * 4);
    atoms.erase(std::remove(atoms.begin(), atoms.end(), std::uint32_t(XCB_ATOM_NONE)), atoms.end());
    std::vector<std::string> names = connection_->atomNames(atoms);
    names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
    return names;
}

const std::set<std::string>& X11ClipboardReader::readableImageTypes() {
    if (!imageTypes_) {
        imageTypes_.emplace();
        for (const QByteArray& type : QImageReader::supportedMimeTypes())
            imageTypes_->insert(type.toStdString());
    }
    return *imageTypes_;
}

std::optional<ClipboardOffer> X11ClipboardReader::offer(Budget budget) {
    const Clock::time_point deadline = DeadlineAfter(budget);
    std::optional<std::vector<std::string>> names = targetNames(deadline);
    if (!names)
        return std::nullopt;
    ClipboardOffer result;
    result.formats = *names;
    const auto& imageTypes = readableImageTypes();
    for (const std::string& name : result.formats) {
        if (std::find(kTextTargets.begin(), kTextTargets.end(), name) != kTextTargets.end())
            result.text = true;
        if (imageTypes.count(name))
            result.image = true;
    }
    if (Contains(result.formats, kPasswordHint)) {
        // A hint that cannot be read might have said "secret": better no offer than a kept
        // password.
        std::optional<Property> hint = convert(connection_->atom(kPasswordHint), deadline);
        if (!hint)
            return std::nullopt;
        std::string value = hint->bytes;
        while (!value.empty() && value.back() == '\0')
            value.pop_back();
        result.secret = value == "secret";
    }
    return result;
}

std::optional<std::string> X11ClipboardReader::text(Budget budget) {
    const Clock::time_point deadline = DeadlineAfter(budget);
    std::optional<std::vector<std::string>> names = targetNames(deadline);
    if (!names)
        return std::nullopt;
    const auto chosen = std::find_if(kTextTargets.begin(), kTextTargets.end(),
                                     [&](const char* t) { return Contains(*names, t); });
    if (chosen == kTextTargets.end())
        return std::nullopt;
    const std::string target = *chosen;
    std::optional<Property> content = convert(connection_->atom(target), deadline);
    if (!content)
        return std::nullopt;

    if (target == "UTF8_STRING" || target == "text/plain;charset=utf-8")
        return RepairUtf8(std::move(content->bytes));
    if (target == "STRING")
        return Latin1ToUtf8(content->bytes);
    // TEXT and the others let the owner pick the encoding; the type it gives says which.
    const std::string type = connection_->atomNames({content->type}).front();
    if (type == "UTF8_STRING" || type == "text/plain;charset=utf-8")
        return RepairUtf8(std::move(content->bytes));
    if (type == "STRING" || type == "COMPOUND_TEXT" || !IsValidUtf8(content->bytes))
        return Latin1ToUtf8(content->bytes);
    return std::move(content->bytes);
}

std::optional<ClipboardImage> X11ClipboardReader::image(Budget budget) {
    const Clock::time_point deadline = DeadlineAfter(budget);
    std::optional<std::vector<std::string>> names = targetNames(deadline);
    if (!names)
        return std::nullopt;
    const auto& readable = readableImageTypes();
    std::string chosen;
    for (const char* preferred : {"image/png", "image/bmp"}) {
        if (chosen.empty() && readable.count(preferred) && Contains(*names, preferred))
            chosen = preferred;
    }
    for (const std::string& name : *names) {
        if (chosen.empty() && readable.count(name))
            chosen = name;
    }
    if (chosen.empty())
        return std::nullopt;
    std::optional<Property> content = convert(connection_->atom(chosen), deadline);
    if (!content)
        return std::nullopt;
    ClipboardImage result;
    result.mimeType = chosen;
    result.bytes.assign(content->bytes.begin(), content->bytes.end());
    return result;
}

std::string X11ClipboardReader::ownerExecutablePath() {
    const std::uint32_t pid = ownerPid();
    if (pid == 0)
        return {};
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink(
        std::filesystem::path("/proc") / std::to_string(pid) / "exe", error);
    if (error)
        return {};
    return exe.string();
}

bool X11ClipboardReader::ownedByThisProcess() {
    const std::uint32_t pid = ownerPid();
    return pid != 0 && pid == std::uint32_t(::getpid());
}

std::uint32_t X11ClipboardReader::ownerPid() {
    if (!connection_->valid())
        return 0;
    xcb_connection_t* c = connection_->connection();
    XcbReply<xcb_get_selection_owner_reply_t> owner{
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard_), nullptr)};
    connection_->drain();
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return 0;

    if (!resourceExtension_) {
        // Client ids came with version 1.2 of the extension; the version must be asked first.
        const xcb_query_extension_reply_t* res = xcb_get_extension_data(c, &xcb_res_id);
        bool usable = false;
        if (res && res->present) {
            XcbReply<xcb_res_query_version_reply_t> version{
                xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr)};
            usable = version && (version->server_major > 1 ||
                                 (version->server_major == 1 && version->server_minor >= 2));
        }
        connection_->drain();
        resourceExtension_ = usable;
    }
    if (!*resourceExtension_)
        return 0;

    // The owner window's creator, not a _NET_WM_PID property: selection owners keep windows
    // that no window manager ever sees, and such windows carry no such property.
    xcb_res_client_id_spec_t clientId{owner->owner, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    XcbReply<xcb_res_query_client_ids_reply_t> ids{
        xcb_res_query_client_ids_reply(c, xcb_res_query_client_ids(c, 1, &clientId), nullptr)};
    connection_->drain();
    if (!ids)
        return 0;
    std::uint32_t pid = 0;
    for (auto it = xcb_res_query_client_ids_ids_iterator(ids.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(it.data) >= 1) {
            pid = *xcb_res_client_id_value_value(it.data);
            break;
        }
    }
    return pid;
}

}  // namespace quillet::platform
