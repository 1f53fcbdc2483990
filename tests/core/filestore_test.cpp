// The file layer: what it refuses to read, how a save replaces a file, and what a failed or killed
// save leaves behind.
#include "core/accounts/useraccounts.h"
#include "core/ledger/filestore.h"
#include "core/ledger/recordfile.h"
#include "tests/support/child.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Ledger ledgerAt(const std::string& path) {
    Ledger ledger;
    ledger.userName = "u";
    ledger.password = "pw";
    ledger.recordFilePath = path;
    ledger.records.push_back(LedgerRecord{.id = 1, .item = "tea", .amount = "3.00"});
    return ledger;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(FileStore, ReadersNeverWaitOnAFifoOrADevice) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() + "u.rec").c_str(), 0600), 0);
    dir.write("real.rec", std::string());
    // In a child with a deadline: a reader that waited for a writer would hang the test.
    const ChildEnd end = runInChild([&] {
        const bool refused = readFile(dir.path() + "u.rec").status == FileRead::Status::NotAFile &&
                             readFile("/dev/zero").status == FileRead::Status::NotAFile &&
                             readFile(dir.path()).status == FileRead::Status::NotAFile &&
                             checkCredentials(dir.path(), "u", "pw").status == ReadResult::Status::Unreadable;
        return refused ? 0 : 1;
    });
    EXPECT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
    EXPECT_EQ(listUsers(dir.path()), std::vector<std::string>{"real"}); // only regular record files
}

TEST(FileStore, ALedgerBehindALinkStaysALinkAndKeepsItsMode) {
    TempDir dir;
    ASSERT_TRUE(ensureDirectory(dir.path() + "Sync/") && ensureDirectory(dir.path() + "DataRec/"));
    const std::string synced = dir.path() + "Sync/u.rec";
    const std::string link = dir.path() + "DataRec/u.rec";
    ASSERT_TRUE(saveLedger(ledgerAt(synced)));
    ASSERT_EQ(::symlink("../Sync/u.rec", link.c_str()), 0);
    ASSERT_EQ(::chmod(synced.c_str(), 0640), 0);

    Ledger ledger = ledgerAt(link);
    ledger.records.push_back(LedgerRecord{.id = 2, .item = "milk", .amount = "5.00"});
    ASSERT_TRUE(saveLedger(ledger));
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)); // not replaced by a file of its own
    std::string written;
    serializeLedger(ledger, written, 2.0);
    EXPECT_EQ(dir.read("Sync/u.rec"), written);
    EXPECT_EQ(modeOf(synced), 0640u); // a replaced file keeps its mode
    EXPECT_FALSE(dir.exists("Sync/u.rec.saving"));

    // A new file is private.
    EXPECT_TRUE(writeFileAtomically(dir.path() + "new.txt", "x"));
    EXPECT_EQ(modeOf(dir.path() + "new.txt"), 0600u);
}

TEST(FileStore, WhatAKilledSaveLeftIsRemovedAndNeverWrittenThrough) {
    TempDir dir;
    const std::string path = dir.path() + "u.rec";
    dir.write("u.rec.saving", std::string(1000, 'x')); // a save killed half-way
    removeLeftoverTemporary(path);
    EXPECT_FALSE(dir.exists("u.rec.saving"));

    // Something planted at the temporary name is replaced, not written through.
    dir.write("victim", "keep");
    ASSERT_EQ(::symlink((dir.path() + "victim").c_str(), (path + ".saving").c_str()), 0);
    ASSERT_TRUE(saveLedger(ledgerAt(path)));
    EXPECT_EQ(dir.read("victim"), "keep");
    EXPECT_FALSE(dir.exists("u.rec.saving"));
}

TEST(FileStore, AFileSizeLimitFailsTheSaveInsteadOfEndingTheProgram) {
    TempDir dir;
    Ledger ledger = ledgerAt(dir.path() + "u.rec");
    ASSERT_TRUE(saveLedger(ledger));
    const std::string before = dir.read("u.rec");
    ledger.records.resize(2000, LedgerRecord{.id = 3, .item = "bread", .amount = "4.00"});
    const ChildEnd end = runInChild([&] {
        ignoreFileSizeLimitSignal();
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        return saveLedger(ledger) ? 1 : 0;
    });
    EXPECT_EQ(end.signal, 0) << "ended by signal " << end.signal;
    EXPECT_EQ(end.exitCode, 0); // the save failed and said so
    EXPECT_EQ(dir.read("u.rec"), before);
    EXPECT_FALSE(dir.exists("u.rec.saving"));
}

} // namespace
