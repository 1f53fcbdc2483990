#include "core/app/datapaths.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string programDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "./";
    const std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

namespace {

// A copy with its shipped files beside it, not installed under a prefix.
bool isPortable(const std::string& programDir) { return ::access((programDir + "OutDefs.txt").c_str(), F_OK) == 0; }

} // namespace

std::string sharedFilesDirectory(const std::string& programDir) {
    if (isPortable(programDir))
        return programDir;
    const std::string installed = programDir + "../share/mingzhang/";
    char resolved[PATH_MAX];
    if (::realpath(installed.c_str(), resolved))
        return withSlash(resolved);
    return programDir;
}

std::string dataHome(const std::string& programDir) {
    if (std::string home = environment("MINGZHANG_HOME"); !home.empty())
        return withSlash(home);
    if (isPortable(programDir) && ::access(programDir.c_str(), W_OK) == 0)
        return programDir;
    std::string xdg = environment("XDG_DATA_HOME");
    if (xdg.empty())
        xdg = withSlash(environment("HOME")) + ".local/share";
    return withSlash(xdg) + "mingzhang/";
}

std::string dataDirectory(const std::string& programDir) { return dataHome(programDir) + "DataRec/"; }

std::string resourcePackName(int pixel) {
    switch (pixel) {
    case 1:
        return "Skin800.rcc";
    case 2:
        return "Skin1024.rcc";
    default:
        return "";
    }
}
