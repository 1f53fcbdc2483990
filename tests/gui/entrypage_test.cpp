#include "core/accounts/useraccounts.h"
#include "core/ledger/gbk.h"
#include "core/ledger/itemlist.h"
#include "core/ledger/recordfile.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/settings.h"
#include "gui/pages/entrypage.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QDate DAY(2024, 5, 15);

class EntryPageTest : public testing::Test {
protected:
    void SetUp() override {
        resetSettings();
        Ledger& ledger = context.ledger();
        ledger.programDir = home.path();
        ledger.dataDir = home.path() + "DataRec/";
        ledger.userName = "bob";
        ledger.password = "pw";
        ledger.recordFilePath = recordFilePathFor(ledger.dataDir, "bob");
        ASSERT_EQ(createUser(ledger.dataDir, "bob", "pw"), CreateUserResult::Created);
        home.write("OutDefs.txt", gbkText("早饭\r\n午饭\r\n"));
        seedItemLists(ledger);
    }

    template <typename Page> std::unique_ptr<Page> open(std::vector<LedgerRecord> records = {}) {
        context.ledger().records = std::move(records);
        auto page = std::make_unique<Page>(context, nullptr);
        page->setPickedDate(DAY);
        page->show();
        page->refresh();
        return page;
    }

    static LedgerRecord record(std::int32_t id, RecordKind kind, int day, const char* item,
                               const char* quantity = "1.00", const char* amount = "1.00") {
        LedgerRecord r;
        r.id = id;
        r.kind = kind;
        r.year = 2024;
        r.month = 5;
        r.day = day;
        r.item = item;
        r.quantity = quantity;
        r.amount = amount;
        return r;
    }

    // The records on disk.
    std::vector<LedgerRecord> stored() {
        Ledger copy;
        copy.userName = "bob";
        copy.password = "pw";
        const FileRead file = readFile(context.ledger().recordFilePath);
        EXPECT_TRUE(serializeLedger(copy, file.bytes).ok());
        return copy.records;
    }

    QStringList column(EntryPage& page, int at) {
        QAbstractItemModel* model = child<QTableView>(page, "recordList")->model();
        QStringList cells;
        for (int row = 0; row < model->rowCount(); ++row)
            cells << model->index(row, at).data().toString();
        return cells;
    }

    void select(EntryPage& page, std::initializer_list<int> rows) {
        auto* view = child<QTableView>(page, "recordList");
        view->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row, 1),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void command(EntryPage& page, const QString& caption) {
        for (QAction* action : child<QMenu>(page, "listMenu")->actions())
            if (action->text() == caption) {
                action->trigger();
                return;
            }
        FAIL() << "no command " << caption.toStdString();
    }

    // Runs `act` on the next modal dialog once it is open (or records that none opened).
    void onDialog(std::function<void(QDialog&)> act) {
        QTimer::singleShot(0, [this, act] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ++dialogsSeen;
            if (dialog)
                act(*dialog);
        });
    }

    TempDir home;
    LedgerContext context;
    FakePrompter prompts;
    int dialogsSeen = 0;
};

