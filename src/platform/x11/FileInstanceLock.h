#pragma once

#include <string>

#include "platform/InstanceLock.h"

namespace quillet::platform {

// The instance lock as an advisory lock (flock) on a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else the temporary folder with the user id in the file name). The kernel
// drops the lock with the process, whatever way it ends.
class FileInstanceLock final : public InstanceLock {
  public:
    // `folder` overrides where the lock file is kept; empty means the runtime folder.
    explicit FileInstanceLock(std::string folder = {});
    ~FileInstanceLock() override;

    bool tryAcquire(const std::string& name) override;
    void release() override;

    // The file that stands for the lock `name`.
    std::string lockFilePath(const std::string& name) const;

  private:
    std::string folder_;
    int fd_ = -1;
};

}  // namespace quillet::platform
