// Saving and loading a ledger of 100,000 records, against writing and reading the same bytes with
// one buffered stream. Prints the two ratios at the end.
#include "core/ledger/decimal.h"
#include "core/ledger/gbk.h"
#include "core/ledger/recordfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <unistd.h>

namespace {

constexpr int RECORD_COUNT = 100'000;

const char* const ITEMS[] = {"早饭",     "午饭", "晚饭",     "交通",     "地铁卡充值", "房租",   "水电煤气费",
                             "手机话费", "买菜", "超市购物", "看电影",   "孩子学费",   "医药费", "工资",
                             "年终奖金", "老王", "妈妈",     "同事小李", "网购日用品", "宽带费"};
const char* const NOTE_WORDS[] = {"和", "朋友", "一起", "吃", "了",   "顿",   "火锅", "周末", "打车", "回家",
                                  "还", "钱",   "下",   "月", "答应", "归还", "超市", "打折", "买",   "水果"};

std::string gbk(const char* utf8) { return utf8ToGbk(utf8).value(); }

Ledger realisticLedger() {
    std::mt19937 random(20261209);
    Ledger ledger;
    ledger.userName = gbk("张三");
    ledger.password = "secret";
    ledger.records.reserve(RECORD_COUNT);
    for (int i = 0; i < RECORD_COUNT; ++i) {
        LedgerRecord record;
        record.id = i + 1;
        record.kind = static_cast<RecordKind>(1 + random() % 4);
        record.year = 2000 + static_cast<int>(random() % 27);
        record.month = 1 + static_cast<int>(random() % 12);
        record.day = 1 + static_cast<int>(random() % 28);
        record.item = gbk(ITEMS[random() % std::size(ITEMS)]);
        record.quantity = random() % 5 == 0 ? formatDecimal(1 + random() % 12) : "1.00";
        record.amount = formatDecimal(static_cast<double>(random() % 500000) / 100);
        const int noteWords = static_cast<int>(random() % 12);
        for (int w = 0; w < noteWords; ++w)
            record.note += gbk(NOTE_WORDS[random() % std::size(NOTE_WORDS)]);
        ledger.records.push_back(std::move(record));
    }
    return ledger;
}

struct Fixture {
    Fixture() : ledger(realisticLedger()) {
        char pattern[] = "/tmp/mzbench-XXXXXX";
        dir = ::mkdtemp(pattern);
        ledger.recordFilePath = dir + "/user.rec";
        serializeLedger(ledger, bytes, 2.0);
        saveLedger(ledger);
    }
    ~Fixture() {
        std::remove(ledger.recordFilePath.c_str());
        std::remove((dir + "/plain.bin").c_str());
        ::rmdir(dir.c_str());
    }
    Ledger ledger;
    std::string dir;
    std::string bytes;
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void BM_SaveLedger(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveLedger(f.ledger));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

void BM_WriteBytesWithStream(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        std::ofstream out(f.dir + "/plain.bin", std::ios::binary | std::ios::trunc);
        out.write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

void BM_LoadLedger(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        Ledger ledger;
        ledger.userName = f.ledger.userName;
        ledger.password = f.ledger.password;
        FileSource file(f.ledger.recordFilePath);
        benchmark::DoNotOptimize(serializeLedger(ledger, file));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

void BM_ReadBytesWithStream(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        std::ifstream in(f.ledger.recordFilePath, std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

BENCHMARK(BM_SaveLedger)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteBytesWithStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadLedger)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadBytesWithStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the real time per iteration of every run so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("ledger of %d records, %zu bytes on disk\n", RECORD_COUNT, fixture().bytes.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* measured, const char* baseline) {
        const auto m = reporter.times.find(measured);
        const auto b = reporter.times.find(baseline);
        return m == reporter.times.end() || b == reporter.times.end() ? 0.0 : m->second / b->second;
    };
    std::printf("save ratio (saveLedger / buffered stream write): %.2f\n",
                ratio("BM_SaveLedger/min_time:2.000", "BM_WriteBytesWithStream/min_time:2.000"));
    std::printf("load ratio (load / buffered stream read): %.2f\n",
                ratio("BM_LoadLedger/min_time:2.000", "BM_ReadBytesWithStream/min_time:2.000"));
    benchmark::Shutdown();
    return 0;
}