TEST_F(EntryPageTest, AddChecksInOrderThenAppendsSavesAndEmptiesTheFields) {
    auto page = open<ExpensePage>();
    auto* item = child<QComboBox>(*page, "itemCombo");
    auto* amount = child<QLineEdit>(*page, "amountEdit");
    auto* note = child<QPlainTextEdit>(*page, "noteEdit");
    auto* add = child<QPushButton>(*page, "addButton");
    ASSERT_EQ(item->count(), 2); // the user's list, nothing chosen
    EXPECT_EQ(item->itemText(1), QStringLiteral("午饭"));
    EXPECT_TRUE(item->currentText().isEmpty());
    struct Step {
        QString item, note, amount, message;
        QWidget* focus;
    };
    const Step refused[] = {
        {{}, QStringLiteral("'"), {}, QStringLiteral("您没有填写支出项目名称。"), item},
        {QStringLiteral("咖啡😀"), {}, QStringLiteral("1"), QStringLiteral("项目名称含有非法字符。"), item},
        {QStringLiteral("咖啡"), QStringLiteral("it's"), {}, QStringLiteral("备注含有非法字符。"), note},
        {QStringLiteral("咖啡"), QStringLiteral("热的"), {}, QStringLiteral("金额不能为空，请重新填写。"), amount},
    };
    for (const Step& step : refused) {
        item->setEditText(step.item);
        note->setPlainText(step.note);
        amount->setText(step.amount);
        add->setFocus();
        add->click();
        EXPECT_EQ(prompts.messages.takeLast(), step.message);
        EXPECT_EQ(page->focusWidget(), step.focus) << step.message.toStdString();
    }
    EXPECT_TRUE(context.ledger().records.empty());
    EXPECT_TRUE(stored().empty());

    amount->setText(QStringLiteral("12345.678"));
    add->click();
    ASSERT_EQ(context.ledger().records.size(), 1u);
    EXPECT_EQ(context.ledger().records[0].amount, "12345.68");
    EXPECT_EQ(context.ledger().records[0].item, gbkText("咖啡"));
    EXPECT_EQ(stored(), context.ledger().records); // autoSave is on
    EXPECT_EQ(column(*page, 4), QStringList{QStringLiteral("12345.68")});
    EXPECT_TRUE(amount->text().isEmpty() && note->toPlainText().isEmpty() && item->currentText().isEmpty());
    EXPECT_EQ(page->pickedDate(), DAY);

    context.ledger().autoSave = false;
    item->setEditText(QStringLiteral("茶"));
    amount->setText(QStringLiteral("abc"));
    add->click();
    EXPECT_EQ(context.ledger().records.back().amount, "0.00");
    EXPECT_EQ(stored().size(), 1u); // not saved
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(EntryPageTest, DeletingTheSecondOfThreeRowsThenEditingTheThirdFindsItsRecord) {
    auto page = open<IncomePage>({record(1, RecordKind::Income, 15, "a"), record(2, RecordKind::Expense, 15, "x"),
                                  record(3, RecordKind::Income, 15, "b"),
                                  record(4, RecordKind::Income, 15, "c", "2.00", "5.00")});
    EXPECT_EQ(column(*page, 0), (QStringList{QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3")}));
    command(*page, QStringLiteral("删除")); // nothing selected: nothing asked, nothing done
    EXPECT_TRUE(prompts.questions.isEmpty());

    select(*page, {1});
    prompts.answers = {true};
    command(*page, QStringLiteral("删除"));
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("您确定要删除指定的记录吗？")});
    EXPECT_EQ(column(*page, 0), (QStringList{QStringLiteral("0"), QStringLiteral("2")}));
    EXPECT_EQ(context.ledger().records.size(), 3u);
    EXPECT_TRUE(stored().empty()); // deletions are not saved

    select(*page, {1});
    QString shownItem;
    onDialog([&](QDialog& dialog) {
        shownItem = child<QLineEdit>(dialog, "itemEdit")->text();
        EXPECT_FALSE(child<QLineEdit>(dialog, "quantityEdit")->isVisibleTo(&dialog));
        child<QLineEdit>(dialog, "amountEdit")->setText(QStringLiteral("7"));
        child<QPushButton>(dialog, "saveButton")->click();
    });
    command(*page, QStringLiteral("修改"));
    EXPECT_EQ(shownItem, QStringLiteral("c"));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("修改成功！")});
    const LedgerRecord& edited = context.ledger().records[2];
    EXPECT_EQ(edited.id, 4);
    EXPECT_EQ(edited.amount, "7.00");
    EXPECT_EQ(edited.quantity, "2.00"); // hidden, kept
    EXPECT_EQ(column(*page, 4), (QStringList{QStringLiteral("1.00"), QStringLiteral("14.00")}));
    // The edit saved everything, the deletion too (reading numbers the ids 1..N).
    const std::vector<LedgerRecord> onDisk = stored();
    ASSERT_EQ(onDisk.size(), 3u);
    EXPECT_EQ(onDisk[2].item, "c");
    EXPECT_EQ(onDisk[2].amount, "7.00");
}

