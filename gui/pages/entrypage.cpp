#include "gui/pages/entrypage.h"

#include "gui/app/ledgercontext.h"
#include "gui/ledger/itempicker.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

EntryPage::EntryPage(LedgerContext& context, QWidget* parent, const QString& heading, const QString& pickerLabel,
                     ItemListKind kind, const std::vector<std::pair<QString, ItemListKind>>& kindChoices)
    : LedgerPage(context, parent), m_picker(new ItemPicker(context.ledger(), kind, this)) {
    auto* layout = new QFormLayout(this);
    auto* title = new QLabel(heading, this);
    title->setObjectName(QStringLiteral("pageHeading"));
    layout->addRow(title);
    if (!kindChoices.empty()) {
        auto* group = new QButtonGroup(this);
        auto* choices = new QHBoxLayout;
        for (const auto& [caption, listKind] : kindChoices) {
            auto* radio = new QRadioButton(caption, this);
            radio->setChecked(group->buttons().isEmpty());
            group->addButton(radio);
            choices->addWidget(radio);
            connect(radio, &QRadioButton::clicked, this, [this, listKind = listKind] { m_picker->setKind(listKind); });
        }
        choices->addStretch();
        layout->addRow(choices);
    }
    layout->addRow(pickerLabel, m_picker);
}

void EntryPage::refresh() { m_picker->refill(); }
