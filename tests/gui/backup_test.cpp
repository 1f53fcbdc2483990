#include "core/ledger/gbk.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/backupexport.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

// Answers the modal dialogs as they open, one step each.
void answerDialogs(std::deque<std::function<void(QDialog&)>> steps) {
    auto remaining = std::make_shared<std::deque<std::function<void(QDialog&)>>>(std::move(steps));
    auto next = std::make_shared<std::function<void()>>();
    *next = [remaining, next] {
        if (remaining->empty())
            return;
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            const auto step = remaining->front();
            remaining->pop_front();
            step(*dialog);
        }
        QTimer::singleShot(0, *next);
    };
    QTimer::singleShot(0, *next);
}

LedgerRecord record(RecordKind kind, const char* quantity, const char* amount) {
    LedgerRecord r;
    r.id = 1;
    r.kind = kind;
    r.year = 2009;
    r.month = 3;
    r.day = 4;
    r.item = gbkText("可乐");
    r.quantity = quantity;
    r.amount = amount;
    return r;
}

TEST(BackupWindows, ExportThenImportWithARetriedPassword) {
    TempDir dir;
    FakePrompter prompts;
    LedgerContext alice;
    alice.ledger().userName = "alice";
    alice.ledger().password = "pw";
    alice.ledger().records = {record(RecordKind::Expense, "3.00", "2.50"), record(RecordKind::Income, "1", "9")};

    prompts.saveAnswers = {QString::fromStdString(dir.path() + "old")};
    prompts.saveFilterAnswer = QStringLiteral("1.x版本(*.cct)");
    answerDialogs({[](QDialog& settings) { child<QPushButton>(settings, "nextButton")->click(); }});
    exportBackup(alice, nullptr);
    EXPECT_EQ(prompts.saveFilters, QStringList{QStringLiteral("2.0版本(*.cct);;1.x版本(*.cct)")});
    EXPECT_EQ(prompts.messages.takeLast(), QStringLiteral("导出成功。"));
    ASSERT_TRUE(dir.exists("old.cct"));

    LedgerContext bob;
    bob.ledger().password = "bobpw";
    bob.ledger().records = {record(RecordKind::Expense, "1", "1")};
    prompts.openAnswer = QString::fromStdString(dir.path() + "old.cct");
    const auto typePassword = [](const char* password, bool clear) {
        return [=](QDialog& dialog) {
            child<QLineEdit>(dialog, "passwordEdit")->setText(QString::fromLatin1(password));
            child<QCheckBox>(dialog, "clearCheck")->setChecked(clear);
            child<QPushButton>(dialog, "okButton")->click();
        };
    };
    QString keptPassword;
    answerDialogs({typePassword("bobpw", true), [&](QDialog& dialog) {
                       keptPassword = child<QLineEdit>(dialog, "passwordEdit")->text(); // kept for the retry
                       typePassword("pw", true)(dialog);
                   }});
    importBackup(bob, nullptr);
    EXPECT_EQ(keptPassword, QStringLiteral("bobpw"));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("导入成功。")});
    ASSERT_EQ(bob.ledger().records.size(), 2u);
    EXPECT_EQ(bob.ledger().records[0].quantity, "1.00"); // the 1.x layout kept no quantity
    EXPECT_EQ(bob.ledger().password, "bobpw");

    // A backup cut short changes nothing.
    dir.write("cut.cct", dir.read("old.cct").substr(0, 100));
    prompts.openAnswer = QString::fromStdString(dir.path() + "cut.cct");
    answerDialogs({typePassword("pw", true)});
    importBackup(bob, nullptr);
    EXPECT_EQ(prompts.messages.takeLast(), QStringLiteral("导入文件已损坏，未导入任何记录。"));
    EXPECT_EQ(bob.ledger().records.size(), 2u);

    prompts.openAnswer = QString::fromStdString(dir.path() + "missing.cct");
    importBackup(bob, nullptr);
    EXPECT_EQ(prompts.messages.takeLast(), QStringLiteral("导入文件失败。"));
}

} // namespace
