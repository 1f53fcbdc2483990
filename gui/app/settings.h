#pragma once

#include "core/app/settingkeys.h"

// The profile: integers in section "para", read with their default each time and written at once.
// It lives in $XDG_CONFIG_HOME/明账小匣/明账小匣.conf.
int readSetting(const SettingKey& key);
void writeSetting(const SettingKey& key, int value);