TEST_F(EntryPageTest, CombinedPageSortsTotalsColoursAndDeletes) {
    writeSetting(TEXT_COLOR, 1);
    auto page = open<CombinedPage>({record(1, RecordKind::Expense, 1, "a"), record(2, RecordKind::Expense, 1, "b"),
                                    record(3, RecordKind::Income, 2, "c", "3", "2.5"),
                                    record(4, RecordKind::Lent, 2, "debt"), record(5, RecordKind::Expense, 15, "d")});
    // The exchange: latest day first, and the two day-1 records end up turned.
    EXPECT_EQ(column(*page, 0),
              (QStringList{QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(child<QLabel>(*page, "field1")->text(), QStringLiteral("1.00")); // 今日支
    EXPECT_EQ(child<QLabel>(*page, "field4")->text(), QStringLiteral("7.50")); // 本月收
    QAbstractItemModel* model = child<QTableView>(*page, "recordList")->model();
    EXPECT_EQ(model->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(model->index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));

    child<QRadioButton>(*page, "kind2")->click(); // "收入": another list, the list itself stays
    EXPECT_EQ(column(*page, 0).size(), 4);

    select(*page, {0, 3});
    prompts.answers = {true};
    command(*page, QStringLiteral("选中删除"));
    EXPECT_EQ(prompts.questions.takeLast(), QStringLiteral("您确定要删除所有指定的记录吗？"));
    EXPECT_EQ(column(*page, 0), (QStringList{QStringLiteral("3"), QStringLiteral("1")}));

    prompts.answers = {false};
    command(*page, QStringLiteral("全部删除"));
    EXPECT_EQ(context.ledger().records.size(), 3u);
    prompts.answers = {true};
    command(*page, QStringLiteral("全部删除"));
    EXPECT_EQ(prompts.questions.takeLast(), QStringLiteral("您确定要删除列表中所有记录吗？"));
    ASSERT_EQ(context.ledger().records.size(), 1u);
    EXPECT_EQ(context.ledger().records[0].id, 4); // the debt stays
    EXPECT_EQ(child<QLabel>(*page, "field3")->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(stored().empty());
}

TEST_F(EntryPageTest, DebtPageWritesOffByDoubleClickReplacingTheTotal) {
    auto page = open<DebtPage>({record(1, RecordKind::Lent, 3, "mum", "1.00", "500.00")});
    auto* view = child<QTableView>(*page, "recordList");
    const auto writeOff = [&](const char* amount) {
        select(*page, {0});
        onDialog([amount](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("销账"));
            child<QLineEdit>(dialog, "writtenOffEdit")->setText(QString::fromLatin1(amount));
            child<QPushButton>(dialog, "saveButton")->click();
        });
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 1)).center());
    };
    writeOff("200");
    EXPECT_EQ(context.ledger().records[0].writtenOff, "200.00");
    writeOff("300");
    ASSERT_EQ(context.ledger().records.size(), 1u);
    EXPECT_EQ(context.ledger().records[0].writtenOff, "300.00");
    EXPECT_EQ(column(*page, 5), QStringList{QStringLiteral("300.00")});
    EXPECT_EQ(child<QLabel>(*page, "field1")->text(), QStringLiteral("200.00"));
    EXPECT_EQ(prompts.messages, QStringList(2, QStringLiteral("销账成功！")));
    EXPECT_EQ(stored(), context.ledger().records);

    // A borrowed debt through the fields; the edit from the menu is the debt edit.
    child<QRadioButton>(*page, "kind2")->click();
    child<QComboBox>(*page, "itemCombo")->setEditText(QStringLiteral("老王"));
    child<QLineEdit>(*page, "amountEdit")->setText(QStringLiteral("50"));
    child<QPushButton>(*page, "addButton")->click();
    EXPECT_EQ(context.ledger().records.back().kind, RecordKind::Borrowed);
    EXPECT_EQ(column(*page, 2), (QStringList{QStringLiteral("借入"), QStringLiteral("借出")}));
    select(*page, {0});
    QString label;
    onDialog([&](QDialog& dialog) {
        label = dialog.windowTitle();
        dialog.reject();
    });
    command(*page, QStringLiteral("修改"));
    EXPECT_EQ(label, QStringLiteral("修改"));
}

