#include "core/ledger/gbk.h"
#include "core/pages/pagelists.h"
#include "core/pages/recordinput.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string g(const char* utf8) { return gbkText(utf8); }

LedgerRecord record(std::int32_t id, RecordKind kind, int year, int month, int day, const char* item,
                    const char* quantity, const char* amount, const char* writtenOff = "0.00") {
    LedgerRecord r;
    r.id = id;
    r.kind = kind;
    r.year = year;
    r.month = month;
    r.day = day;
    r.item = g(item);
    r.quantity = quantity;
    r.amount = amount;
    r.writtenOff = writtenOff;
    return r;
}

std::vector<std::string> column(const ListTable& list, std::size_t at) {
    std::vector<std::string> cells;
    for (const auto& row : list.rows)
        cells.push_back(row[at]);
    return cells;
}

constexpr CalendarDate MAY_15{2024, 5, 15};

TEST(ListTables, DayPagesListTheDaysRecordsOfTheirKindInLedgerOrder) {
    const std::vector<LedgerRecord> records = {
        record(1, RecordKind::Expense, 2024, 5, 15, "早饭", "1.00", "12.50"),
        record(2, RecordKind::Income, 2024, 5, 15, "工资", "1.00", "8000.00"),
        record(3, RecordKind::Expense, 2024, 5, 14, "午饭", "1.00", "20.00"),
        record(4, RecordKind::Expense, 2024, 5, 15, "可乐", "2.00", "3.50"), // from the combined page
        record(5, RecordKind::Lent, 2024, 5, 15, "老妈", "1.00", "100.00"),
        record(6, RecordKind::Expense, 2023, 5, 15, "去年", "1.00", "1.00"),
    };
    const ListTable expense = pageList(PageView::Expense, records, MAY_15);
    ASSERT_EQ(expense.rows.size(), 2u);
    EXPECT_EQ(expense.rows[0], (std::vector<std::string>{"0", g("支出"), "2024-05-15", g("早饭"), "12.50", ""}));
    EXPECT_EQ(expense.rows[1][0], "3");
    EXPECT_EQ(expense.rows[1][4], "7.00");
    EXPECT_TRUE(expense.fields.empty());
    EXPECT_EQ(expense.columns[0].header, g("序号"));
    EXPECT_EQ(expense.columns[0].width, 0);

    const ListTable income = pageList(PageView::Income, records, MAY_15);
    EXPECT_EQ(column(income, 0), std::vector<std::string>{"1"});
    EXPECT_EQ(column(income, 1), std::vector<std::string>{g("收入")});
    EXPECT_TRUE(pageList(PageView::Expense, records, {2024, 5, 16}).rows.empty());
}

TEST(ListTables, MonthPagesSortByTheExchangeAndTotalTheDayAndMonth) {
    const std::vector<LedgerRecord> records = {
        record(11, RecordKind::Expense, 2024, 5, 1, "a", "1.00", "1.00"),
        record(12, RecordKind::Income, 2024, 5, 1, "b", "1.00", "100.00"),
        record(13, RecordKind::Expense, 2024, 5, 2, "c", "3.00", "2.50"),
        record(14, RecordKind::Expense, 2024, 5, 15, "d", "1.00", "-4.00"),
        record(15, RecordKind::Income, 2024, 5, 15, "e", "2.00", "10.00"),
        record(16, RecordKind::Lent, 2024, 5, 15, "f", "1.00", "500.00", "200.00"),
        record(17, RecordKind::Borrowed, 2024, 5, 3, "g", "1.00", "50.00", "80.00"),
        record(18, RecordKind::Expense, 2024, 6, 15, "h", "1.00", "9.00"),
    };
    const ListTable combined = pageList(PageView::Combined, records, MAY_15);
    // Days 1, 1, 2, 15, 15 in ledger order: the exchange puts 15s first and turns the day-1 pair.
    EXPECT_EQ(column(combined, 0), (std::vector<std::string>{"14", "15", "13", "12", "11"}));
    EXPECT_EQ(combined.rows[2],
              (std::vector<std::string>{"13", "2024-05-02", g("支出"), "c", "3.00", "2.50", "7.50", ""}));
    const std::vector<std::pair<std::string, std::string>> totals = {
        {g("今日支"), "-4.00"}, {g("今日收"), "20.00"}, {g("本月支"), "4.50"}, {g("本月收"), "120.00"}};
    EXPECT_EQ(combined.fields, totals);
    EXPECT_EQ(combined.rowKinds.front(), RecordKind::Expense);

    const ListTable debt = pageList(PageView::Debt, records, MAY_15);
    EXPECT_EQ(debt.rows,
              (std::vector<std::vector<std::string>>{{"16", "2024-05-15", g("借出"), "f", "500.00", "200.00", ""},
                                                     {"17", "2024-05-03", g("借入"), "g", "50.00", "80.00", ""}}));
    const std::vector<std::pair<std::string, std::string>> debts = {{g("本月借出"), "300.00"},
                                                                    {g("本月借入"), "-30.00"}};
    EXPECT_EQ(debt.fields, debts);
}

