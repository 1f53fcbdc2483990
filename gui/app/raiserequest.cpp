#include "gui/app/raiserequest.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int ANSWER_MILLISECONDS = 2000;
const QByteArray REQUEST = QByteArrayLiteral("raise\n");

} // namespace

QString raiseSocketPath(const std::string& dataDir) { return QString::fromStdString(dataDir + ".raise"); }

RaiseListener::RaiseListener(const std::string& dataDir, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Whoever holds the lock owns the name: a socket left by a copy that died goes.
    QLocalServer::removeServer(raiseSocketPath(dataDir));
    m_server->listen(raiseSocketPath(dataDir));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().startsWith(REQUEST.trimmed()))
                    Q_EMIT raiseRequested();
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
}

bool RaiseListener::listening() const { return m_server->isListening(); }

bool askRunningCopyToRaise(const std::string& dataDir) {
    QLocalSocket socket;
    socket.connectToServer(raiseSocketPath(dataDir));
    if (!socket.waitForConnected(ANSWER_MILLISECONDS))
        return false;
    socket.write(REQUEST);
    return socket.waitForBytesWritten(ANSWER_MILLISECONDS);
}
