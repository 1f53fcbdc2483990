#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/recordfile.h"
#include "core/pages/listtable.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

// What the commands of mzledger share: their streams and exit status, the reading of a ledger
// with its password, and the one JSON form of every list view.

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1; // bad input, a damaged or unreadable file
inline constexpr int EXIT_WRONG_PASSWORD = 2;

struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    int status = EXIT_OK;
};

// Thrown for bad input; the message goes to standard error and the command exits with 1.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string toGbk(const std::string& utf8, const std::string& what);

// Reads a record or backup file. Like a backup import, only the password counts: the stored name
// is shown, not checked. Returns an exit status other than EXIT_OK after telling why.
int readLedgerFile(const std::string& file, const std::string& passwordUtf8, StoredHeader& header,
                   std::vector<LedgerRecord>& records, std::ostream& err);
std::string unreadable(const std::string& file, FileRead::Status status);

void writeOrThrow(const std::string& file, std::string_view bytes);

// What mzledger writes from a ledger (a report, a workbook, a restored version) never lands on a
// record file: not on the ledger it is made from, nor on any record file beside it, nor anywhere in
// the data directory of the program.
void refuseOverRecordFile(const std::string& out, const std::string& ledgerFile);

// A date option's text, which must be "YYYY-MM-DD" naming a real day.
CalendarDate dateFrom(const std::string& text, const std::string& option);

// The one form of every list view: the headers, every row's cells and the captioned values.
nlohmann::ordered_json listView(const ListTable& list);

// The commands, by what they serve.
void addFileCommands(CLI::App& app, CommandIo& io);   // dump, build, list-dump, list-build, history, restore
void addViewCommands(CLI::App& app, CommandIo& io);   // page, stats
void addExportCommands(CLI::App& app, CommandIo& io); // report, workbook
