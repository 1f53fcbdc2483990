#include "gui/app/program.h"

#include "core/app/datapaths.h"
#include "core/app/instancelock.h"
#include "core/ledger/filestore.h"
#include "gui/app/localisation.h"
#include "gui/app/raiserequest.h"
#include "gui/app/settings.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinmetrics.h"

#include <QApplication>
#include <QResource>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSocket[2] = {-1, -1};

// Only writes a byte: all the work happens in the event loop, which reads it.
void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalSocket[0], &byte, 1);
    errno = saved;
}

// Turns the signals that end a session into a call of `end` in the event loop, once.
bool watchEndSignals(QObject* owner, const std::function<void()>& end) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0)
        return false;
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, end] {
        char bytes[16];
        while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
        }
        notifier->setEnabled(false); // the first signal ends the session; the others change nothing
        end();
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // a save under way goes on where a signal interrupted it
    bool ok = true;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ok = ::sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}

} // namespace

int runProgram(int argc, char** argv, MainWindow::LoginStep login, const std::function<void(MainWindow&)>& started) {
    ignoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromUtf8(APPLICATION_NAME));
    useChineseInterface();
    initWindowResources();
    // At once, so no signal ends the run without its save: until the window runs there is nothing
    // to save, and the run just ends.
    MainWindow* running = nullptr;
    const auto endSession = [&running] {
        if (running)
            running->endSession();
        QCoreApplication::exit(0);
    };
    watchEndSignals(&app, endSession);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&](QSessionManager&) { endSession(); });

    // One copy at a time works on a data directory; a second one ends at once, silently.
    const std::string programDir = programDirectory();
    const std::string dataDir = dataDirectory(programDir);
    switch (acquireInstanceLock(dataDir)) {
    case InstanceLock::Acquired:
        break;
    case InstanceLock::HeldByOther:
        askRunningCopyToRaise(dataDir); // so the user sees the program was started
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
    const std::string sharedDir = sharedFilesDirectory(programDir);
    const bool packLoaded = !pack.empty() && QResource::registerResource(QString::fromStdString(sharedDir + pack));
    setSkinMetrics(loadSkinMetrics(packLoaded ? pixel : 0));
    QFont font = QApplication::font();
    font.setPointSize(skinMetrics().fontPointSize);
    QApplication::setFont(font);

    MainWindow window(sharedDir, dataDir, std::move(login));
    // A second start raises whatever the user works in: the login dialog, or the window.
    RaiseListener raiser(dataDir);
    QObject::connect(&raiser, &RaiseListener::raiseRequested, &app, [&window] {
        QWidget* shown = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &window;
        if (shown->isMinimized())
            shown->showNormal();
        shown->raise();
        shown->activateWindow();
    });
    if (!window.initialise())
        return window.loginCancelled() ? 0 : 1;
    running = &window;
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    if (started)
        started(window);
    return app.exec();
}
