#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"
#include "core/pages/listtable.h"

#include <string>
#include <vector>

// The lists of the statistics dialogs: every record of each day, the share of each item, and the
// keyword queries by date range or by year. Texts are GBK; summary rows have no record kind.

// "%04d-%02d-%02d 至 %04d-%02d-%02d".
std::string periodHeader(CalendarDate from, CalendarDate to);

// "每天所有收支记录": expenses and income day by day, the total rows, and "总计：" ("%.3f").
ListTable dailyRecords(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to);
// "每天所有债务记录": debts day by day, amounts as stored.
ListTable dailyDebts(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to);

struct ItemShare {
    std::string item;
    double sum = 0; // unrounded
};
// The items of one kind in the period, in the order they first occur, with their sums.
std::vector<ItemShare> groupShares(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                                   RecordKind kind);
// The share dialog's list for those items (`kind` Expense or Income picks the column title).
ListTable shareList(const std::vector<ItemShare>& shares, RecordKind kind);
// An item's share of the total in percent, as the share list shows it: the item's sum rounded to
// two decimals over the unrounded total. A total within half a cent of 0 gives 0.
double sharePercent(double sum, double total);

struct PieSlice {
    std::string item;
    double sum = 0;    // what the slice is drawn from
    std::string share; // its label: the share list's own percentage ("其他": those it gathers, added)
};
struct PieChart {
    std::vector<PieSlice> slices;    // the largest positive sums first, at most `most`, the rest as "其他"
    std::vector<ItemShare> notDrawn; // sums of 0 or less, which no pie can show, in list order
};
PieChart pieChart(const std::vector<ItemShare>& shares, std::size_t most);

// "自定义查询统计收支记录": expenses and income whose item contains the keyword.
ListTable recordQuery(const std::vector<LedgerRecord>& records, const std::string& keyword, CalendarDate from,
                      CalendarDate to);
ListTable recordQueryYear(const std::vector<LedgerRecord>& records, const std::string& keyword, int year);
// "自定义查询统计债务记录": debts whose counterpart contains the keyword; "债务总计：".
ListTable debtQuery(const std::vector<LedgerRecord>& records, const std::string& keyword, CalendarDate from,
                    CalendarDate to);
ListTable debtQueryYear(const std::vector<LedgerRecord>& records, const std::string& keyword, int year);
