#include "core/accounts/useraccounts.h"
#include "core/ledger/history.h"
#include "core/ledger/recordfile.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/mainwindow.h"
#include "gui/app/settings.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        resetSettings();
        ASSERT_EQ(createUser(dataDir(), "bob", "pw"), CreateUserResult::Created);
    }
    std::string dataDir() const { return home.path() + "DataRec/"; }

    std::unique_ptr<MainWindow> open() {
        auto window = std::make_unique<MainWindow>(home.path(), dataDir(), [](Ledger& ledger, QWidget*) {
            ledger.userName = "bob";
            ledger.password = "pw";
            return true;
        });
        EXPECT_TRUE(window->initialise());
        window->show();
        return window;
    }

    QString visiblePage(const MainWindow& window) {
        QString shown;
        for (const char* name :
             {"expensePage", "incomePage", "debtPage", "statisticsPage", "settingsPage", "combinedPage"})
            if (child<QWidget>(window, name)->isVisible())
                shown += QString::fromLatin1(name);
        return shown;
    }

    QStringList tabCaptions(const MainWindow& window) {
        QStringList captions;
        for (const char* name : {"tab1", "tab2", "tab3", "tab4"})
            captions << child<QPushButton>(window, name)->text();
        return captions;
    }

    TempDir home;
    FakePrompter prompts;
};

TEST_F(MainWindowTest, TabsFollowTheLayout) {
    struct Case {
        int layout;
        QStringList captions;
        QString firstTab, secondTab;
    };
    const QStringList classic = {QStringLiteral("支出记账"), QStringLiteral("收入记账"), QStringLiteral("收支统计"),
                                 QStringLiteral("系统设置")};
    const Case cases[] = {
        {0, classic, QStringLiteral("expensePage"), QStringLiteral("incomePage")},
        {1,
         {QStringLiteral("收支记账"), QStringLiteral("债务记账"), QStringLiteral("财务统计"),
          QStringLiteral("系统设置")},
         QStringLiteral("combinedPage"),
         QStringLiteral("debtPage")},
        {7, classic, QString(), QString()}, // other values keep the captions and show no page
    };
    for (const Case& c : cases) {
        writeSetting(LAYOUT, c.layout);
        auto window = open();
        EXPECT_EQ(tabCaptions(*window), c.captions) << c.layout;
        EXPECT_EQ(visiblePage(*window), c.firstTab) << c.layout;
        child<QPushButton>(*window, "tab2")->click();
        EXPECT_EQ(visiblePage(*window), c.secondTab) << c.layout;
        child<QPushButton>(*window, "tab3")->click();
        EXPECT_EQ(visiblePage(*window), QStringLiteral("statisticsPage")) << c.layout;
        child<QPushButton>(*window, "tab4")->click();
        EXPECT_EQ(visiblePage(*window), QStringLiteral("settingsPage")) << c.layout;
    }
}

TEST_F(MainWindowTest, LayoutChangeRecaptionsAtOnceAndSwitchesPagesOnTheNextPress) {
    auto window = open();
    EXPECT_EQ(child<QLabel>(*window, "userLabel")->text(), QStringLiteral("当前用户：bob"));
    window->setTabCaptions(1);
    writeSetting(LAYOUT, 1);
    EXPECT_EQ(child<QPushButton>(*window, "tab1")->text(), QStringLiteral("收支记账"));
    EXPECT_EQ(visiblePage(*window), QStringLiteral("expensePage"));
    child<QPushButton>(*window, "tab1")->click();
    EXPECT_EQ(visiblePage(*window), QStringLiteral("combinedPage"));
}

TEST_F(MainWindowTest, HelpShowsTheTextOfTheTab) {
    auto window = open();
    child<QPushButton>(*window, "tab3")->click();
    child<QAbstractButton>(*window, "helpButton")->click();
    auto* panel = child<QLabel>(*window, "helpPanel");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->text().startsWith(QStringLiteral("        可在此统计指定时间段内的收支情况")));
    EXPECT_EQ(panel->geometry(), QRect(300, 30, 390, 230));

    // Moving over the window itself (here the title strip) hides the panel.
    const QPointF strip(200, 15);
    QMouseEvent move(QEvent::MouseMove, strip, window->mapToGlobal(strip), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &move);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(window->childAt(strip.toPoint()), nullptr); // the title label lets the mouse through
    writeSetting(LAYOUT, 1);
    child<QPushButton>(*window, "tab1")->click();
    child<QAbstractButton>(*window, "helpButton")->click();
    EXPECT_TRUE(panel->text().startsWith(QStringLiteral("第1步：选择是支出还是收入；")));
}

