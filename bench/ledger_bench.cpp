// Saving and loading a ledger of 100,000 records, each against the same kind of work on the same
// bytes: the save against writing them to a temporary file that is flushed and renamed over the
// target, the load against reading the file into a buffer allocated once. Prints both ratios.
#include "bench/benchsupport.h"
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
BENCHMARK(BM_LoadLedger)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadBytesIntoBuffer)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("ledger of %d records, %zu bytes on disk\n", RECORD_COUNT, fixture().bytes.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("save (saveLedger / flushed and renamed write)", "BM_SaveLedger",
                        "BM_WriteBytesFlushedAndRenamed");
    reporter.printRatio("load (load / read into one buffer)", "BM_LoadLedger", "BM_ReadBytesIntoBuffer");
    benchmark::Shutdown();
    return 0;
}
