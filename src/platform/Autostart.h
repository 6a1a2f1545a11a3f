#pragma once

#include <string>

namespace quillet::platform {

// Whether the desktop starts Quillet when the user logs in.
class Autostart {
  public:
    virtual ~Autostart() = default;

    // Registers `executablePath` (a full path, no arguments) to start at log-in when `enabled`
    // is true, and removes the registration when it is false; removing one that is not there is
    // no error. Any failure is skipped silently: nothing is reported. Blocks only for small
    // file or registry writes.
    virtual void apply(bool enabled, const std::string& executablePath) = 0;
};

}  // namespace quillet::platform
