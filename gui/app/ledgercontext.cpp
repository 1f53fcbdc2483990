#include "gui/app/ledgercontext.h"

#include "gui/app/settings.h"
#include "gui/widgets/prompter.h"

Prompter& LedgerContext::prompter() const { return ::prompter(); }

int LedgerContext::setting(const SettingKey& key) const { return readSetting(key); }

void LedgerContext::setSetting(const SettingKey& key, int value) {
    writeSetting(key, value);
    Q_EMIT settingChanged(key.name, value);
}