TEST_F(MainWindowTest, OnlyAConfirmedExitEndsAndItAlwaysSaves) {
    writeSetting(AUTOSAVE, 0);
    auto window = open();
    EXPECT_FALSE(window->ledger().autoSave);
    window->ledger().records.push_back(LedgerRecord{.id = 1, .item = "x", .amount = "2.00"});

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &escape);
    EXPECT_FALSE(window->close()); // the window manager's close request
    EXPECT_TRUE(window->isVisible());

    prompts.answers = {false};
    child<QAbstractButton>(*window, "exitButton")->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("您确认要退出？")});

    prompts.answers = {true};
    child<QAbstractButton>(*window, "exitButton")->click();
    EXPECT_FALSE(window->isVisible());
    Ledger saved;
    saved.userName = "bob";
    saved.password = "pw";
    ASSERT_TRUE(serializeLedger(saved, home.read("DataRec/bob.rec")).ok());
    ASSERT_EQ(saved.records.size(), 1u);
    EXPECT_EQ(saved.records[0].item, "x");
}

TEST_F(MainWindowTest, MissingFileStartsEmptyAndADamagedOneIsLeftAlone) {
    ASSERT_TRUE(deleteUser(dataDir(), "bob"));
    {
        auto window = open();
        EXPECT_TRUE(window->ledger().records.empty());
        EXPECT_TRUE(checkCredentials(dataDir(), "bob", "pw").ok());
    }
    std::string bytes = home.read("DataRec/bob.rec");
    bytes.resize(bytes.size() - 2);
    home.write("DataRec/bob.rec", bytes);
    MainWindow window(home.path(), dataDir(), [](Ledger& ledger, QWidget*) {
        ledger.userName = "bob";
        ledger.password = "pw";
        return true;
    });
    EXPECT_FALSE(window.initialise());
    EXPECT_FALSE(window.loginCancelled());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("已损坏")));
    EXPECT_EQ(home.read("DataRec/bob.rec"), bytes);
}

TEST_F(MainWindowTest, StatisticsMenuCommandsOpenTheirDialogs) {
    auto window = open();
    QStringList opened;
    for (QAction* action : child<QMenu>(*window, "statisticsMenu")->actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened << dialog->windowTitle();
                dialog->close();
            }
        });
        action->trigger();
    }
    // Each menu entry opens its dialog, under the dialog's own caption.
    EXPECT_EQ(opened, (QStringList{QStringLiteral("自定义查询统计收支记录"), QStringLiteral("每天所有收支记录"),
                                   QStringLiteral("各个支出项目所占比例"), QStringLiteral("各个收入项目所占比例"),
                                   QStringLiteral("自定义查询债务统计记录"), QStringLiteral("每天所有债务记录")}));
}

TEST_F(MainWindowTest, TextReportGoesWhereTheUserSays) {
    auto window = open();
    QAction* formatTwo = nullptr;
    for (QAction* action : child<QMenu>(*window, "statisticsMenu")->actions())
        if (action->menu() && action->text() == QStringLiteral("收支导出为文本文件"))
            formatTwo = action->menu()->actions().at(1);
    ASSERT_NE(formatTwo, nullptr);

    formatTwo->trigger(); // cancelled: nothing written, nothing said
    EXPECT_EQ(prompts.saveFilters, QStringList{QStringLiteral("Txt File (*.txt)")});
    EXPECT_TRUE(prompts.messages.isEmpty());

    prompts.saveAnswers = {QString::fromStdString(home.path() + "report")};
    formatTwo->trigger();
    ASSERT_TRUE(home.exists("report.txt"));
    EXPECT_EQ(home.read("report.txt").substr(0, 2), "  ");
    EXPECT_EQ(
        prompts.messages,
        QStringList{QStringLiteral("导出成功！\n文件保存位置：%1report.txt").arg(QString::fromStdString(home.path()))});
}

