#pragma once

#include "core/ledger/ledger.h"

#include <QDialog>

class QLineEdit;

// Creates a user: a new record file holding an empty ledger under the given password.
class NewUserDialog final : public QDialog {
public:
    explicit NewUserDialog(Ledger& ledger, QWidget* parent = nullptr);

private:
    void onOkClicked();

    Ledger& m_ledger;
    QLineEdit* m_userNameEdit;
    QLineEdit* m_passwordEdit;
    QLineEdit* m_repeatEdit;
};
