#pragma once

#include "gui/pages/ledgerpage.h"

class QCheckBox;
class QComboBox;

// "系统设置": the four settings, each written to the profile at once, the password change and
// the backup export and import.
class SettingsPage final : public LedgerPage {
public:
    SettingsPage(LedgerContext& context, QWidget* parent);

private:
    void onAutoSaveClicked(bool checked);
    void onTextColourClicked(bool checked);
    void onLayoutChosen(int layout);
    void onSizeChosen(int pixel);
    void onPasswordClicked();
    void onExportClicked();
    void onImportClicked();

    QCheckBox* m_autoSaveCheck;
    QCheckBox* m_textColourCheck;
    QComboBox* m_layoutList;
    QComboBox* m_sizeList;
};
