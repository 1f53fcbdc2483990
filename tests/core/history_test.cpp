#include "core/accounts/useraccounts.h"
#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/history.h"
#include "core/ledger/recordfile.h"
#include "core/pages/pagelists.h"
#include "tests/support/child.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A local time, as the history reads its ids.
std::time_t at(int year, int month, int day, int hour = 12, int minute = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(History, RetentionKeepsTheLastTwentyAndTheNewestOfEachDayAndMonth) {
    const std::time_t now = at(2026, 12, 10, 18);
    struct Case {
        const char* name;
        std::vector<std::time_t> saved;
        std::vector<bool> keep;
    };
    std::vector<std::time_t> today(25); // 25 saves today, the oldest first: the last 20 stay
    for (int i = 0; i < 25; ++i)
        today[static_cast<std::size_t>(i)] = at(2026, 12, 10, 9, i);
    std::vector<bool> lastTwenty(25, true);
    for (int i = 0; i < 5; ++i)
        lastTwenty[static_cast<std::size_t>(i)] = false;
    std::vector<std::time_t> days = today; // and two older days: each keeps its newest save only
    std::vector<bool> dayKeep = lastTwenty;
    for (const std::time_t t : {at(2026, 12, 1, 8), at(2026, 12, 1, 20), at(2026, 11, 11, 8), at(2026, 11, 11, 9)})
        days.push_back(t);
    for (const bool k : {false, true, false, true})
        dayKeep.push_back(k);
    const Case cases[] = {
        {"few_are_all_kept", {at(2026, 1, 1), at(2026, 12, 9)}, {true, true}},
        {"last_twenty_of_one_day", today, lastTwenty},
        {"newest_of_each_of_the_last_thirty_days", days, dayKeep},
        {"older_months_keep_their_newest",
         {at(2026, 3, 5), at(2026, 3, 20), at(2025, 12, 31), at(2025, 12, 1), at(2025, 11, 30)},
         {true, true, true, true, true}}, // fewer than 20: all of them
    };
    for (const Case& c : cases)
        EXPECT_EQ(versionsToKeep(c.saved, now), c.keep) << c.name;

    // Beyond the last twenty: a month keeps its newest, a month older than twelve keeps nothing.
    std::vector<std::time_t> many;
    for (int i = 0; i < 20; ++i)
        many.push_back(at(2026, 12, 10, 9, i));
    many.push_back(at(2026, 6, 3));
    many.push_back(at(2026, 6, 20));
    many.push_back(at(2026, 1, 15));  // eleven months back: the last of the twelve
    many.push_back(at(2025, 12, 20)); // twelve months back
    const std::vector<bool> kept = versionsToKeep(many, now);
    EXPECT_EQ(std::vector<bool>(kept.begin() + 20, kept.end()), (std::vector<bool>{false, true, true, false}));
}

Ledger ledgerAt(const std::string& path, int records) {
    Ledger ledger;
    ledger.userName = "u";
    ledger.password = "pw";
    ledger.recordFilePath = path;
    for (int i = 1; i <= records; ++i)
        ledger.records.push_back(LedgerRecord{.id = i, .item = "tea", .amount = "3.00"});
    return ledger;
}

TEST(History, EverySaveBecomesAVersionThatReadsBackByteForByte) {
    TempDir dir;
    const std::string path = dir.path() + "DataRec/u.rec";
    ASSERT_TRUE(ensureDirectory(dir.path() + "DataRec/"));
    std::vector<std::string> saved;
    {
        HistoryKeeper keeper;
        for (int n = 1; n <= 3; ++n) {
            ASSERT_TRUE(saveLedger(ledgerAt(path, n)));
            saved.push_back(dir.read("DataRec/u.rec"));
            keeper.saved(path);
        }
        keeper.finish();
    }
    EXPECT_EQ(historyDirectory(path), dir.path() + "DataRec/history/u/");
    const std::vector<HistoryVersion> versions = listVersions(path);
    ASSERT_EQ(versions.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) { // newest first
        const VersionContents contents = readVersion(versions[i]);
        ASSERT_TRUE(contents.ok()) << contents.problem;
        EXPECT_EQ(contents.bytes, saved[2 - i]);
        EXPECT_EQ(summarizeVersion(versions[i]).records, 3 - static_cast<std::int64_t>(i));
    }
    struct stat info {};
    ASSERT_EQ(::stat(historyDirectory(path).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(versions[0].path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_LT(versions[0].size, saved[2].size()); // compressed

    // Deleting the user takes the history along.
    EXPECT_TRUE(deleteUser(dir.path() + "DataRec/", "u"));
    EXPECT_FALSE(dir.exists("DataRec/history/u"));
}

TEST(History, ATornVersionIsListedAsDamagedAndAKilledOneIsCompletedLater) {
    TempDir dir;
    const std::string path = dir.path() + "u.rec";
    ASSERT_TRUE(saveLedger(ledgerAt(path, 50)));
    ASSERT_TRUE(addVersion(path, path, at(2026, 12, 1)));
    const HistoryVersion whole = listVersions(path).front();
    const std::string compressed = dir.read(whole.path.substr(dir.path().size()));
    std::string flipped = compressed;
    flipped.back() ^= 1; // the frame's checksum closes it
    struct Case {
        std::string bytes, problem; // the problem as the list of versions shows it
    };
    for (const Case& c : {Case{compressed.substr(0, compressed.size() / 2), gbkText("文件不完整")},
                          Case{flipped, gbkText("校验和不符")}}) {
        dir.write(whole.path.substr(dir.path().size()), c.bytes);
        const HistoryVersion torn = listVersions(path).front();
        EXPECT_EQ(summarizeVersion(torn).problem, c.problem);
        EXPECT_EQ(readVersion(torn).status, VersionContents::Status::Damaged);
        EXPECT_TRUE(readVersion(torn).bytes.empty());
    }

    // A run killed while it compressed: the keeper's link to the saved bytes is still there, and
    // the next start writes the version from it.
    const ChildEnd end = runInChild([&] {
        HistoryKeeper keeper;
        keeper.saved(path);
        ::raise(SIGKILL); // before the worker is done, or while it works
        return 0;
    });
    EXPECT_EQ(end.signal, SIGKILL);
    completePendingVersions(path);
    const std::vector<HistoryVersion> versions = listVersions(path);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(readVersion(versions.front()).bytes, dir.read("u.rec"));
    for (const std::string& name : {std::string(".pending-"), std::string(".saving")})
        for (const auto& entry : std::filesystem::directory_iterator(historyDirectory(path)))
            EXPECT_EQ(entry.path().filename().string().find(name), std::string::npos);
}

TEST(Undo, DeletionsComeBackWhereTheyWereWithEveryField) {
    std::vector<LedgerRecord> records;
    for (int i = 1; i <= 6; ++i)
        records.push_back(LedgerRecord{.id = i, .item = "r" + std::to_string(i), .note = "n\r\n"});
    const std::vector<LedgerRecord> before = records;
    ListTable byId;
    byId.hidden = HiddenNumber::Id;
    byId.rows = {{"5"}, {"2"}, {"4"}};
    const Deletion selected = deleteRowsById(records, byId, {0, 1, 2}); // rows in any order
    ListTable byPosition;
    byPosition.hidden = HiddenNumber::Position;
    byPosition.rows = {{"0"}, {"2"}};
    byPosition.rowKinds = {NO_KIND, NO_KIND};
    const std::optional<Deletion> day = deleteDayRow(records, byPosition, 1);
    ASSERT_TRUE(day);
    EXPECT_EQ(records.size(), 2u);
    undoDeletion(records, *day); // the last deletion first
    undoDeletion(records, selected);
    EXPECT_EQ(records, before);
}

} // namespace
