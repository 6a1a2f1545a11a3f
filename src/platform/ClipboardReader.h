#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::platform {

// What the current clipboard owner offers, in the platform's own terms.
struct ClipboardOffer {
    // The names of the formats on offer, in the owner's own order (UTF-8): X11 target names,
    // or Windows format names.
    std::vector<std::string> formats;
    // The content can be read as text.
    bool text = false;
    // The content can be read as a picture that the program can decode.
    bool image = false;
    // The owner marks the content as secret (a password manager): it must not be kept.
    bool secret = false;
};

// A picture as the owner hands it over: its encoded bytes and their type ("image/png",
// "image/bmp", ...).
struct ClipboardImage {
    std::string mimeType;
    std::vector<std::uint8_t> bytes;
};

// Reads the system clipboard without trusting its owner to answer: every call returns within
// its time budget, and while it waits, the user-interface thread's events keep being dispatched
// (so the caller may be re-entered). Calls are made on the user-interface thread.
class ClipboardReader {
  public:
    using Budget = std::chrono::milliseconds;

    virtual ~ClipboardReader() = default;

    // What the clipboard offers now; nothing when no program owns it or its owner does not
    // answer within `budget`.
    virtual std::optional<ClipboardOffer> offer(Budget budget) = 0;

    // The clipboard's text (UTF-8, whole, zero characters included); nothing when it offers no
    // text or does not answer within `budget`.
    virtual std::optional<std::string> text(Budget budget) = 0;

    // The clipboard's picture in the first type that the program can decode; nothing when it
    // offers none or does not answer within `budget`.
    virtual std::optional<ClipboardImage> image(Budget budget) = 0;

    // The full path of the executable of the process that owns the clipboard (UTF-8), or the
    // empty text when there is no owner or its path cannot be found (an owner that has exited,
    // a process of another user). Never blocks long.
    virtual std::string ownerExecutablePath() = 0;

    // True when this very process owns the clipboard: the content is the program's own write.
    // False when that cannot be found out. Never blocks long.
    virtual bool ownedByThisProcess() = 0;
};

}  // namespace quillet::platform
