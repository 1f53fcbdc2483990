#include "core/stats/figures.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

double recordTotal(const LedgerRecord& record) {
    // Two huge numbers can still multiply beyond the largest double; such a total counts as 0,
    // like a number that is not finite in the text itself.
    const double total = parseDecimal(record.quantity) * parseDecimal(record.amount);
    return std::isfinite(total) ? total : 0.0;
}

double openAmount(const LedgerRecord& record) { return recordTotal(record) - parseDecimal(record.writtenOff); }

double balanceContribution(const LedgerRecord& record, bool withDebts) {
    switch (record.kind) {
    case RecordKind::Expense:
        return -recordTotal(record);
    case RecordKind::Income:
        return recordTotal(record);
    case RecordKind::Lent:
        return withDebts ? -openAmount(record) : 0.0;
    case RecordKind::Borrowed:
        return withDebts ? openAmount(record) : 0.0;
    }
    return 0.0;
}

const std::string& kindName(RecordKind kind) {
    static const std::string NAMES[] = {gbkText("支出"), gbkText("收入"), gbkText("借出"), gbkText("借入")};
    static const std::string NONE;
    const int at = static_cast<int>(kind) - 1;
    return at >= 0 && at < 4 ? NAMES[at] : NONE;
}

std::string money(double value) { return formatDecimal(value); }

std::string money3(double value) {
    std::array<char, 400> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%.3f", value);
    return std::string(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

long long dayNumber(CalendarDate date) {
    // Days since 1970-01-01 in the proleptic Gregorian calendar.
    // Widened before any arithmetic: a record's year may be any 32-bit value.
    const long long month = date.month;
    const long long y = static_cast<long long>(date.year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + static_cast<long long>(date.day) - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CalendarDate dateOfDayNumber(long long day) {
    const long long z = day + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const int d = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yearOfEra + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

long long daysInPeriod(CalendarDate from, CalendarDate to) {
    const long long days = dayNumber(to) - dayNumber(from) + 1;
    return std::max(days, 0LL);
}

namespace {

bool isCalendarDay(const LedgerRecord& r) {
    return r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= daysInMonth(r.year, r.month);
}

} // namespace

std::optional<long long> dayInPeriod(const LedgerRecord& record, long long first, long long days) {
    if (!isCalendarDay(record))
        return std::nullopt;
    const long long offset = dayNumber({record.year, record.month, record.day}) - first;
    if (offset < 0 || offset >= days)
        return std::nullopt;
    return offset;
}

std::vector<std::size_t> periodOrder(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to) {
    // A counting sort by day of the period: one pass counts the records of each day, one places
    // them, each day's records in ledger order.
    const long long days = daysInPeriod(from, to);
    const long long first = dayNumber(from);
    constexpr std::uint32_t OUTSIDE = static_cast<std::uint32_t>(-1);
    std::vector<std::uint32_t> dayOf(records.size(), OUTSIDE);
    std::vector<std::size_t> start(static_cast<std::size_t>(days) + 1, 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (const std::optional<long long> offset = dayInPeriod(records[i], first, days)) {
            dayOf[i] = static_cast<std::uint32_t>(*offset);
            ++start[static_cast<std::size_t>(*offset) + 1];
        }
    }
    for (std::size_t d = 1; d < start.size(); ++d)
        start[d] += start[d - 1];
    std::vector<std::size_t> positions(start.back());
    for (std::size_t i = 0; i < records.size(); ++i)
        if (dayOf[i] != OUTSIDE)
            positions[start[dayOf[i]]++] = i;
    return positions;
}

std::vector<std::string> yearList(const std::vector<LedgerRecord>& records) {
    std::vector<std::string> years;
    std::vector<std::int32_t> seen;
    for (const LedgerRecord& r : records)
        if (std::find(seen.begin(), seen.end(), r.year) == seen.end()) {
            seen.push_back(r.year);
            years.push_back(std::to_string(r.year));
        }
    return years;
}

bool containsKeyword(std::string_view item, std::string_view keyword) {
    for (std::size_t at = 0; at + keyword.size() <= item.size();) {
        if (item.compare(at, keyword.size(), keyword) == 0)
            return true;
        // A GBK lead byte (0x81-0xFE) starts a two-byte character, or with a digit after it one of
        // the four-byte characters a shown keyword may hold.
        const auto byte = static_cast<unsigned char>(item[at]);
        const bool lead = byte >= 0x81 && byte <= 0xFE && at + 1 < item.size();
        const bool fourBytes = lead && item[at + 1] >= '0' && item[at + 1] <= '9' && at + 3 < item.size();
        at += fourBytes ? 4 : lead ? 2 : 1;
    }
    return false;
}

std::string monthRowTitle(int month) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "   %02d", month);
    return buffer.data() + gbkText("月");
}
