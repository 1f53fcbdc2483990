#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/ledger.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The figures every statistic is made of, and the walk over the days of a period.

// quantity × amount.
double recordTotal(const LedgerRecord& record);
// recordTotal − writtenOff, for debts.
double openAmount(const LedgerRecord& record);
// What the record adds to a balance: −total for an expense, +total for an income, and with debts
// counted (the new layout) −open amount for money lent, +open amount for money borrowed.
double balanceContribution(const LedgerRecord& record, bool withDebts);

// The shown name of a kind ("支出", "收入", "借出", "借入"), GBK; empty for any other value.
const std::string& kindName(RecordKind kind);

// "%.2f" (the same as "%.02f") and "%.3f".
std::string money(double value);
std::string money3(double value);

// Day number of a calendar date (consecutive days get consecutive numbers).
long long dayNumber(CalendarDate date);
CalendarDate dateOfDayNumber(long long day);
// Calendar days from `from` through `to`, both included; 0 when `from` is after `to`.
long long daysInPeriod(CalendarDate from, CalendarDate to);

// The positions of the records dated within the period (on a real calendar day), in the order of
// a walk day by day through the period and, within a day, through the ledger. It costs
// records + days, not records × days.
std::vector<std::size_t> periodOrder(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to);

// Which day of a period of `days` days, starting at day number `first`, the record is dated; none
// when it lies outside or its date is no calendar day.
std::optional<long long> dayInPeriod(const LedgerRecord& record, long long first, long long days);

// The distinct record years as "%d", in the order they first appear in the ledger.
std::vector<std::string> yearList(const std::vector<LedgerRecord>& records);

// Whether `item` contains `keyword` starting at a character boundary of the GBK text.
bool containsKeyword(std::string_view item, std::string_view keyword);

// "   %02d月".
std::string monthRowTitle(int month);
