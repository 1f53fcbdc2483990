#include "core/export/backup.h"
#include "core/ledger/gbk.h"

#include <gtest/gtest.h>

#include <set>

namespace {

LedgerRecord record(std::int32_t id, RecordKind kind, CalendarDate date, const char* quantity, const char* amount) {
    LedgerRecord r;
    r.id = id;
    r.kind = kind;
    r.year = date.year;
    r.month = date.month;
    r.day = date.day;
    r.item = gbkText("可乐");
    r.quantity = quantity;
    r.amount = amount;
    r.writtenOff = kind == RecordKind::Lent ? "20.00" : "0.00";
    r.note = gbkText("备注");
    return r;
}

Ledger ledgerOf(const char* password, std::vector<LedgerRecord> records) {
    Ledger ledger;
    ledger.userName = "alice";
    ledger.password = password;
    ledger.records = std::move(records);
    return ledger;
}

TEST(Backup, RoundTripsInBothLayoutsWithThePasswordOnly) {
    const Ledger alice = ledgerOf("pw", {record(7, RecordKind::Expense, {2008, 3, 1}, "3.00", "2.50"),
                                         record(9, RecordKind::Lent, {2009, 1, 2}, "1.00", "50.00")});
    const std::string current = backupBytes(alice, alice.records, 2.0);
    EXPECT_EQ(readBackup(current, "PW").status, BackupRead::Status::WrongPassword);
    const BackupRead read = readBackup(current, "pw");
    ASSERT_EQ(read.status, BackupRead::Status::Ok);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].quantity, "3.00");
    EXPECT_EQ(read.records[1].writtenOff, "20.00");

    const BackupRead legacy = readBackup(backupBytes(alice, alice.records, 1.0), "pw");
    ASSERT_EQ(legacy.status, BackupRead::Status::Ok);
    EXPECT_EQ(legacy.records[0].quantity, "1.00"); // the 1.x layout has no quantity: 3 × 2.50 becomes 2.50
    EXPECT_EQ(legacy.records[1].writtenOff, "0.00");

    // Cut short or broken after a right password: reported, nothing read.
    for (const std::size_t cut : {current.size() - 1, current.size() / 2}) {
        const BackupRead damaged = readBackup(std::string_view(current).substr(0, cut), "pw");
        EXPECT_EQ(damaged.status, BackupRead::Status::Damaged) << cut;
        EXPECT_TRUE(damaged.records.empty());
    }
    EXPECT_EQ(readBackup("xyz", "pw").status, BackupRead::Status::Damaged);

    // Cancelled while reading: nothing read.
    const BackupRead cancelled = readBackup(current, "pw", [](std::size_t, std::size_t) { return false; });
    EXPECT_EQ(cancelled.status, BackupRead::Status::Cancelled);
    EXPECT_TRUE(cancelled.records.empty());
}

TEST(Backup, ExportTakesTheChosenRecords) {
    const std::vector<LedgerRecord> records = {record(1, RecordKind::Expense, {2008, 3, 1}, "1", "1"),
                                               record(2, RecordKind::Income, {2009, 1, 2}, "1", "1"),
                                               record(3, RecordKind::Expense, {2008, 12, 31}, "1", "1")};
    BackupChoice choice;
    EXPECT_EQ(chosenRecords(records, choice).size(), 3u);
    choice.kind = BackupChoice::Kind::Year;
    choice.year = 2008;
    EXPECT_EQ(chosenRecords(records, choice).size(), 2u);
    choice.kind = BackupChoice::Kind::Range;
    choice.from = {2008, 12, 31};
    choice.to = {2009, 1, 2};
    const std::vector<LedgerRecord> range = chosenRecords(records, choice);
    ASSERT_EQ(range.size(), 2u);
    EXPECT_EQ(range[0].id, 2); // ledger order
}

TEST(Backup, ImportAppendsWithFreshIdsOrReplaces) {
    Ledger bob = ledgerOf("bobpw", {record(1, RecordKind::Expense, {2020, 1, 1}, "1", "1"),
                                    record(5, RecordKind::Income, {2020, 1, 2}, "1", "1")});
    const Ledger alice = ledgerOf("pw", {record(1, RecordKind::Expense, {2008, 3, 1}, "1", "9"),
                                         record(2, RecordKind::Lent, {2009, 1, 2}, "1", "50")});
    const BackupRead read = readBackup(backupBytes(alice, alice.records, 2.0), "pw");
    appendImported(bob, read.records, false);
    appendImported(bob, read.records, false); // twice: every record doubled
    ASSERT_EQ(bob.records.size(), 6u);
    std::set<std::int32_t> ids;
    for (const LedgerRecord& r : bob.records)
        ids.insert(r.id);
    EXPECT_EQ(ids.size(), 6u);
    EXPECT_EQ(bob.records[2].id, 6);
    EXPECT_EQ(bob.password, "bobpw");

    appendImported(bob, read.records, true);
    ASSERT_EQ(bob.records.size(), 2u);
    EXPECT_EQ(bob.records[0].amount, "9.00");
    appendImported(bob, {}, true); // an empty backup with clearing leaves an empty ledger
    EXPECT_TRUE(bob.records.empty());
}

} // namespace
