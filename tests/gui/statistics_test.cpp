#include "core/accounts/useraccounts.h"
#include "core/ledger/gbk.h"
#include "core/ledger/itemlist.h"
#include "core/ledger/recordfile.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/settings.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/stats/statisticsdialogs.h"
#include "gui/stats/statisticspage.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QValueAxis>

#include <gtest/gtest.h>

namespace {

LedgerRecord record(RecordKind kind, int month, int day, const char* item, const char* amount,
                    const char* writtenOff = "0.00") {
    LedgerRecord r;
    r.kind = kind;
    r.year = 2024;
    r.month = month;
    r.day = day;
    r.item = gbkText(item);
    r.amount = amount;
    r.writtenOff = writtenOff;
    return r;
}

QStringList column(const QWidget& parent, const char* list, int at) {
    QAbstractItemModel* model = child<QTableView>(parent, list)->model();
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->index(row, at).data().toString();
    return cells;
}

QString summary(const QWidget& page, int at) {
    return child<QLabel>(page, ("summary" + std::to_string(at)).c_str())->text();
}

void select(const QWidget& parent, const char* list, int row) {
    auto* view = child<QTableView>(parent, list);
    view->selectRow(row);
    Q_EMIT view->clicked(view->model()->index(row, 0));
}

class StatisticsTest : public testing::Test {
protected:
    void SetUp() override {
        resetSettings();
        Ledger& ledger = context.ledger();
        ledger.dataDir = home.path() + "DataRec/";
        ledger.userName = "bob";
        ledger.password = "pw";
        ledger.recordFilePath = recordFilePathFor(ledger.dataDir, "bob");
        ASSERT_EQ(createUser(ledger.dataDir, "bob", "pw"), CreateUserResult::Created);
        ledger.records = {record(RecordKind::Expense, 1, 3, "早饭", "10.00"),
                          record(RecordKind::Income, 1, 3, "工资", "100.00"),
                          record(RecordKind::Expense, 1, 3, "午饭", "20.00"),
                          record(RecordKind::Lent, 1, 5, "老王", "50.00", "20.00"),
                          record(RecordKind::Expense, 2, 1, "晚饭", "5.00")};
    }
    std::unique_ptr<StatisticsPage> open(int layout) {
        writeSetting(LAYOUT, layout);
        auto page = std::make_unique<StatisticsPage>(context, nullptr);
        page->show();
        page->refreshStatistics();
        page->setPeriod(QDate(2024, 1, 1), QDate(2024, 1, 31));
        return page;
    }
    TempDir home;
    LedgerContext context;
    FakePrompter prompts;
};

TEST_F(StatisticsTest, QueryListsTheDaysAndClickingADayListsItsRecords) {
    auto page = open(0);
    EXPECT_EQ(summary(*page, 9), QStringLiteral("N/A"));
    EXPECT_EQ(child<QComboBox>(*page, "yearList")->currentText(), QStringLiteral("2024"));
    child<QPushButton>(*page, "queryButton")->click();
    EXPECT_EQ(column(*page, "periodList", 0),
              (QStringList{QStringLiteral("2024-01-03"), QStringLiteral("2024-01-05")}));
    EXPECT_EQ(column(*page, "periodList", 3), (QStringList{QStringLiteral("70.00"), QStringLiteral("70.00")}));
    EXPECT_EQ(summary(*page, 1), QStringLiteral("N/A")); // classic: no debts
    EXPECT_EQ(summary(*page, 7), QStringLiteral("31"));
    EXPECT_EQ(summary(*page, 9), QStringLiteral("70.00"));

    select(*page, "periodList", 0);
    EXPECT_EQ(column(*page, "recordList", 0),
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    select(*page, "periodList", 1);
    EXPECT_TRUE(column(*page, "recordList", 0).isEmpty()); // only a debt, and the classic layout hides debts

    // Deleting the first of three renumbers the rest; the summary drops the record's share; nothing is saved.
    select(*page, "periodList", 0);
    child<QTableView>(*page, "recordList")->selectRow(0);
    prompts.answers = {true};
    child<QPushButton>(*page, "deleteButton")->click();
    EXPECT_EQ(column(*page, "recordList", 0), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_EQ(context.ledger().records.size(), 4u);
    EXPECT_EQ(summary(*page, 3), QStringLiteral("20.00"));
    EXPECT_EQ(summary(*page, 9), QStringLiteral("80.00"));
    Ledger onDisk;
    onDisk.userName = "bob";
    onDisk.password = "pw";
    ASSERT_TRUE(serializeLedger(onDisk, readFile(context.ledger().recordFilePath).bytes).ok());
    EXPECT_TRUE(onDisk.records.empty());
}

TEST_F(StatisticsTest, EditingUpdatesTheRowTheSelectedDayAndTheSummary) {
    auto page = open(1);
    child<QPushButton>(*page, "queryButton")->click();
    EXPECT_EQ(summary(*page, 1), QStringLiteral("30.00")); // lent, open amount
    EXPECT_EQ(summary(*page, 9), QStringLiteral("40.00"));
    select(*page, "periodList", 0);
    child<QTableView>(*page, "recordList")->selectRow(0);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(child<QLineEdit>(*dialog, "quantityEdit")->isVisibleTo(dialog)); // new layout: mode 2
        child<QLineEdit>(*dialog, "amountEdit")->setText(QStringLiteral("15"));
        child<QPushButton>(*dialog, "saveButton")->click();
    });
    child<QPushButton>(*page, "editButton")->click();
    EXPECT_EQ(column(*page, "recordList", 6).front(), QStringLiteral("15.00"));
    EXPECT_EQ(column(*page, "periodList", 1).front(), QStringLiteral("35.00"));
    EXPECT_EQ(column(*page, "periodList", 4).front(), QStringLiteral("65.00"));
    EXPECT_EQ(column(*page, "periodList", 4).back(), QStringLiteral("35.00")); // later balances follow at once
    EXPECT_EQ(summary(*page, 3), QStringLiteral("35.00"));
    EXPECT_EQ(summary(*page, 9), QStringLiteral("35.00"));
    // The day stays selected and its records stay listed.
    EXPECT_EQ(selectedRows(child<QTableView>(*page, "periodList")), std::vector<std::size_t>{0});
    EXPECT_EQ(column(*page, "recordList", 3).size(), 3);
}

TEST_F(StatisticsTest, DeletingComputesThePeriodListAgain) {
    auto page = open(0);
    child<QPushButton>(*page, "queryButton")->click();
    ASSERT_EQ(column(*page, "periodList", 3), (QStringList{QStringLiteral("70.00"), QStringLiteral("70.00")}));
    select(*page, "periodList", 0);
    child<QTableView>(*page, "recordList")->selectRow(0); // 早饭 10.00
    prompts.answers = {true};
    child<QPushButton>(*page, "deleteButton")->click();
    // The day's and every later running balance, and the summary, lose the expense; by the rules
    // of deleting, the summary is the old one without the record's share.
    EXPECT_EQ(column(*page, "periodList", 3), (QStringList{QStringLiteral("80.00"), QStringLiteral("80.00")}));
    EXPECT_EQ(summary(*page, 3), QStringLiteral("20.00"));
    EXPECT_EQ(summary(*page, 9), QStringLiteral("80.00"));
    EXPECT_EQ(column(*page, "recordList", 3), (QStringList{QStringLiteral("工资"), QStringLiteral("午饭")}));
    EXPECT_EQ(column(*page, "recordList", 0), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));

