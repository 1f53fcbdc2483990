#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"
#include "core/pages/listtable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the four bookkeeping pages list, with the totals each page shows beside its list.

enum class PageView {
    Expense,  // the day's expenses; hidden column: ledgerIndex
    Income,   // the day's income; hidden column: ledgerIndex
    Combined, // the month's expenses and income, latest day first; hidden column: id
    Debt,     // the month's debts, latest day first; hidden column: id
};

const std::vector<ListColumn>& pageColumns(PageView view);

// The page's list after a refresh on `date`.
ListTable pageList(PageView view, const std::vector<LedgerRecord>& records, CalendarDate date);

// The order in which the month pages list records with these days: exactly the order of the
// exchange "for each i, for each later j, swap when the day at j is greater than the day at i",
// reached without its quadratic cost. Returns the original positions in listed order.
std::vector<std::size_t> exchangeSortOrder(const std::vector<std::int32_t>& days);

// The number in a row's hidden column: its text read as a number and truncated.
std::optional<long long> hiddenNumber(const ListTable& list, std::size_t row);

// The position in `records` of the record a row shows: on the expense and income pages the
// hidden position itself, on the combined and debt pages the first record with the hidden id.
// nullopt when the row or its record is gone.
std::optional<std::size_t> listedRecord(const std::vector<LedgerRecord>& records, const ListTable& list,
                                        std::size_t row);

// What a deletion took from the ledger: each record with the position it had, in ascending order.
struct Deletion {
    std::vector<std::pair<std::size_t, LedgerRecord>> removed;
};

// Puts back what a deletion took, each record at its old position with every field as it was;
// undone in the reverse order of the deletions, the ledger is as it was before them.
void undoDeletion(std::vector<LedgerRecord>& records, const Deletion& deletion);

// "删除" on the expense and income pages: removes the row's record from `records` and the row from
// the list, and moves the hidden positions of the rows below up by one so they still point at
// their records. Nothing (and nothing changed) when the row or its record is gone.
std::optional<Deletion> deleteDayRow(std::vector<LedgerRecord>& records, ListTable& list, std::size_t row);

// The first record with this id.
std::optional<std::size_t> findRecordById(const std::vector<LedgerRecord>& records, long long id);

// "选中删除" and "全部删除" on the combined and debt pages: for each row in the order given, the
// first record with the row's id is removed (if any).
Deletion deleteRowsById(std::vector<LedgerRecord>& records, const ListTable& list,
                        const std::vector<std::size_t>& rows);
