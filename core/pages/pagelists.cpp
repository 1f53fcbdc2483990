#include "core/pages/pagelists.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"
#include "core/stats/figures.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <queue>
#include <unordered_map>

namespace {

std::string recordDate(const LedgerRecord& record) { return formatDate(record.year, record.month, record.day); }

// The positions of the records passing `test`, in ledger order. This pass over every record is
// most of a page's refresh, so it only reads: the tests of 64 records become the bits of a word,
// with no branch a match could mispredict and no store waiting on a load, and the processor can
// read ahead as far as it likes. Only the few matches are written out.
template <typename Test>
std::vector<std::size_t> matchingPositions(const std::vector<LedgerRecord>& records, Test test) {
    std::vector<std::size_t> found;
    const std::size_t count = records.size();
    for (std::size_t base = 0; base < count; base += 64) {
        const std::size_t end = std::min(count, base + 64);
        std::uint64_t hits = 0;
        for (std::size_t i = base; i < end; ++i)
            hits |= static_cast<std::uint64_t>(test(records[i]) != 0) << (i - base);
        for (; hits != 0; hits &= hits - 1)
            found.push_back(base + static_cast<std::size_t>(std::countr_zero(hits)));
    }
    return found;
}

// The records of one kind on one day, in ledger order.
void fillDayList(ListTable& list, const std::vector<LedgerRecord>& records, RecordKind kind, CalendarDate date) {
    const auto onDay = [&](const LedgerRecord& r) {
        return (r.day == date.day) & (r.month == date.month) & (r.year == date.year);
    };
    for (const std::size_t i : matchingPositions(records, onDay)) {
        const LedgerRecord& r = records[i];
        if (r.kind != kind)
            continue;
        list.rows.push_back(
            {std::to_string(i), kindName(kind), recordDate(r), r.item, formatDecimal(recordTotal(r)), r.note});
        list.rowKinds.push_back(kind);
    }
}

// The positions of the month's records of the two kinds, in the order the month pages list them.
std::vector<std::size_t> monthOrder(const std::vector<LedgerRecord>& records, RecordKind first, RecordKind second,
                                    CalendarDate date) {
    const auto inMonth = [&](const LedgerRecord& r) { return (r.month == date.month) & (r.year == date.year); };
    std::vector<std::size_t> positions = matchingPositions(records, inMonth);
    std::erase_if(positions, [&](std::size_t at) { return records[at].kind != first && records[at].kind != second; });
    std::vector<std::int32_t> days;
    days.reserve(positions.size());
    for (const std::size_t at : positions)
        days.push_back(records[at].day);
    std::vector<std::size_t> listed;
    listed.reserve(positions.size());
    for (const std::size_t at : exchangeSortOrder(days))
        listed.push_back(positions[at]);
    return listed;
}

void fillCombinedList(ListTable& list, const std::vector<LedgerRecord>& records, CalendarDate date) {
    double dayExpense = 0, dayIncome = 0, monthExpense = 0, monthIncome = 0;
    const std::vector<std::size_t> listed = monthOrder(records, RecordKind::Expense, RecordKind::Income, date);
    list.rows.reserve(listed.size());
    for (const std::size_t at : listed) {
        const LedgerRecord& r = records[at];
        const double total = recordTotal(r);
        list.rows.push_back({std::to_string(r.id), recordDate(r), kindName(r.kind), r.item, r.quantity, r.amount,
                             formatDecimal(total), r.note});
        list.rowKinds.push_back(r.kind);
        const bool expense = r.kind == RecordKind::Expense;
        (expense ? monthExpense : monthIncome) += total;
        if (r.day == date.day)
            (expense ? dayExpense : dayIncome) += total;
    }
    list.fields = {{gbkText("今日支"), formatDecimal(dayExpense)},
                   {gbkText("今日收"), formatDecimal(dayIncome)},
                   {gbkText("本月支"), formatDecimal(monthExpense)},
                   {gbkText("本月收"), formatDecimal(monthIncome)}};
}

void fillDebtList(ListTable& list, const std::vector<LedgerRecord>& records, CalendarDate date) {
    double lent = 0, borrowed = 0;
    const std::vector<std::size_t> listed = monthOrder(records, RecordKind::Lent, RecordKind::Borrowed, date);
    list.rows.reserve(listed.size());
    for (const std::size_t at : listed) {
        const LedgerRecord& r = records[at];
        const double total = recordTotal(r);
        list.rows.push_back({std::to_string(r.id), recordDate(r), kindName(r.kind), r.item, formatDecimal(total),
                             normalizeDecimal(r.writtenOff), r.note});
        list.rowKinds.push_back(r.kind);
        (r.kind == RecordKind::Lent ? lent : borrowed) += total - parseDecimal(r.writtenOff);
    }
    list.fields = {{gbkText("本月借出"), formatDecimal(lent)}, {gbkText("本月借入"), formatDecimal(borrowed)}};
}

} // namespace

