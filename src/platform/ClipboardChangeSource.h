#pragma once

#include <functional>

namespace quillet::platform {

// Tells when another program (or Quillet itself) has put new content on the system clipboard.
class ClipboardChangeSource {
  public:
    using ChangeHandler = std::function<void()>;

    virtual ~ClipboardChangeSource() = default;

    // Starts notifications. `onChange` runs on the user-interface thread, from the event loop,
    // once for each change; and once right away (from the event loop, not from inside join) so
    // that what the clipboard holds when joining is handled as a new change. Joining while
    // joined replaces the handler and delivers that first change again.
    virtual void join(ChangeHandler onChange) = 0;

    // Stops notifications; a change that happened before leave() but was not yet delivered is
    // dropped. Does nothing when not joined.
    virtual void leave() = 0;
};

}  // namespace quillet::platform