TEST(ListTables, DeletingADayRowKeepsTheRowsBelowPointingAtTheirRecords) {
    std::vector<LedgerRecord> records = {
        record(1, RecordKind::Expense, 2024, 5, 15, "a", "1.00", "1.00"),
        record(2, RecordKind::Income, 2024, 5, 15, "x", "1.00", "1.00"),
        record(3, RecordKind::Expense, 2024, 5, 15, "b", "1.00", "2.00"),
        record(4, RecordKind::Expense, 2024, 5, 15, "c", "1.00", "3.00"),
    };
    ListTable list = pageList(PageView::Expense, records, MAY_15);
    ASSERT_TRUE(deleteDayRow(records, list, 1).has_value());
    EXPECT_EQ(column(list, 0), (std::vector<std::string>{"0", "2"}));
    EXPECT_EQ(records[*listedRecord(records, list, 1)].item, "c");
    EXPECT_EQ(records.size(), 3u);

    EXPECT_FALSE(deleteDayRow(records, list, 5).has_value());
    records.resize(1); // the record of the last row is gone: the row does nothing
    EXPECT_FALSE(listedRecord(records, list, 1));
    EXPECT_FALSE(deleteDayRow(records, list, 1).has_value());
    EXPECT_EQ(list.rows.size(), 2u);
}

TEST(ListTables, MonthDeletionsRemoveExactlyTheListedRecords) {
    std::vector<LedgerRecord> records = {
        record(1, RecordKind::Expense, 2024, 5, 1, "a", "1.00", "1.00"),
        record(2, RecordKind::Lent, 2024, 5, 2, "debt", "1.00", "1.00"),
        record(3, RecordKind::Income, 2024, 5, 3, "b", "1.00", "1.00"),
        record(4, RecordKind::Expense, 2024, 4, 3, "april", "1.00", "1.00"),
        record(5, RecordKind::Expense, 2024, 5, 4, "c", "1.00", "1.00"),
        record(5, RecordKind::Expense, 2024, 7, 4, "same id, July", "1.00", "1.00"),
    };
    const ListTable list = pageList(PageView::Combined, records, MAY_15); // ids 5, 3, 1
    EXPECT_EQ(listedRecord(records, list, 0), 4u);
    deleteRowsById(records, list, {0, 2});
    EXPECT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].id, 2);
    EXPECT_EQ(records[3].item, "same id, July"); // only the first record with the id goes

    const ListTable rest = pageList(PageView::Combined, records, MAY_15);
    deleteRowsById(records, rest, {0});
    EXPECT_EQ(records.size(), 3u);
    EXPECT_TRUE(pageList(PageView::Combined, records, MAY_15).rows.empty());
    EXPECT_EQ(pageList(PageView::Debt, records, MAY_15).rows.size(), 1u);
}

