// The program itself: one copy per data directory, however the previous copy ended.
#include "core/app/instancelock.h"
#include "tests/support/tempdir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool lockIsHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

class ProgramTest : public testing::Test {
protected:
    ProgramTest() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MINGZHANG_HOME"), QString::fromStdString(data.path()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (QProcess* process : {&first, &second, &third}) {
            // Each copy with a runtime directory of its own: they still meet at the data.
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtimes[process == &second].path()));
            process->setProcessEnvironment(env);
            process->setProgram(QStringLiteral(MINGZHANG_PATH));
        }
        lockPath = instanceLockPath(data.path() + "DataRec/");
    }
    ~ProgramTest() override {
        for (QProcess* process : {&first, &second, &third}) {
            process->kill();
            process->waitForFinished();
        }
    }
    bool waitForLock() {
        for (int i = 0; i < 200 && !lockIsHeld(lockPath); ++i)
            ::usleep(50'000);
        return lockIsHeld(lockPath);
    }
    TempDir runtimes[2];
    TempDir data;
    std::string lockPath;
    QProcess first, second, third;
};

TEST_F(ProgramTest, SecondCopyExitsQuietlyEvenAfterTheFirstWasKilled) {
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock()); // the first copy waits at its login

    second.start();
    ASSERT_TRUE(second.waitForFinished(10'000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill(); // SIGKILL: no clean-up of any kind
    first.waitForFinished();
    third.start();
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_FALSE(third.waitForFinished(1'500)); // it runs: the lock went with the killed copy
    EXPECT_TRUE(lockIsHeld(lockPath));
}

// A file-size limit makes a save fail with a message instead of ending the program: the running
// program ignores SIGXFSZ.
TEST_F(ProgramTest, TheRunningProgramIgnoresTheFileSizeSignal) {
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock());
    std::ifstream status("/proc/" + std::to_string(first.processId()) + "/status");
    std::string line;
    unsigned long long ignored = 0;
    while (std::getline(status, line))
        if (line.starts_with("SigIgn:"))
            ignored = std::stoull(line.substr(7), nullptr, 16);
    EXPECT_TRUE(ignored & (1ULL << (SIGXFSZ - 1)));
}

} // namespace
