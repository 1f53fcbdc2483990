#include "gui/app/ledgercontext.h"

#include "core/ledger/recordfile.h"
#include "gui/app/settings.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/messages.h"
#include "gui/widgets/prompter.h"

#include <QAction>

#include <algorithm>

LedgerContext::LedgerContext(QObject* parent)
    : QObject(parent), m_undoAction(new QAction(QStringLiteral("撤销删除"), this)) {
    m_undoAction->setObjectName(QStringLiteral("undoDeletionAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_undoAction, &QAction::triggered, this, &LedgerContext::undoLastDeletion);
    updateUndoAction();
}

LedgerContext::~LedgerContext() = default;

Prompter& LedgerContext::prompter() const { return ::prompter(); }

void LedgerContext::rememberRecordFile() { m_recordFile = fileIdentity(m_ledger.recordFilePath); }

bool LedgerContext::save(QWidget* parent, bool ask) {
    const std::string& path = m_ledger.recordFilePath;
    const FileIdentity onDisk = fileIdentity(path);
    if (m_recordFile && onDisk != *m_recordFile) {
        if (ask && !prompter().askYesNo(parent, QStringLiteral("记录文件%1在读入之后被其他程序改动过。\n"
                                                               "选“是”仍然保存（先把磁盘上的那个文件存入历史版本），"
                                                               "选“否”暂不保存。")
                                                    .arg(fromPath(path))))
            return false;
        if (onDisk.exists)
            addVersion(path, linkTarget(path), std::time(nullptr));
    }
    if (!saveLedger(m_ledger)) {
        prompter().showMessage(parent, recordFileCannotOpenMessage(path));
        return false;
    }
    m_history.saved(path);
    rememberRecordFile();
    return true;
}

void LedgerContext::saveIfAutoSave(QWidget* parent) {
    if (m_ledger.autoSave)
        save(parent);
}

std::int32_t LedgerContext::newRecordId() const {
    return static_cast<std::int32_t>(std::max<std::int64_t>(nextRecordId(m_ledger), m_idFloor));
}

void LedgerContext::recordDeletion(Deletion deletion) {
    if (deletion.removed.empty())
        return;
    for (const auto& [position, record] : deletion.removed)
        m_idFloor = std::max(m_idFloor, std::int64_t{record.id} + 1);
    m_deletions.push_back(std::move(deletion));
    updateUndoAction();
}

void LedgerContext::undoLastDeletion() {
    if (m_deletions.empty())
        return;
    undoDeletion(m_ledger.records, m_deletions.back());
    m_deletions.pop_back();
    updateUndoAction();
    Q_EMIT recordsChanged();
}

void LedgerContext::forgetDeletions() {
    m_deletions.clear();
    m_idFloor = 0;
    updateUndoAction();
}

void LedgerContext::updateUndoAction() { m_undoAction->setEnabled(!m_deletions.empty()); }

int LedgerContext::setting(const SettingKey& key) const { return readSetting(key); }

void LedgerContext::setSetting(const SettingKey& key, int value) {
    writeSetting(key, value);
    Q_EMIT settingChanged(key.name, value);
}
