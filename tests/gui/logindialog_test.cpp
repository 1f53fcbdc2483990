#include "core/accounts/autostart.h"
#include "core/accounts/useraccounts.h"
#include "core/ledger/recordfile.h"
#include "gui/accounts/logindialog.h"
#include "gui/accounts/newuserdialog.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include "gui/widgets/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class LoginTest : public testing::Test {
protected:
    LoginTest() {
        ledger.dataDir = home.path() + "DataRec/";
        createUser(ledger.dataDir, "bob", "pw");
    }
    void choose(LoginDialog& dialog, const QString& user, const QString& password) {
        auto* users = child<QComboBox>(dialog, "userList");
        users->setCurrentIndex(users->findText(user));
        child<QLineEdit>(dialog, "passwordEdit")->setText(password);
    }
    TempDir home;
    Ledger ledger;
    FakePrompter prompts;
};

TEST_F(LoginTest, WrongOrMissingPasswordIsRefused) {
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    EXPECT_EQ(child<QComboBox>(dialog, "userList")->currentIndex(), -1);
    child<QPushButton>(dialog, "loginButton")->click();
    choose(dialog, QStringLiteral("bob"), QStringLiteral("PW"));
    child<QPushButton>(dialog, "loginButton")->click();
    EXPECT_EQ(prompts.messages, QStringList(2, QStringLiteral("验证失败，请重新输入密码。")));
    EXPECT_TRUE(child<QLineEdit>(dialog, "passwordEdit")->text().isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ledger.userName.empty());
}

TEST_F(LoginTest, PasswordGbkCannotHoldFailsLikeAWrongOne) {
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    dialog.show();
    choose(dialog, QStringLiteral("bob"), QStringLiteral("p😀"));
    child<QCheckBox>(dialog, "autostartCheck")->setFocus();
    child<QPushButton>(dialog, "loginButton")->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("验证失败，请重新输入密码。")});
    EXPECT_TRUE(child<QLineEdit>(dialog, "passwordEdit")->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), child<QLineEdit>(dialog, "passwordEdit"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// A desktop theme with icons of the same names must not replace the program's own.
TEST_F(LoginTest, ButtonsShowTheProgramsOwnIcons) {
    TempDir themes;
    ASSERT_EQ(::mkdir((themes.path() + "fake").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((themes.path() + "fake/32").c_str(), 0700), 0);
    themes.write("fake/index.theme", "[Icon Theme]\nName=fake\nDirectories=32\n[32]\nSize=32\n");
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    for (const char* name : {"system-log-out", "list-add-user", "list-remove-user"})
        red.save(QString::fromStdString(themes.path() + "fake/32/" + name + ".png"));
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString(themes.path())});
    QIcon::setThemeName(QStringLiteral("fake"));

    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    const std::pair<const char*, const char*> buttons[] = {
        {"loginButton", ":/images/login.png"},
        {"newUserButton", ":/images/newuser.png"},
        {"deleteUserButton", ":/images/deleteuser.png"},
    };
    for (const auto& [name, resource] : buttons) {
        const QImage shown = child<QPushButton>(dialog, name)->icon().pixmap(32).toImage();
        EXPECT_EQ(shown, QIcon(QString::fromLatin1(resource)).pixmap(32).toImage()) << name;
    }
    QIcon::setThemeName(oldTheme);
    QIcon::setThemeSearchPaths(oldPaths);
}

TEST(Messages, PlaceholdersInAPathAreShownAsTyped) {
    ReadResult damaged;
    damaged.status = ReadResult::Status::Damaged;
    damaged.offset = 7;
    EXPECT_EQ(damagedRecordFileMessage("/home/%1%2/a.rec", damaged),
              QStringLiteral("记录文件/home/%1%2/a.rec已损坏（第7字节起无法识别），无法读取。文件未作任何改动。"));
}

TEST_F(LoginTest, RightPasswordLogsIn) {
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    choose(dialog, QStringLiteral("bob"), QStringLiteral("pw"));
    child<QPushButton>(dialog, "loginButton")->click();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ledger.userName, "bob");
    EXPECT_EQ(ledger.password, "pw");
}

TEST_F(LoginTest, DamagedFileIsReported) {
    home.write("DataRec/cut.rec", "abc");
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    choose(dialog, QStringLiteral("cut"), QStringLiteral("pw"));
    child<QPushButton>(dialog, "loginButton")->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("已损坏"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(home.read("DataRec/cut.rec"), "abc");
}

TEST_F(LoginTest, DeleteAsksAndNeedsThePassword) {
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    auto* deleteButton = child<QPushButton>(dialog, "deleteUserButton");
    deleteButton->click();
    choose(dialog, QStringLiteral("bob"), QString());
    deleteButton->click();
    choose(dialog, QStringLiteral("bob"), QStringLiteral("wrong"));
    deleteButton->click();
    EXPECT_EQ(prompts.messages, (QStringList{QStringLiteral("请选择用户。"), QStringLiteral("请输入密码。"),
                                             QStringLiteral("删除失败。")}));
    EXPECT_TRUE(prompts.questions.isEmpty());

    choose(dialog, QStringLiteral("bob"), QStringLiteral("pw"));
    prompts.answers = {false};
    deleteButton->click();
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("执行该操作，此用户数据将彻底删除，是否确认？")});
    EXPECT_TRUE(home.exists("DataRec/bob.rec"));

    prompts.answers = {true};
    deleteButton->click();
    EXPECT_FALSE(home.exists("DataRec/bob.rec"));
    EXPECT_EQ(prompts.messages.back(), QStringLiteral("删除成功。"));
    EXPECT_EQ(child<QComboBox>(dialog, "userList")->count(), 0);
    EXPECT_TRUE(child<QLineEdit>(dialog, "passwordEdit")->text().isEmpty());
}

