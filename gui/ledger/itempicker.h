#pragma once

#include "core/ledger/itemlist.h"

#include <QWidget>

#include <optional>
#include <string>

class QComboBox;

// An editable drop-down of a quick-input list with its "编辑" button beside it.
class ItemPicker final : public QWidget {
public:
    ItemPicker(const Ledger& ledger, ItemListKind kind, QWidget* parent = nullptr);

    // Another list refills the drop-down; the list it shows already changes nothing.
    void setKind(ItemListKind kind);
    // Empties the drop-down and fills it again from the list file; nothing is selected after.
    void refill();
    // The typed or chosen text; nullopt when GBK cannot hold it.
    std::optional<std::string> text() const;
    // Clears the selection and the typed text.
    void clearText();
    QComboBox* comboBox() const { return m_combo; }

private:
    void onEditClicked();

    const Ledger& m_ledger;
    ItemListKind m_kind;
    QComboBox* m_combo;
};