    // Undone, the expense is back in the lists, at its old position.
    context.undoLastDeletion();
    page->showLedgerChange();
    EXPECT_EQ(column(*page, "periodList", 3), (QStringList{QStringLiteral("70.00"), QStringLiteral("70.00")}));
    EXPECT_EQ(column(*page, "recordList", 3).front(), QStringLiteral("早饭"));
    EXPECT_EQ(column(*page, "recordList", 0).front(), QStringLiteral("0"));
}

TEST_F(StatisticsTest, SettlementAndItsMessages) {
    auto page = open(0);
    child<QPushButton>(*page, "settleButton")->click();
    EXPECT_EQ(column(*page, "periodList", 0).size(), 12);
    EXPECT_EQ(summary(*page, 7), QStringLiteral("366"));
    EXPECT_TRUE(child<QPushButton>(*page, "chartButton")->isEnabled());
    select(*page, "periodList", 1); // February of the year selected
    EXPECT_EQ(column(*page, "recordList", 3), QStringList{QStringLiteral("晚饭")});

    context.ledger().records.clear();
    page->refreshStatistics();
    EXPECT_EQ(child<QLabel>(*page, "lastMonthValue")->text(), QStringLiteral("0.00"));
    child<QPushButton>(*page, "settleButton")->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("不存在收支数据！")});

    writeSetting(LAYOUT, 1);
    page->refreshStatistics(); // the columns follow the layout
    EXPECT_EQ(child<QTableView>(*page, "periodList")->model()->columnCount(), 5);
}

