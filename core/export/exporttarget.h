#pragma once

#include <optional>
#include <string>
#include <vector>

// Reports, workbooks and backups are written where the user says, but never over a record file
// and never into the data directory: a report saved there would stand where a ledger was.

enum class ExportRefusal {
    RecordFile,          // the target is a record file (the same file, whatever the spelling or link)
    InsideDataDirectory, // the target lies inside a data directory
};

// Why `target` must not be written, or nullopt when it may. `dataDirs` are the data directories
// (every "*.rec" in them counts as a record file), `recordFiles` further record files. Paths are
// compared with their links followed, files by device and inode.
std::optional<ExportRefusal> refuseExportTarget(const std::string& target, const std::vector<std::string>& dataDirs,
                                                const std::vector<std::string>& recordFiles = {});

// The "*.rec" files in a directory.
std::vector<std::string> recordFilesIn(const std::string& directory);
