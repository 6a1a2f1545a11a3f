#include "platform/x11/FileInstanceLock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TempDir.h"

namespace quillet::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;

const std::string kName = "Quillet V5.0";

TEST(FileInstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    TempDir dir;
    FileInstanceLock first(dir.path());
    FileInstanceLock second(dir.path());
    ASSERT_TRUE(first.tryAcquire(kName));
    EXPECT_FALSE(second.tryAcquire(kName));
    EXPECT_FALSE(second.tryAcquire(kName)) << "a refusal must not disturb the holder";

    FileInstanceLock other(dir.path());
    EXPECT_TRUE(other.tryAcquire("Another name"));

    first.release();
    EXPECT_TRUE(second.tryAcquire(kName));
    EXPECT_FALSE(first.tryAcquire(kName));
}

TEST(FileInstanceLock, DestroyingTheHolderReleases) {
    TempDir dir;
    {
        FileInstanceLock holder(dir.path());
        ASSERT_TRUE(holder.tryAcquire(kName));
    }
    FileInstanceLock next(dir.path());
    EXPECT_TRUE(next.tryAcquire(kName));
}

// Kills the child, if it still runs, when the test ends early.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Kills the child with SIGKILL and returns its wait status.
    int killAndWait() {
        int status = 0;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_;
};

TEST(FileInstanceLock, LockOfAKilledProcessDoesNotBlockTheNextStart) {
    TempDir dir;
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t pid = ::fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        ::close(report[0]);
        ::alarm(60);  // never outlive a parent that could not kill us
        FileInstanceLock lock(dir.path());
        const char acquired = lock.tryAcquire(kName) ? '1' : '0';
        if (::write(report[1], &acquired, 1) != 1)
            ::_exit(2);
        for (;;)
            ::pause();
    }
    ChildProcess child(pid);
    ::close(report[1]);
    char acquired = 0;
    ASSERT_EQ(::read(report[0], &acquired, 1), 1);
    ::close(report[0]);
    ASSERT_EQ(acquired, '1');

    FileInstanceLock mine(dir.path());
    EXPECT_FALSE(mine.tryAcquire(kName)) << "a live holder in another process must block";

    const int status = child.killAndWait();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_TRUE(mine.tryAcquire(kName));
}

// Where the lock file lives, by environment. "@" stands for the test's own folder, nullptr for
// an unset variable.
struct PathCase {
    const char* name;
    const char* runtimeDir;
    const char* tmpDir;
    bool withUserId;  // the file name carries the user id
};

class FileInstanceLockPath : public testing::TestWithParam<PathCase> {};

TEST_P(FileInstanceLockPath, IsTheUsersOwnAndHoldsTheLock) {
    const PathCase& c = GetParam();
    TempDir dir;
    const auto resolve = [&](const char* value) -> const char* {
        return value && std::string(value) == "@" ? dir.path().c_str() : value;
    };
    ScopedEnv runtime("XDG_RUNTIME_DIR", resolve(c.runtimeDir));
    ScopedEnv tmp("TMPDIR", resolve(c.tmpDir));

    FileInstanceLock lock;
    const std::string folder = c.tmpDir ? dir.path() : "/tmp";
    const std::string expected =
        c.withUserId ? folder + "/" + kName + "-" + std::to_string(::getuid()) + ".lock"
                     : dir.path() + "/" + kName + ".lock";
    EXPECT_EQ(lock.lockFilePath(kName), expected);
    if (expected.starts_with(dir.path())) {
        ASSERT_TRUE(lock.tryAcquire(kName));
        EXPECT_TRUE(std::filesystem::is_regular_file(expected));
        FileInstanceLock second;
        EXPECT_FALSE(second.tryAcquire(kName));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileInstanceLockPath,
    testing::Values(PathCase{"RuntimeFolder", "@", nullptr, false},
                    PathCase{"RuntimeFolderBeforeTmpdir", "@", "/nowhere", false},
                    PathCase{"EmptyRuntimeFolder", "", "@", true},
                    PathCase{"NoRuntimeFolder", nullptr, "@", true},
                    PathCase{"NoTmpdir", nullptr, nullptr, true}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(FileInstanceLock, FolderOverrideWinsOverTheEnvironment) {
    TempDir dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", "/nowhere");
    EXPECT_EQ(FileInstanceLock(dir.path()).lockFilePath(kName), dir / (kName + ".lock"));
}

TEST(FileInstanceLock, FolderThatCannotHoldTheFileRunsAsFirstInstance) {
    TempDir dir;
    test::WriteText(dir / "plain", "a file, not a folder");
    for (const std::string& folder : {dir / "plain", dir / "plain/sub", dir / "missing"}) {
        FileInstanceLock first(folder);
        FileInstanceLock second(folder);
        EXPECT_TRUE(first.tryAcquire(kName)) << folder;
        EXPECT_TRUE(second.tryAcquire(kName)) << folder;
        first.release();
    }
    EXPECT_EQ(test::ReadText(dir / "plain"), "a file, not a folder");
}

}  // namespace
}  // namespace quillet::platform
