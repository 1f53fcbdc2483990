#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The version history of a record file: after every save, a compressed copy of what was saved
// goes into history/<name>/ beside the record file (DataRec/history/<user>/ for a user's ledger).
// A version holds the file's own bytes, so opening it needs the password in force when it was
// saved. Versions are zstd frames with a checksum: a damaged one is found, never restored.

struct HistoryVersion {
    std::string id;         // "YYYYMMDD-HHMMSS", with "-N" after a second version in the same second
    std::time_t saved = 0;  // when, as local time read from the id
    std::string path;       // the compressed file
    std::uint64_t size = 0; // its bytes on disk
};

// "YYYY-MM-DD HH:MM:SS" of a local time.
std::string savedText(std::time_t when);

// dir(recordFile) + "history/" + the file name without ".rec" + "/".
std::string historyDirectory(const std::string& recordFile);

// The versions of the record file, newest first.
std::vector<HistoryVersion> listVersions(const std::string& recordFile);

// Which versions stay, given when each was saved (in any order) and the time now: the last 20,
// the newest of each of the last 30 calendar days and the newest of each of the last 12 calendar
// months (local time, today's day and month included). The rest go.
std::vector<bool> versionsToKeep(const std::vector<std::time_t>& saved, std::time_t now);

struct VersionContents {
    enum class Status { Ok, Damaged, Unreadable } status = Status::Ok;
    std::string bytes;   // the record file as it was saved
    std::string problem; // why not, for a damaged or unreadable version (GBK)
    bool ok() const { return status == Status::Ok; }
};
VersionContents readVersion(const HistoryVersion& version);

// What a list of versions shows of one: its number of records, or why it cannot be restored. The
// whole frame is checked.
struct VersionSummary {
    std::optional<std::int64_t> records;
    std::string problem; // why it cannot be restored (GBK), "" for a whole version
};
VersionSummary summarizeVersion(const HistoryVersion& version);

// Adds the file at `source` (a record file as saved) as a version of `recordFile` saved at
// `saved`, then removes what retention no longer keeps. False when it could not be written.
bool addVersion(const std::string& recordFile, const std::string& source, std::time_t saved);

// Compresses what a run that was killed left waiting for this record file.
void completePendingVersions(const std::string& recordFile);

// Removes the record file's whole history, as deleting its user does.
bool removeHistory(const std::string& recordFile);

// Keeps the history of the files a program saves without making the saves wait: `saved` links
// the file just saved into the history folder (it costs one system call, and the link keeps those
// very bytes whatever is saved next) and a worker thread compresses it. Destroying the keeper
// waits for the work in hand.
class HistoryKeeper {
public:
    HistoryKeeper() = default;
    ~HistoryKeeper();
    HistoryKeeper(const HistoryKeeper&) = delete;
    HistoryKeeper& operator=(const HistoryKeeper&) = delete;

    void saved(const std::string& recordFile);
    // Waits until every version handed over is written.
    void finish();

private:
    struct Job {
        std::string recordFile;
        std::string pending; // the link to the saved bytes, named ".pending-" + the version's id
        std::string id;
    };
    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_worker;
};
