#include "app/settingspage.h"

#include "app/mainwindow.h"
#include "app/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>

SettingsPage::SettingsPage(MainWindow& window, QWidget* parent)
    : LedgerPage(window, parent), m_autoSaveCheck(new QCheckBox(QStringLiteral("实时自动保存"), this)),
      m_layoutList(new QComboBox(this)) {
    m_autoSaveCheck->setObjectName(QStringLiteral("autoSaveCheck"));
    m_layoutList->setObjectName(QStringLiteral("layoutList"));
    m_layoutList->addItems({QStringLiteral("1.x版本经典布局"), QStringLiteral("vanta+lume网友布局")});

    const bool autoSave = readSetting(AUTOSAVE) != 0;
    window.ledger().autoSave = autoSave;
    m_autoSaveCheck->setChecked(autoSave);
    m_layoutList->setCurrentIndex(readSetting(LAYOUT));

    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("界面布局："), m_layoutList);
    layout->addRow(m_autoSaveCheck);

    connect(m_autoSaveCheck, &QCheckBox::clicked, this, &SettingsPage::onAutoSaveClicked);
    connect(m_layoutList, &QComboBox::activated, this, &SettingsPage::onLayoutChosen);
}

void SettingsPage::onAutoSaveClicked(bool checked) {
    m_window.ledger().autoSave = checked;
    writeSetting(AUTOSAVE, checked ? 1 : 0);
}

void SettingsPage::onLayoutChosen(int layout) {
    m_window.setTabCaptions(layout);
    writeSetting(LAYOUT, layout);
}
