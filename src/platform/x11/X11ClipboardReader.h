#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "X11ClipboardConnection.h"
#include "platform/ClipboardReader.h"

namespace quillet::platform {

// Reads the CLIPBOARD selection by converting it into properties of the connection's hidden
// window, the large transfers (INCR) included. Without a display every read gives nothing.
//
// offer() lists the owner's TARGETS. It counts as text when one of UTF8_STRING,
// text/plain;charset=utf-8, STRING, TEXT, text/plain or COMPOUND_TEXT is offered; as a picture
// when a MIME type that the toolkit's image readers know is offered; as secret when the
// target x-kde-passwordManagerHint is offered and holds "secret" (an owner that does not hand
// the hint over within the budget gives no offer at all).
class X11ClipboardReader final : public ClipboardReader {
  public:
    // The most bytes one read accepts; a larger content is refused (reads give nothing).
    static constexpr std::size_t kDefaultMaxBytes = std::size_t(256) << 20;

    explicit X11ClipboardReader(std::shared_ptr<X11ClipboardConnection> connection,
                                std::size_t maxBytes = kDefaultMaxBytes);
    ~X11ClipboardReader() override;

    std::optional<ClipboardOffer> offer(Budget budget) override;
    // Asks for UTF8_STRING, text/plain;charset=utf-8, STRING (Latin-1), TEXT, text/plain,
    // COMPOUND_TEXT, the first of these on offer. The answers to the last three are decoded by
    // the type the owner gives them (UTF8_STRING as it is, STRING and COMPOUND_TEXT as
    // Latin-1, any other as UTF-8 when it is valid UTF-8 and as Latin-1 otherwise). A malformed
    // sequence in an answer that claims to be UTF-8 comes out as U+FFFD.
    std::optional<std::string> text(Budget budget) override;
    // Prefers image/png, then image/bmp, then the owner's first other readable type.
    std::optional<ClipboardImage> image(Budget budget) override;
    // Found through the process id that the X Resource extension gives for the client that
    // made the owner window; empty for a client on another machine or a server without that
    // extension. Blocks for one round trip to the server (never on the owner).
    std::string ownerExecutablePath() override;
    bool ownedByThisProcess() override;

  private:
    using Clock = X11ClipboardConnection::Clock;

    // The process id of the owner window's client; 0 when there is no owner or it cannot be
    // found.
    std::uint32_t ownerPid();

    struct Property {
        std::uint32_t type = 0;
        std::uint8_t format = 0;
        std::string bytes;
        // False when the value was longer than a read may take: the bytes are left out.
        bool complete = true;
    };
    // One conversion in progress; the event listener fills it in.
    struct Transfer {
        std::uint32_t target = 0;
        std::uint32_t property = 0;
        bool answered = false;
        bool refused = false;
        int newValues = 0;
    };

    void onEvent(const xcb_generic_event_t& event);
    std::optional<Property> convert(std::uint32_t target, Clock::time_point deadline);
    std::optional<Property> takeProperty(std::uint32_t property);
    std::optional<std::vector<std::string>> targetNames(Clock::time_point deadline);
    std::uint32_t freeProperty();
    const std::set<std::string>& readableImageTypes();

    std::shared_ptr<X11ClipboardConnection> connection_;
    std::size_t maxBytes_;
    std::uint32_t clipboard_ = 0;
    int listener_ = 0;
    std::vector<Transfer*> transfers_;
    unsigned nextProperty_ = 0;
    std::optional<bool> resourceExtension_;
    std::optional<std::set<std::string>> imageTypes_;
};

}  // namespace quillet::platform
