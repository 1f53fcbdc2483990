// The commands that show what the windows show: a bookkeeping page's list, and every list of the
// statistics page and its dialogs, in the one {"columns", "rows", "fields"} form.
#include "cli/commandsupport.h"

#include "core/ledger/gbk.h"
#include "core/pages/pagelists.h"
#include "core/stats/dialoglists.h"
#include "core/stats/figures.h"
#include "core/stats/statistics.h"

#include <charconv>
#include <ctime>
#include <map>
#include <memory>
#include <ostream>

namespace {

const std::map<std::string, PageView> PAGE_VIEWS = {{"expense", PageView::Expense},
                                                    {"income", PageView::Income},
                                                    {"combined", PageView::Combined},
                                                    {"debt", PageView::Debt}};

const std::vector<std::string> STATS_VIEWS = {"period",        "settle",       "records", "daily",     "daily-debts",
                                              "share-expense", "share-income", "query",   "debt-query"};

struct Options {
    std::string view, file, password, date;
    std::optional<std::string> from, to, year, keyword, today, row;
    std::string layout = "0";
};

CalendarDate today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

const std::string& required(const std::optional<std::string>& value, const char* option) {
    if (!value)
        throw InputError(std::string("missing --") + option);
    return *value;
}

int yearFrom(const std::optional<std::string>& text) {
    const std::string& year = required(text, "year");
    int value = 0;
    const auto [end, error] = std::from_chars(year.data(), year.data() + year.size(), value);
    if (error != std::errc{} || end != year.data() + year.size())
        throw InputError("--year must be a whole number: " + year);
    return value;
}

// The statistics page's list with its nine summary values and the month balances beside it.
ListTable withSummary(const StatisticsView& view, const std::vector<LedgerRecord>& records, CalendarDate now,
                      bool withDebts) {
    ListTable list = view.periodList;
    list.fields = summaryFields(!list.rows.empty(), view.totals, withDebts);
    const MonthBalances balances = showMonthBalances(records, now, withDebts);
    list.fields.emplace_back(gbkText("上月结余："), balances.lastMonth);
    list.fields.emplace_back(gbkText("本月结余："), balances.thisMonth);
    list.fields.emplace_back(gbkText("今日："), balances.today);
    return list;
}

void page(const Options& o, CommandIo& io) {
    const CalendarDate date = dateFrom(o.date, "date");
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    io.out << listView(pageList(PAGE_VIEWS.at(o.view), records, date)).dump(2) << '\n';
}

void stats(const Options& o, CommandIo& io) {
    const std::string& view = o.view;
    const bool withDebts = o.layout == "1";
    const CalendarDate now = o.today ? dateFrom(*o.today, "today") : today();
    const auto period = [&] {
        return std::pair(dateFrom(required(o.from, "from"), "from"), dateFrom(required(o.to, "to"), "to"));
    };
    // As the query dialogs do: the keyword is checked first, then the year list.
    const bool keywordView = view == "query" || view == "debt-query";
    const std::string keyword = keywordView ? shownGbk(required(o.keyword, "keyword")) : std::string();
    if (keywordView && keyword.empty())
        throw InputError("关键字不能为空！");
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    const bool yearMode = o.year.has_value();
    if ((view == "settle" || (keywordView && yearMode)) && yearList(records).empty())
        throw InputError("不存在收支数据！");

    ListTable list;
    if (view == "period") {
        const auto [from, to] = period();
        list = withSummary(queryPeriod(records, from, to, withDebts), records, now, withDebts);
    } else if (view == "settle") {
        list = withSummary(settleYear(records, yearFrom(o.year), withDebts), records, now, withDebts);
    } else if (view == "records") {
        const std::optional<int> year = yearMode ? std::optional(yearFrom(o.year)) : std::nullopt;
        list = showRowRecords(records, toGbk(required(o.row, "row"), "--row"), year, withDebts);
    } else if (view == "daily" || view == "daily-debts") {
        const auto [from, to] = period();
        list = view == "daily" ? dailyRecords(records, from, to) : dailyDebts(records, from, to);
    } else if (view == "share-expense" || view == "share-income") {
        const auto [from, to] = period();
        const RecordKind kind = view == "share-expense" ? RecordKind::Expense : RecordKind::Income;
        list = shareList(groupShares(records, from, to, kind), kind);
    } else {
        const bool debts = view == "debt-query";
        if (yearMode) {
            const int year = yearFrom(o.year);
            list = debts ? debtQueryYear(records, keyword, year) : recordQueryYear(records, keyword, year);
        } else {
            const auto [from, to] = period();
            list = debts ? debtQuery(records, keyword, from, to) : recordQuery(records, keyword, from, to);
        }
    }
    io.out << listView(list).dump(2) << '\n';
}

} // namespace

void addViewCommands(CLI::App& app, CommandIo& io) {
    const auto options = std::make_shared<Options>();
    Options& o = *options;

    CLI::App* sub = app.add_subcommand(
        "page", "Print what a bookkeeping page lists after a refresh on a date: expense or income (the day's list), "
                "combined or debt (the month's list).");
    std::vector<std::string> pageViews;
    for (const auto& [name, view] : PAGE_VIEWS)
        pageViews.push_back(name);
    sub->add_option("VIEW", o.view, "expense, income, combined or debt")->required()->check(CLI::IsMember(pageViews));
    sub->add_option("FILE", o.file, "the record file")->required();
    sub->add_option("--password", o.password, "the file's password")->required();
    sub->add_option("--date", o.date, "the day picked, YYYY-MM-DD")->required();
    sub->callback([&io, options] { page(*options, io); });

    sub = app.add_subcommand(
        "stats", "Print what the statistics page or one of its dialogs shows: period (after 查询, --from and --to), "
                 "settle (after 结算, --year), records (of the period-list row --row, a day or a month row such as "
                 "\"   03月\" of --year), daily, daily-debts, share-expense, share-income (--from, --to), query and "
                 "debt-query (--keyword, and --from and --to or --year).");
    sub->add_option("VIEW", o.view, "the list")->required()->check(CLI::IsMember(STATS_VIEWS));
    sub->add_option("FILE", o.file, "the record file")->required();
    sub->add_option("--password", o.password, "the file's password")->required();
    sub->add_option("--from", o.from, "the first day of the period, YYYY-MM-DD");
    sub->add_option("--to", o.to, "the last day of the period, YYYY-MM-DD");
    sub->add_option("--year", o.year, "the year settled or queried");
    sub->add_option("--keyword", o.keyword, "what the item or counterpart contains");
    sub->add_option("--layout", o.layout, "1 counts debts as the new layout does (default 0)")
        ->check(CLI::IsMember({"0", "1"}));
    sub->add_option("--today", o.today, "stands in for the local date, YYYY-MM-DD");
    sub->add_option("--row", o.row, "the period-list row whose records to show");
    sub->callback([&io, options] { stats(*options, io); });
}
