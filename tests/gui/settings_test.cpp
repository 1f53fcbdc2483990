#include "gui/accounts/passworddialog.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/settings.h"
#include "gui/app/settingspage.h"
#include "tests/gui/guitest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(SettingsPage, ShowsTheDefaultsAndWritesEachChangeAtOnce) {
    resetSettings();
    FakePrompter prompts;
    LedgerContext context;
    SettingsPage page(context, nullptr);
    auto* autoSave = child<QCheckBox>(page, "autoSaveCheck");
    auto* colours = child<QCheckBox>(page, "textColourCheck");
    EXPECT_TRUE(autoSave->isChecked());
    EXPECT_FALSE(colours->isChecked());
    EXPECT_EQ(child<QComboBox>(page, "layoutList")->currentText(), QStringLiteral("1.x版本经典布局"));
    EXPECT_EQ(child<QComboBox>(page, "sizeList")->currentText(), QStringLiteral("正常"));

    int layoutSeen = -1;
    QObject::connect(&context, &LedgerContext::settingChanged, [&](const char* name, int value) {
        if (std::string_view(name) == LAYOUT.name)
            layoutSeen = value;
    });
    autoSave->click();
    colours->click();
    Q_EMIT child<QComboBox>(page, "layoutList")->activated(1);
    Q_EMIT child<QComboBox>(page, "sizeList")->activated(1);
    EXPECT_FALSE(context.ledger().autoSave);
    EXPECT_EQ(readSetting(AUTOSAVE), 0);
    EXPECT_EQ(readSetting(TEXT_COLOR), 1);
    EXPECT_EQ(readSetting(LAYOUT), 1);
    EXPECT_EQ(layoutSeen, 1); // the main window re-captions its tabs
    EXPECT_EQ(readSetting(PIXEL), 1);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("该修改须在重启软件后才能生效。")});
}

TEST(PasswordDialog, ChecksInOrderThenChangesTheLedgerOnly) {
    FakePrompter prompts;
    Ledger ledger;
    ledger.password = "old";
    PasswordDialog dialog(ledger);
    dialog.show();
    struct Case {
        const char* name;
        QString old, fresh, repeated, message;
        const char* focus;
    };
    const Case cases[] = {
        {"empty_old", {}, QStringLiteral("n"), QStringLiteral("n"), QStringLiteral("旧密码无效。"), "oldEdit"},
        {"wrong_old", QStringLiteral("OLD"), QStringLiteral("n"), QStringLiteral("n"), QStringLiteral("旧密码无效。"),
         "oldEdit"},
        {"new_17_bytes", QStringLiteral("old"), QString(17, QLatin1Char('n')), QString(17, QLatin1Char('n')),
         QStringLiteral("新密码无效。"), "newEdit"},
        {"empty_repeat", QStringLiteral("old"), QStringLiteral("n"), {}, QStringLiteral("新密码无效。"), "newEdit"},
        {"mismatch", QStringLiteral("old"), QStringLiteral("n"), QStringLiteral("m"),
         QStringLiteral("两次输入的密码不一致。"), "repeatEdit"},
    };
    for (const Case& c : cases) {
        child<QLineEdit>(dialog, "oldEdit")->setText(c.old);
        child<QLineEdit>(dialog, "newEdit")->setText(c.fresh);
        child<QLineEdit>(dialog, "repeatEdit")->setText(c.repeated);
        child<QLineEdit>(dialog, "repeatEdit")->setFocus();
        child<QPushButton>(dialog, "okButton")->click();
        EXPECT_EQ(prompts.messages.takeLast(), c.message) << c.name;
        EXPECT_EQ(dialog.focusWidget(), child<QLineEdit>(dialog, c.focus)) << c.name;
        EXPECT_EQ(ledger.password, "old") << c.name;
    }
    const QString sixteen(16, QLatin1Char('p'));
    child<QLineEdit>(dialog, "oldEdit")->setText(QStringLiteral("old"));
    child<QLineEdit>(dialog, "newEdit")->setText(sixteen);
    child<QLineEdit>(dialog, "repeatEdit")->setText(sixteen);
    child<QPushButton>(dialog, "okButton")->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("修改密码成功。")});
    EXPECT_EQ(ledger.password, sixteen.toStdString());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
