#pragma once

#include "core/ledger/ledger.h"

#include <QDialog>

class LedgerContext;
class QLineEdit;
class QPlainTextEdit;

// "销账": sets the written-off total of one debt (it replaces the old total) and its note.
class WriteOffDialog final : public QDialog {
public:
    WriteOffDialog(LedgerContext& context, std::size_t ledgerIndex, QWidget* parent = nullptr);

private:
    void onSaveClicked();

    LedgerContext& m_context;
    std::size_t m_ledgerIndex;
    LedgerRecord m_record; // as it was at opening
    QLineEdit* m_writtenOffEdit;
    QPlainTextEdit* m_noteEdit;
};
