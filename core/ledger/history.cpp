#include "core/ledger/history.h"

#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/recordfile.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr std::string_view VERSION_SUFFIX = ".zst";
constexpr std::string_view PENDING_PREFIX = ".pending-";
constexpr int COMPRESSION_LEVEL = 1; // the fastest: the saves it runs beside should not feel it
constexpr std::size_t KEEP_LAST = 20;
constexpr int KEEP_DAYS = 30;
constexpr int KEEP_MONTHS = 12;

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

// A local time written with strftime's `format`.
std::string timeText(std::time_t when, const char* format) {
    const std::tm t = localTime(when);
    std::array<char, 80> text{};
    return std::string(text.data(), std::strftime(text.data(), text.size(), format, &t));
}

// The time and the sequence number ("-N", 1 without) of an id; nullopt for a name that is no id.
std::optional<std::pair<std::time_t, int>> parseId(std::string_view id) {
    std::tm t{};
    int sequence = 1;
    char extra = 0;
    const std::string text(id);
    const int read = std::sscanf(text.c_str(), "%4d%2d%2d-%2d%2d%2d-%d%c", &t.tm_year, &t.tm_mon, &t.tm_mday,
                                 &t.tm_hour, &t.tm_min, &t.tm_sec, &sequence, &extra);
    if ((read != 6 && read != 7) || text.size() < 15)
        return std::nullopt;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    return std::pair(std::mktime(&t), read == 7 ? sequence : 1);
}

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

// An id for a version saved at `when` that no version or pending version of the folder has yet.
std::string freshId(const std::string& directory, std::time_t when) {
    const std::vector<std::string> names = namesIn(directory);
    const std::set<std::string> taken(names.begin(), names.end());
    const std::string base = timeText(when, "%Y%m%d-%H%M%S");
    for (int sequence = 1;; ++sequence) {
        const std::string id = sequence == 1 ? base : base + "-" + std::to_string(sequence);
        if (!taken.contains(id + std::string(VERSION_SUFFIX)) && !taken.contains(std::string(PENDING_PREFIX) + id))
            return id;
    }
}

// Streams `source` through the compressor into `file`; false when a read, the compressor or a
// write failed.
bool compressInto(FileSource& source, AtomicFile& file) {
    ZSTD_CCtx* context = ZSTD_createCCtx();
    if (!context)
        return false;
    bool ok = !ZSTD_isError(ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, COMPRESSION_LEVEL)) &&
              !ZSTD_isError(ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1)) &&
              !ZSTD_isError(ZSTD_CCtx_setPledgedSrcSize(context, source.size()));
    std::string in(ZSTD_CStreamInSize(), '\0'), out(ZSTD_CStreamOutSize(), '\0');
    bool ended = false;
    while (ok && !ended) {
        const std::size_t read = source.read(in.data(), in.size());
        ok = !source.failed();
        const ZSTD_EndDirective mode = read == 0 ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer input{in.data(), read, 0};
        bool drained = false;
        while (ok && !drained) {
            ZSTD_outBuffer output{out.data(), out.size(), 0};
            const std::size_t left = ZSTD_compressStream2(context, &output, &input, mode);
            ok = !ZSTD_isError(left) && file.write(std::string_view(out.data(), output.pos));
            drained = mode == ZSTD_e_end ? left == 0 : input.pos == input.size;
        }
        ended = mode == ZSTD_e_end;
    }
    ZSTD_freeCCtx(context);
    return ok;
}

void prune(const std::string& recordFile) {
    const std::vector<HistoryVersion> versions = listVersions(recordFile);
    std::vector<std::time_t> saved;
    for (const HistoryVersion& version : versions)
        saved.push_back(version.saved);
    const std::vector<bool> keep = versionsToKeep(saved, std::time(nullptr));
    for (std::size_t i = 0; i < versions.size(); ++i)
        if (!keep[i])
            ::unlink(versions[i].path.c_str());
}

// Compresses `source` into the version `id` (a fresh one when that is taken), then prunes.
bool writeVersion(const std::string& recordFile, const std::string& source, std::string id) {
    const std::string directory = historyDirectory(recordFile);
    if (!ensureDirectory(directory))
        return false;
    struct stat taken {};
    const auto saved = parseId(id);
    if (!saved || ::lstat((directory + id + std::string(VERSION_SUFFIX)).c_str(), &taken) == 0)
        id = freshId(directory, saved ? saved->first : std::time(nullptr));
    FileSource input(source);
    if (input.status() != FileRead::Status::Ok)
        return false;
    AtomicFile file(directory + id + std::string(VERSION_SUFFIX));
    if (!file.open() || !compressInto(input, file) || !file.commit())
        return false;
    prune(recordFile);
    return true;
}

} // namespace

