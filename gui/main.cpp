#include "core/app/datapaths.h"
#include "core/app/instancelock.h"
#include "core/ledger/filestore.h"
#include "gui/app/localisation.h"
#include "gui/app/mainwindow.h"
#include "gui/app/settings.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinmetrics.h"

#include <QApplication>
#include <QResource>
#include <QScreen>

#include <cerrno>
#include <clocale>
#include <cstring>

int main(int argc, char** argv) {
    ignoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromUtf8(APPLICATION_NAME));
    useChineseInterface();
    initWindowResources();

    // One copy at a time works on a data directory; a second one ends at once, silently.
    const std::string programDir = programDirectory();
    const std::string dataDir = dataDirectory(programDir);
    switch (acquireInstanceLock(dataDir)) {
    case InstanceLock::Acquired:
        break;
    case InstanceLock::HeldByOther:
        return 0;
    case InstanceLock::Failed:
        prompter().showMessage(nullptr, QStringLiteral("数据目录%1无法锁定（%2），程序无法启动。")
                                            .arg(fromPath(dataDir), QString::fromLocal8Bit(std::strerror(errno))));
        return 1;
    }

    // The size setting picks a resource pack with the larger look; it is read at start only.
    const int pixel = readSetting(PIXEL);
    const std::string pack = resourcePackName(pixel);
    // A missing pack is no error: registering it fails and the normal size is used.
    const bool packLoaded = !pack.empty() && QResource::registerResource(QString::fromStdString(programDir + pack));
    setSkinMetrics(loadSkinMetrics(packLoaded ? pixel : 0));
    QFont font = QApplication::font();
    font.setPointSize(skinMetrics().fontPointSize);
    QApplication::setFont(font);

    MainWindow window(programDir, dataDir);
    if (!window.initialise())
        return window.loginCancelled() ? 0 : 1;
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
