#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"
#include "core/pages/listtable.h"
#include "core/pages/recordinput.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The statistics page: the period query, the settlement of a year, the records of a clicked row,
// the nine summary values and the month balances, as the texts the page shows. `withDebts` is the
// new layout ("layout" not 0): debts are counted and get their columns.

struct PeriodTotals {
    long long days = 0;
    double income = 0;
    double expense = 0;
    double lent = 0;
    double borrowed = 0;
};

struct StatisticsView {
    ListTable periodList;
    PeriodTotals totals;
    std::vector<double> monthExpense; // the settlement's twelve months, for its chart
    std::vector<double> monthIncome;
    std::vector<double> monthBalance; // what each month's "结余" shows
};

std::vector<ListColumn> periodColumns(bool withDebts);
// `rebuilt`: the columns made again after a change of layout, where "备注" is 200 wide, not 240.
std::vector<ListColumn> recordColumns(bool withDebts, bool rebuilt);

// "查询": one row per day of the period that has records, with the running balance.
StatisticsView queryPeriod(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                           bool withDebts);
// "结算": one row per month of the year.
StatisticsView settleYear(const std::vector<LedgerRecord>& records, int year, bool withDebts);

// The nine summary values, captions with their texts, top to bottom; "N/A" while the period list
// is empty.
std::vector<std::pair<std::string, std::string>> summaryFields(bool hasRows, const PeriodTotals& totals,
                                                               bool withDebts);
struct MonthBalances {
    std::string today;     // "今日："
    std::string lastMonth; // "上月结余：": everything before today's month
    std::string thisMonth; // "本月结余：": that and today's month, later days of it included
};
MonthBalances showMonthBalances(const std::vector<LedgerRecord>& records, CalendarDate today, bool withDebts);

// The records of a clicked period-list row (a day "YYYY-MM-DD", or a month "   MM月" of the year
// selected now); hidden column: the record's position.
ListTable showRowRecords(const std::vector<LedgerRecord>& records, const std::string& rowTitle,
                         std::optional<int> selectedYear, bool withDebts, bool rebuiltColumns = false);

// The record-list row of an edited record: item, quantity, amount, total and note as stored now.
void showEditedRecord(std::vector<std::string>& row, const LedgerRecord& record, bool withDebts);
// How the page edits a record of this kind.
EditMode statisticsEditMode(RecordKind kind, bool withDebts);
