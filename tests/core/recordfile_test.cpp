#include "core/ledger/recordfile.h"
#include "core/ledger/scrambler.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace {

// Assembles a record file field by field from the layout, independent of serializeLedger.
class FileBuilder {
public:
    template <typename T> FileBuilder& put(T value) {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.append(raw, sizeof(T));
        return *this;
    }
    FileBuilder& text(const std::string& plain, std::int32_t key, std::int32_t* letterSum = nullptr) {
        const std::string letters = scrambleText(plain, key, 3);
        put(static_cast<std::int32_t>(letters.size()));
        for (const char letter : letters) {
            put(static_cast<std::int32_t>(letter));
            if (letterSum)
                *letterSum += letter;
        }
        return *this;
    }
    std::string bytes;
};

struct FixtureRecord {
    std::int32_t id;
    std::int16_t kind;
    std::int32_t year, month, day;
    std::string item, quantity, amount, writtenOff, note;
};

const std::vector<FixtureRecord> FIXTURE = {
    {7, 1, 2026, 12, 9, "\xd4\xe7\xb7\xb9", "1.00", "12.50", "0.00", ""},
    {3, 3, 2025, 1, 31, "\xc0\xcf\xc2\xe8", "2.00", "300.00", "100.00", "12.5"},
    {9, 2, 2008, 2, 29, "salary", "1.00", "-5.25", "0.00", "\xb1\xb8\xd7\xa2"},
};

std::string fixtureFile(double version, const std::string& name, const std::string& password) {
    const bool allFields = version > FORMAT_VERSION_LEGACY;
    FileBuilder file;
    std::int32_t key = 0;
    file.put(version).text(name, HEADER_KEY, &key).text(password, HEADER_KEY, &key);
    file.put(static_cast<std::int32_t>(FIXTURE.size()) - 1);
    for (const FixtureRecord& r : FIXTURE) {
        file.put(r.id).put(r.kind).put(r.year).put(r.month).put(r.day).text(r.item, key);
        if (allFields)
            file.text(r.quantity, key);
        file.text(r.amount, key);
        if (allFields)
            file.text(r.writtenOff, key);
        file.text(r.note, key);
    }
    return file.bytes;
}

Ledger fixtureLedger() {
    Ledger ledger;
    ledger.userName = "E\xd5\xc5\xc8\xfd"; // starts with "E": a zero byte in the first pass
    ledger.password = "Secret16";
    for (const FixtureRecord& r : FIXTURE)
        ledger.records.push_back({r.id, static_cast<RecordKind>(r.kind), r.year, r.month, r.day, r.item, r.quantity,
                                  r.amount, r.writtenOff, r.note});
    return ledger;
}

Ledger emptyLedgerFor(const Ledger& source) {
    Ledger ledger;
    ledger.userName = source.userName;
    ledger.password = source.password;
    return ledger;
}

TEST(RecordFile, WritesBothLayoutsByteForByte) {
    const Ledger ledger = fixtureLedger();
    for (const auto& [requested, stored] :
         {std::pair{2.0, FORMAT_VERSION_CURRENT}, std::pair{3.5, FORMAT_VERSION_CURRENT},
          std::pair{1.0, FORMAT_VERSION_LEGACY}, std::pair{1.99, FORMAT_VERSION_LEGACY}}) {
        std::string bytes;
        serializeLedger(ledger, bytes, requested);
        EXPECT_EQ(bytes, fixtureFile(stored, ledger.userName, ledger.password)) << "format " << requested;
    }
}

