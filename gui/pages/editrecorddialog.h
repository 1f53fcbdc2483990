#pragma once

#include "core/ledger/ledger.h"
#include "core/pages/recordinput.h"

#include <QDialog>

class LedgerContext;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// "修改": changes the item (or counterpart), amount, quantity (mode 2) and note of the record at
// one position of the ledger. After an accepted end, record() is the record as written back.
class EditRecordDialog final : public QDialog {
public:
    EditRecordDialog(LedgerContext& context, EditMode mode, std::size_t ledgerIndex, QWidget* parent = nullptr);

    const LedgerRecord& record() const { return m_record; }

private:
    void onSaveClicked();

    LedgerContext& m_context;
    EditMode m_mode;
    std::size_t m_ledgerIndex;
    LedgerRecord m_record; // as it was at opening, then as written back
    QLineEdit* m_itemEdit;
    QLineEdit* m_amountEdit;
    QLineEdit* m_quantityEdit;
    QPlainTextEdit* m_noteEdit;
};
