#pragma once

#include <QIcon>

// The program's own icons, with the desktop theme's where it has a matching one.
enum class ProgramIcon { Program, Login, NewUser, DeleteUser };

QIcon programIcon(ProgramIcon icon);

// Registers the built-in images; the windows library is static, so its resources need this once
// before the first window.
void initWindowResources();
