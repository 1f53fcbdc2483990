#include "gui/ledger/itempicker.h"

#include "gui/ledger/quickinputeditor.h"
#include "gui/widgets/dropdown.h"
#include "gui/widgets/gbktext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

ItemPicker::ItemPicker(const Ledger& ledger, ItemListKind kind, QWidget* parent)
    : QWidget(parent), m_ledger(ledger), m_kind(kind), m_combo(typingDropDown("itemCombo", this)) {
    auto* editButton = new QPushButton(QStringLiteral("编辑"), this);
    editButton->setObjectName(QStringLiteral("editListButton"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_combo, 1);
    layout->addWidget(editButton);
    connect(editButton, &QPushButton::clicked, this, &ItemPicker::onEditClicked);
}

void ItemPicker::setKind(ItemListKind kind) {
    if (kind == m_kind)
        return; // the same list: what was typed stays
    m_kind = kind;
    refill();
}

void ItemPicker::refill() {
    m_combo->clear();
    m_combo->clearEditText();
    for (const std::string& entry : loadItemList(m_ledger, m_kind))
        m_combo->addItem(fromGbk(entry));
    m_combo->setCurrentIndex(-1);
    m_combo->clearEditText();
}

std::optional<std::string> ItemPicker::text() const { return toGbk(m_combo->currentText()); }

void ItemPicker::clearText() {
    m_combo->setCurrentIndex(-1);
    m_combo->clearEditText();
}

void ItemPicker::onEditClicked() {
    QuickInputEditor editor(m_ledger, m_kind, this);
    editor.exec();
    refill(); // whether saved or closed
}
