#pragma once

#include "core/stats/statistics.h"

#include <string>
#include <tuple>
#include <vector>

// The statistics walks exactly as the program describes them: every calendar day of the period,
// and for each day every record of the ledger. Slow on purpose; tests and benchmarks compare the
// program's walks with them.

CalendarDate nextDay(CalendarDate day);

template <typename Visit> void eachDay(CalendarDate from, CalendarDate to, Visit visit) {
    const auto key = [](CalendarDate d) { return std::tuple(d.year, d.month, d.day); };
    for (CalendarDate d = from; key(d) <= key(to); d = nextDay(d))
        visit(d);
}

bool on(const LedgerRecord& record, CalendarDate day);

StatisticsView plainQueryPeriod(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                                bool withDebts);

// The share grouping as written: take the first remaining record, remove every later one of its item.
std::vector<std::vector<std::string>> plainShares(const std::vector<LedgerRecord>& records, CalendarDate from,
                                                  CalendarDate to, RecordKind kind);
