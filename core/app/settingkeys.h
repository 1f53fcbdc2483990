#pragma once

// The program's persistent settings: integers in the profile section "para".

inline constexpr const char* APPLICATION_NAME = "明账小匣"; // names the profile and the single-instance lock
inline constexpr const char* SETTINGS_SECTION = "para";

struct SettingKey {
    const char* name;
    int defaultValue;
};

inline constexpr SettingKey AUTOSAVE{"autosave", 1};    // 0 off, 1 save after every add, edit and write-off
inline constexpr SettingKey LAYOUT{"layout", 0};        // 0 classic layout, 1 new layout
inline constexpr SettingKey PIXEL{"pixel", 0};          // 0 normal, 1 larger, 2 largest; read at start only
inline constexpr SettingKey TEXT_COLOR{"textcolor", 0}; // 1 colours list rows by record kind
