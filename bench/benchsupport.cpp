#include "bench/benchsupport.h"

#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"

#include <cstdio>
#include <iterator>
#include <random>

namespace {

const char* const ITEMS[] = {"早饭",     "午饭", "晚饭",     "交通",     "地铁卡充值", "房租",   "水电煤气费",
                             "手机话费", "买菜", "超市购物", "看电影",   "孩子学费",   "医药费", "工资",
                             "年终奖金", "老王", "妈妈",     "同事小李", "网购日用品", "宽带费"};
const char* const NOTE_WORDS[] = {"和", "朋友", "一起", "吃", "了",   "顿",   "火锅", "周末", "打车", "回家",
                                  "还", "钱",   "下",   "月", "答应", "归还", "超市", "打折", "买",   "水果"};

} // namespace

Ledger realisticLedger(int count, int firstYear, int years) {
    std::mt19937 random(20261209);
    Ledger ledger;
    ledger.userName = gbkText("张三");
    ledger.password = "secret";
    ledger.records.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        LedgerRecord record;
        record.id = i + 1;
        record.kind = static_cast<RecordKind>(1 + random() % 4);
        record.year = firstYear + static_cast<int>(random() % static_cast<unsigned>(years));
        record.month = 1 + static_cast<int>(random() % 12);
        record.day = 1 + static_cast<int>(random() % 28);
        record.item = gbkText(ITEMS[random() % std::size(ITEMS)]);
        record.quantity = random() % 5 == 0 ? formatDecimal(1 + random() % 12) : "1.00";
        record.amount = formatDecimal(static_cast<double>(random() % 500000) / 100);
        const int noteWords = static_cast<int>(random() % 12);
        for (int w = 0; w < noteWords; ++w)
            record.note += gbkText(NOTE_WORDS[random() % std::size(NOTE_WORDS)]);
        ledger.records.push_back(std::move(record));
    }
    return ledger;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    // With repetitions the median speaks for the benchmark; without, its one run.
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (median || run.run_type == Run::RT_Iteration)
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::ratio(const std::string& measured, const std::string& baseline) const {
    const auto m = m_times.find(measured);
    const auto b = m_times.find(baseline);
    return m == m_times.end() || b == m_times.end() ? 0.0 : m->second / b->second;
}

void RatioReporter::printRatio(const char* what, const std::string& measured, const std::string& baseline) const {
    std::printf("%-60s %6.2f  (%s / %s)\n", what, ratio(measured, baseline), measured.c_str(), baseline.c_str());
}