// Step i of the exchange holds the element at i and takes, in turn, every later element greater
// than the one it holds, leaving the one it held in that element's place. So the elements it
// takes are: the first (from i on) with a greater day than the held one, then the first with a
// greater day than that, and so on; everything between them is smaller and untouched. With the
// positions kept per distinct day, each step costs the number of distinct days, not the length.
std::vector<std::size_t> exchangeSortOrder(const std::vector<std::int32_t>& days) {
    const std::size_t count = days.size();
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = i;
    std::vector<std::int32_t> values = days;
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    const std::size_t distinct = values.size();

    // The positions still to come that hold each day, earliest on top.
    using Positions = std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>>;
    std::vector<std::size_t> valueAt(count); // index into `values` of the day now at each position
    std::vector<Positions> positionsOf(distinct);
    for (std::size_t p = 0; p < count; ++p) {
        valueAt[p] = static_cast<std::size_t>(std::lower_bound(values.begin(), values.end(), days[p]) - values.begin());
        positionsOf[valueAt[p]].push(p);
    }

    constexpr std::size_t NONE = static_cast<std::size_t>(-1);
    std::vector<std::size_t> earliestFrom(distinct + 1, NONE); // the value >= v found first after i
    const auto firstPosition = [&](std::size_t value) {
        return value == NONE || positionsOf[value].empty() ? NONE : positionsOf[value].top();
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t held = valueAt[i];
        positionsOf[held].pop();                          // i itself, the earliest of all
        for (std::size_t v = distinct; v-- > held + 1;) { // only greater days can be taken
            const std::size_t later = earliestFrom[v + 1];
            earliestFrom[v] = firstPosition(v) < firstPosition(later) ? v : later;
        }
        std::size_t element = order[i];
        while (held + 1 < distinct && earliestFrom[held + 1] != NONE) {
            const std::size_t taken = earliestFrom[held + 1];
            const std::size_t p = positionsOf[taken].top();
            positionsOf[taken].pop();
            positionsOf[held].push(p);
            valueAt[p] = held;
            std::swap(element, order[p]);
            held = taken;
        }
        order[i] = element;
        valueAt[i] = held;
    }
    return order;
}

const std::vector<ListColumn>& pageColumns(PageView view) {
    static const std::vector<ListColumn> DAY = makeColumns({{"序号", 0, Align::Center},
                                                            {"类别", 50, Align::Center},
                                                            {"日期", 100, Align::Center},
                                                            {"项目", 100, Align::Center},
                                                            {"金额", 120, Align::Right},
                                                            {"备注", 240, Align::Center}});
    static const std::vector<ListColumn> COMBINED = makeColumns({{"序号", 0, Align::Center},
                                                                 {"日期", 75, Align::Center},
                                                                 {"类别", 40, Align::Center},
                                                                 {"项目", 90, Align::Center},
                                                                 {"数量", 40, Align::Right},
                                                                 {"金额", 70, Align::Right},
                                                                 {"总额", 80, Align::Right},
                                                                 {"备注", 120, Align::Center}});
    static const std::vector<ListColumn> DEBT = makeColumns({{"序号", 0, Align::Center},
                                                             {"日期", 75, Align::Center},
                                                             {"类别", 40, Align::Center},
                                                             {"对象", 90, Align::Center},
                                                             {"金额", 70, Align::Right},
                                                             {"销账额", 80, Align::Right},
                                                             {"备注", 240, Align::Center}});
    switch (view) {
    case PageView::Combined:
        return COMBINED;
    case PageView::Debt:
        return DEBT;
    case PageView::Expense:
    case PageView::Income:
        break;
    }
    return DAY;
}

