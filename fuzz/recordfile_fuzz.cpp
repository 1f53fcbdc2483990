// Feeds arbitrary bytes to every reader of the record file format.
#include "ledger/recordfile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    readStoredLedger(bytes, header, records);

    // The login path: credentials taken from the file itself, so the body gets read too.
    Ledger ledger;
    if (readStoredHeader(bytes, header).ok()) {
        ledger.userName = header.userName;
        ledger.password = header.password;
    }
    const ReadResult result = serializeLedger(ledger, bytes);
    if (!result.ok() && !ledger.records.empty())
        __builtin_trap(); // a failed read must leave the ledger as it was
    return 0;
}
