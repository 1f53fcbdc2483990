#include "gui/accounts/newuserdialog.h"

#include "core/accounts/useraccounts.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinstyle.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* field(const char* name, bool hidden, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (hidden)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

NewUserDialog::NewUserDialog(Ledger& ledger, QWidget* parent)
    : QDialog(parent), m_ledger(ledger), m_userNameEdit(field("userNameEdit", false, this)),
      m_passwordEdit(field("passwordEdit", true, this)), m_repeatEdit(field("repeatEdit", true, this)) {
    setWindowTitle(QStringLiteral("创建新用户"));
    auto* okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAutoDefault(false); // Enter does nothing here; only a click creates the user

    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("用户名："), m_userNameEdit);
    layout->addRow(QStringLiteral("新密码："), m_passwordEdit);
    layout->addRow(QStringLiteral("重复密码："), m_repeatEdit);
    layout->addRow(new QLabel(QStringLiteral("说明：用户名长度为1~18个字符。\n      密码长度为1~16个字符。"), this));
    layout->addRow(okButton);

    connect(okButton, &QPushButton::clicked, this, &NewUserDialog::onOkClicked);
    requestSkin();
}

void NewUserDialog::onOkClicked() {
    const std::optional<std::string> name = toGbk(m_userNameEdit->text());
    const std::optional<std::string> password = toGbk(m_passwordEdit->text());
    switch (checkNewUser(name, password, toGbk(m_repeatEdit->text()))) {
    case NewUserCheck::BadName:
        prompter().showMessage(this, QStringLiteral("用户名无效。"));
        m_userNameEdit->setFocus();
        return;
    case NewUserCheck::BadPassword:
        prompter().showMessage(this, QStringLiteral("密码无效。"));
        m_passwordEdit->setFocus();
        return;
    case NewUserCheck::PasswordMismatch:
        prompter().showMessage(this, QStringLiteral("两次输入的密码不一致。"));
        return;
    case NewUserCheck::Ok:
        break;
    }
    switch (createUser(m_ledger.dataDir, *name, *password)) {
    case CreateUserResult::AlreadyExists:
        prompter().showMessage(this, QStringLiteral("已存在该用户，请重新输入。"));
        m_userNameEdit->setFocus();
        return;
    case CreateUserResult::Failed:
        prompter().showMessage(this, QStringLiteral("该用户无法被创建。"));
        return;
    case CreateUserResult::Created:
        m_ledger.userName = *name;
        m_ledger.password = *password;
        accept();
        return;
    }
}