TEST_F(EntryPageTest, TheItemBoxKeepsWhatWasTypedAndTheDebtKindKeepsTheCounterpart) {
    home.write("OutDefs.txt", ""); // the seeded list is the user's own file, rewritten here
    ASSERT_TRUE(saveItemList(context.ledger(), ItemListKind::ExpenseItems, {gbkText("交通费")}));
    auto page = open<ExpensePage>();
    auto* item = child<QComboBox>(*page, "itemCombo");
    page->activateWindow();
    item->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(item->lineEdit()->hasFocus());   // a completer completes only what is typed with the focus
    for (const QChar c : QStringLiteral("交通")) // typed key by key, as a keyboard or input method does
        QTest::sendKeyEvent(QTest::Click, item->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_EQ(item->currentText(), QStringLiteral("交通")); // not completed to 交通费
    child<QLineEdit>(*page, "amountEdit")->setText(QStringLiteral("2"));
    child<QPushButton>(*page, "addButton")->click();
    EXPECT_EQ(context.ledger().records.back().item, gbkText("交通"));

    item->setCurrentIndex(0); // chosen from the list, then added: the choice is cleared too
    child<QLineEdit>(*page, "amountEdit")->setText(QStringLiteral("3"));
    child<QPushButton>(*page, "addButton")->click();
    EXPECT_EQ(item->currentIndex(), -1);
    EXPECT_TRUE(item->currentText().isEmpty());

    auto debts = open<DebtPage>();
    auto* counterpart = child<QComboBox>(*debts, "itemCombo");
    counterpart->setEditText(QStringLiteral("小李"));
    child<QRadioButton>(*debts, "kind2")->click(); // 借入: the same list, nothing refilled
    EXPECT_EQ(counterpart->currentText(), QStringLiteral("小李"));
}

TEST_F(EntryPageTest, NotesKeepTheirLineBreaksAsCrLf) {
    auto page = open<ExpensePage>();
    child<QComboBox>(*page, "itemCombo")->setEditText(QStringLiteral("茶"));
    child<QLineEdit>(*page, "amountEdit")->setText(QStringLiteral("1"));
    child<QPlainTextEdit>(*page, "noteEdit")->setPlainText(QStringLiteral("第一行\n第二行"));
    child<QPushButton>(*page, "addButton")->click();
    ASSERT_EQ(context.ledger().records.size(), 1u);
    EXPECT_EQ(context.ledger().records[0].note, gbkText("第一行\r\n第二行"));

    // Through "修改" unchanged, any note stays byte for byte what it was, even one with a bare LF.
    for (const std::string& note : {gbkText("第一行\r\n第二行"), std::string("a\nb"), std::string("a\r\n\r\nb")}) {
        context.ledger().records[0].note = note;
        page->refresh();
        select(*page, {0});
        onDialog([](QDialog& dialog) {
            child<QLineEdit>(dialog, "amountEdit")->setText(QStringLiteral("2"));
            child<QPushButton>(dialog, "saveButton")->click();
        });
        command(*page, QStringLiteral("修改"));
        EXPECT_EQ(context.ledger().records[0].note, note);
    }
}

TEST_F(EntryPageTest, ADoubleClickBelowTheRowsEditsTheSelectedRow) {
    auto page = open<ExpensePage>({record(1, RecordKind::Expense, 15, "a")});
    auto* view = child<QTableView>(*page, "recordList");
    page->resize(760, 413);
    QApplication::processEvents();
    const QPoint row = view->visualRect(view->model()->index(0, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row);
    const QPoint below(row.x(), view->viewport()->height() - 5);
    ASSERT_FALSE(view->indexAt(below).isValid());
    QString title;
    onDialog([&](QDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(title, QStringLiteral("修改"));
}

TEST_F(EntryPageTest, PagesAreBlackOnWhiteWhateverTheThemeAndTheIncomeNoteScrollsSideways) {
    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Window, Qt::darkGray);
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    auto page = open<IncomePage>();
    auto* view = child<QTableView>(*page, "recordList");
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(view->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(page->palette().color(QPalette::WindowText), QColor(Qt::black));
    auto* note = child<QPlainTextEdit>(*page, "noteEdit");
    EXPECT_EQ(note->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(note->lineWrapMode(), QPlainTextEdit::NoWrap);
    QApplication::setPalette(saved);
}

} // namespace