TEST(RecordInput, ChecksRunInTheirOrder) {
    using Field = InputField;
    RecordInput good;
    good.item = "x";
    good.note = "";
    good.quantity = "1";
    good.amount = "5";
    auto with = [&](auto change) {
        RecordInput input = good;
        change(input);
        return input;
    };
    struct Case {
        const char* name;
        PageView view;
        RecordInput input;
        std::optional<InputProblem> problem;
    };
    const auto problem = [](Field field, const char* message) { return InputProblem{field, g(message)}; };
    const Case cases[] = {
        {"fine", PageView::Expense, good, std::nullopt},
        {"spaces_pass", PageView::Expense, with([](RecordInput& i) { i.item = "  "; }), std::nullopt},
        {"expense_item_empty_first", PageView::Expense, with([](RecordInput& i) { i.item = "", i.amount = ""; }),
         problem(Field::Item, "您没有填写支出项目名称。")},
        {"income_item_empty", PageView::Income, with([](RecordInput& i) { i.item = ""; }),
         problem(Field::Item, "您没有填写收入项目名称。")},
        {"combined_item_empty", PageView::Combined, with([](RecordInput& i) { i.item = ""; }),
         problem(Field::Item, "您没有填写收支项目名称。")},
        {"debt_item_empty", PageView::Debt, with([](RecordInput& i) { i.item = ""; }),
         problem(Field::Item, "您没有填写债务对象名称。")},
        {"item_quote", PageView::Expense, with([](RecordInput& i) { i.item = "a\"b", i.note = "'"; }),
         problem(Field::Item, "项目名称含有非法字符。")},
        {"item_not_gbk", PageView::Combined, with([](RecordInput& i) { i.item = std::nullopt; }),
         problem(Field::Item, "项目名称含有非法字符。")},
        {"counterpart_apostrophe", PageView::Debt, with([](RecordInput& i) { i.item = "O'Neil"; }),
         problem(Field::Item, "对象名称含有非法字符。")},
        {"note_apostrophe", PageView::Income, with([](RecordInput& i) { i.note = "it's", i.amount = ""; }),
         problem(Field::Note, "备注含有非法字符。")},
        {"note_not_gbk", PageView::Debt, with([](RecordInput& i) { i.note = std::nullopt; }),
         problem(Field::Note, "备注含有非法字符。")},
        {"quantity_before_amount", PageView::Combined, with([](RecordInput& i) { i.quantity = "", i.amount = ""; }),
         problem(Field::Quantity, "数量不能为空，请重新填写。")},
        {"quantity_unused_elsewhere", PageView::Expense, with([](RecordInput& i) { i.quantity = ""; }), std::nullopt},
        {"amount_empty", PageView::Debt, with([](RecordInput& i) { i.amount = ""; }),
         problem(Field::Amount, "金额不能为空，请重新填写。")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkNewRecord(c.view, c.input), c.problem) << c.name;

    const Case edits[] = {
        {"edit_item_empty", PageView::Expense, with([](RecordInput& i) { i.item = ""; }),
         problem(Field::Item, "您没有填写收支项目名称。")},
        {"edit_name", PageView::Expense, with([](RecordInput& i) { i.item = "'"; }),
         problem(Field::Item, "名称含有非法字符。")},
        {"edit_note", PageView::Expense, with([](RecordInput& i) { i.note = "\""; }),
         problem(Field::Note, "含有非法字符。")},
        {"edit_quantity", PageView::Combined, with([](RecordInput& i) { i.quantity = ""; }),
         problem(Field::Quantity, "数量不能为空，请重新填写。")},
        {"edit_debt_item_empty", PageView::Debt, with([](RecordInput& i) { i.item = ""; }),
         problem(Field::Item, "您没有填写债务对象名称。")},
        {"edit_debt_quantity_unused", PageView::Debt, with([](RecordInput& i) { i.quantity = ""; }), std::nullopt},
    };
    const auto modeOf = [](PageView view) {
        return view == PageView::Combined ? EditMode::WithQuantity
               : view == PageView::Debt   ? EditMode::Debt
                                          : EditMode::Plain;
    };
    for (const Case& c : edits)
        EXPECT_EQ(checkEdit(modeOf(c.view), c.input), c.problem) << c.name;

    EXPECT_EQ(checkWriteOff(with([](RecordInput& i) { i.note = "'", i.writtenOff = ""; })),
              problem(Field::Note, "含有非法字符。"));
    EXPECT_EQ(checkWriteOff(with([](RecordInput& i) { i.writtenOff = ""; })),
              problem(Field::WrittenOff, "销账金额不能为空，请重新填写。"));
    EXPECT_EQ(checkWriteOff(with([](RecordInput& i) { i.writtenOff = "0"; })), std::nullopt);
}

TEST(RecordInput, NumbersAreReadLikeStrtodAndWrittenWithTwoDecimals) {
    const std::pair<const char*, const char*> amounts[] = {
        {"abc", "0.00"}, {"-5", "-5.00"}, {"12abc", "12.00"}, {"12345.678", "12345.68"}, {" 7", "7.00"},
        {"nan", "0.00"}, {"inf", "0.00"}, {"1e999", "0.00"}}; // what is not finite counts as no number
    for (const auto& [typed, stored] : amounts) {
        RecordInput input;
        input.item = "x";
        input.note = "line1\nline2";
        input.amount = typed;
        input.quantity = "3";
        const LedgerRecord plain = newRecord(9, RecordKind::Expense, MAY_15, input, false);
        EXPECT_EQ(plain.amount, stored) << typed;
        EXPECT_EQ(plain.quantity, "1.00");
        EXPECT_EQ(plain.writtenOff, "0.00");
        EXPECT_EQ(plain.note, "line1\nline2");
        EXPECT_EQ(newRecord(9, RecordKind::Income, MAY_15, input, true).quantity, "3.00");
    }
}

TEST(RecordInput, EditsAndWriteOffsChangeOnlyTheirFields) {
    const LedgerRecord debt = record(7, RecordKind::Lent, 2024, 5, 15, "老妈", "2.00", "500.00", "100.00");
    RecordInput input;
    input.item = "x";
    input.note = "n";
    input.amount = "7";
    input.quantity = "0";
    LedgerRecord expected = debt;
    expected.item = "x";
    expected.note = "n";
    expected.amount = "7.00";                                        // less than the written-off amount: accepted
    EXPECT_EQ(editedRecord(debt, EditMode::Plain, input), expected); // the hidden quantity stays 2.00
    expected.quantity = "0.00";
    EXPECT_EQ(editedRecord(debt, EditMode::WithQuantity, input), expected);

    input.writtenOff = "300";
    LedgerRecord settled = writtenOffRecord(debt, input);
    EXPECT_EQ(settled.writtenOff, "300.00"); // replaces 100.00, is not added to it
    EXPECT_EQ(settled.amount, debt.amount);
    EXPECT_EQ(settled.item, debt.item);
    EXPECT_EQ(settled.note, "n");
}

} // namespace

namespace {

// The exchange as written, for comparison.
std::vector<std::size_t> plainExchange(std::vector<std::int32_t> days) {
    std::vector<std::size_t> order(days.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (std::size_t i = 0; i < days.size(); ++i)
        for (std::size_t j = i + 1; j < days.size(); ++j)
            if (days[j] > days[i]) {
                std::swap(days[i], days[j]);
                std::swap(order[i], order[j]);
            }
    return order;
}

TEST(ListTables, ExchangeOrderMatchesThePlainExchange) {
    EXPECT_EQ(exchangeSortOrder({1, 1, 2}), (std::vector<std::size_t>{2, 1, 0}));
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t length = random() % 60;
        const int spread = 1 + static_cast<int>(random() % 31);
        std::vector<std::int32_t> days(length);
        for (std::int32_t& day : days)
            day = static_cast<std::int32_t>(random() % static_cast<unsigned>(spread)) - (round % 7 == 0 ? 3 : 0);
        ASSERT_EQ(exchangeSortOrder(days), plainExchange(days)) << "round " << round;
    }
}

} // namespace
