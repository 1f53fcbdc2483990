#pragma once

#include "core/ledger/itemlist.h"

#include <QDialog>

class QPlainTextEdit;

// "快捷输入编辑": the user's quick-input list as free text, one entry per line.
class QuickInputEditor final : public QDialog {
public:
    QuickInputEditor(const Ledger& ledger, ItemListKind kind, QWidget* parent = nullptr);

private:
    void onSaveClicked();

    const Ledger& m_ledger;
    ItemListKind m_kind;
    QPlainTextEdit* m_listEdit;
};
