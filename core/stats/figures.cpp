#include "core/stats/figures.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <tuple>

double recordTotal(const LedgerRecord& record) { return parseDecimal(record.quantity) * parseDecimal(record.amount); }

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
    const long long y = date.year - (date.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

long long daysInPeriod(CalendarDate from, CalendarDate to) {
    const long long days = dayNumber(to) - dayNumber(from) + 1;
    return std::max(days, 0LL);
}

namespace {

bool isCalendarDay(const LedgerRecord& r) {
    return r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= daysInMonth(r.year, r.month);
}

auto dateKey(const LedgerRecord& r) { return std::tuple(r.year, r.month, r.day); }

} // namespace

bool sameDay(const LedgerRecord& a, const LedgerRecord& b) { return dateKey(a) == dateKey(b); }

std::vector<std::size_t> periodOrder(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to) {
    const auto first = std::tuple(from.year, from.month, from.day);
    const auto last = std::tuple(to.year, to.month, to.day);
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto key = dateKey(records[i]);
        if (key >= first && key <= last && isCalendarDay(records[i]))
            positions.push_back(i);
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [&](std::size_t a, std::size_t b) { return dateKey(records[a]) < dateKey(records[b]); });
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
        // A GBK lead byte (0x81-0xFE) starts a two-byte character.
        const auto byte = static_cast<unsigned char>(item[at]);
        at += byte >= 0x81 && byte <= 0xFE && at + 1 < item.size() ? 2 : 1;
    }
    return false;
}

std::string monthRowTitle(int month) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "   %02d", month);
    return buffer.data() + gbkText("月");
}
