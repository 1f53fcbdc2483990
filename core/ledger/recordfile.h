#pragma once

#include "core/ledger/filestore.h"
#include "core/ledger/ledger.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The record file (".rec", and the ".cct" backup file): an 8-byte version, the scrambled user name
// and password, the last index and the records. All integers little-endian, no padding.

inline constexpr double FORMAT_VERSION_CURRENT = 2009.0629; // the "2.0" format
inline constexpr double FORMAT_VERSION_LEGACY = 2007.1028;  // the "1.x" format, without quantity and written-off

struct ReadResult {
    enum class Status {
        Ok,
        WrongCredentials, // the stored name or password differs
        Damaged,          // the bytes end early or hold an impossible count
        Unreadable,       // the file cannot be opened or read
    };
    Status status = Status::Ok;
    std::size_t offset = 0; // where a damaged file stops making sense

    bool ok() const { return status == Status::Ok; }
};

struct StoredHeader {
    double version = FORMAT_VERSION_CURRENT;
    std::string userName;
    std::string password;
    std::int32_t recordKey = 0;
};

// Receives the bytes of a file being written, a chunk at a time; false stops the writing.
using ByteSink = std::function<bool(std::string_view chunk)>;

// Writing: the whole ledger, in the 2.0 format when formatVersion >= 2.0, else in the 1.x format.
// False when the sink refused a chunk.
bool serializeLedger(const Ledger& ledger, const ByteSink& sink, double formatVersion);
// The same, appended to a buffer.
void serializeLedger(const Ledger& ledger, std::string& out, double formatVersion);

// Reading: checks the stored name and password against the ledger's, then appends the records
// (ids 1..N, numbers normalised). On any failure the ledger is left as it was.
ReadResult serializeLedger(Ledger& ledger, ByteSource& source);
ReadResult serializeLedger(Ledger& ledger, std::string_view bytes);

// Reads the header only; the credentials are not checked.
ReadResult readStoredHeader(std::string_view bytes, StoredHeader& header);

// Reads the header and the number of records it announces, without reading the records.
ReadResult readStoredCount(std::string_view bytes, StoredHeader& header, std::int64_t& count);

// Reads the whole file, header and records, without checking any credentials.
ReadResult readStoredLedger(std::string_view bytes, StoredHeader& header, std::vector<LedgerRecord>& records);
ReadResult readStoredLedger(ByteSource& source, StoredHeader& header, std::vector<LedgerRecord>& records);

// Reads the header of dataDir + userName + ".rec" and compares the stored name and password.
ReadResult checkCredentials(const std::string& dataDir, const std::string& userName, const std::string& password);

// Rewrites ledger.recordFilePath whole, in the 2.0 format, replacing the old file only once the
// new one is safely on disk. False when the file cannot be written; the old file is then intact.
bool saveLedger(const Ledger& ledger, FileOps& ops = systemFileOps());
