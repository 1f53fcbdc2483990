#pragma once

#include "core/ledger/calendar.h"
#include "core/pages/pagelists.h"
#include "core/pages/recordinput.h"
#include "gui/pages/ledgerpage.h"

#include <QDate>

#include <optional>
#include <vector>

class ItemPicker;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QTableView;
class RecordListModel;

// A bookkeeping page: fields to add a record, the list of the picked day (expense and income
// pages) or month (combined and debt pages), and the commands on its rows. What it lists and
// checks comes from the core; the page reads its fields and shows the results.
class EntryPage : public LedgerPage {
public:
    EntryPage(LedgerContext& context, QWidget* parent, PageView view);

    void refresh() override;
    PageView view() const { return m_view; }
    QDate pickedDate() const;
    void setPickedDate(const QDate& date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields(QWidget* fields);
    RecordKind selectedKind() const;
    RecordInput readInput() const;
    QWidget* fieldWidget(InputField field) const;
    // The record of the first selected row, if there is one and it is still there.
    std::optional<std::size_t> selectedRecord() const;

    void onAddClicked();
    void onKindChosen();
    void onEditRecord();
    void onWriteOff();
    void onDeleteRow();
    void onDeleteSelected();
    void onDeleteAll();
    void onDoubleClicked();
    void onListMenuRequested(const QPoint& at);

    PageView m_view;
    QDateEdit* m_dateEdit = nullptr;
    ItemPicker* m_picker = nullptr;
    QLineEdit* m_amountEdit = nullptr;
    QLineEdit* m_quantityEdit = nullptr;
    QPlainTextEdit* m_noteEdit = nullptr;
    std::vector<QRadioButton*> m_kindButtons;
    std::vector<QLabel*> m_fieldValues;
    QTableView* m_listView = nullptr;
    RecordListModel* m_model = nullptr;
    QMenu* m_menu = nullptr;
};

class ExpensePage final : public EntryPage {
public:
    ExpensePage(LedgerContext& context, QWidget* parent) : EntryPage(context, parent, PageView::Expense) {}
};

class IncomePage final : public EntryPage {
public:
    IncomePage(LedgerContext& context, QWidget* parent) : EntryPage(context, parent, PageView::Income) {}
};

class CombinedPage final : public EntryPage {
public:
    CombinedPage(LedgerContext& context, QWidget* parent) : EntryPage(context, parent, PageView::Combined) {}
};

class DebtPage final : public EntryPage {
public:
    DebtPage(LedgerContext& context, QWidget* parent) : EntryPage(context, parent, PageView::Debt) {}
};
