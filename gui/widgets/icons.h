#pragma once

#include <QIcon>

// The program's own icons, drawn for it; the desktop theme's are never used.
enum class ProgramIcon { Program, Login, NewUser, DeleteUser };

QIcon programIcon(ProgramIcon icon);

// Registers the built-in images; the windows library is static, so its resources need this once
// before the first window.
void initWindowResources();