TEST_F(LoginTest, AutostartFollowsTheCheckBox) {
    TempDir config;
    ScopedEnv env("XDG_CONFIG_HOME", config.path());
    LoginDialog dialog(ledger, QStringLiteral("/opt/mz/mingzhang"));
    auto* box = child<QCheckBox>(dialog, "autostartCheck");
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(isAutostartEnabled());
    box->click(); // ticking when already on happens through a fresh dialog below
    EXPECT_FALSE(isAutostartEnabled());
    setAutostart(true, "/opt/mz/mingzhang");
    LoginDialog again(ledger, QStringLiteral("/opt/mz/mingzhang"));
    EXPECT_TRUE(child<QCheckBox>(again, "autostartCheck")->isChecked());
    EXPECT_TRUE(prompts.messages.isEmpty());

    ScopedEnv broken("XDG_CONFIG_HOME", home.path() + "DataRec/bob.rec"); // a file, not a directory
    child<QCheckBox>(again, "autostartCheck")->click();
    child<QCheckBox>(again, "autostartCheck")->click();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.messages.back(), QStringLiteral("设置启动失败，请检查注册表是否被禁用!"));
    EXPECT_EQ(prompts.lastTitle, QStringLiteral("提示"));
    EXPECT_EQ(prompts.lastIcon, Prompter::Icon::Warning);
}

TEST_F(LoginTest, NewUserChecksInOrder) {
    struct Case {
        const char* name;
        QString user, password, repeated, message;
        const char* focus;
    };
    const QString badName = QStringLiteral("用户名无效。");
    const QString badPassword = QStringLiteral("密码无效。");
    const Case cases[] = {
        {"empty_name", {}, {}, {}, badName, "userNameEdit"},
        {"name_21_bytes", QString(21, QLatin1Char('n')), QStringLiteral("p"), QStringLiteral("p"), badName,
         "userNameEdit"},
        {"emoji_name", QStringLiteral("a😀"), QStringLiteral("p"), QStringLiteral("p"), badName, "userNameEdit"},
        {"empty_repeat", QStringLiteral("ann"), QStringLiteral("p"), {}, badPassword, "passwordEdit"},
        {"password_17_bytes", QStringLiteral("ann"), QString(17, QLatin1Char('p')), QString(17, QLatin1Char('p')),
         badPassword, "passwordEdit"},
        {"mismatch", QStringLiteral("ann"), QStringLiteral("p"), QStringLiteral("q"),
         QStringLiteral("两次输入的密码不一致。"), "repeatEdit"},
        {"existing", QStringLiteral("bob"), QStringLiteral("p"), QStringLiteral("p"),
         QStringLiteral("已存在该用户，请重新输入。"), "userNameEdit"},
    };
    for (const Case& c : cases) {
        NewUserDialog dialog(ledger);
        dialog.show();
        child<QLineEdit>(dialog, "userNameEdit")->setText(c.user);
        child<QLineEdit>(dialog, "passwordEdit")->setText(c.password);
        child<QLineEdit>(dialog, "repeatEdit")->setText(c.repeated);
        child<QLineEdit>(dialog, "repeatEdit")->setFocus();
        child<QPushButton>(dialog, "okButton")->click();
        ASSERT_FALSE(prompts.messages.isEmpty()) << c.name;
        EXPECT_EQ(prompts.messages.takeLast(), c.message) << c.name;
        EXPECT_EQ(dialog.focusWidget(), child<QLineEdit>(dialog, c.focus)) << c.name;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << c.name;
    }
    EXPECT_EQ(listUsers(ledger.dataDir), std::vector<std::string>{"bob"});
}

TEST_F(LoginTest, NewUserOfTwentyBytesIsCreated) {
    for (const QString& name : {QString(19, QLatin1Char('n')), QString(18, QLatin1Char('m')) + QStringLiteral("张")}) {
        NewUserDialog dialog(ledger);
        child<QLineEdit>(dialog, "userNameEdit")->setText(name);
        child<QLineEdit>(dialog, "passwordEdit")->setText(QStringLiteral("密码"));
        child<QLineEdit>(dialog, "repeatEdit")->setText(QStringLiteral("密码"));
        child<QPushButton>(dialog, "okButton")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(checkCredentials(ledger.dataDir, ledger.userName, ledger.password).ok());
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(listUsers(ledger.dataDir).size(), 3u);
}

} // namespace
