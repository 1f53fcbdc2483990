#include "gui/ledger/itempicker.h"
#include "gui/ledger/quickinputeditor.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class QuickInputTest : public testing::Test {
protected:
    QuickInputTest() {
        ledger.programDir = program.path();
        ledger.dataDir = data.path();
        ledger.userName = "bob";
        program.write("OutDefs.txt", "a\r\n\r\nc\r\n");
    }
    TempDir program;
    TempDir data;
    Ledger ledger;
    FakePrompter prompts;
};

TEST_F(QuickInputTest, EditorShowsOnlyTheUsersOwnFile) {
    QuickInputEditor empty(ledger, ItemListKind::ExpenseItems);
    EXPECT_TRUE(child<QPlainTextEdit>(empty, "listEdit")->toPlainText().isEmpty());
    seedItemLists(ledger);
    QuickInputEditor seeded(ledger, ItemListKind::ExpenseItems);
    EXPECT_EQ(child<QPlainTextEdit>(seeded, "listEdit")->toPlainText(), QStringLiteral("a\n\nc\n"));
}

TEST_F(QuickInputTest, SaveDropsEmptyLinesAndKeepsTheRestAsTyped) {
    QuickInputEditor editor(ledger, ItemListKind::ExpenseItems);
    EXPECT_TRUE(child<QPushButton>(editor, "saveButton")->isDefault());
    child<QPlainTextEdit>(editor, "listEdit")->setPlainText(QStringLiteral("早饭\n\n  交通 \n早饭\n\n"));
    child<QPushButton>(editor, "saveButton")->click();
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(loadItemList(ledger, ItemListKind::ExpenseItems),
              (ItemList{"\xd4\xe7\xb7\xb9", "  \xbd\xbb\xcd\xa8 ", "\xd4\xe7\xb7\xb9"}));

    QuickInputEditor onlyBreaks(ledger, ItemListKind::ExpenseItems);
    child<QPlainTextEdit>(onlyBreaks, "listEdit")->setPlainText(QStringLiteral("\n\n"));
    child<QPushButton>(onlyBreaks, "saveButton")->click();
    ItemPicker picker(ledger, ItemListKind::ExpenseItems);
    picker.refill();
    EXPECT_EQ(picker.comboBox()->count(), 0); // no fall-back to the defaults
}

TEST_F(QuickInputTest, TextGbkCannotHoldIsRefused) {
    QuickInputEditor editor(ledger, ItemListKind::IncomeItems);
    child<QPlainTextEdit>(editor, "listEdit")->setPlainText(QStringLiteral("工资😀"));
    child<QPushButton>(editor, "saveButton")->click();
    EXPECT_NE(editor.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_FALSE(data.exists("bob.lii"));
}

TEST_F(QuickInputTest, PickerFillsWithoutSelection) {
    seedItemLists(ledger);
    ItemPicker picker(ledger, ItemListKind::ExpenseItems);
    picker.refill();
    EXPECT_EQ(picker.comboBox()->count(), 3);
    EXPECT_EQ(picker.comboBox()->currentIndex(), -1);
    EXPECT_TRUE(picker.comboBox()->currentText().isEmpty());
}

} // namespace
