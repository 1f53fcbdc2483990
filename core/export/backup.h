#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"
#include "core/ledger/recordfile.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Backup files (".cct"): the record file's layout, in the 2.0 or the 1.x format, protected by the
// password of the user who exported them.

// What "导出设定" asks for: every record, the records of a date range, or those of one year.
struct BackupChoice {
    enum class Kind { All, Range, Year } kind = Kind::All;
    CalendarDate from{};
    CalendarDate to{};
    int year = 0;
};

// The records the choice takes, in ledger order.
std::vector<LedgerRecord> chosenRecords(const std::vector<LedgerRecord>& records, const BackupChoice& choice);

// The backup's bytes: the user's name and password and the chosen records, in the 1.x format when
// `formatVersion` is below 2.0.
std::string backupBytes(const Ledger& ledger, std::vector<LedgerRecord> records, double formatVersion);

struct BackupRead {
    enum class Status { Ok, WrongPassword, Damaged, Cancelled } status = Status::Ok;
    std::vector<LedgerRecord> records; // numbers normalised, as a load gives them
};

// Told how many bytes of how many were read; false cancels the reading.
using ReadProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Reads a backup with the password typed for it; the stored user name plays no part.
BackupRead readBackup(std::string_view bytes, const std::string& password, const ReadProgress& progress = {});

// Appends imported records, after clearing the ledger when asked, each with a fresh id so that
// every id stays distinct.
void appendImported(Ledger& ledger, std::vector<LedgerRecord> imported, bool clearFirst);
