#include "FileInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quillet::platform {

FileInstanceLock::FileInstanceLock(std::string folder) : folder_(std::move(folder)) {}

FileInstanceLock::~FileInstanceLock() {
    release();
}

std::string FileInstanceLock::lockFilePath(const std::string& name) const {
    if (!folder_.empty())
        return folder_ + "/" + name + ".lock";
    // XDG_RUNTIME_DIR belongs to the user alone; the shared temporary folder needs the user id
    // in the name so that two users each get their own instance.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/" + name + ".lock";
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    return base + "/" + name + "-" + std::to_string(getuid()) + ".lock";
}

bool FileInstanceLock::tryAcquire(const std::string& name) {
    release();
    const std::string path = lockFilePath(name);
    // O_CLOEXEC: a program that Quillet starts (a URL opener, say) must not inherit the lock
    // and keep the next start out after Quillet has ended.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;  // no place for a lock: run as the first instance
    // In the shared temporary folder another user could make the file first and hold it; a
    // file that is not ours is no lock of ours.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return true;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
}

void FileInstanceLock::release() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace quillet::platform