TEST(RecordFile, ReadsCurrentLayoutWithRenumberedIdsAndNormalisedNumbers) {
    const Ledger source = fixtureLedger();
    Ledger ledger = emptyLedgerFor(source);
    ASSERT_TRUE(serializeLedger(ledger, fixtureFile(FORMAT_VERSION_CURRENT, source.userName, source.password)).ok());
    ASSERT_EQ(ledger.records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(ledger.records[i].id, static_cast<std::int32_t>(i + 1)); // stored 7, 3, 9
    EXPECT_EQ(ledger.records[0].item, "\xd4\xe7\xb7\xb9");
    EXPECT_EQ(ledger.records[1].kind, RecordKind::Lent);
    EXPECT_EQ(ledger.records[1].writtenOff, "100.00");
    EXPECT_EQ(ledger.records[1].note, "12.5"); // notes are not numbers
    EXPECT_EQ(ledger.records[2].amount, "-5.25");
    EXPECT_EQ(ledger.records[2].year, 2008);
}

TEST(RecordFile, LegacyLayoutGetsDefaultQuantityAndWriteOff) {
    const Ledger source = fixtureLedger();
    Ledger ledger = emptyLedgerFor(source);
    ASSERT_TRUE(serializeLedger(ledger, fixtureFile(FORMAT_VERSION_LEGACY, source.userName, source.password)).ok());
    ASSERT_EQ(ledger.records.size(), 3u);
    EXPECT_EQ(ledger.records[1].quantity, "1.00");
    EXPECT_EQ(ledger.records[1].writtenOff, "0.00");
    EXPECT_EQ(ledger.records[1].amount, "300.00");
}

TEST(RecordFile, NumbersAreNormalisedOnLoad) {
    Ledger source = emptyLedgerFor(fixtureLedger());
    source.records.push_back({1, RecordKind::Income, 2026, 1, 1, "x", "3", "12.5", "abc", "12.5"});
    std::string bytes;
    serializeLedger(source, bytes, 2.0);
    Ledger ledger = emptyLedgerFor(source);
    ASSERT_TRUE(serializeLedger(ledger, bytes).ok());
    EXPECT_EQ(ledger.records[0].quantity, "3.00");
    EXPECT_EQ(ledger.records[0].amount, "12.50");
    EXPECT_EQ(ledger.records[0].writtenOff, "0.00");
    EXPECT_EQ(ledger.records[0].note, "12.5");
}

TEST(RecordFile, EmptyLedgerIsHeaderAndMinusOne) {
    Ledger ledger = emptyLedgerFor(fixtureLedger());
    std::string bytes;
    serializeLedger(ledger, bytes, 2.0);
    std::int32_t last = 0;
    std::memcpy(&last, bytes.data() + bytes.size() - 4, 4);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(bytes.size(), 8 + (4 + 32 * ledger.userName.size()) + (4 + 32 * ledger.password.size()) + 4);
    ASSERT_TRUE(serializeLedger(ledger, bytes).ok());
    EXPECT_TRUE(ledger.records.empty());
}

TEST(RecordFile, ReadingAppendsToRecordsAlreadyHeld) {
    const Ledger source = fixtureLedger();
    Ledger ledger = emptyLedgerFor(source);
    const std::string bytes = fixtureFile(FORMAT_VERSION_CURRENT, source.userName, source.password);
    ASSERT_TRUE(serializeLedger(ledger, bytes).ok());
    ASSERT_TRUE(serializeLedger(ledger, bytes).ok());
    ASSERT_EQ(ledger.records.size(), 6u);
    EXPECT_EQ(ledger.records[3].id, 1);
}

TEST(RecordFile, WrongNameOrPasswordLeavesRecordsAlone) {
    const Ledger source = fixtureLedger();
    const std::string bytes = fixtureFile(FORMAT_VERSION_CURRENT, source.userName, source.password);
    const std::pair<std::string, std::string> wrong[] = {
        {"e\xd5\xc5\xc8\xfd", source.password}, // name differs in letter case
        {source.userName, "secret16"},
        {source.userName, ""},
    };
    for (const auto& [name, password] : wrong) {
        Ledger ledger;
        ledger.userName = name;
        ledger.password = password;
        ledger.records.push_back({});
        EXPECT_EQ(serializeLedger(ledger, bytes).status, ReadResult::Status::WrongCredentials);
        EXPECT_EQ(ledger.records.size(), 1u);
    }
}

TEST(RecordFile, EveryTruncationIsReportedAndChangesNothing) {
    const Ledger source = fixtureLedger();
    const std::string bytes = fixtureFile(FORMAT_VERSION_CURRENT, source.userName, source.password);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        Ledger ledger = emptyLedgerFor(source);
        const ReadResult result = serializeLedger(ledger, std::string_view(bytes).substr(0, size));
        ASSERT_EQ(result.status, ReadResult::Status::Damaged) << "cut at " << size;
        ASSERT_LE(result.offset, size);
        ASSERT_TRUE(ledger.records.empty());
    }
}

