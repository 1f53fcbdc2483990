#include "gui/widgets/icons.h"

#include <array>

namespace {

// By ProgramIcon, in its order. Always the program's own pictures, whatever the desktop theme has.
constexpr std::array<const char*, 4> RESOURCES = {
    ":/images/program.png",
    ":/images/login.png",
    ":/images/newuser.png",
    ":/images/deleteuser.png",
};

} // namespace

QIcon programIcon(ProgramIcon icon) { return QIcon(QString::fromLatin1(RESOURCES.at(static_cast<std::size_t>(icon)))); }

void initWindowResources() { Q_INIT_RESOURCE(resources); }
