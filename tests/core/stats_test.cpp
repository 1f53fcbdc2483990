#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"
#include "core/stats/dialoglists.h"
#include "core/stats/figures.h"
#include "core/stats/statistics.h"
#include "tests/support/plainwalks.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <random>

namespace {

std::string g(const char* utf8) { return gbkText(utf8); }

using Rows = std::vector<std::vector<std::string>>;
using Fields = std::vector<std::pair<std::string, std::string>>;

LedgerRecord record(RecordKind kind, CalendarDate date, const char* item, const char* quantity, const char* amount,
                    const char* writtenOff = "0.00", const char* note = "") {
    LedgerRecord r;
    r.kind = kind;
    r.year = date.year;
    r.month = date.month;
    r.day = date.day;
    r.item = g(item);
    r.quantity = quantity;
    r.amount = amount;
    r.writtenOff = writtenOff;
    r.note = g(note);
    return r;
}

Rows plainDaily(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to, bool debts, double* net) {
    Rows rows;
    double expense = 0, income = 0;
    eachDay(from, to, [&](CalendarDate d) {
        for (const LedgerRecord& r : records) {
            if (!on(r, d))
                continue;
            const std::string date = formatDate(d.year, d.month, d.day);
            if (debts && (r.kind == RecordKind::Lent || r.kind == RecordKind::Borrowed))
                rows.push_back({date, kindName(r.kind), r.item, r.amount, r.writtenOff, r.note});
            if (!debts && (r.kind == RecordKind::Expense || r.kind == RecordKind::Income)) {
                rows.push_back({date, kindName(r.kind), r.item, r.amount, r.quantity, money(recordTotal(r)), r.note});
                (r.kind == RecordKind::Expense ? expense : income) += recordTotal(r);
            }
        }
    });
    if (!debts && !rows.empty()) {
        rows.push_back(std::vector<std::string>(7));
        for (const auto& [caption, value] :
             {std::pair(g("共支"), expense), std::pair(g("共收"), income), std::pair(g("结余"), income - expense)}) {
            std::vector<std::string> row(7);
            row[1] = caption;
            row[5] = money(value);
            rows.push_back(row);
        }
    }
    *net = income - expense;
    return rows;
}

// ---- random ledgers ----

std::vector<LedgerRecord> randomLedger(std::mt19937& random, std::size_t count) {
    const char* const items[] = {"早饭", "早饭 ", "晚饭", "交通", "Tea", "tea", "老王", "饭"};
    const char* const amounts[] = {"12.5", "-3", "abc", "", "0", "7.25", "100", "1e2", "-0"};
    const char* const quantities[] = {"1.00", "2", "0.5", "-1", "x"};
    std::vector<LedgerRecord> records;
    for (std::size_t i = 0; i < count; ++i) {
        LedgerRecord r;
        r.id = static_cast<std::int32_t>(i + 1);
        r.kind = static_cast<RecordKind>(1 + random() % (i % 37 == 0 ? 5 : 4)); // now and then no kind at all
        r.year = 2007 + static_cast<int>(random() % 3);                         // 2008 is a leap year
        r.month = i % 53 == 0 ? static_cast<int>(random() % 15) : 1 + static_cast<int>(random() % 12);
        r.day = i % 41 == 0 ? static_cast<int>(random() % 33) : 1 + static_cast<int>(random() % 28);
        if (i % 29 == 0)
            r.month = 2, r.day = 29;
        r.item = gbkText(items[random() % std::size(items)]);
        r.amount = amounts[random() % std::size(amounts)];
        r.quantity = quantities[random() % std::size(quantities)];
        r.writtenOff = amounts[random() % std::size(amounts)];
        r.note = std::to_string(i);
        records.push_back(r);
        if (random() % 4 == 0) // several records of one day
            records.push_back(records.back());
    }
    return records;
}

CalendarDate randomDate(std::mt19937& random) {
    const int year = 2007 + static_cast<int>(random() % 3);
    const int month = 1 + static_cast<int>(random() % 12);
    return {year, month, 1 + static_cast<int>(random() % static_cast<unsigned>(daysInMonth(year, month)))};
}

TEST(Statistics, FastWalksGiveExactlyWhatTheDayByDayWalksGive) {
    std::mt19937 random(2024);
    for (int round = 0; round < 150; ++round) {
        const std::vector<LedgerRecord> records = randomLedger(random, 20 + random() % 200);
        CalendarDate from = randomDate(random), to = randomDate(random);
        if (round % 10 == 0)
            to = from; // one day
        const std::string what = "round " + std::to_string(round) + " " + formatDate(from.year, from.month, from.day) +
                                 " " + formatDate(to.year, to.month, to.day);
        for (const bool withDebts : {false, true}) {
            const StatisticsView fast = queryPeriod(records, from, to, withDebts);
            const StatisticsView plain = plainQueryPeriod(records, from, to, withDebts);
            ASSERT_EQ(fast.periodList.rows, plain.periodList.rows) << what;
            const bool hasRows = !plain.periodList.rows.empty();
            ASSERT_EQ(summaryFields(hasRows, fast.totals, withDebts), summaryFields(hasRows, plain.totals, withDebts))
                << what;
        }
        double net = 0;
        const Rows daily = plainDaily(records, from, to, false, &net);
        const ListTable fastDaily = dailyRecords(records, from, to);
        ASSERT_EQ(fastDaily.rows, daily) << what;
        ASSERT_EQ(fastDaily.fields, (Fields{{g("总计："), money3(net)}})) << what;
        ASSERT_EQ(dailyDebts(records, from, to).rows, plainDaily(records, from, to, true, &net)) << what;
        for (const RecordKind kind : {RecordKind::Expense, RecordKind::Income})
            ASSERT_EQ(shareList(groupShares(records, from, to, kind), kind).rows, plainShares(records, from, to, kind))
                << what;
    }
}

TEST(Statistics, PeriodQueryCountsEveryDayAndRunsTheBalance) {
    const std::vector<LedgerRecord> records = {
        record(RecordKind::Expense, {2024, 1, 3}, "早饭", "1.00", "10.00"),
        record(RecordKind::Income, {2024, 1, 3}, "工资", "1.00", "100.00"),
        record(RecordKind::Lent, {2024, 1, 5}, "老王", "1.00", "50.00", "20.00"),
        record(RecordKind::Expense, {2024, 1, 31}, "晚饭", "2.00", "3.00"),
    };
    const StatisticsView classic = queryPeriod(records, {2024, 1, 1}, {2024, 1, 31}, false);
    EXPECT_EQ(classic.periodList.rows, (Rows{{"2024-01-03", "10.00", "100.00", "90.00"},
                                             {"2024-01-05", "0.00", "0.00", "90.00"}, // only a debt
                                             {"2024-01-31", "6.00", "0.00", "84.00"}}));
    const Fields summary = summaryFields(true, classic.totals, false);
    EXPECT_EQ(summary[0], std::pair(g("借出合计："), std::string("N/A")));
    EXPECT_EQ(summary[4].second, "0.52"); // 16.00 / 31 days
    EXPECT_EQ(summary[6].second, "31");
    EXPECT_EQ(summary[8].second, "84.00");

    const StatisticsView debts = queryPeriod(records, {2024, 1, 1}, {2024, 1, 31}, true);
    EXPECT_EQ(debts.periodList.rows[1], (std::vector<std::string>{"2024-01-05", "0.00", "0.00", "-30.00", "60.00"}));
    const Fields withDebts = summaryFields(true, debts.totals, true);
    EXPECT_EQ(withDebts[0].second, "30.00");
    EXPECT_EQ(withDebts[7].second, "-30.00");
    EXPECT_EQ(withDebts[8].second, "54.00");

    EXPECT_TRUE(queryPeriod(records, {2024, 2, 1}, {2024, 1, 1}, true).periodList.rows.empty());
    EXPECT_EQ(queryPeriod(records, {2024, 1, 3}, {2024, 1, 3}, false).totals.days, 1);
    EXPECT_EQ(summaryFields(false, {}, true)[6].second, "N/A");
}

TEST(Statistics, SettlementBalancesAndTheRecordsOfARow) {
    std::vector<LedgerRecord> records = {
        record(RecordKind::Income, {2009, 3, 1}, "工资", "1.00", "100.00"),
        record(RecordKind::Expense, {2008, 3, 9}, "早饭", "1.00", "30.00"),
        record(RecordKind::Borrowed, {2008, 3, 9}, "老王", "1.00", "200.00"),
        record(RecordKind::Expense, {2008, 13, 1}, "坏月份", "1.00", "5.00"), // only a damaged file holds this
    };
    EXPECT_EQ(yearList(records), (std::vector<std::string>{"2009", "2008"}));
    const StatisticsView leap = settleYear(records, 2008, true);
    ASSERT_EQ(leap.periodList.rows.size(), 12u);
    EXPECT_EQ(leap.periodList.rows[2],
              (std::vector<std::string>{"   03" + g("月"), "30.00", "0.00", "200.00", "170.00"}));
    EXPECT_EQ(leap.totals.days, 366);
    EXPECT_EQ(leap.totals.expense, 30.0); // the month-13 record is in no month
    EXPECT_EQ(settleYear(records, 2009, false).totals.days, 365);

    const ListTable march = showRowRecords(records, "   03" + g("月"), 2009, false);
    ASSERT_EQ(march.rows.size(), 1u);
    EXPECT_EQ(march.rows[0],
              (std::vector<std::string>{"0", "2009-03-01", g("收入"), g("工资"), "1.00", "100.00", "100.00", ""}));
    const ListTable day = showRowRecords(records, "2008-03-09", std::nullopt, true);
    EXPECT_EQ(day.rows.size(), 2u);
    EXPECT_EQ(day.rows[1][7], "0.00"); // written off, for the debt
    EXPECT_EQ(day.rows[0][7], "");
    EXPECT_TRUE(showRowRecords(records, "2008-03-09", std::nullopt, false).rows.size() == 1); // no debts
    EXPECT_TRUE(showRowRecords(records, "   03" + g("月"), std::nullopt, true).rows.empty());
    EXPECT_EQ(recordColumns(true, true).back().width, 200);

    const MonthBalances balances = showMonthBalances(records, {2009, 3, 1}, true);
    EXPECT_EQ(balances.today, "2009-03-01");
    EXPECT_EQ(balances.lastMonth, "165.00"); // -30 + 200 - 5
    EXPECT_EQ(balances.thisMonth, "265.00");
    EXPECT_EQ(showMonthBalances(records, {2009, 3, 1}, false).lastMonth, "-35.00");
    EXPECT_EQ(showMonthBalances({}, {2009, 3, 1}, false).thisMonth, "0.00");
}

TEST(Statistics, NoFigureIsEverNanOrInfiniteAndNoDateOverflows) {
    const CalendarDate day{2024, 5, 1};
    std::vector<LedgerRecord> records = {
        record(RecordKind::Expense, day, "a", "1", "nan"),
        record(RecordKind::Expense, day, "b", "inf", "2"),
        record(RecordKind::Income, day, "c", "1e300", "1e300"), // a product beyond the largest double
        record(RecordKind::Expense, day, "d", "1", "2.50"),
        record(RecordKind::Expense, {std::numeric_limits<int>::min(), 1, 1}, "e", "1", "1"),
        record(RecordKind::Expense, {std::numeric_limits<int>::max(), 12, 31}, "f", "1", "1"),
    };
    const StatisticsView view = queryPeriod(records, day, day, false);
    EXPECT_EQ(view.periodList.rows, (Rows{{"2024-05-01", "2.50", "0.00", "-2.50"}}));
    EXPECT_EQ(settleYear(records, std::numeric_limits<int>::min(), false).totals.expense, 1.0);
    EXPECT_EQ(showMonthBalances(records, day, true).lastMonth, "-1.00");
    EXPECT_EQ(dailyRecords(records, day, day).fields[0].second, "-2.500");
}

TEST(Statistics, AnEditedRecordShowsItsStoredTexts) {
    LedgerRecord after = record(RecordKind::Expense, {2024, 1, 3}, "早饭", "2.00", "15.00");
    after.note = g("备注");
    std::vector<std::string> recordRow = {"0", "2024-01-03", g("支出"), g("早饭"), "1.00", "10.00", "10.00", ""};
    showEditedRecord(recordRow, after, false);
    EXPECT_EQ(recordRow,
              (std::vector<std::string>{"0", "2024-01-03", g("支出"), g("早饭"), "2.00", "15.00", "30.00", g("备注")}));
}

TEST(StatisticsDialogs, SharesDailyListsAndKeywordQueries) {
    const std::vector<LedgerRecord> records = {
        record(RecordKind::Expense, {2024, 5, 1}, "早饭", "1", "5"),
        record(RecordKind::Expense, {2024, 5, 1}, "交通", "1", "2"),
        record(RecordKind::Income, {2024, 5, 1}, "工资", "1", "100"),
        record(RecordKind::Expense, {2024, 5, 2}, "早饭", "1", "3"),
        record(RecordKind::Lent, {2024, 5, 2}, "老王", "2", "50", "40"),
        record(RecordKind::Expense, {2024, 6, 2}, "晚饭", "1", "30"),
    };
    const CalendarDate from{2024, 5, 1}, to{2024, 5, 3};
    EXPECT_EQ(periodHeader(from, to), "2024-05-01" + g(" 至 ") + "2024-05-03");
    const ListTable shares = shareList(groupShares(records, from, to, RecordKind::Expense), RecordKind::Expense);
    EXPECT_EQ(shares.rows, (Rows{{g("早饭"), "8.00", "80.00"}, {g("交通"), "2.00", "20.00"}}));
    EXPECT_EQ(shares.columns[2].header, g("百分比（%）"));
    const std::vector<LedgerRecord> zero = {record(RecordKind::Income, from, "x", "1", "0")};
    EXPECT_EQ(shareList(groupShares(zero, from, to, RecordKind::Income), RecordKind::Income).rows[0][2], "0.00");

    // Shares of a total within half a cent of 0 are 0.00, not 10^17 percent.
    const std::vector<LedgerRecord> nearZero = {record(RecordKind::Expense, from, "a", "1", "0.10"),
                                                record(RecordKind::Expense, from, "b", "1", "0.20"),
                                                record(RecordKind::Expense, from, "c", "1", "-0.30")};
    for (const auto& row : shareList(groupShares(nearZero, from, to, RecordKind::Expense), RecordKind::Expense).rows)
        EXPECT_EQ(row[2], "0.00") << row[0];

    EXPECT_EQ(dailyDebts(records, from, to).rows,
              (Rows{{"2024-05-02", g("借出"), g("老王"), "50", "40", ""}})); // amount as stored

    const ListTable query = recordQuery(records, g("饭"), from, to);
    ASSERT_EQ(query.rows.size(), 6u); // 早饭 twice, then the total rows
    EXPECT_EQ(query.rows[5][3], "-8.00");
    EXPECT_EQ(query.fields, (Fields{{g("总计："), "-8.000"}}));
    EXPECT_TRUE(recordQuery(records, g("王"), from, to).rows.empty()); // debts never take part
    const ListTable year = recordQueryYear(records, g("晚饭"), 2024);
    EXPECT_EQ(year.rows[5], (std::vector<std::string>{"   06" + g("月"), "", g("晚饭"), "-30.00", ""}));
    EXPECT_EQ(year.rows.size(), 16u);

    const ListTable debts = debtQuery(records, g("老"), from, to);
    EXPECT_EQ(debts.rows, (Rows{{"2024-05-02", g("借出"), g("老王"), "100.00", "40.00", ""}}));
    EXPECT_EQ(debts.fields, (Fields{{g("债务总计："), "-60.000"}}));
    const ListTable debtYear = debtQueryYear(records, g("老王"), 2024);
    EXPECT_EQ(debtYear.rows[4], (std::vector<std::string>{"   05" + g("月"), "", g("老王"), "-100.00", "40.00", ""}));
    EXPECT_EQ(debtYear.fields[0].second, "-60.000");
}

TEST(StatisticsDialogs, ThePieLabelsItsSlicesWithTheListsOwnShares) {
    // 早饭 is 166.67 % of the total because of a negative item; the pie, which cannot draw that
    // item, still says 166.67 and names what it leaves out.
    const std::vector<ItemShare> shares = {{g("早饭"), 10}, {g("退款"), -4}, {g("交通"), 0}};
    const PieChart pie = pieChart(shares, 7);
    ASSERT_EQ(pie.slices.size(), 1u);
    EXPECT_EQ(pie.slices[0].share, shareList(shares, RecordKind::Expense).rows[0][2]);
    EXPECT_EQ(pie.slices[0].share, "166.67");
    ASSERT_EQ(pie.notDrawn.size(), 2u);
    EXPECT_EQ(pie.notDrawn[0].item, g("退款"));

    // Largest first, at most three slices, the rest as "其他" with the shares it gathers added up.
    const PieChart three = pieChart({{"a", 1}, {"b", 5}, {"c", -2}, {"d", 3}, {"e", 2}}, 3);
    ASSERT_EQ(three.slices.size(), 3u);
    EXPECT_EQ(three.slices[0].item, "b");
    EXPECT_EQ(three.slices[0].share, "55.56");
    EXPECT_EQ(three.slices[1].item, "d");
    EXPECT_EQ(three.slices[2].item, g("其他"));
    EXPECT_EQ(three.slices[2].sum, 3.0);
    EXPECT_EQ(three.slices[2].share, "33.33"); // e 22.22 + a 11.11, as the list shows them
}

TEST(StatisticsDialogs, KeywordsMatchOnCharacterBoundaries) {
    // "贰" is D2 E6 in GBK and "尧" is D2 A2: the bytes E6 D2 inside "贰贰" are not the character "孑" (E6 D2).
    EXPECT_TRUE(containsKeyword(g("早饭"), g("饭")));
    EXPECT_TRUE(containsKeyword(g("Tea time"), "Tea"));
    EXPECT_FALSE(containsKeyword(g("Tea"), "tea"));
    EXPECT_FALSE(containsKeyword("\xd2\xe6\xd2\xa2", "\xe6\xd2"));
    EXPECT_TRUE(containsKeyword(g("早饭 "), " "));
}

} // namespace
