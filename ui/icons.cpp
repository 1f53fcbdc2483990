#include "ui/icons.h"

namespace {

struct IconSource {
    ProgramIcon icon;
    const char* themeName;
    const char* resource;
};

constexpr IconSource SOURCES[] = {
    {ProgramIcon::Program, "", ":/images/program.png"},
    {ProgramIcon::Login, "system-log-out", ":/images/login.png"},
    {ProgramIcon::NewUser, "list-add-user", ":/images/newuser.png"},
    {ProgramIcon::DeleteUser, "list-remove-user", ":/images/deleteuser.png"},
};

} // namespace

QIcon programIcon(ProgramIcon icon) {
    for (const IconSource& source : SOURCES)
        if (source.icon == icon)
            return QIcon::fromTheme(QString::fromLatin1(source.themeName), QIcon(QString::fromLatin1(source.resource)));
    return {};
}

void initWindowResources() { Q_INIT_RESOURCE(resources); }