TEST(RecordFile, ImpossibleCountsAreReportedBeforeAnythingIsAllocated) {
    const Ledger source = emptyLedgerFor(fixtureLedger());
    std::string header;
    serializeLedger(source, header, 2.0);
    header.resize(header.size() - 4); // drop the last index
    const std::int32_t lastIndexes[] = {0x7fffffff, 1000000};
    for (const std::int32_t last : lastIndexes) {
        FileBuilder file;
        file.bytes = header;
        file.put(last).put(std::int32_t{1}).put(std::int16_t{1});
        Ledger ledger = emptyLedgerFor(source);
        EXPECT_EQ(serializeLedger(ledger, file.bytes).status, ReadResult::Status::Damaged);
    }
    FileBuilder hugeName;
    hugeName.put(FORMAT_VERSION_CURRENT).put(std::int32_t{0x7fffffff});
    Ledger ledger;
    EXPECT_EQ(serializeLedger(ledger, hugeName.bytes).status, ReadResult::Status::Damaged);
    FileBuilder negative;
    negative.put(FORMAT_VERSION_CURRENT).put(std::int32_t{-3});
    EXPECT_EQ(serializeLedger(ledger, negative.bytes).status, ReadResult::Status::Damaged);
}

TEST(RecordFile, NegativeLastIndexMeansNoRecords) {
    Ledger ledger = emptyLedgerFor(fixtureLedger());
    std::string bytes;
    serializeLedger(ledger, bytes, 2.0);
    const std::int32_t minusFive = -5;
    std::memcpy(bytes.data() + bytes.size() - 4, &minusFive, 4);
    ASSERT_TRUE(serializeLedger(ledger, bytes).ok());
    EXPECT_TRUE(ledger.records.empty());
}

TEST(RecordFile, NextRecordId) {
    struct Case {
        std::vector<std::int32_t> ids;
        std::int32_t next;
    };
    const Case cases[] = {{{}, 1}, {{1, 2}, 3}, {{1, 2, 5}, 6}, {{9, 1}, 10}, {{-4, -2}, 3}, {{3, 3, 3, 3}, 5}};
    for (const Case& c : cases) {
        Ledger ledger;
        for (const std::int32_t id : c.ids)
            ledger.records.push_back(LedgerRecord{.id = id});
        EXPECT_EQ(nextRecordId(ledger), c.next);
    }
}

TEST(RecordFile, CheckCredentialsReadsTheUsersFile) {
    TempDir dir;
    Ledger ledger = fixtureLedger();
    ledger.recordFilePath = recordFilePathFor(dir.path(), ledger.userName);
    ASSERT_TRUE(saveLedger(ledger));
    EXPECT_TRUE(checkCredentials(dir.path(), ledger.userName, ledger.password).ok());
    EXPECT_EQ(checkCredentials(dir.path(), ledger.userName, "Secret1").status, ReadResult::Status::WrongCredentials);
    EXPECT_EQ(checkCredentials(dir.path(), "nobody", "x").status, ReadResult::Status::Unreadable);

    // A file renamed on disk no longer logs in under its new name.
    const std::string renamed = recordFilePathFor(dir.path(), "other");
    ASSERT_EQ(::rename(ledger.recordFilePath.c_str(), renamed.c_str()), 0);
    EXPECT_EQ(checkCredentials(dir.path(), "other", ledger.password).status, ReadResult::Status::WrongCredentials);

    dir.write("cut.rec", std::string("\x01\x02\x03", 3));
    EXPECT_EQ(checkCredentials(dir.path(), "cut", "x").status, ReadResult::Status::Damaged);
}

TEST(RecordFile, LargeFilesReadThroughTheWindowFromDisk) {
    TempDir dir;
    Ledger ledger = emptyLedgerFor(fixtureLedger());
    ledger.recordFilePath = dir.path() + "big.rec";
    for (std::int32_t i = 1; i <= 3000; ++i)
        ledger.records.push_back(LedgerRecord{.id = i, .item = "item" + std::to_string(i), .amount = "1.50"});
    ledger.records[1500].note = std::string(40000, 'n'); // one text larger than the read window
    ASSERT_TRUE(saveLedger(ledger));

    Ledger loaded = emptyLedgerFor(ledger);
    FileSource file(ledger.recordFilePath);
    ASSERT_TRUE(serializeLedger(loaded, file).ok());
    EXPECT_EQ(loaded.records, ledger.records);

    const std::string bytes = dir.read("big.rec");
    dir.write("cut.rec", bytes.substr(0, bytes.size() - 1));
    Ledger cut = emptyLedgerFor(ledger);
    FileSource cutFile(dir.path() + "cut.rec");
    const ReadResult result = serializeLedger(cut, cutFile);
    EXPECT_EQ(result.status, ReadResult::Status::Damaged);
    EXPECT_TRUE(cut.records.empty());
}