TEST_F(MainWindowTest, WorkbookReportIsWrittenQuietly) {
    auto window = open();
    QAction* formatOne = nullptr;
    for (QAction* action : child<QMenu>(*window, "statisticsMenu")->actions())
        if (action->menu() && action->text() == QStringLiteral("收支导出为Excel文件"))
            formatOne = action->menu()->actions().at(0);
    ASSERT_NE(formatOne, nullptr);
    prompts.saveAnswers = {QString::fromStdString(home.path() + "book")};
    formatOne->trigger();
    EXPECT_EQ(prompts.saveFilters, QStringList{QStringLiteral("Excel File (*.xlsx)")});
    EXPECT_TRUE(home.exists("book.xlsx"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainWindowTest, CancelledLoginEndsBeforeAnything) {
    MainWindow window(home.path(), dataDir(), [](Ledger&, QWidget*) { return false; });
    EXPECT_FALSE(window.initialise());
    EXPECT_TRUE(window.loginCancelled());
}

TEST_F(MainWindowTest, ExportsNeverLandOnARecordFileAndAskAgain) {
    ASSERT_EQ(createUser(dataDir(), "ann", "pw"), CreateUserResult::Created);
    const std::string own = home.read("DataRec/bob.rec"), other = home.read("DataRec/ann.rec");
    ASSERT_EQ(::link((dataDir() + "ann.rec").c_str(), (home.path() + "ann-copy.txt").c_str()), 0); // the same file
    auto window = open();
    QAction* report = nullptr;
    for (QAction* action : child<QMenu>(*window, "statisticsMenu")->actions())
        if (action->menu() && action->text() == QStringLiteral("收支导出为文本文件"))
            report = action->menu()->actions().at(0);
    ASSERT_NE(report, nullptr);

    prompts.saveAnswers = {QString::fromStdString(dataDir() + "bob.rec"),
                           QString::fromStdString(home.path() + "ann-copy.txt"),
                           QString::fromStdString(home.path() + "report")};
    report->trigger();
    EXPECT_EQ(prompts.saveFilters.size(), 3); // asked again after each refusal
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("数据目录"))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("记录文件"))) << prompts.messages[1].toStdString();
    EXPECT_TRUE(prompts.messages[2].startsWith(QStringLiteral("导出成功！")));
    EXPECT_EQ(home.read("DataRec/bob.rec"), own);
    EXPECT_EQ(home.read("DataRec/ann.rec"), other);
}

TEST_F(MainWindowTest, WhatAKilledSaveLeftIsRemovedAtTheNextStart) {
    home.write("DataRec/bob.rec.saving", std::string(4096, 'x'));
    home.write("DataRec/bob.lio.saving", "half a list");
    auto window = open();
    EXPECT_FALSE(home.exists("DataRec/bob.rec.saving"));
    EXPECT_FALSE(home.exists("DataRec/bob.lio.saving"));
}

TEST_F(MainWindowTest, ASaveNoticesAnotherWriterAndLosesNothingEitherWay) {
    auto window = open();
    LedgerContext& context = window->context();
    context.ledger().records.push_back(LedgerRecord{.id = 1, .item = "mine", .amount = "2.00"});
    // Someone else writes the file meanwhile (mzledger, a sync tool, a copy put back by hand).
    Ledger other;
    other.userName = "bob";
    other.password = "pw";
    other.recordFilePath = dataDir() + "bob.rec";
    other.records.push_back(LedgerRecord{.id = 1, .item = "theirs", .amount = "9.00"});
    ASSERT_TRUE(saveLedger(other));
    const std::string theirs = home.read("DataRec/bob.rec");

    prompts.answers = {false}; // not now
    EXPECT_FALSE(context.save(window.get()));
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions.takeLast().contains(QStringLiteral("其他程序")));
    EXPECT_EQ(home.read("DataRec/bob.rec"), theirs);

    prompts.answers = {true}; // save anyway: theirs goes into the history first
    EXPECT_TRUE(context.save(window.get()));
    EXPECT_EQ(prompts.questions.size(), 1);
    prompts.questions.clear();
    context.finishHistory();
    bool kept = false;
    for (const HistoryVersion& version : listVersions(dataDir() + "bob.rec"))
        kept = kept || readVersion(version).bytes == theirs;
    EXPECT_TRUE(kept);
    EXPECT_NE(home.read("DataRec/bob.rec"), theirs);

    // The next save finds the file it left and asks nothing; at exit the same question is asked.
    EXPECT_TRUE(context.save(window.get()));
    EXPECT_TRUE(prompts.questions.isEmpty());
    ASSERT_TRUE(saveLedger(other));
    prompts.answers = {true, false}; // quit: yes; save over theirs: not now
    child<QAbstractButton>(*window, "exitButton")->click();
    EXPECT_TRUE(window->isVisible()); // nothing was saved, so the window stays
    EXPECT_EQ(home.read("DataRec/bob.rec"), theirs);
}

