#pragma once

#include "core/app/settingkeys.h"
#include "core/ledger/filestore.h"
#include "core/ledger/history.h"
#include "core/ledger/ledger.h"
#include "core/pages/pagelists.h"
#include "gui/stats/statisticscommand.h"

#include <QObject>

#include <optional>
#include <vector>

class Prompter;
class QAction;
class QWidget;

// What the pages and dialogs of the main window work with: the user's ledger (its item lists are
// files beside it), the prompter and the settings, the saves with their history, and the undo of
// deletions. The main window owns it and listens to its signals; a page never reaches the main
// window itself.
class LedgerContext final : public QObject {
    Q_OBJECT

public:
    explicit LedgerContext(QObject* parent = nullptr);
    ~LedgerContext() override;

    Ledger& ledger() { return m_ledger; }
    const Ledger& ledger() const { return m_ledger; }
    Prompter& prompter() const;

    // Remembers which file was loaded, so a save notices when another program wrote it since.
    void rememberRecordFile();
    // Writes the ledger, and a version of it into the history. When the file on disk is not the
    // one loaded or last saved, asks first (unless `ask` is false, at the end of a session): saving
    // anyway first puts that file into the history, so nothing is lost either way. False when
    // nothing was written: not now, or the file cannot be written (the user has been told).
    bool save(QWidget* parent, bool ask = true);
    // After an add, an edit or a write-off: saves when autoSave is on. Deletions never save.
    void saveIfAutoSave(QWidget* parent);
    // Waits for the versions still being compressed.
    void finishHistory() { m_history.finish(); }

    // The id for a new record: never one a deletion that can still be undone had.
    std::int32_t newRecordId() const;
    // Deletions can be undone, last first, for the rest of the run.
    void recordDeletion(Deletion deletion);
    bool canUndoDeletion() const { return !m_deletions.empty(); }
    void undoLastDeletion();
    // After the ledger was replaced or filled anew (an import, a restore): nothing is left to undo.
    void forgetDeletions();
    // "撤销删除", Ctrl+Z: enabled only while there is a deletion to undo.
    QAction* undoAction() const { return m_undoAction; }
    // Tells the listeners that the records changed other than through a page's own command.
    void announceRecordsChanged() { Q_EMIT recordsChanged(); }

    int setting(const SettingKey& key) const;
    // Writes the setting at once and tells the listeners.
    void setSetting(const SettingKey& key, int value);

    void runStatisticsCommand(StatisticsCommand command) { Q_EMIT statisticsCommandRequested(command); }

Q_SIGNALS:
    void settingChanged(const char* name, int value);
    void statisticsCommandRequested(StatisticsCommand command);
    void recordsChanged();

private:
    void updateUndoAction();

    Ledger m_ledger;
    std::optional<FileIdentity> m_recordFile; // as loaded or last saved
    HistoryKeeper m_history;
    std::vector<Deletion> m_deletions;
    std::int64_t m_idFloor = 0; // above every id of a deletion that can be undone
    QAction* m_undoAction;
};
