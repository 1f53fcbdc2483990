#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"

#include <string>
#include <vector>

// The text reports of the expenses and income of a period: GBK, CR LF after every line, columns
// of fixed widths in bytes.

enum class ReportFormat {
    I,  // 日期、类别、项目、金额、备注
    II, // 日期、项目、收入、支出、备注
};

// The positions of the period's expenses and income in report order: by date, then ledger order.
std::vector<std::size_t> reportOrder(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to);

// "%04d-%02d-%02d 至 %04d-%02d-%02d  %ld天" with the period's day count (0 or less when reversed).
std::string periodText(CalendarDate from, CalendarDate to);

// The report's bytes: the title and a line of hyphens, one line per expense or income of the
// period (by date, then ledger order) and the totals.
std::string textReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                       ReportFormat format);
