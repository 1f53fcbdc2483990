// Saving and loading a ledger of 100,000 records, each against the same kind of work on the same
// bytes: the save against writing them to a temporary file that is flushed and renamed over the
// target, the load against reading the file into a buffer allocated once; and the save with its
// version history against the save alone. Prints the ratios, and what a version costs.
#include "bench/benchsupport.h"
#include "core/ledger/history.h"
#include "core/ledger/recordfile.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int RECORD_COUNT = 100'000;

struct Fixture {
    Fixture() : ledger(realisticLedger(RECORD_COUNT, 2000, 27)) {
        char pattern[] = "/tmp/mzbench-XXXXXX";
        dir = ::mkdtemp(pattern);
        ledger.recordFilePath = dir + "/user.rec";
        serializeLedger(ledger, bytes, 2.0);
        saveLedger(ledger);
    }
    ~Fixture() {
        removeHistory(ledger.recordFilePath);
        std::remove(ledger.recordFilePath.c_str());
        std::remove((dir + "/plain.bin").c_str());
        ::rmdir((dir + "/history").c_str());
        ::rmdir(dir.c_str());
    }
    Ledger ledger;
    std::string dir;
    std::string bytes;
    HistoryKeeper keeper;
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

// The save as the program makes it, the version of the history compressed by the keeper's worker
// on the other core. Saves that follow each other at once: the worker is busy with the version of
// the save before while the next one runs.
void BM_SaveLedgerWithHistory(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(saveLedger(f.ledger));
        f.keeper.saved(f.ledger.recordFilePath);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

// The same with a pause between the saves long enough for the worker to be done, as when a
// person adds one record after another: what a save costs when nothing else runs.
void BM_SaveLedgerWithHistoryAfterAPause(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.keeper.finish();
        state.ResumeTiming();
        benchmark::DoNotOptimize(saveLedger(f.ledger));
        f.keeper.saved(f.ledger.recordFilePath);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

// Compressing one version on one core, as the keeper's worker does.
void BM_CompressVersion(benchmark::State& state) {
    Fixture& f = fixture();
    f.keeper.finish(); // what the saves before left to compress, outside the time measured
    for (auto _ : state)
        benchmark::DoNotOptimize(addVersion(f.ledger.recordFilePath, f.ledger.recordFilePath, std::time(nullptr)));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

void BM_WriteBytesFlushedAndRenamed(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string temporary = f.dir + "/plain.bin.saving";
    const std::string target = f.dir + "/plain.bin";
    for (auto _ : state) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        for (std::size_t done = 0; done < f.bytes.size();) {
            const ssize_t n = ::write(fd, f.bytes.data() + done, f.bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
        ::rename(temporary.c_str(), target.c_str());
        const int dir = ::open(f.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(dir);
        ::close(dir);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

// The load of the ledger into memory; freeing what was loaded is left out of the time, as the
// baseline's buffer is never freed.
void BM_LoadLedger(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        Ledger ledger;
        ledger.userName = f.ledger.userName;
        ledger.password = f.ledger.password;
        {
            FileSource file(f.ledger.recordFilePath);
            benchmark::DoNotOptimize(serializeLedger(ledger, file));
        }
        state.PauseTiming();
        ledger = Ledger();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

void BM_ReadBytesIntoBuffer(benchmark::State& state) {
    Fixture& f = fixture();
    std::string buffer(f.bytes.size(), '\0');
    for (auto _ : state) {
        const int fd = ::open(f.ledger.recordFilePath.c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.bytes.size()));
}

BENCHMARK(BM_SaveLedger)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteBytesFlushedAndRenamed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveLedgerWithHistory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveLedgerWithHistoryAfterAPause)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CompressVersion)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// The load is mostly work on both cores, its baseline mostly memory traffic, and the machine's
// speed for the one moves apart from the other's: the median of several runs of each is compared.
BENCHMARK(BM_LoadLedger)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadBytesIntoBuffer)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("ledger of %d records, %zu bytes on disk\n", RECORD_COUNT, fixture().bytes.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("save (saveLedger / flushed and renamed write)", "BM_SaveLedger",
                        "BM_WriteBytesFlushedAndRenamed");
    reporter.printRatio("load (load / read into one buffer)", "BM_LoadLedger", "BM_ReadBytesIntoBuffer");
    reporter.printRatio("save with history, saves at once after each other / save alone", "BM_SaveLedgerWithHistory",
                        "BM_SaveLedger");
    reporter.printRatio("save with history, a pause between saves / save alone", "BM_SaveLedgerWithHistoryAfterAPause",
                        "BM_SaveLedger");
    const std::vector<HistoryVersion> versions = listVersions(fixture().ledger.recordFilePath);
    if (!versions.empty())
        std::printf("a version of the ledger takes %llu bytes (%.1f%% of the record file)\n",
                    static_cast<unsigned long long>(versions.front().size),
                    100.0 * static_cast<double>(versions.front().size) / static_cast<double>(fixture().bytes.size()));
    benchmark::Shutdown();
    return 0;
}
