// The statistics on a ledger of 100,000 records over ten years: the period query over all ten
// years (3,653 days) and the item shares, each against the day-by-day walk as the program
// describes it; the settlement of a year against one bare pass; and "查询" in the statistics page
// (offscreen, model reset included) against its walk in the core. Prints the ratios and checks
// that both walks give the same texts.
#include "bench/benchsupport.h"
#include "core/stats/dialoglists.h"
#include "core/stats/statistics.h"
#include "gui/app/ledgercontext.h"
#include "gui/stats/statisticspage.h"
#include "tests/support/plainwalks.h"

#include <QApplication>
#include <QPushButton>

#include <cstdio>

namespace {

constexpr int RECORD_COUNT = 100'000;
constexpr CalendarDate FROM{2016, 1, 1};
constexpr CalendarDate TO{2025, 12, 31};

LedgerContext& context() {
    static LedgerContext* instance = [] {
        auto* created = new LedgerContext;
        created->ledger() = realisticLedger(RECORD_COUNT, 2016, 10);
        return created;
    }();
    return *instance;
}

const std::vector<LedgerRecord>& records() { return context().ledger().records; }

void BM_QueryPeriod(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(queryPeriod(records(), FROM, TO, true));
}

void BM_PlainQueryPeriod(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(plainQueryPeriod(records(), FROM, TO, true));
}

void BM_ItemShares(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(shareList(groupShares(records(), FROM, TO, RecordKind::Expense), RecordKind::Expense));
}

void BM_PlainItemShares(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(plainShares(records(), FROM, TO, RecordKind::Expense));
}

void BM_SettleYear(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(settleYear(records(), 2020, true));
}

void BM_BarePass(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t matching = 0;
        for (const LedgerRecord& r : records())
            matching += r.year == 2020;
        benchmark::DoNotOptimize(matching);
    }
}

void BM_PageQuery(benchmark::State& state) {
    StatisticsPage page(context(), nullptr);
    page.setPeriod(QDate(FROM.year, FROM.month, FROM.day), QDate(TO.year, TO.month, TO.day));
    page.show();
    auto* query = page.findChild<QPushButton*>(QStringLiteral("queryButton"));
    for (auto _ : state) {
        query->click();
        state.PauseTiming(); // painting follows from the event loop, the same for any ledger
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

bool sameTexts() {
    const StatisticsView fast = queryPeriod(records(), FROM, TO, true);
    const StatisticsView plain = plainQueryPeriod(records(), FROM, TO, true);
    return fast.periodList.rows == plain.periodList.rows &&
           summaryFields(true, fast.totals, true) == summaryFields(true, plain.totals, true) &&
           shareList(groupShares(records(), FROM, TO, RecordKind::Expense), RecordKind::Expense).rows ==
               plainShares(records(), FROM, TO, RecordKind::Expense);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const auto settle = [](benchmark::internal::Benchmark* b, int repetitions) {
        b->Unit(benchmark::kMillisecond)->Repetitions(repetitions)->ReportAggregatesOnly(true);
    };
    settle(benchmark::RegisterBenchmark("BM_QueryPeriod", BM_QueryPeriod), 9);
    settle(benchmark::RegisterBenchmark("BM_PlainQueryPeriod", BM_PlainQueryPeriod)->Iterations(1), 3);
    settle(benchmark::RegisterBenchmark("BM_ItemShares", BM_ItemShares), 9);
    settle(benchmark::RegisterBenchmark("BM_PlainItemShares", BM_PlainItemShares)->Iterations(1), 3);
    settle(benchmark::RegisterBenchmark("BM_SettleYear", BM_SettleYear), 9);
    settle(benchmark::RegisterBenchmark("BM_BarePass", BM_BarePass), 9);
    settle(benchmark::RegisterBenchmark("BM_PageQuery", BM_PageQuery), 9);
    std::printf("ledger of %d records, period %04d-%02d-%02d to %04d-%02d-%02d\n", RECORD_COUNT, FROM.year, FROM.month,
                FROM.day, TO.year, TO.month, TO.day);
    std::printf("the walks give the same texts: %s\n", sameTexts() ? "yes" : "NO");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("period query: day-by-day walk / the program's walk", "BM_PlainQueryPeriod", "BM_QueryPeriod");
    reporter.printRatio("item shares: day-by-day walk / the program's walk", "BM_PlainItemShares", "BM_ItemShares");
    reporter.printRatio("settlement of a year / bare pass", "BM_SettleYear", "BM_BarePass");
    reporter.printRatio("\"查询\" in the page / the query in the core", "BM_PageQuery", "BM_QueryPeriod");
    benchmark::Shutdown();
    return 0;
}
