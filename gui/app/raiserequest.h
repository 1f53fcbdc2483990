#pragma once

#include <QObject>

#include <string>

class QLocalServer;

// A second start brings the running copy forward: the copy that holds the data directory's lock
// listens on a local socket beside it (owner-only), and a second copy, before it ends, asks it to
// raise its window.
class RaiseListener final : public QObject {
    Q_OBJECT

public:
    RaiseListener(const std::string& dataDir, QObject* parent = nullptr);
    bool listening() const;

Q_SIGNALS:
    void raiseRequested();

private:
    QLocalServer* m_server;
};

// dataDir + ".raise".
QString raiseSocketPath(const std::string& dataDir);

// Asks the copy that runs on this data directory to raise its window; false when none answered.
bool askRunningCopyToRaise(const std::string& dataDir);
