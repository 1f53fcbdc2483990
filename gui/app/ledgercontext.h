#pragma once

#include "core/app/settingkeys.h"
#include "core/ledger/ledger.h"
#include "gui/stats/statisticscommand.h"

#include <QObject>

class Prompter;
class QWidget;

// What the pages and dialogs of the main window work with: the user's ledger (its item lists are
// files beside it), the prompter and the settings. The main window owns it and listens to its
// signals; a page never reaches the main window itself.
class LedgerContext final : public QObject {
    Q_OBJECT

public:
    explicit LedgerContext(QObject* parent = nullptr) : QObject(parent) {}

    Ledger& ledger() { return m_ledger; }
    const Ledger& ledger() const { return m_ledger; }
    Prompter& prompter() const;

    // After an add, an edit or a write-off: saves the ledger when autoSave is on, and tells the
    // user when the file cannot be written (the change stays in memory). Deletions never save.
    void saveIfAutoSave(QWidget* parent);

    int setting(const SettingKey& key) const;
    // Writes the setting at once and tells the listeners.
    void setSetting(const SettingKey& key, int value);

    void runStatisticsCommand(StatisticsCommand command) { Q_EMIT statisticsCommandRequested(command); }

Q_SIGNALS:
    void settingChanged(const char* name, int value);
    void statisticsCommandRequested(StatisticsCommand command);

private:
    Ledger m_ledger;
};
