#include "gui/app/settingspage.h"

#include "gui/app/ledgercontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>

SettingsPage::SettingsPage(LedgerContext& context, QWidget* parent)
    : LedgerPage(context, parent), m_autoSaveCheck(new QCheckBox(QStringLiteral("实时自动保存"), this)),
      m_layoutList(new QComboBox(this)) {
    m_autoSaveCheck->setObjectName(QStringLiteral("autoSaveCheck"));
    m_layoutList->setObjectName(QStringLiteral("layoutList"));
    m_layoutList->addItems({QStringLiteral("1.x版本经典布局"), QStringLiteral("vanta+lume网友布局")});

    const bool autoSave = context.setting(AUTOSAVE) != 0;
    context.ledger().autoSave = autoSave;
    m_autoSaveCheck->setChecked(autoSave);
    m_layoutList->setCurrentIndex(context.setting(LAYOUT));

    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("界面布局："), m_layoutList);
    layout->addRow(m_autoSaveCheck);

    connect(m_autoSaveCheck, &QCheckBox::clicked, this, &SettingsPage::onAutoSaveClicked);
    connect(m_layoutList, &QComboBox::activated, this, &SettingsPage::onLayoutChosen);
}

void SettingsPage::onAutoSaveClicked(bool checked) {
    m_context.ledger().autoSave = checked;
    m_context.setSetting(AUTOSAVE, checked ? 1 : 0);
}

void SettingsPage::onLayoutChosen(int layout) { m_context.setSetting(LAYOUT, layout); }
