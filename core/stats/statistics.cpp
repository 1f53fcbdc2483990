#include "core/stats/statistics.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"
#include "core/stats/figures.h"

#include <array>
#include <cstdlib>

namespace {

// Record-list columns: position, date, kind, item, quantity, amount, total, [written off,] note.
constexpr std::size_t ITEM_COLUMN = 3;
constexpr std::size_t QUANTITY_COLUMN = 4;
constexpr std::size_t AMOUNT_COLUMN = 5;
constexpr std::size_t TOTAL_COLUMN = 6;

std::string dateText(CalendarDate date) { return formatDate(date.year, date.month, date.day); }

const char* const SUMMARY_CAPTIONS[] = {"借出合计：", "借入合计：", "支出合计：", "收入合计：", "日均支出：",
                                        "日均收入：", "查询天数：", "查询债务：", "查询结余："};
enum Summary { LENT, BORROWED, EXPENSE, INCOME, DAILY_EXPENSE, DAILY_INCOME, DAYS, DEBT, BALANCE };

} // namespace

std::vector<ListColumn> periodColumns(bool withDebts) {
    if (withDebts)
        return makeColumns({{"日期", 100, Align::Center},
                            {"支出", 100, Align::Right},
                            {"收入", 100, Align::Right},
                            {"债务", 100, Align::Right},
                            {"结余", 100, Align::Right}});
    return makeColumns({{"日期", 100, Align::Center},
                        {"支出", 100, Align::Right},
                        {"收入", 100, Align::Right},
                        {"结余", 100, Align::Right}});
}

std::vector<ListColumn> recordColumns(bool withDebts, bool rebuilt) {
    std::vector<ListColumn> columns = makeColumns({{"序号", 0, Align::Center},
                                                   {"日期", 75, Align::Center},
                                                   {"类别", 40, Align::Center},
                                                   {"项目", 90, Align::Center},
                                                   {"数量", 40, Align::Right},
                                                   {"金额", 70, Align::Right},
                                                   {"总额", 80, Align::Right}});
    if (withDebts)
        columns.push_back({gbkText("销账额"), 80, Align::Right});
    columns.push_back({gbkText("备注"), rebuilt ? 200 : 240, Align::Center});
    return columns;
}

StatisticsView queryPeriod(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                           bool withDebts) {
    StatisticsView view;
    view.periodList.columns = periodColumns(withDebts);
    PeriodTotals& totals = view.totals;
    totals.days = daysInPeriod(from, to);

    // The day sums, filled in one pass in ledger order: each day's sums add its records in the
    // order the day-by-day walk meets them.
    struct DaySums {
        double expense = 0, income = 0, lent = 0, borrowed = 0;
        bool found = false;
    };
    std::vector<DaySums> days(static_cast<std::size_t>(totals.days));
    const long long first = dayNumber(from);
    for (const LedgerRecord& r : records) {
        const std::optional<long long> offset = dayInPeriod(r, first, totals.days);
        if (!offset)
            continue;
        DaySums& day = days[static_cast<std::size_t>(*offset)];
        day.found = true;
        switch (r.kind) {
        case RecordKind::Expense:
            day.expense += recordTotal(r);
            break;
        case RecordKind::Income:
            day.income += recordTotal(r);
            break;
        case RecordKind::Lent:
            day.lent += openAmount(r);
            break;
        case RecordKind::Borrowed:
            day.borrowed += openAmount(r);
            break;
        }
    }

    // Days without records add nothing to any sum, so only the days that have some are shown.
    double running = 0;
    for (std::size_t d = 0; d < days.size(); ++d) {
        const DaySums& day = days[d];
        if (!day.found)
            continue;
        running += day.income - day.expense;
        const CalendarDate date = dateOfDayNumber(first + static_cast<long long>(d));
        std::vector<std::string> row = {dateText(date), money(day.expense), money(day.income)};
        if (withDebts) {
            row.push_back(money(day.borrowed - day.lent));
            running += day.borrowed - day.lent;
        }
        row.push_back(money(running));
        view.periodList.rows.push_back(std::move(row));
        view.periodList.rowKinds.push_back(NO_KIND);
        totals.expense += day.expense;
        totals.income += day.income;
        totals.lent += day.lent;
        totals.borrowed += day.borrowed;
    }
    return view;
}

StatisticsView settleYear(const std::vector<LedgerRecord>& records, int year, bool withDebts) {
    std::array<double, 12> expense{}, income{}, lent{}, borrowed{};
    for (const LedgerRecord& r : records) {
        // A month outside 1 to 12 comes only from a damaged file: it is in no month of the table.
        if (r.year != year || r.month < 1 || r.month > 12)
            continue;
        const auto m = static_cast<std::size_t>(r.month - 1);
        switch (r.kind) {
        case RecordKind::Expense:
            expense[m] += recordTotal(r);
            break;
        case RecordKind::Income:
            income[m] += recordTotal(r);
            break;
        case RecordKind::Lent:
            lent[m] += openAmount(r);
            break;
        case RecordKind::Borrowed:
            borrowed[m] += openAmount(r);
            break;
        }
    }
    StatisticsView view;
    view.periodList.columns = periodColumns(withDebts);
    view.totals.days = daysInPeriod({year, 1, 1}, {year, 12, 31});
    for (std::size_t m = 0; m < 12; ++m) {
        std::vector<std::string> row = {monthRowTitle(static_cast<int>(m + 1)), money(expense[m]), money(income[m])};
        const double balance = withDebts ? (income[m] - expense[m]) + borrowed[m] - lent[m] : income[m] - expense[m];
        if (withDebts)
            row.push_back(money(borrowed[m] - lent[m]));
        row.push_back(money(balance));
        view.monthBalance.push_back(balance);
        view.periodList.rows.push_back(std::move(row));
        view.periodList.rowKinds.push_back(NO_KIND);
        view.totals.income += income[m];
        view.totals.expense += expense[m];
        view.totals.lent += lent[m];
        view.totals.borrowed += borrowed[m];
    }
    view.monthExpense.assign(expense.begin(), expense.end());
    view.monthIncome.assign(income.begin(), income.end());
    return view;
}