// Hands out its bytes in order only, so the reader reads them with one reader on one core.
class InOrderSource final : public ByteSource {
public:
    explicit InOrderSource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t size() const override { return m_bytes.size(); }
    std::size_t read(char* into, std::size_t max) override { return m_inner.read(into, max); }

private:
    std::string_view m_bytes;
    BufferSource m_inner{m_bytes};
};

// A file large enough to be read by two readers at once, with damage and oddities in either half:
// whatever it holds, two readers must give exactly what one reader gives.
TEST(RecordFile, TwoReadersGiveWhatOneReaderGives) {
    const auto largeLedger = [](std::int16_t kindNearTheMiddle, std::size_t longNote = 0) {
        Ledger ledger = emptyLedgerFor(fixtureLedger());
        for (std::int32_t i = 1; i <= 4000; ++i) {
            const bool middle = i > 1800 && i < 2600;
            ledger.records.push_back(
                LedgerRecord{.id = i,
                             .kind = static_cast<RecordKind>(middle ? kindNearTheMiddle : 1 + i % 4),
                             .year = 2026,
                             .month = 1 + i % 12,
                             .day = 1 + i % 28,
                             .item = i % 3 == 0 ? "\xd4\xe7\xb7\xb9" : "item" + std::to_string(i % 7),
                             .quantity = i % 5 == 0 ? "2.00" : "1.00",
                             .amount = std::to_string(i) + ".25",
                             .note = std::string(static_cast<std::size_t>(i % 40), static_cast<char>('a' + i % 26))});
        }
        ledger.records[2000].note = std::string(longNote, 'n');
        std::string bytes;
        serializeLedger(ledger, bytes, 2.0);
        return std::pair{ledger, bytes};
    };
    const auto [ledger, bytes] = largeLedger(2);
    ASSERT_GT(bytes.size(), std::size_t{4} << 20);
    std::string legacy;
    serializeLedger(ledger, legacy, 1.0);
    const std::size_t lastIndexAt = 8 + 4 + 8 * 4 * ledger.userName.size() + 4 + 8 * 4 * ledger.password.size();
    const auto withCount = [&](std::string file, std::size_t at, std::int32_t count) {
        std::memcpy(file.data() + at, &count, 4);
        return file;
    };
    // Where the record of `index`, or the first one to start at or after `from`, starts.
    const auto recordAt = [&](const std::string& file, std::size_t index, std::size_t from = 0) {
        std::size_t at = lastIndexAt + 4;
        for (std::size_t i = 0; i < index || at < from; ++i) {
            at += 18;
            for (int t = 0; t < 5; ++t) {
                std::int32_t count = 0;
                std::memcpy(&count, file.data() + at, 4);
                at += 4 + 4 * static_cast<std::size_t>(count);
            }
        }
        return at;
    };
    const auto recordCountNear = [&](std::size_t from) { return recordAt(bytes, 0, from) + 18; };
    // A long note across the middle of the file whose letters are made to look like records.
    std::string lookalike = largeLedger(2, 120000).second;
    {
        FileBuilder fake;
        for (int record = 0; record < 2; ++record) {
            fake.put(std::int32_t{1})
                .put(std::int16_t{1})
                .put(std::int32_t{2026})
                .put(std::int32_t{1})
                .put(std::int32_t{1});
            for (int t = 0; t < 5; ++t)
                fake.text("x", 7);
        }
        std::size_t noteAt = recordAt(lookalike, 2000) + 18;
        for (int t = 0; t < 4; ++t) {
            std::int32_t count = 0;
            std::memcpy(&count, lookalike.data() + noteAt, 4);
            noteAt += 4 + 4 * static_cast<std::size_t>(count);
        }
        for (std::size_t at = noteAt + 4; at + fake.bytes.size() < noteAt + 4 + 4 * 8 * 120000; at += fake.bytes.size())
            lookalike.replace(at, fake.bytes.size(), fake.bytes);
    }
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"whole", bytes},
        {"legacy_layout", legacy},
        {"bytes_after_the_last_record", bytes + std::string(5000, 'Z')},
        {"fewer_records_announced", withCount(bytes, lastIndexAt, 3499)},
        {"more_records_announced", withCount(bytes, lastIndexAt, 4000)},
        {"damage_in_the_first_half", withCount(bytes, recordCountNear(bytes.size() / 4), 1 << 28)},
        {"damage_in_the_second_half", withCount(bytes, recordCountNear(bytes.size() * 3 / 4), -8)},
        {"cut_in_the_second_half", bytes.substr(0, bytes.size() * 4 / 5)},
        {"odd_kinds_where_the_second_reader_starts", largeLedger(9).second},
        {"odd_kinds_everywhere_near_the_middle", largeLedger(0).second},
        {"letters_that_look_like_records_where_the_second_reader_starts", lookalike},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ledger oneReader = emptyLedgerFor(ledger);
        InOrderSource inOrder(c.file);
        const ReadResult one = serializeLedger(oneReader, inOrder);
        Ledger twoReaders = emptyLedgerFor(ledger);
        const ReadResult two = serializeLedger(twoReaders, c.file);
        EXPECT_EQ(two.status, one.status);
        EXPECT_EQ(two.offset, one.offset);
        EXPECT_EQ(twoReaders.records, oneReader.records);
    }
    Ledger loaded = emptyLedgerFor(ledger);
    ASSERT_TRUE(serializeLedger(loaded, bytes).ok());
    EXPECT_EQ(loaded.records, ledger.records);
}

