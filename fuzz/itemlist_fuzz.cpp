// Feeds arbitrary bytes to the quick-input list readers: the binary list file and the default text file.
#include "core/ledger/itemlist.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ParsedItemList parsed = parseItemList(bytes);
    const ParsedItemList again = parseItemList(serializeItemList(parsed.entries));
    if (again.entries != parsed.entries || again.damaged)
        __builtin_trap(); // whatever was read must write back whole and read the same
    splitLines(bytes);
    return 0;
}
