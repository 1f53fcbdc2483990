#include "core/stats/dialoglists.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"
#include "core/stats/figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace {

std::string dateOf(const LedgerRecord& r) { return formatDate(r.year, r.month, r.day); }

bool isDebt(RecordKind kind) { return kind == RecordKind::Lent || kind == RecordKind::Borrowed; }
bool isMoney(RecordKind kind) { return kind == RecordKind::Expense || kind == RecordKind::Income; }

void addRow(ListTable& list, std::vector<std::string> row, RecordKind kind = NO_KIND) {
    list.rows.push_back(std::move(row));
    list.rowKinds.push_back(kind);
}

// The empty row and "共支", "共收", "结余" with their amounts in column `at`.
void addTotalRows(ListTable& list, std::size_t at, double expense, double income) {
    const std::size_t width = list.columns.size();
    addRow(list, std::vector<std::string>(width));
    const std::pair<const char*, double> totals[] = {{"共支", expense}, {"共收", income}, {"结余", income - expense}};
    for (const auto& [caption, value] : totals) {
        std::vector<std::string> row(width);
        row[1] = gbkText(caption);
        row[at] = money(value);
        addRow(list, std::move(row));
    }
}

std::vector<int> monthsOfYear() {
    std::vector<int> months(12);
    for (int m = 0; m < 12; ++m)
        months[static_cast<std::size_t>(m)] = m + 1;
    return months;
}

} // namespace

std::string periodHeader(CalendarDate from, CalendarDate to) {
    return formatDate(from.year, from.month, from.day) + gbkText(" 至 ") + formatDate(to.year, to.month, to.day);
}

ListTable dailyRecords(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to) {
    ListTable list;
    list.columns = makeColumns({{"日期", 100, Align::Center},
                                {"类别", 50, Align::Center},
                                {"项目", 100, Align::Center},
                                {"金额", 70, Align::Right},
                                {"数量", 40, Align::Right},
                                {"总额", 80, Align::Right},
                                {"备注", 240, Align::Center}});
    double expense = 0, income = 0;
    for (const std::size_t at : periodOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        if (!isMoney(r.kind))
            continue;
        const double total = recordTotal(r);
        addRow(list, {dateOf(r), kindName(r.kind), r.item, r.amount, r.quantity, money(total), r.note}, r.kind);
        (r.kind == RecordKind::Expense ? expense : income) += total;
    }
    if (!list.rows.empty())
        addTotalRows(list, 5, expense, income);
    list.fields = {{gbkText("总计："), money3(income - expense)}};
    return list;
}

ListTable dailyDebts(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to) {
    ListTable list;
    list.columns = makeColumns({{"日期", 80, Align::Center},
                                {"类别", 50, Align::Center},
                                {"项目", 80, Align::Center},
                                {"金额", 90, Align::Right},
                                {"销账额", 90, Align::Right},
                                {"备注", 240, Align::Center}});
    for (const std::size_t at : periodOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        if (isDebt(r.kind))
            addRow(list, {dateOf(r), kindName(r.kind), r.item, r.amount, r.writtenOff, r.note}, r.kind);
    }
    return list;
}

std::vector<ItemShare> groupShares(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                                   RecordKind kind) {
    std::vector<ItemShare> shares;
    std::unordered_map<std::string, std::size_t> rowOf;
    for (const std::size_t at : periodOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        if (r.kind != kind)
            continue;
        const auto [found, added] = rowOf.try_emplace(r.item, shares.size());
        if (added)
            shares.push_back({r.item, recordTotal(r)}); // the first total itself, not 0 + it
        else
            shares[found->second].sum += recordTotal(r);
    }
    return shares;
}

double sharePercent(double sum, double total) {
    // Each share divides the item's rounded sum by the unrounded total. A total of (nearly) 0 has
    // no shares: 0.10 + 0.20 - 0.30 is not 0 in doubles, and would make shares of 10^17 percent.
    if (std::abs(total) < 0.005)
        return 0.0;
    return parseDecimal(money(sum)) / total * 100;
}

namespace {

double totalOf(const std::vector<ItemShare>& shares) {
    double total = 0;
    for (const ItemShare& share : shares)
        total += share.sum;
    return total;
}

} // namespace

ListTable shareList(const std::vector<ItemShare>& shares, RecordKind kind) {
    ListTable list;
    list.columns = makeColumns({{"项目", 100, Align::Center},
                                {"金额", 120, Align::Right},
                                {kind == RecordKind::Expense ? "百分比（%）" : "百分比(%)", 220, Align::Center}});
    const double total = totalOf(shares);
    for (const ItemShare& share : shares)
        addRow(list, {share.item, money(share.sum), money(sharePercent(share.sum, total))}, kind);
    return list;
}

