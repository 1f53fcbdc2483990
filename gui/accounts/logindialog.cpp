#include "gui/accounts/logindialog.h"

#include "core/accounts/autostart.h"
#include "core/accounts/useraccounts.h"
#include "core/ledger/recordfile.h"
#include "gui/accounts/newuserdialog.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/messages.h"
#include "gui/widgets/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const NOTICE = "本软件为免费软件，可自由复制、传播和使用，但请勿用于商业销售。"
                           "账本只保存在本机的数据目录中，请牢记密码并定期导出备份。";

QPushButton* iconButton(const QString& caption, ProgramIcon icon, const char* name, QWidget* parent) {
    auto* button = new QPushButton(programIcon(icon), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setMinimumWidth(104);
    return button;
}

} // namespace

LoginDialog::LoginDialog(Ledger& ledger, const QString& programPath, QWidget* parent)
    : QDialog(parent), m_ledger(ledger), m_programPath(programPath), m_userList(new QComboBox(this)),
      m_passwordEdit(new QLineEdit(this)), m_autostartCheck(new QCheckBox(QStringLiteral("开机启动"), this)) {
    setWindowTitle(QStringLiteral("明账小匣- 登录   Ver：2.0"));
    setWindowIcon(programIcon(ProgramIcon::Program));

    m_userList->setObjectName(QStringLiteral("userList"));
    m_userList->setEditable(false);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_autostartCheck->setObjectName(QStringLiteral("autostartCheck"));

    auto* loginButton = iconButton(QStringLiteral("登录"), ProgramIcon::Login, "loginButton", this);
    loginButton->setDefault(true);
    auto* newUserButton = iconButton(QStringLiteral("新用户"), ProgramIcon::NewUser, "newUserButton", this);
    auto* deleteButton = iconButton(QStringLiteral("删除用户"), ProgramIcon::DeleteUser, "deleteUserButton", this);

    auto* notice = new QLabel(QString::fromUtf8(NOTICE), this);
    notice->setObjectName(QStringLiteral("noticeText"));
    notice->setWordWrap(true);
    notice->setFrameShape(QFrame::StyledPanel);
    notice->setMargin(4);

    auto* layout = new QVBoxLayout(this);
    for (const char* line : {"1. 如果是第一次使用，请点击“新用户”按钮。", "2. 得到用户名和密码后，即可在此登录。",
                             "3. 如果是多用户使用，请重复步骤1和步骤2。"})
        layout->addWidget(new QLabel(QString::fromUtf8(line), this));
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("用户："), this), 0, 0);
    fields->addWidget(m_userList, 0, 1);
    fields->addWidget(deleteButton, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("密码："), this), 1, 0);
    fields->addWidget(m_passwordEdit, 1, 1);
    fields->addWidget(m_autostartCheck, 1, 2);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(loginButton);
    buttons->addWidget(newUserButton);
    layout->addLayout(buttons);
    layout->addWidget(notice);

    setMinimumWidth(400);
    fillUserList();
    m_autostartCheck->setChecked(isAutostartEnabled());

    connect(loginButton, &QPushButton::clicked, this, &LoginDialog::onLoginClicked);
    connect(newUserButton, &QPushButton::clicked, this, &LoginDialog::onNewUserClicked);
    connect(deleteButton, &QPushButton::clicked, this, &LoginDialog::onDeleteUserClicked);
    connect(m_autostartCheck, &QCheckBox::clicked, this, &LoginDialog::onAutostartClicked);
}

void LoginDialog::fillUserList() {
    m_userList->clear();
    for (const std::string& user : listUsers(m_ledger.dataDir))
        m_userList->addItem(fromGbk(user), QByteArray::fromStdString(user));
    m_userList->setCurrentIndex(-1);
}

std::string LoginDialog::selectedUser() const {
    return m_userList->currentIndex() < 0 ? std::string() : m_userList->currentData().toByteArray().toStdString();
}

void LoginDialog::onLoginClicked() {
    const std::string user = selectedUser();
    const std::optional<std::string> password = toGbk(m_passwordEdit->text());
    const QString failed = QStringLiteral("验证失败，请重新输入密码。");
    if (user.empty() || m_passwordEdit->text().isEmpty()) {
        prompter().showMessage(this, failed);
        return;
    }
    // A password GBK cannot hold matches no stored one: it fails the check like any wrong password.
    const ReadResult check = password ? checkCredentials(m_ledger.dataDir, user, *password)
                                      : ReadResult{ReadResult::Status::WrongCredentials};
    if (check.ok()) {
        m_ledger.userName = user;
        m_ledger.password = *password;
        accept();
        return;
    }
    if (check.status == ReadResult::Status::Damaged)
        prompter().showMessage(this, damagedRecordFileMessage(recordFilePathFor(m_ledger.dataDir, user), check));
    else
        prompter().showMessage(this, failed);
    m_passwordEdit->clear();
    m_passwordEdit->setFocus();
}

void LoginDialog::onNewUserClicked() {
    NewUserDialog dialog(m_ledger, this);
    if (dialog.exec() == QDialog::Accepted)
        fillUserList();
}

void LoginDialog::onDeleteUserClicked() {
    const std::string user = selectedUser();
    if (user.empty()) {
        prompter().showMessage(this, QStringLiteral("请选择用户。"));
        return;
    }
    const std::optional<std::string> password = toGbk(m_passwordEdit->text());
    if (m_passwordEdit->text().isEmpty()) {
        prompter().showMessage(this, QStringLiteral("请输入密码。"));
        return;
    }
    if (!password || !checkCredentials(m_ledger.dataDir, user, *password).ok()) {
        prompter().showMessage(this, QStringLiteral("删除失败。"));
        return;
    }
    if (!prompter().askYesNo(this, QStringLiteral("执行该操作，此用户数据将彻底删除，是否确认？")))
        return;
    if (!deleteUser(m_ledger.dataDir, user))
        return;
    m_userList->removeItem(m_userList->currentIndex());
    m_userList->setCurrentIndex(-1);
    m_passwordEdit->clear();
    prompter().showMessage(this, QStringLiteral("删除成功。"));
}

void LoginDialog::onAutostartClicked(bool checked) {
    if (!setAutostart(checked, m_programPath.toStdString()))
        prompter().showMessage(this, QStringLiteral("设置启动失败，请检查注册表是否被禁用!"), QStringLiteral("提示"),
                               Prompter::Icon::Warning);
}
