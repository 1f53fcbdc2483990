#include "core/ledger/itemlist.h"

#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/scrambler.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int LIST_PASSES = 2;

struct ListFiles {
    ItemListKind kind;
    const char* userSuffix;
    const char* defaultFile;
};

constexpr ListFiles LIST_FILES[] = {
    {ItemListKind::ExpenseItems, ".lio", "OutDefs.txt"},
    {ItemListKind::IncomeItems, ".lii", "InDefs.txt"},
    {ItemListKind::Counterparts, ".dio", "DeptDefs.txt"},
};

const ListFiles& filesOf(ItemListKind kind) {
    for (const ListFiles& files : LIST_FILES)
        if (files.kind == kind)
            return files;
    return LIST_FILES[0];
}

void putInt(std::string& out, std::int32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

bool takeInt(std::string_view& bytes, std::int32_t& value) {
    if (bytes.size() < 4)
        return false;
    std::memcpy(&value, bytes.data(), 4);
    bytes.remove_prefix(4);
    return true;
}

} // namespace

std::string itemListPath(const Ledger& ledger, ItemListKind kind) {
    return ledger.dataDir + gbkToFileName(ledger.userName) + filesOf(kind).userSuffix;
}

std::string defaultListPath(const Ledger& ledger, ItemListKind kind) {
    return ledger.programDir + filesOf(kind).defaultFile;
}

std::string takeLine(std::string& text) {
    std::size_t end = text.find("\r\n");
    std::size_t breakLength = 2;
    if (end == std::string::npos) {
        end = text.find('\n');
        breakLength = 1;
    }
    if (end == std::string::npos) {
        std::string line = std::move(text);
        text.clear();
        return line;
    }
    std::string line = text.substr(0, end);
    text.erase(0, end + breakLength);
    return line;
}

ItemList splitLines(std::string text) {
    ItemList lines;
    while (!text.empty())
        lines.push_back(takeLine(text));
    return lines;
}

std::string serializeItemList(const ItemList& list) {
    std::string out;
    putInt(out, static_cast<std::int32_t>(list.size()));
    for (const std::string& entry : list) {
        const std::string letters = scrambleText(entry, LIST_KEY, LIST_PASSES);
        putInt(out, static_cast<std::int32_t>(letters.size()));
        for (const char letter : letters)
            putInt(out, static_cast<signed char>(letter));
    }
    return out;
}

ParsedItemList parseItemList(std::string_view bytes) {
    ParsedItemList parsed;
    if (bytes.empty())
        return parsed;
    std::int32_t count = 0;
    // Every entry takes at least its length: a count beyond that is damage, found before anything
    // is allocated for it.
    if (!takeInt(bytes, count) || count < 0 || static_cast<std::size_t>(count) > bytes.size() / 4) {
        parsed.damaged = true;
        return parsed;
    }
    parsed.entries.reserve(static_cast<std::size_t>(count));
    std::string letters;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t length = 0;
        if (!takeInt(bytes, length) || length < 0 || static_cast<std::size_t>(length) > bytes.size() / 4) {
            parsed.damaged = true;
            return parsed;
        }
        letters.resize(static_cast<std::size_t>(length));
        for (char& letter : letters) {
            std::int32_t value = 0;
            takeInt(bytes, value);
            if (value < 'A' || value > 'Z') {
                parsed.damaged = true;
                return parsed;
            }
            letter = static_cast<char>(value);
        }
        parsed.entries.push_back(unscrambleText(letters, LIST_KEY, LIST_PASSES));
    }
    parsed.damaged = !bytes.empty();
    return parsed;
}

ItemList readDefaultList(const Ledger& ledger, ItemListKind kind) {
    FileRead file = readFile(defaultListPath(ledger, kind));
    if (file.status != FileRead::Status::Ok)
        return {};
    return splitLines(std::move(file.bytes));
}

ItemList loadItemList(const Ledger& ledger, ItemListKind kind) {
    const FileRead file = readFile(itemListPath(ledger, kind));
    if (file.status != FileRead::Status::Ok)
        return readDefaultList(ledger, kind);
    return parseItemList(file.bytes).entries;
}

bool saveItemList(const Ledger& ledger, ItemListKind kind, const ItemList& list) {
    return writeFileAtomically(itemListPath(ledger, kind), serializeItemList(list));
}

void seedItemLists(const Ledger& ledger) {
    for (const ItemListKind kind :
         {ItemListKind::IncomeItems, ItemListKind::ExpenseItems, ItemListKind::Counterparts}) {
        const std::string path = itemListPath(ledger, kind);
        if (fileExists(path))
            continue;
        const FileRead defaults = readFile(defaultListPath(ledger, kind));
        // Without a default file the user's file is left empty, as an empty list.
        const std::string bytes =
            defaults.status == FileRead::Status::Ok ? serializeItemList(splitLines(defaults.bytes)) : std::string();
        writeFileAtomically(path, bytes);
    }
}
