#pragma once

#include <string>

// Where the program and its users' files live. All paths end with '/'.

// The directory of the running executable.
std::string programDirectory();

// Where the files shipped with the program lie (the default item lists, the size packs): beside
// the program (a build folder, a portable copy), else under the install prefix's
// share/mingzhang/.
std::string sharedFilesDirectory(const std::string& programDir);

// The folder that holds "DataRec/": $MINGZHANG_HOME when set; otherwise the program directory
// when it is a portable copy (its shipped files beside it) and writable, else
// $XDG_DATA_HOME/mingzhang/ (an installed copy, even where the user could write /usr/bin).
std::string dataHome(const std::string& programDir);

// dataHome + "DataRec/".
std::string dataDirectory(const std::string& programDir);

// The resource pack the "pixel" setting asks for ("Skin800.rcc", "Skin1024.rcc"), or "" for normal size.
std::string resourcePackName(int pixel);
