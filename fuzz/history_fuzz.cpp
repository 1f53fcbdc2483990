// Feeds arbitrary bytes to the reader of history versions, as the file of a version.
#include "core/ledger/history.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The version's file: one in memory, rewritten for every input.
int versionFile() {
    static const int fd = [] {
        const int made = ::memfd_create("version", MFD_CLOEXEC);
        if (made < 0)
            std::abort();
        return made;
    }();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = versionFile();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    HistoryVersion version;
    version.id = "20261201-120000";
    version.path = "/proc/self/fd/" + std::to_string(fd);
    version.size = size;

    const VersionContents contents = readVersion(version);
    const VersionSummary summary = summarizeVersion(version);
    if (contents.ok() != contents.problem.empty() || (!contents.ok() && !contents.bytes.empty()))
        __builtin_trap();
    // The list and the restore agree: a version the list offers is one that restores.
    if (summary.problem.empty() && (!contents.ok() || !summary.records))
        __builtin_trap();
    return 0;
}
