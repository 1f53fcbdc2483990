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

BackupRead readBackup(std::string_view bytes, const std::string& password) {
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
    if (!readStoredLedger(bytes, header, read.records).ok()) {
        read.status = BackupRead::Status::Damaged;
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
