#include "core/export/backup.h"

#include "core/stats/figures.h"

#include <algorithm>

std::vector<LedgerRecord> chosenRecords(const std::vector<LedgerRecord>& records, const BackupChoice& choice) {
    switch (choice.kind) {
    case BackupChoice::Kind::All:
        return records;
    case BackupChoice::Kind::Year: {
        std::vector<LedgerRecord> chosen;
        std::copy_if(records.begin(), records.end(), std::back_inserter(chosen),
                     [&](const LedgerRecord& r) { return r.year == choice.year; });
        return chosen;
    }
    case BackupChoice::Kind::Range:
        break;
    }
    const long long first = dayNumber(choice.from);
    const long long days = daysInPeriod(choice.from, choice.to);
    std::vector<LedgerRecord> chosen;
    std::copy_if(records.begin(), records.end(), std::back_inserter(chosen),
                 [&](const LedgerRecord& r) { return dayInPeriod(r, first, days).has_value(); });
    return chosen;
}

std::string backupBytes(const Ledger& ledger, std::vector<LedgerRecord> records, double formatVersion) {
    Ledger backup;
    backup.userName = ledger.userName;
    backup.password = ledger.password;
    backup.records = std::move(records);
    std::string bytes;
    serializeLedger(backup, bytes, formatVersion);
    return bytes;
}

namespace {

// The backup's bytes, telling the progress as the reader takes them, and ending early when told to.
class ProgressSource final : public ByteSource {
public:
    ProgressSource(std::string_view bytes, const ReadProgress& progress) : m_bytes(bytes), m_progress(progress) {}
    std::size_t size() const override { return m_bytes.size(); }
    std::size_t read(char* into, std::size_t max) override {
        if (m_cancelled || (m_progress && !m_progress(m_done, m_bytes.size()))) {
            m_cancelled = true;
            return 0;
        }
        const std::size_t n = std::min(max, m_bytes.size() - m_done);
        m_bytes.copy(into, n, m_done);
        m_done += n;
        return n;
    }
    bool cancelled() const { return m_cancelled; }

private:
    std::string_view m_bytes;
    const ReadProgress& m_progress;
    std::size_t m_done = 0;
    bool m_cancelled = false;
};

} // namespace

BackupRead readBackup(std::string_view bytes, const std::string& password, const ReadProgress& progress) {
    BackupRead read;
    StoredHeader header;
    if (!readStoredHeader(bytes, header).ok()) {
        read.status = BackupRead::Status::Damaged;
        return read;
    }
    if (header.password != password) {
        read.status = BackupRead::Status::WrongPassword;
        return read;
    }
    ProgressSource source(bytes, progress);
    if (!readStoredLedger(source, header, read.records).ok()) {
        read.status = source.cancelled() ? BackupRead::Status::Cancelled : BackupRead::Status::Damaged;
        read.records.clear();
    }
    return read;
}

void appendImported(Ledger& ledger, std::vector<LedgerRecord> imported, bool clearFirst) {
    if (clearFirst)
        ledger.records.clear();
    // nextRecordId, taken once: it rises by one with every record appended (and wraps as 32-bit
    // ids do).
    auto id = static_cast<std::uint32_t>(nextRecordId(ledger));
    ledger.records.reserve(ledger.records.size() + imported.size());
    for (LedgerRecord& record : imported) {
        record.id = static_cast<std::int32_t>(id++);
        ledger.records.push_back(std::move(record));
    }
}
