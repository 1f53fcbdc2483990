#pragma once

#include "core/ledger/ledger.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// A list as a window shows it: every cell's text (GBK), hidden columns included, one record kind
// per row for the row colours, and the captioned values shown beside the list.

enum class Align { Left, Center, Right };

struct ListColumn {
    std::string header;
    int width = 0; // pixels; 0 hides the column
    Align align = Align::Center;
};

// What the number in a list's hidden first column stands for.
enum class HiddenNumber {
    None,     // the list has no hidden column
    Position, // the record's position in the ledger (ledgerIndex)
    Id,       // the record's id
};

struct ListTable {
    std::vector<ListColumn> columns;
    std::vector<std::vector<std::string>> rows;
    std::vector<RecordKind> rowKinds; // one per row; rows without a record (totals) have none
    std::vector<std::pair<std::string, std::string>> fields;
    HiddenNumber hidden = HiddenNumber::None;
};

// One row per record: the row's kind for colouring, or no colour for rows that show no record.
inline constexpr RecordKind NO_KIND = static_cast<RecordKind>(0);

// A column as the source writes it: its header in UTF-8.
struct ColumnSpec {
    const char* header;
    int width;
    Align align;
};
std::vector<ListColumn> makeColumns(std::initializer_list<ColumnSpec> table);