TEST_F(StatisticsTest, DialogsShowTheirListsAndCheckTheirInput) {
    DailyRecordsDialog daily(context, {2024, 1, 1}, {2024, 1, 31});
    EXPECT_EQ(child<QLabel>(daily, "periodHeader")->text(), QStringLiteral("2024-01-01 至 2024-01-31"));
    EXPECT_EQ(column(daily, "statisticsList", 1).last(), QStringLiteral("结余"));
    EXPECT_EQ(child<QLineEdit>(daily, "totalField")->text(), QStringLiteral("70.000"));

    ExpenseShareDialog shares(context, {2024, 1, 1}, {2024, 1, 31});
    EXPECT_EQ(column(shares, "statisticsList", 2), (QStringList{QStringLiteral("33.33"), QStringLiteral("66.67")}));
    EXPECT_NE(shares.findChild<QWidget*>(QStringLiteral("shareChart")), nullptr);

    // "导出至EXCEL": the list into a workbook where the user says, and where it went.
    prompts.saveAnswers = {QString::fromStdString(home.path() + "books/shares")};
    child<QPushButton>(shares, "exportButton")->click();
    EXPECT_EQ(prompts.saveFilters.takeLast(), QStringLiteral("Excel文件(*.xlsx);;所有文件(*)"));
    EXPECT_TRUE(home.exists("books/shares.xlsx"));
    EXPECT_EQ(prompts.messages.takeLast(),
              QStringLiteral("导出文件保存于%1books/shares.xlsx!").arg(QString::fromStdString(home.path())));

    ASSERT_TRUE(saveItemList(context.ledger(), ItemListKind::Counterparts, {gbkText("老王")}));
    DebtQueryDialog debts(context);
    child<QPushButton>(debts, "queryButton")->click();
    EXPECT_EQ(prompts.messages.takeLast(), QStringLiteral("关键字不能为空！"));
    child<QComboBox>(debts, "keywordCombo")->setCurrentIndex(0);
    child<QRadioButton>(debts, "yearMode")->click();
    EXPECT_TRUE(child<QComboBox>(debts, "yearList")->isEnabled());
    child<QPushButton>(debts, "queryButton")->click();
    EXPECT_EQ(column(debts, "statisticsList", 0).size(), 12);
    EXPECT_EQ(child<QLineEdit>(debts, "totalField")->text(), QStringLiteral("-30.000"));
}