ListTable pageList(PageView view, const std::vector<LedgerRecord>& records, CalendarDate date) {
    ListTable list;
    list.hidden = view == PageView::Combined || view == PageView::Debt ? HiddenNumber::Id : HiddenNumber::Position;
    list.columns = pageColumns(view);
    switch (view) {
    case PageView::Expense:
        fillDayList(list, records, RecordKind::Expense, date);
        break;
    case PageView::Income:
        fillDayList(list, records, RecordKind::Income, date);
        break;
    case PageView::Combined:
        fillCombinedList(list, records, date);
        break;
    case PageView::Debt:
        fillDebtList(list, records, date);
        break;
    }
    return list;
}

std::optional<long long> hiddenNumber(const ListTable& list, std::size_t row) {
    if (row >= list.rows.size() || list.rows[row].empty())
        return std::nullopt;
    return std::strtoll(list.rows[row][0].c_str(), nullptr, 10);
}

std::optional<std::size_t> listedRecord(const std::vector<LedgerRecord>& records, const ListTable& list,
                                        std::size_t row) {
    const std::optional<long long> number = hiddenNumber(list, row);
    if (!number)
        return std::nullopt;
    if (list.hidden == HiddenNumber::Id)
        return findRecordById(records, *number);
    if (list.hidden != HiddenNumber::Position || *number < 0 ||
        static_cast<unsigned long long>(*number) >= records.size())
        return std::nullopt;
    return static_cast<std::size_t>(*number);
}

void undoDeletion(std::vector<LedgerRecord>& records, const Deletion& deletion) {
    // In ascending order each record goes back in front of what followed it then.
    for (const auto& [position, record] : deletion.removed)
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(std::min(position, records.size())), record);
}

std::optional<Deletion> deleteDayRow(std::vector<LedgerRecord>& records, ListTable& list, std::size_t row) {
    const std::optional<std::size_t> index = listedRecord(records, list, row);
    if (!index)
        return std::nullopt;
    Deletion deletion;
    deletion.removed.emplace_back(*index, std::move(records[*index]));
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(*index));
    for (std::size_t below = row + 1; below < list.rows.size(); ++below)
        list.rows[below][0] = std::to_string(*hiddenNumber(list, below) - 1);
    list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(row));
    list.rowKinds.erase(list.rowKinds.begin() + static_cast<std::ptrdiff_t>(row));
    return deletion;
}

std::optional<std::size_t> findRecordById(const std::vector<LedgerRecord>& records, long long id) {
    const auto found = std::find_if(records.begin(), records.end(), [id](const LedgerRecord& r) { return r.id == id; });
    if (found == records.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - records.begin());
}

Deletion deleteRowsById(std::vector<LedgerRecord>& records, const ListTable& list,
                        const std::vector<std::size_t>& rows) {
    // Removing the first record with an id k times removes the first k records with that id, so
    // one pass over the ledger does it, however many rows there are.
    Deletion deletion;
    std::unordered_map<long long, std::size_t> pending;
    for (const std::size_t row : rows)
        if (const std::optional<long long> id = hiddenNumber(list, row))
            ++pending[*id];
    if (pending.empty())
        return deletion;
    std::size_t kept = 0;
    for (std::size_t at = 0; at < records.size(); ++at) {
        const auto found = pending.find(records[at].id);
        if (found != pending.end() && found->second > 0) {
            --found->second;
            deletion.removed.emplace_back(at, std::move(records[at]));
        } else if (kept++ != at) {
            records[kept - 1] = std::move(records[at]);
        }
    }
    records.resize(kept);
    return deletion;
}
