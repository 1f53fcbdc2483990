// Feeds arbitrary bytes to the quick-input list readers: the binary list file and the default text file.
#include "core/ledger/itemlist.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ItemList list = parseItemList(bytes);
    if (parseItemList(serializeItemList(list)) != list)
        __builtin_trap(); // whatever was read must write back and read the same
    splitLines(bytes);
    return 0;
}
