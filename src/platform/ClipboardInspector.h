#pragma once

#include <string>
#include <vector>

namespace quillet::platform {

// What the current clipboard owner offers, and who it is.
class ClipboardInspector {
  public:
    virtual ~ClipboardInspector() = default;

    // The names of the formats the clipboard offers, in the owner's own order (UTF-8). Empty
    // when nothing owns the clipboard or the owner does not answer within about a second.
    virtual std::vector<std::string> formatNames() = 0;

    // The full path of the executable of the process that owns the clipboard content (UTF-8),
    // or the empty text when there is no owner or the path cannot be found (an owner that has
    // exited, a process of another user).
    virtual std::string ownerExecutablePath() = 0;
};

}  // namespace quillet::platform
