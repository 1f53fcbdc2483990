// The bookkeeping pages on a ledger of 100,000 records over ten years: each page's list in the
// core against one bare pass over the records, and each page's refresh in its window (offscreen,
// model reset included) against its list in the core. Prints the ratios.
#include "bench/benchsupport.h"
#include "core/pages/pagelists.h"
#include "gui/app/ledgercontext.h"
#include "gui/pages/entrypage.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

constexpr int RECORD_COUNT = 100'000;
constexpr CalendarDate PICKED{2020, 6, 15};

struct View {
    const char* name;
    PageView view;
};
constexpr View VIEWS[] = {{"Expense", PageView::Expense},
                          {"Income", PageView::Income},
                          {"Combined", PageView::Combined},
                          {"Debt", PageView::Debt}};

LedgerContext& context() {
    static LedgerContext* instance = [] {
        auto* created = new LedgerContext;
        created->ledger() = realisticLedger(RECORD_COUNT, 2016, 10);
        return created;
    }();
    return *instance;
}

// What any refresh must do at the least: look at every record's date once.
void BM_BarePass(benchmark::State& state) {
    const std::vector<LedgerRecord>& records = context().ledger().records;
    for (auto _ : state) {
        std::size_t matching = 0;
        for (const LedgerRecord& r : records)
            matching += r.year == PICKED.year && r.month == PICKED.month;
        benchmark::DoNotOptimize(matching);
    }
}

void BM_ListTable(benchmark::State& state, PageView view) {
    const std::vector<LedgerRecord>& records = context().ledger().records;
    for (auto _ : state)
        benchmark::DoNotOptimize(pageList(view, records, PICKED));
}

std::unique_ptr<EntryPage> makePage(PageView view) {
    switch (view) {
    case PageView::Income:
        return std::make_unique<IncomePage>(context(), nullptr);
    case PageView::Combined:
        return std::make_unique<CombinedPage>(context(), nullptr);
    case PageView::Debt:
        return std::make_unique<DebtPage>(context(), nullptr);
    case PageView::Expense:
        break;
    }
    return std::make_unique<ExpensePage>(context(), nullptr);
}

void BM_PageRefresh(benchmark::State& state, PageView view) {
    std::unique_ptr<EntryPage> page = makePage(view);
    page->setPickedDate(QDate(PICKED.year, PICKED.month, PICKED.day));
    page->show();
    for (auto _ : state) {
        page->refresh();
        // Painting comes later from the event loop and costs the same for any ledger: let it
        // happen outside the measured time, so the paints do not pile up.
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Medians of several short runs, interleaved, so that a noisy moment of the machine does not
    // decide a ratio.
    const auto settle = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.1);
    };
    settle(benchmark::RegisterBenchmark("BM_BarePass", BM_BarePass));
    for (const View& v : VIEWS) {
        settle(benchmark::RegisterBenchmark((std::string("BM_PageList_") + v.name).c_str(), BM_ListTable, v.view));
        settle(benchmark::RegisterBenchmark((std::string("BM_PageRefresh_") + v.name).c_str(), BM_PageRefresh, v.view));
    }
    std::printf("ledger of %d records over ten years, picked day %04d-%02d-%02d\n", RECORD_COUNT, PICKED.year,
                PICKED.month, PICKED.day);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const View& v : VIEWS) {
        const std::string list = std::string("BM_PageList_") + v.name;
        reporter.printRatio((std::string(v.name) + " list in the core / bare pass").c_str(), list, "BM_BarePass");
        reporter.printRatio((std::string(v.name) + " refresh in the window / list in the core").c_str(),
                            std::string("BM_PageRefresh_") + v.name, list);
    }
    benchmark::Shutdown();
    return 0;
}
