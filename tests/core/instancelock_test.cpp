#include "core/app/instancelock.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts a child that takes the lock and then waits to be killed.
pid_t startHolder(const std::string& dataDir) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const char held = acquireInstanceLock(dataDir) == InstanceLock::Acquired ? 'y' : 'n';
        [[maybe_unused]] const auto n = ::write(ready[1], &held, 1);
        for (;;)
            ::pause();
    }
    char held = 'n';
    [[maybe_unused]] const auto n = ::read(ready[0], &held, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return held == 'y' ? pid : -1;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstDies) {
    TempDir home;
    const std::string dataDir = home.path() + "DataRec/";
    EXPECT_EQ(instanceLockPath(dataDir), dataDir + ".lock");

    const pid_t holder = startHolder(dataDir);
    ASSERT_GT(holder, 0);
    EXPECT_EQ(modeOf(dataDir), 0700u);
    EXPECT_EQ(modeOf(instanceLockPath(dataDir)), 0600u);
    {
        // The environment plays no part: the lock is the data's.
        ScopedEnv runtime("XDG_RUNTIME_DIR", home.path());
        EXPECT_EQ(acquireInstanceLock(dataDir), InstanceLock::HeldByOther);
    }

    ::kill(holder, SIGKILL); // no chance to clean up: the kernel releases the lock
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(acquireInstanceLock(dataDir), InstanceLock::Acquired);
}

TEST(InstanceLock, ALockFileThatCannotBeOpenedIsAFailureNotAnotherCopy) {
    TempDir home;
    home.write("file", "");
    EXPECT_EQ(acquireInstanceLock(home.path() + "file/"), InstanceLock::Failed); // no directory there
    ASSERT_EQ(::mkdir((home.path() + ".lock").c_str(), 0700), 0);
    EXPECT_EQ(acquireInstanceLock(home.path()), InstanceLock::Failed); // a directory where the lock file goes
}

} // namespace
