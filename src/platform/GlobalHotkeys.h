#pragma once

#include <functional>

namespace quillet::platform {

// System-wide key combinations that reach Quillet whatever window has the focus.
class GlobalHotkeys {
  public:
    enum Modifier : unsigned { Control = 1, Alt = 2, Shift = 4 };
    // `modifiers` are exactly the modifiers held (Num Lock and Caps Lock left out); `key` is an
    // upper-case letter 'A' to 'Z'.
    using PressHandler = std::function<void(int id, unsigned modifiers, char key)>;

    virtual ~GlobalHotkeys() = default;

    // Sets the handler that runs on the user-interface thread, from the event loop, for each
    // press of a registered combination. Releases are never reported.
    virtual void setHandler(PressHandler onPress) = 0;

    // Registers `modifiers` + `key` under `id`. Returns false when the system refuses (another
    // program holds the combination); that combination then never arrives. Never blocks long.
    virtual bool registerHotkey(int id, unsigned modifiers, char key) = 0;

    // Releases the combination registered under `id`, so that other programs may take it; an
    // unknown id is ignored.
    virtual void unregisterHotkey(int id) = 0;
};

}  // namespace quillet::platform
