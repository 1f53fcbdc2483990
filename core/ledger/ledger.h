#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Texts are GBK byte strings; paths are native (UTF-8) file system paths.

enum class RecordKind : std::int16_t {
    Expense = 1,  // 支出
    Income = 2,   // 收入
    Lent = 3,     // 借出
    Borrowed = 4, // 借入
};

struct LedgerRecord {
    std::int32_t id = 0;
    RecordKind kind = RecordKind::Expense;
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::string item{}; // item name, or the counterpart of a debt
    std::string quantity = "1.00";
    std::string amount = "0.00";
    std::string writtenOff = "0.00";
    std::string note{};

    bool operator==(const LedgerRecord&) const = default;
};

struct Ledger {
    std::string userName;
    std::string password;
    std::string programDir; // ends with '/'
    std::string dataDir;    // ends with '/'
    std::string recordFilePath;
    std::vector<LedgerRecord> records; // file order, never sorted
    bool autoSave = true;
};

// max(N + 1, largest id + 1), and 1 for an empty ledger.
std::int32_t nextRecordId(const Ledger& ledger);

// dataDir + user name + ".rec"; the user name (GBK) becomes a UTF-8 file name.
std::string recordFilePathFor(const std::string& dataDir, const std::string& userName);
