// Feeds arbitrary bytes to the backup reader, with the password the file names and with a wrong
// one, reading it whole and cancelling part way.
#include "core/export/backup.h"

#include <cstdint>
#include <string_view>

namespace {

void check(const BackupRead& read) {
    if (read.status != BackupRead::Status::Ok && !read.records.empty())
        __builtin_trap(); // a refused backup imports nothing
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    StoredHeader header;
    const std::string password = readStoredHeader(bytes, header).ok() ? header.password : "pw";

    const BackupRead whole = readBackup(bytes, password);
    check(whole);
    check(readBackup(bytes, password + "x"));

    int calls = 0;
    const BackupRead cancelled = readBackup(bytes, password, [&](std::size_t done, std::size_t total) {
        if (done > total)
            __builtin_trap();
        return ++calls < 2;
    });
    check(cancelled);
    if (cancelled.status == BackupRead::Status::Ok && cancelled.records != whole.records)
        __builtin_trap();

    if (whole.status == BackupRead::Status::Ok) {
        Ledger ledger;
        ledger.records = whole.records;
        appendImported(ledger, whole.records, false);
        if (ledger.records.size() != 2 * whole.records.size())
            __builtin_trap();
    }
    return 0;
}
