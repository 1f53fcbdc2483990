#pragma once

#include "core/ledger/ledger.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The first window of a run: lists the users, logs one in, creates and deletes users and
// switches the start with the desktop session. Accepting it hands the user to the ledger.
class LoginDialog final : public QDialog {
public:
    LoginDialog(Ledger& ledger, const QString& programPath, QWidget* parent = nullptr);

private:
    void fillUserList();
    std::string selectedUser() const;

    void onLoginClicked();
    void onNewUserClicked();
    void onDeleteUserClicked();
    void onAutostartClicked(bool checked);

    Ledger& m_ledger;
    QString m_programPath;
    QComboBox* m_userList;
    QLineEdit* m_passwordEdit;
    QCheckBox* m_autostartCheck;
};