TEST_F(MainWindowTest, DeletionsOnAnyPageAreUndoneLastFirst) {
    writeSetting(LAYOUT, 1);
    auto window = open();
    LedgerContext& context = window->context();
    const QDate today = QDate::currentDate();
    std::vector<LedgerRecord>& records = context.ledger().records;
    for (int i = 1; i <= 4; ++i)
        records.push_back(LedgerRecord{.id = i,
                                       .kind = i == 4 ? RecordKind::Lent : RecordKind::Expense,
                                       .year = today.year(),
                                       .month = today.month(),
                                       .day = today.day(),
                                       .item = "r" + std::to_string(i),
                                       .amount = "1.00",
                                       .note = "a\r\nb"});
    const std::vector<LedgerRecord> before = records;
    QAction* undo = context.undoAction();
    EXPECT_FALSE(undo->isEnabled());

    window->selectTab(0); // the combined page: 选中删除 of the second and third record
    auto* combined = child<QWidget>(*window, "combinedPage");
    auto* list = child<QTableView>(*combined, "recordList");
    list->selectionModel()->select(list->model()->index(1, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(2, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    prompts.answers = {true};
    for (QAction* action : child<QMenu>(*combined, "listMenu")->actions())
        if (action->text() == QStringLiteral("选中删除"))
            action->trigger();
    ASSERT_EQ(records.size(), 2u);
    window->selectTab(1); // the debt page: 全部删除
    prompts.answers = {true};
    for (QAction* action : child<QMenu>(*child<QWidget>(*window, "debtPage"), "listMenu")->actions())
        if (action->text() == QStringLiteral("全部删除"))
            action->trigger();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(context.newRecordId(), 5); // never an id that may come back

    undo->trigger(); // Ctrl+Z: the debt comes back, and the page shows it at once
    EXPECT_EQ(child<QTableView>(*child<QWidget>(*window, "debtPage"), "recordList")->model()->rowCount(), 1);
    undo->trigger();
    EXPECT_EQ(records, before); // every field and position as it was
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(MainWindowTest, ARestoreReplacesTheRecordsAndCanItselfBeUndone) {
    auto window = open();
    LedgerContext& context = window->context();
    context.ledger().records = {LedgerRecord{.id = 1, .item = "first", .amount = "1.00"}};
    ASSERT_TRUE(context.save(window.get()));
    context.ledger().records.push_back(LedgerRecord{.id = 2, .item = "second", .amount = "2.00"});
    ASSERT_TRUE(context.save(window.get()));
    context.finishHistory();
    const std::string withTwo = home.read("DataRec/bob.rec");

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* versions = child<QTableView>(*dialog, "versionList");
        ASSERT_GE(versions->model()->rowCount(), 2);
        EXPECT_EQ(versions->model()->index(1, 1).data().toString(), QStringLiteral("1"));
        versions->selectRow(1); // the version with one record
        child<QPushButton>(*dialog, "restoreButton")->click();
    });
    prompts.answers = {true};
    window->selectTab(3);
    child<QPushButton>(*child<QWidget>(*window, "settingsPage"), "historyButton")->click();
    ASSERT_EQ(context.ledger().records.size(), 1u);
    EXPECT_EQ(context.ledger().records[0].item, "first");
    context.finishHistory();
    bool undoable = false; // the ledger replaced is a version too
    for (const HistoryVersion& version : listVersions(dataDir() + "bob.rec"))
        undoable = undoable || readVersion(version).bytes == withTwo;
    EXPECT_TRUE(undoable);
}

} // namespace
