#include "gui/app/settings.h"

#include <QSettings>

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

int readSetting(const SettingKey& key) {
    QSettings profile(text(APPLICATION_NAME), text(APPLICATION_NAME));
    profile.beginGroup(text(SETTINGS_SECTION));
    bool ok = false;
    const int value = profile.value(text(key.name), key.defaultValue).toInt(&ok);
    return ok ? value : key.defaultValue;
}

void writeSetting(const SettingKey& key, int value) {
    QSettings profile(text(APPLICATION_NAME), text(APPLICATION_NAME));
    profile.beginGroup(text(SETTINGS_SECTION));
    profile.setValue(text(key.name), value);
}
