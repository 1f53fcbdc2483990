#pragma once

#include <string>

// Where the program and its users' files live. All paths end with '/'.

// The directory of the running executable.
std::string programDirectory();

// The folder that holds "DataRec/": $MINGZHANG_HOME when set; otherwise the program directory
// when it is writable (a portable copy), else $XDG_DATA_HOME/mingzhang/ (an installed copy).
std::string dataHome(const std::string& programDir);

// dataHome + "DataRec/".
std::string dataDirectory(const std::string& programDir);

// The resource pack the "pixel" setting asks for ("Skin800.rcc", "Skin1024.rcc"), or "" for normal size.
std::string resourcePackName(int pixel);