PieChart pieChart(const std::vector<ItemShare>& shares, std::size_t most) {
    const double total = totalOf(shares);
    PieChart chart;
    std::vector<ItemShare> drawn;
    for (const ItemShare& share : shares)
        (share.sum > 0 ? drawn : chart.notDrawn).push_back(share);
    std::stable_sort(drawn.begin(), drawn.end(), [](const ItemShare& a, const ItemShare& b) { return a.sum > b.sum; });
    const std::size_t kept = most > 0 && drawn.size() > most ? most - 1 : drawn.size();
    for (std::size_t i = 0; i < kept; ++i)
        chart.slices.push_back({drawn[i].item, drawn[i].sum, money(sharePercent(drawn[i].sum, total))});
    if (kept < drawn.size()) {
        PieSlice others{gbkText("其他"), 0, {}};
        double percent = 0;
        for (std::size_t i = kept; i < drawn.size(); ++i) {
            others.sum += drawn[i].sum;
            percent += parseDecimal(money(sharePercent(drawn[i].sum, total)));
        }
        others.share = money(percent);
        chart.slices.push_back(others);
    }
    return chart;
}

ListTable recordQuery(const std::vector<LedgerRecord>& records, const std::string& keyword, CalendarDate from,
                      CalendarDate to) {
    ListTable list;
    list.columns = makeColumns({{"日期", 100, Align::Center},
                                {"类别", 50, Align::Center},
                                {"项目", 100, Align::Center},
                                {"总额", 120, Align::Right},
                                {"备注", 240, Align::Center}});
    double expense = 0, income = 0;
    for (const std::size_t at : periodOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        if (!isMoney(r.kind) || !containsKeyword(r.item, keyword))
            continue;
        const double total = recordTotal(r);
        addRow(list, {dateOf(r), kindName(r.kind), r.item, money(total), r.note}, r.kind);
        (r.kind == RecordKind::Expense ? expense : income) += total;
    }
    if (!list.rows.empty())
        addTotalRows(list, 3, expense, income);
    list.fields = {{gbkText("总计："), money3(income - expense)}};
    return list;
}

ListTable recordQueryYear(const std::vector<LedgerRecord>& records, const std::string& keyword, int year) {
    ListTable list = recordQuery({}, keyword, {1, 1, 1}, {0, 1, 1}); // the columns
    std::array<double, 12> expense{}, income{};
    for (const LedgerRecord& r : records) {
        if (r.year != year || r.month < 1 || r.month > 12 || !isMoney(r.kind) || !containsKeyword(r.item, keyword))
            continue;
        (r.kind == RecordKind::Expense ? expense : income)[static_cast<std::size_t>(r.month - 1)] += recordTotal(r);
    }
    double net = 0, expenses = 0, incomes = 0;
    for (const int month : monthsOfYear()) {
        const auto m = static_cast<std::size_t>(month - 1);
        addRow(list, {monthRowTitle(month), "", keyword, money(income[m] - expense[m]), ""});
        net += income[m] - expense[m];
        expenses += expense[m];
        incomes += income[m];
    }
    addTotalRows(list, 3, expenses, incomes);
    list.fields = {{gbkText("总计："), money3(net)}};
    return list;
}

ListTable debtQuery(const std::vector<LedgerRecord>& records, const std::string& keyword, CalendarDate from,
                    CalendarDate to) {
    ListTable list;
    list.columns = makeColumns({{"日期", 80, Align::Center},
                                {"类别", 50, Align::Center},
                                {"对象", 70, Align::Center},
                                {"金额", 90, Align::Right},
                                {"销账额", 90, Align::Right},
                                {"备注", 240, Align::Center}});
    double net = 0;
    for (const std::size_t at : periodOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        if (!isDebt(r.kind) || !containsKeyword(r.item, keyword))
            continue;
        addRow(list,
               {dateOf(r), kindName(r.kind), r.item, money(recordTotal(r)), normalizeDecimal(r.writtenOff), r.note},
               r.kind);
        net += r.kind == RecordKind::Lent ? -openAmount(r) : openAmount(r);
    }
    list.fields = {{gbkText("债务总计："), money3(net)}};
    return list;
}

ListTable debtQueryYear(const std::vector<LedgerRecord>& records, const std::string& keyword, int year) {
    ListTable list = debtQuery({}, keyword, {1, 1, 1}, {0, 1, 1}); // the columns
    std::array<double, 12> lentTotal{}, lentOff{}, borrowedTotal{}, borrowedOff{};
    for (const LedgerRecord& r : records) {
        if (r.year != year || r.month < 1 || r.month > 12 || !isDebt(r.kind) || !containsKeyword(r.item, keyword))
            continue;
        const auto m = static_cast<std::size_t>(r.month - 1);
        const bool lent = r.kind == RecordKind::Lent;
        (lent ? lentTotal : borrowedTotal)[m] += recordTotal(r);
        (lent ? lentOff : borrowedOff)[m] += parseDecimal(r.writtenOff);
    }
    double net = 0;
    for (const int month : monthsOfYear()) {
        const auto m = static_cast<std::size_t>(month - 1);
        addRow(list, {monthRowTitle(month), "", keyword, money(borrowedTotal[m] - lentTotal[m]),
                      money(lentOff[m] - borrowedOff[m]), ""});
        net += ((borrowedTotal[m] - borrowedOff[m]) - lentTotal[m]) + lentOff[m];
    }
    list.fields = {{gbkText("债务总计："), money3(net)}};
    return list;
}
