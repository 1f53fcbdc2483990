#include "app/instancelock.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts a child that takes the lock and then waits to be killed.
pid_t startHolder(const std::string& lockPath) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const char held = acquireInstanceLock(lockPath) ? 'y' : 'n';
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

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstDies) {
    TempDir runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.path());
    const std::string path = instanceLockPath("明账小匣");
    EXPECT_EQ(path, runtime.path() + "/明账小匣.lock");

    const pid_t holder = startHolder(path);
    ASSERT_GT(holder, 0);
    EXPECT_FALSE(acquireInstanceLock(path));

    ::kill(holder, SIGKILL); // no chance to clean up: the kernel releases the lock
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(acquireInstanceLock(path));
}

} // namespace
