#pragma once

#include "core/ledger/ledger.h"

#include <QDialog>

class QLineEdit;

// "修改密码": replaces the logged-in user's password in the ledger; the file takes it at the next save.
class PasswordDialog final : public QDialog {
public:
    explicit PasswordDialog(Ledger& ledger, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onOkClicked();

    Ledger& m_ledger;
    QLineEdit* m_oldEdit;
    QLineEdit* m_newEdit;
    QLineEdit* m_repeatEdit;
};
