#include "tests/support/plainwalks.h"

#include "core/ledger/decimal.h"
#include "core/stats/figures.h"

CalendarDate nextDay(CalendarDate d) {
    if (++d.day > daysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

bool on(const LedgerRecord& r, CalendarDate d) { return r.year == d.year && r.month == d.month && r.day == d.day; }

StatisticsView plainQueryPeriod(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                                bool withDebts) {
    StatisticsView view;
    double running = 0;
    eachDay(from, to, [&](CalendarDate d) {
        double dayExpense = 0, dayIncome = 0, dayLent = 0, dayBorrowed = 0;
        bool found = false;
        for (const LedgerRecord& r : records) {
            if (!on(r, d))
                continue;
            found = true;
            if (r.kind == RecordKind::Expense)
                dayExpense += recordTotal(r);
            else if (r.kind == RecordKind::Income)
                dayIncome += recordTotal(r);
            else if (r.kind == RecordKind::Lent)
                dayLent += openAmount(r);
            else if (r.kind == RecordKind::Borrowed)
                dayBorrowed += openAmount(r);
        }
        running += dayIncome - dayExpense;
        if (found) {
            std::vector<std::string> row = {formatDate(d.year, d.month, d.day), money(dayExpense), money(dayIncome)};
            if (withDebts) {
                row.push_back(money(dayBorrowed - dayLent));
                running += dayBorrowed - dayLent;
            }
            row.push_back(money(running));
            view.periodList.rows.push_back(row);
        }
        ++view.totals.days;
        view.totals.expense += dayExpense;
        view.totals.income += dayIncome;
        view.totals.lent += dayLent;
        view.totals.borrowed += dayBorrowed;
    });
    return view;
}

std::vector<std::vector<std::string>> plainShares(const std::vector<LedgerRecord>& records, CalendarDate from,
                                                  CalendarDate to, RecordKind kind) {
    std::vector<LedgerRecord> w;
    eachDay(from, to, [&](CalendarDate d) {
        for (const LedgerRecord& r : records)
            if (on(r, d) && r.kind == kind)
                w.push_back(r);
    });
    std::vector<std::vector<std::string>> rows;
    double total = 0;
    for (std::size_t k = 0; k < w.size(); ++k) {
        double sum = recordTotal(w[k]);
        for (std::size_t j = k + 1; j < w.size();) {
            if (w[j].item == w[k].item) {
                sum += recordTotal(w[j]);
                w.erase(w.begin() + static_cast<std::ptrdiff_t>(j));
            } else {
                ++j;
            }
        }
        total += sum;
        rows.push_back({w[k].item, money(sum), ""});
    }
    for (auto& row : rows)
        row[2] = money(total == 0 ? 0.0 : parseDecimal(row[1]) / total * 100);
    return rows;
}
