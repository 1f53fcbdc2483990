#include "core/ledger/ledger.h"

#include "core/ledger/gbk.h"

std::int32_t nextRecordId(const Ledger& ledger) {
    if (ledger.records.empty())
        return 1;
    auto next = static_cast<std::int64_t>(ledger.records.size()) + 1;
    for (const LedgerRecord& record : ledger.records)
        if (std::int64_t{record.id} + 1 >= next)
            next = std::int64_t{record.id} + 1;
    return static_cast<std::int32_t>(next);
}

std::string recordFilePathFor(const std::string& dataDir, const std::string& userName) {
    return dataDir + gbkToFileName(userName) + ".rec";
}