std::string savedText(std::time_t when) { return timeText(when, "%Y-%m-%d %H:%M:%S"); }

std::string historyDirectory(const std::string& recordFile) {
    std::string name = recordFile.substr(recordFile.rfind('/') + 1);
    if (name.ends_with(".rec"))
        name.resize(name.size() - 4);
    return directoryOf(recordFile) + "history/" + name + "/";
}

std::vector<HistoryVersion> listVersions(const std::string& recordFile) {
    const std::string directory = historyDirectory(recordFile);
    std::vector<std::pair<int, HistoryVersion>> found;
    for (const std::string& name : namesIn(directory)) {
        if (!name.ends_with(VERSION_SUFFIX) || name.starts_with('.'))
            continue;
        HistoryVersion version;
        version.id = name.substr(0, name.size() - VERSION_SUFFIX.size());
        const auto parsed = parseId(version.id);
        if (!parsed)
            continue;
        version.saved = parsed->first;
        version.path = directory + name;
        struct stat info {};
        if (::stat(version.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        version.size = static_cast<std::uint64_t>(info.st_size);
        found.emplace_back(parsed->second, std::move(version));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.second.saved != b.second.saved ? a.second.saved > b.second.saved : a.first > b.first;
    });
    std::vector<HistoryVersion> versions;
    for (auto& [sequence, version] : found)
        versions.push_back(std::move(version));
    return versions;
}

std::vector<bool> versionsToKeep(const std::vector<std::time_t>& saved, std::time_t now) {
    std::vector<std::size_t> newestFirst(saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        newestFirst[i] = i;
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [&](std::size_t a, std::size_t b) { return saved[a] > saved[b]; });
    const std::tm today = localTime(now);
    // Calendar days and months counted back from now: 0 is today (this month).
    const auto daysBack = [&](const std::tm& t) {
        std::tm a = today, b = t;
        a.tm_hour = b.tm_hour = 12;
        a.tm_min = b.tm_min = a.tm_sec = b.tm_sec = 0;
        a.tm_isdst = b.tm_isdst = -1;
        return static_cast<long>(std::lround(std::difftime(std::mktime(&a), std::mktime(&b)) / 86400.0));
    };
    const auto monthsBack = [&](const std::tm& t) {
        return (today.tm_year - t.tm_year) * 12L + (today.tm_mon - t.tm_mon);
    };
    std::vector<bool> keep(saved.size(), false);
    std::set<long> daysTaken, monthsTaken;
    for (std::size_t rank = 0; rank < newestFirst.size(); ++rank) {
        const std::size_t i = newestFirst[rank];
        const std::tm t = localTime(saved[i]);
        const long day = std::max(0L, daysBack(t)), month = std::max(0L, monthsBack(t));
        const bool newestOfDay = day < KEEP_DAYS && daysTaken.insert(day).second;
        const bool newestOfMonth = month < KEEP_MONTHS && monthsTaken.insert(month).second;
        keep[i] = rank < KEEP_LAST || newestOfDay || newestOfMonth;
    }
    return keep;
}

namespace {

// Why a version cannot be restored, as the list of versions shows it (GBK).
std::string damageText(std::size_t zstdError) {
    return gbkText(ZSTD_getErrorCode(zstdError) == ZSTD_error_checksum_wrong ? "校验和不符" : "压缩数据有误");
}

// Decompresses a version chunk by chunk into `sink`, checking the frame whole, its checksum
// included. The problem (GBK), or "" when it read whole.
template <typename Sink> std::string decodeVersion(const HistoryVersion& version, Sink sink, bool& unreadable) {
    unreadable = false;
    FileSource file(version.path);
    if (file.status() != FileRead::Status::Ok) {
        unreadable = true;
        return gbkText("无法读取");
    }
    ZSTD_DCtx* context = ZSTD_createDCtx();
    if (!context) {
        unreadable = true;
        return gbkText("内存不足，无法读取");
    }
    std::string problem;
    std::string in(ZSTD_DStreamInSize(), '\0'), out(ZSTD_DStreamOutSize(), '\0');
    std::size_t hint = 1; // 0 once a whole frame, its checksum included, was read
    while (problem.empty()) {
        const std::size_t read = file.read(in.data(), in.size());
        if (read == 0)
            break;
        ZSTD_inBuffer input{in.data(), read, 0};
        while (problem.empty() && input.pos < input.size) {
            ZSTD_outBuffer output{out.data(), out.size(), 0};
            hint = ZSTD_decompressStream(context, &output, &input);
            if (ZSTD_isError(hint))
                problem = damageText(hint);
            else
                sink(std::string_view(out.data(), output.pos));
        }
    }
    ZSTD_freeDCtx(context);
    if (problem.empty() && file.failed()) {
        unreadable = true;
        problem = gbkText("无法读取");
    } else if (problem.empty() && hint != 0) {
        problem = gbkText("文件不完整");
    }
    return problem;
}

} // namespace

VersionContents readVersion(const HistoryVersion& version) {
    VersionContents contents;
    bool unreadable = false;
    contents.problem = decodeVersion(
        version, [&](std::string_view chunk) { contents.bytes.append(chunk); }, unreadable);
    if (!contents.problem.empty()) {
        contents.status = unreadable ? VersionContents::Status::Unreadable : VersionContents::Status::Damaged;
        contents.bytes.clear();
    }
    return contents;
}

VersionSummary summarizeVersion(const HistoryVersion& version) {
    // The header and the count lie in the first bytes; the rest is only checked.
    constexpr std::size_t HEAD = 64 * 1024;
    std::string head;
    bool unreadable = false;
    VersionSummary summary;
    summary.problem = decodeVersion(
        version, [&](std::string_view chunk) { head.append(chunk.substr(0, HEAD - std::min(HEAD, head.size()))); },
        unreadable);
    if (!summary.problem.empty())
        return summary;
    StoredHeader header;
    std::int64_t count = 0;
    if (readStoredCount(head, header, count).ok())
        summary.records = count;
    else
        summary.problem = gbkText("不是记录文件");
    return summary;
}

bool addVersion(const std::string& recordFile, const std::string& source, std::time_t saved) {
    const std::string directory = historyDirectory(recordFile);
    return ensureDirectory(directory) && writeVersion(recordFile, source, freshId(directory, saved));
}

void completePendingVersions(const std::string& recordFile) {
    const std::string directory = historyDirectory(recordFile);
    for (const std::string& name : namesIn(directory)) {
        if (name.starts_with(PENDING_PREFIX)) {
            writeVersion(recordFile, directory + name, name.substr(PENDING_PREFIX.size()));
            ::unlink((directory + name).c_str());
        } else if (name.ends_with(".saving")) {
            ::unlink((directory + name).c_str()); // a version cut short while it was written
        }
    }
}

bool removeHistory(const std::string& recordFile) {
    std::error_code error;
    std::filesystem::remove_all(historyDirectory(recordFile), error);
    return !error;
}

HistoryKeeper::~HistoryKeeper() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void HistoryKeeper::saved(const std::string& recordFile) {
    const std::string directory = historyDirectory(recordFile);
    if (!ensureDirectory(directory))
        return;
    const std::string id = freshId(directory, std::time(nullptr));
    Job job{recordFile, directory + std::string(PENDING_PREFIX) + id, id};
    // A link to the very file saved: a later save renames another file over the record file and
    // leaves these bytes alone. Where no link can be made, the file is read as it then stands.
    if (::link(linkTarget(recordFile).c_str(), job.pending.c_str()) != 0)
        job.pending.clear();
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        if (!m_worker.joinable())
            m_worker = std::thread(&HistoryKeeper::work, this);
    }
    m_changed.notify_all();
}

void HistoryKeeper::finish() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void HistoryKeeper::work() {
    // Behind everything else the program does, for the processor and the disk: a save going on
    // beside the worker does not wait for it.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    constexpr int IOPRIO_CLASS_IDLE = 3, IOPRIO_CLASS_SHIFT = 13, IOPRIO_WHO_PROCESS = 1;
    ::syscall(SYS_ioprio_set, IOPRIO_WHO_PROCESS, ::gettid(), IOPRIO_CLASS_IDLE << IOPRIO_CLASS_SHIFT);
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // stopping, and nothing left to write
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        writeVersion(job.recordFile, job.pending.empty() ? job.recordFile : job.pending, job.id);
        if (!job.pending.empty())
            ::unlink(job.pending.c_str());
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