TEST_F(StatisticsTest, TheSettlementChartShowsTheSettledYearAsTheLedgerIsNow) {
    context.ledger().records.push_back(record(RecordKind::Expense, 3, 1, "房租", "900.00"));
    context.ledger().records.push_back(record(RecordKind::Expense, 5, 1, "x", "1.00"));
    context.ledger().records.back().year = 2023; // a second year to choose
    auto page = open(0);
    child<QPushButton>(*page, "settleButton")->click(); // 2024
    child<QComboBox>(*page, "yearList")->setCurrentIndex(1);
    context.ledger().records.pop_back();
    context.ledger().records.back().amount = "1200.00"; // changed after the settlement
    QString title;
    double lowest = 0, march = 0;
    QTimer::singleShot(0, [&] {
        auto* chart = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(chart, nullptr);
        title = chart->windowTitle();
        auto* view = child<QChartView>(*chart, "settlementChart");
        auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
        lowest = axis->min();
        auto* series = qobject_cast<QBarSeries*>(view->chart()->series().front());
        march = series->barSets().front()->at(2);
        chart->reject();
    });
    child<QPushButton>(*page, "chartButton")->click();
    EXPECT_EQ(title, QStringLiteral("2024年各月收支"));
    EXPECT_EQ(march, 1200.0);
    EXPECT_LT(lowest, -1200.0); // March's balance is drawn whole below the axis
}

TEST_F(StatisticsTest, ThePieAndTheListGiveTheSameShares) {
    context.ledger().records.push_back(record(RecordKind::Expense, 1, 4, "退款", "-20.00"));
    context.ledger().records.push_back(record(RecordKind::Expense, 1, 4, "鸡蛋 20个装特价", "5.00"));
    ExpenseShareDialog shares(context, {2024, 1, 1}, {2024, 1, 31});
    const QStringList percents = column(shares, "statisticsList", 2);
    const QString legend = child<QLabel>(shares, "shareLegend")->text();
    for (const QString& item : {QStringLiteral("早饭"), QStringLiteral("午饭"), QStringLiteral("鸡蛋 20个装特价")})
        EXPECT_TRUE(
            legend.contains(item + QLatin1Char(' ') + percents[column(shares, "statisticsList", 0).indexOf(item)]))
            << legend.toStdString();
    EXPECT_TRUE(legend.contains(QStringLiteral("退款"))); // named as what the pie cannot draw
    EXPECT_TRUE(child<QLabel>(shares, "shareLegend")->wordWrap());
    EXPECT_LE(shares.width(), 1024);
    EXPECT_LE(shares.height(), 768);
}

TEST_F(StatisticsTest, QueriesShowAKeywordAsTypedAndExportUnderTheirTitle) {
    RecordQueryDialog query(context);
    child<QComboBox>(query, "keywordCombo")->setEditText(QStringLiteral("饭😀"));
    child<QRadioButton>(query, "yearMode")->click();
    child<QPushButton>(query, "queryButton")->click();
    EXPECT_EQ(column(query, "statisticsList", 2).front(), QStringLiteral("饭😀"));

    prompts.saveAnswers = {QString::fromStdString(home.path() + "q")};
    child<QPushButton>(query, "exportButton")->click();
    ASSERT_FALSE(prompts.saveRequests.empty());
    EXPECT_EQ(prompts.saveRequests.back().title, QStringLiteral("导出"));
    EXPECT_EQ(prompts.saveRequests.back().defaultSuffix, QStringLiteral("xlsx"));
    EXPECT_TRUE(home.exists("q.xlsx"));

    // A cell the workbook cannot hold: the export ends with a message in Chinese, not a success.
    context.ledger().records[0].note = std::string(40000, 'n');
    DailyRecordsDialog daily(context, {2024, 1, 1}, {2024, 1, 31});
    prompts.saveAnswers = {QString::fromStdString(home.path() + "daily")};
    child<QPushButton>(daily, "exportButton")->click();
    EXPECT_TRUE(prompts.messages.takeLast().contains(QStringLiteral("无法写入工作簿")));
    EXPECT_FALSE(home.exists("daily.xlsx"));
}

} // namespace
