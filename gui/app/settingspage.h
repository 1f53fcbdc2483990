#pragma once

#include "gui/pages/ledgerpage.h"

class QCheckBox;
class QComboBox;

// "系统设置": automatic saving and the layout, each written to the profile at once.
class SettingsPage final : public LedgerPage {
public:
    SettingsPage(LedgerContext& context, QWidget* parent);

private:
    void onAutoSaveClicked(bool checked);
    void onLayoutChosen(int layout);

    QCheckBox* m_autoSaveCheck;
    QComboBox* m_layoutList;
};
