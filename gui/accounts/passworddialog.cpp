#include "gui/accounts/passworddialog.h"

#include "core/accounts/useraccounts.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* passwordField(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

PasswordDialog::PasswordDialog(Ledger& ledger, QWidget* parent)
    : QDialog(parent), m_ledger(ledger), m_oldEdit(passwordField("oldEdit", this)),
      m_newEdit(passwordField("newEdit", this)), m_repeatEdit(passwordField("repeatEdit", this)) {
    setWindowTitle(QStringLiteral("修改密码"));
    auto* okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAutoDefault(false);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("旧密码："), m_oldEdit);
    layout->addRow(QStringLiteral("新密码："), m_newEdit);
    layout->addRow(QStringLiteral("重复密码："), m_repeatEdit);
    layout->addRow(okButton);
    connect(okButton, &QPushButton::clicked, this, &PasswordDialog::onOkClicked);
}

// Enter, like Escape, closes without changing anything: only "确定" changes the password.
void PasswordDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PasswordDialog::onOkClicked() {
    const std::optional<std::string> fresh = toGbk(m_newEdit->text());
    switch (checkPasswordChange(m_ledger.password, toGbk(m_oldEdit->text()), fresh, toGbk(m_repeatEdit->text()))) {
    case PasswordChangeCheck::BadOld:
        prompter().showMessage(this, QStringLiteral("旧密码无效。"));
        m_oldEdit->setFocus();
        return;
    case PasswordChangeCheck::BadNew:
        prompter().showMessage(this, QStringLiteral("新密码无效。"));
        m_newEdit->setFocus();
        return;
    case PasswordChangeCheck::PasswordMismatch:
        prompter().showMessage(this, QStringLiteral("两次输入的密码不一致。"));
        return;
    case PasswordChangeCheck::Ok:
        break;
    }
    m_ledger.password = *fresh;
    prompter().showMessage(this, QStringLiteral("修改密码成功。"));
    accept();
}
