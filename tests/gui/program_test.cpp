// The program itself: one copy per data directory, however the previous copy ended.
#include "core/app/instancelock.h"
#include "core/ledger/filestore.h"
#include "core/ledger/history.h"
#include "core/ledger/recordfile.h"
#include "gui/app/raiserequest.h"
#include "tests/support/tempdir.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
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

// SIGTERM at the login: nothing is loaded, so nothing is written, and the run ends at once.
TEST_F(ProgramTest, ASignalAtTheLoginEndsTheRunWritingNothing) {
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitForLock());
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(10'000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(data.exists("DataRec/history"));
}

// The end of a session saves what only a save would write, as a confirmed "X" does; a second
// signal while that save runs does not cut it short.
TEST_F(ProgramTest, TheEndOfTheSessionSavesAndASecondSignalWaitsForIt) {
    Ledger ledger;
    ledger.userName = "u";
    ledger.password = "pw";
    ledger.recordFilePath = data.path() + "DataRec/u.rec";
    for (int i = 1; i <= 60000; ++i) // a save of some tenths of a second
        ledger.records.push_back(
            LedgerRecord{.id = i, .item = "tea", .amount = "3.00", .note = "a note of some length"});
    ASSERT_TRUE(ensureDirectory(data.path() + "DataRec/"));
    ASSERT_TRUE(saveLedger(ledger));

    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QProcess program;
        QProcessEnvironment env = first.processEnvironment();
        env.insert(QStringLiteral("MZ_TEST_USER"), QStringLiteral("u"));
        env.insert(QStringLiteral("MZ_TEST_PASSWORD"), QStringLiteral("pw"));
        program.setProcessEnvironment(env);
        program.setProgram(QStringLiteral(SCRIPTED_PROGRAM_PATH));
        program.start();
        ASSERT_TRUE(program.waitForReadyRead(20'000)) << "signal " << signal;
        ASSERT_TRUE(program.readAllStandardOutput().startsWith("ready"));
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ::usleep(30'000);
        ::kill(static_cast<pid_t>(program.processId()), signal); // while the save runs
        ASSERT_TRUE(program.waitForFinished(20'000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "signal " << signal;
        EXPECT_EQ(program.exitCode(), 0);

        Ledger loaded;
        loaded.userName = "u";
        loaded.password = "pw";
        ASSERT_TRUE(serializeLedger(loaded, data.read("DataRec/u.rec")).ok()) << "signal " << signal;
        EXPECT_EQ(loaded.records.size(), ledger.records.size() - 1); // the deletion was saved
        ledger.records.pop_back();
    }
    EXPECT_FALSE(listVersions(data.path() + "DataRec/u.rec").empty());
}

// A second start asks the copy that runs to bring its window forward, then ends at once. Here
// the test is the copy that runs: it holds the lock and listens, as the program does.
TEST_F(ProgramTest, ASecondStartAsksTheRunningCopyToRaiseItsWindow) {
    const std::string dataDir = data.path() + "DataRec/";
    ASSERT_EQ(acquireInstanceLock(dataDir), InstanceLock::Acquired);
    RaiseListener listener(dataDir);
    ASSERT_TRUE(listener.listening());
    struct stat socket {};
    ASSERT_EQ(::stat(raiseSocketPath(dataDir).toStdString().c_str(), &socket), 0);
    EXPECT_EQ(socket.st_mode & 0077, 0u); // the owner's alone
    bool raised = false;
    QObject::connect(&listener, &RaiseListener::raiseRequested, [&raised] { raised = true; });

    second.start();
    for (int i = 0; i < 400 && !raised; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ::usleep(10'000);
    }
    EXPECT_TRUE(raised);
    // It may be gone already; waiting for a copy that ended is no error.
    if (second.state() != QProcess::NotRunning) {
        ASSERT_TRUE(second.waitForFinished(10'000));
    }
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

} // namespace