std::vector<std::pair<std::string, std::string>> summaryFields(bool hasRows, const PeriodTotals& totals,
                                                               bool withDebts) {
    std::array<std::string, 9> values;
    values.fill("N/A");
    if (hasRows) {
        values[DAYS] = std::to_string(totals.days);
        if (withDebts) {
            values[LENT] = money(totals.lent);
            values[BORROWED] = money(totals.borrowed);
            values[DEBT] = money(totals.borrowed - totals.lent);
            values[BALANCE] = money(((totals.income - totals.expense) - totals.lent) + totals.borrowed);
        } else {
            values[BALANCE] = money(totals.income - totals.expense);
        }
        const auto days = static_cast<double>(totals.days);
        values[INCOME] = money(totals.income);
        values[DAILY_INCOME] = money(totals.income / days);
        values[EXPENSE] = money(totals.expense);
        values[DAILY_EXPENSE] = money(totals.expense / days);
    }
    std::vector<std::pair<std::string, std::string>> fields;
    for (std::size_t i = 0; i < values.size(); ++i)
        fields.emplace_back(gbkText(SUMMARY_CAPTIONS[i]), values[i]);
    return fields;
}

MonthBalances showMonthBalances(const std::vector<LedgerRecord>& records, CalendarDate today, bool withDebts) {
    double before = 0, thisMonth = 0;
    for (const LedgerRecord& r : records) {
        if (r.year < today.year || (r.year == today.year && r.month < today.month))
            before += balanceContribution(r, withDebts);
        else if (r.year == today.year && r.month == today.month)
            thisMonth += balanceContribution(r, withDebts);
    }
    return {dateText(today), money(before), money(before + thisMonth)};
}

ListTable showRowRecords(const std::vector<LedgerRecord>& records, const std::string& rowTitle,
                         std::optional<int> selectedYear, bool withDebts, bool rebuiltColumns) {
    ListTable list;
    list.columns = recordColumns(withDebts, rebuiltColumns);
    list.hidden = HiddenNumber::Position;
    // A day row reads "YYYY-MM-DD"; anything else is a month row of the year selected now.
    const std::size_t dash = rowTitle.find('-');
    int year = 0, month = 0, day = 0;
    const bool dayRow = dash != std::string::npos && dash > 0;
    if (dayRow) {
        const std::size_t second = rowTitle.find('-', dash + 1);
        year = std::atoi(rowTitle.c_str());
        month = std::atoi(rowTitle.c_str() + dash + 1);
        day = second == std::string::npos ? 0 : std::atoi(rowTitle.c_str() + second + 1);
    } else {
        if (!selectedYear)
            return list;
        year = *selectedYear;
        month = std::atoi(rowTitle.c_str());
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const LedgerRecord& r = records[i];
        if (r.year != year || r.month != month || (dayRow && r.day != day))
            continue;
        const bool debt = r.kind == RecordKind::Lent || r.kind == RecordKind::Borrowed;
        if (debt && !withDebts)
            continue;
        std::vector<std::string> row = {
            std::to_string(i),    formatDate(r.year, r.month, r.day), kindName(r.kind), r.item, r.quantity, r.amount,
            money(recordTotal(r))};
        if (withDebts)
            row.push_back(debt ? normalizeDecimal(r.writtenOff) : std::string());
        row.push_back(r.note);
        list.rows.push_back(std::move(row));
        list.rowKinds.push_back(r.kind);
    }
    return list;
}

void showEditedRecord(std::vector<std::string>& row, const LedgerRecord& record, bool withDebts) {
    if (row.size() <= TOTAL_COLUMN + 1)
        return;
    row[ITEM_COLUMN] = record.item;
    row[QUANTITY_COLUMN] = record.quantity;
    row[AMOUNT_COLUMN] = record.amount;
    row[TOTAL_COLUMN] = money(recordTotal(record));
    row[withDebts ? TOTAL_COLUMN + 2 : TOTAL_COLUMN + 1] = record.note;
}

EditMode statisticsEditMode(RecordKind kind, bool withDebts) {
    switch (kind) {
    case RecordKind::Expense:
    case RecordKind::Income:
        return withDebts ? EditMode::WithQuantity : EditMode::Plain;
    case RecordKind::Lent:
    case RecordKind::Borrowed:
        return EditMode::Debt;
    }
    return EditMode::Plain;
}
