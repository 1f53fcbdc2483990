#include "app/datapaths.h"
#include "app/instancelock.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "ui/icons.h"

#include <QApplication>
#include <QResource>
#include <QScreen>

#include <clocale>

int main(int argc, char** argv) {
    // A second copy ends at once, silently.
    if (!acquireInstanceLock(instanceLockPath(APPLICATION_NAME)))
        return 0;

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromUtf8(APPLICATION_NAME));
    initWindowResources();

    // The size setting picks a resource pack with the larger look; it is read at start only.
    const std::string programDir = programDirectory();
    const int pixel = readSetting(PIXEL);
    const std::string pack = resourcePackName(pixel);
    // A missing pack is no error: registering it fails and the normal size is used.
    const bool packLoaded = !pack.empty() && QResource::registerResource(QString::fromStdString(programDir + pack));

    MainWindow window(programDir, dataDirectory(programDir), packLoaded ? pixel : 0);
    if (!window.initialise())
        return window.loginCancelled() ? 0 : 1;
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