// Fails the n-th system call of a save and counts the calls.
class FailingFileOps : public FileOps {
public:
    explicit FailingFileOps(int failAt) : m_failAt(failAt) {}
    int calls = 0;
    int open(const char* path, int flags, mode_t mode) override {
        return next() ? FileOps::open(path, flags, mode) : -1;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        // Short writes first, so the retry loop is exercised too.
        return next() ? FileOps::write(fd, data, std::min<size_t>(size, 1000)) : -1;
    }
    int fsync(int fd) override { return next() ? FileOps::fsync(fd) : -1; }
    int close(int fd) override {
        const int rc = FileOps::close(fd);
        return next() ? rc : -1;
    }
    int rename(const char* from, const char* to) override { return next() ? FileOps::rename(from, to) : -1; }

private:
    bool next() { return ++calls != m_failAt; }
    int m_failAt;
};

TEST(SaveLedger, AFailureAtAnyStepLeavesTheOldFileWhole) {
    TempDir dir;
    Ledger ledger = fixtureLedger();
    ledger.recordFilePath = dir.path() + "user.rec";
    ASSERT_TRUE(saveLedger(ledger));
    const std::string before = dir.read("user.rec");
    ledger.records.push_back(LedgerRecord{.id = 4, .item = "new", .amount = "1.00"});

    FailingFileOps counting(0);
    ASSERT_TRUE(saveLedger(ledger, counting));
    const std::string after = dir.read("user.rec");
    ASSERT_NE(before, after);
    dir.write("user.rec", before);

    // Every call before the rename is completed may fail; the directory flush after it may not matter.
    for (int failAt = 1; failAt <= counting.calls; ++failAt) {
        FailingFileOps ops(failAt);
        const bool saved = saveLedger(ledger, ops);
        const std::string now = dir.read("user.rec");
        if (saved) {
            EXPECT_EQ(now, after) << "step " << failAt;
            dir.write("user.rec", before);
        } else {
            EXPECT_EQ(now, before) << "step " << failAt;
        }
        EXPECT_FALSE(dir.exists("user.rec.saving")) << "step " << failAt;
    }
}

TEST(SaveLedger, RecordFileIsPrivate) {
    TempDir dir;
    Ledger ledger = fixtureLedger();
    ledger.recordFilePath = dir.path() + "user.rec";
    ASSERT_TRUE(saveLedger(ledger));
    struct stat info {};
    ASSERT_EQ(::stat(ledger.recordFilePath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ledger.recordFilePath = dir.path() + "missing/user.rec";
    EXPECT_FALSE(saveLedger(ledger));
}

} // namespace
