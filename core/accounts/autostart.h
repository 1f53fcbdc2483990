#pragma once

#include <string>

// Start with the desktop session: the XDG autostart entry "Quillhaven.desktop" whose Exec line
// is the program's absolute path. The entry being there is what "on" means.

// $XDG_CONFIG_HOME/autostart/Quillhaven.desktop (default ~/.config/autostart/).
std::string autostartEntryPath();

bool isAutostartEnabled();

// On: writes the entry unless it already starts this program; an entry for another path is
// replaced. Off: removes the entry (an absent entry is fine). False on any failure.
bool setAutostart(bool enabled, const std::string& programPath);
