#include "core/export/exporttarget.h"

#include "core/ledger/filestore.h"

#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

// The path with every link followed, as far as it exists; the rest of it as written, made plain.
std::string resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(linkTarget(path), error);
    if (error)
        return path;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : canonical.string();
}

bool isInside(const std::string& path, std::string directory) {
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    return path == directory || path.starts_with(directory == "/" ? directory : directory + "/");
}

bool sameFile(const struct stat& a, const std::string& path) {
    struct stat b {};
    return ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::vector<std::string> recordFilesIn(const std::string& directory) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.ends_with(".rec"))
            files.push_back(directory + (directory.ends_with('/') ? "" : "/") + std::string(name));
    }
    ::closedir(dir);
    return files;
}

std::optional<ExportRefusal> refuseExportTarget(const std::string& target, const std::vector<std::string>& dataDirs,
                                                const std::vector<std::string>& recordFiles) {
    const std::string where = resolved(target);
    for (const std::string& dir : dataDirs)
        if (!dir.empty() && isInside(where, resolved(dir)))
            return ExportRefusal::InsideDataDirectory;

    struct stat file {};
    if (::stat(target.c_str(), &file) != 0)
        return std::nullopt; // nothing there yet: it is no record file
    std::vector<std::string> records = recordFiles;
    for (const std::string& dir : dataDirs)
        for (std::string& path : dir.empty() ? std::vector<std::string>() : recordFilesIn(dir))
            records.push_back(std::move(path));
    for (const std::string& record : records)
        if (sameFile(file, record))
            return ExportRefusal::RecordFile;
    return std::nullopt;
}
