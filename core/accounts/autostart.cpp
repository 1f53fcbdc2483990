#include "core/accounts/autostart.h"

#include "core/ledger/filestore.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace {

std::string configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

// The Exec value for a path, quoted as desktop entries require when it holds reserved characters.
std::string execValue(const std::string& programPath) {
    if (programPath.find_first_of(" \t\"'\\`$;&|<>()*?#~=%") == std::string::npos)
        return programPath;
    std::string quoted = "\"";
    for (const char c : programPath) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\"; // the key file escape of the quoting backslash
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string entryText(const std::string& programPath) {
    return "[Desktop Entry]\nType=Application\nName=明账小匣\nExec=" + execValue(programPath) +
           "\nX-GNOME-Autostart-enabled=true\n";
}

} // namespace

std::string autostartEntryPath() { return configHome() + "/autostart/Quillhaven.desktop"; }

bool isAutostartEnabled() { return fileExists(autostartEntryPath()); }

bool setAutostart(bool enabled, const std::string& programPath) {
    const std::string path = autostartEntryPath();
    if (!enabled)
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    const FileRead current = readFile(path);
    if (current.status == FileRead::Status::Ok && current.bytes == entryText(programPath))
        return true;
    return ensureDirectory(configHome() + "/autostart/") && writeFileAtomically(path, entryText(programPath));
}
