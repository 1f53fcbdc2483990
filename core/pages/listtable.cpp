#include "core/pages/listtable.h"

#include "core/ledger/gbk.h"

std::vector<ListColumn> makeColumns(std::initializer_list<ColumnSpec> table) {
    std::vector<ListColumn> result;
    for (const ColumnSpec& column : table)
        result.push_back({gbkText(column.header), column.width, column.align});
    return result;
}
