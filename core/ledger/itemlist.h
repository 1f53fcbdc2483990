#pragma once

#include "core/ledger/ledger.h"

#include <string>
#include <string_view>
#include <vector>

// The quick-input lists: names a user types often, offered in the entry pages' drop-downs.
// Each user has three small scrambled list files beside the record files, seeded from the
// default text files shipped beside the program.

using ItemList = std::vector<std::string>; // GBK entries in file order

enum class ItemListKind {
    ExpenseItems = 1,
    IncomeItems = 2,
    Counterparts = 3,
};

std::string itemListPath(const Ledger& ledger, ItemListKind kind);    // dataDir + user + ".lio" / ".lii" / ".dio"
std::string defaultListPath(const Ledger& ledger, ItemListKind kind); // programDir + "OutDefs.txt" / ...

// Cuts the next line off the front of `text`. CR LF anywhere in the buffer wins over LF, so a
// line ended by LF alone before a later CR LF runs up to that CR LF.
std::string takeLine(std::string& text);

// Every line of a text, as takeLine cuts them; a final line break adds no empty entry.
ItemList splitLines(std::string text);

// The list file format: a count, then per entry a length and one 32-bit value per scrambled letter.
std::string serializeItemList(const ItemList& list);
struct ParsedItemList {
    ItemList entries; // the whole entries read, in order
    bool damaged = false;
};
// Reads the list file format. Damaged when the bytes are not exactly a list: a count or length
// larger than the bytes left, a value that is no scrambled letter, or bytes after the last entry.
// Zero bytes (what seeding leaves without a default file) are an empty list.
ParsedItemList parseItemList(std::string_view bytes);

ItemList readDefaultList(const Ledger& ledger, ItemListKind kind);
// The per-user list, or the default list when the per-user file cannot be opened.
ItemList loadItemList(const Ledger& ledger, ItemListKind kind);
bool saveItemList(const Ledger& ledger, ItemListKind kind, const ItemList& list);
// Creates each missing per-user file from its default file; existing files are left alone.
void seedItemLists(const Ledger& ledger);
