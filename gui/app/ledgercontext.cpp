#include "gui/app/ledgercontext.h"

#include "core/ledger/recordfile.h"
#include "gui/app/settings.h"
#include "gui/widgets/messages.h"
#include "gui/widgets/prompter.h"

Prompter& LedgerContext::prompter() const { return ::prompter(); }

void LedgerContext::saveIfAutoSave(QWidget* parent) {
    if (m_ledger.autoSave && !saveLedger(m_ledger))
        prompter().showMessage(parent, recordFileCannotOpenMessage(m_ledger.recordFilePath));
}

int LedgerContext::setting(const SettingKey& key) const { return readSetting(key); }

void LedgerContext::setSetting(const SettingKey& key, int value) {
    writeSetting(key, value);
    Q_EMIT settingChanged(key.name, value);
}
