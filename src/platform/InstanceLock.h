#pragma once

#include <string>

namespace quillet::platform {

// A lock held by at most one process of the user at a time, which the system drops when the
// holding process ends in any way (a crash or kill included), so that a dead instance never
// blocks the next start.
class InstanceLock {
  public:
    virtual ~InstanceLock() = default;

    // Tries to take the lock called `name`. Returns false only when another live process holds
    // it. When the lock cannot be made at all (no writable place for it), returns true: the
    // caller then runs as the first instance. Never blocks.
    virtual bool tryAcquire(const std::string& name) = 0;

    // Drops a lock taken by tryAcquire; does nothing when none is held.
    virtual void release() = 0;
};

}  // namespace quillet::platform
