#pragma once

#include "core/ledger/calendar.h"
#include "core/ledger/itemlist.h"
#include "core/pages/listtable.h"

#include <QDialog>

#include <string>
#include <vector>

class LedgerContext;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;
class QTableView;
class RecordListModel;

// A statistics list over the statistics page's period: the period above, the list, a total where
// the list has one, and "导出至EXCEL" with the list's table name.
class PeriodListDialog : public QDialog {
public:
    PeriodListDialog(const LedgerContext& context, const QString& caption, const QString& tableName, CalendarDate from,
                     CalendarDate to, ListTable list, QWidget* chart, QWidget* parent);

private:
    const LedgerContext& m_context;
    QString m_tableName;
    ListTable m_list; // as shown, for the export
};

class DailyRecordsDialog final : public PeriodListDialog {
public:
    DailyRecordsDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent = nullptr);
};

class DailyDebtsDialog final : public PeriodListDialog {
public:
    DailyDebtsDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent = nullptr);
};

class ExpenseShareDialog final : public PeriodListDialog {
public:
    ExpenseShareDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent = nullptr);
};

class IncomeShareDialog final : public PeriodListDialog {
public:
    IncomeShareDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent = nullptr);
};

// The free queries by keyword: over a date range of their own ("从") or month by month over a
// year ("年计").
class KeywordQueryDialog : public QDialog {
public:
    enum class Over { Records, Debts };
    // The keywords offered are the item lists of what it queries.
    KeywordQueryDialog(Over over, const LedgerContext& context, QWidget* parent);

private:
    void onModeChosen();
    void onQueryClicked();

    Over m_over;
    const LedgerContext& m_context;
    QComboBox* m_keyword;
    QRadioButton* m_rangeMode;
    QDateEdit* m_fromEdit;
    QDateEdit* m_toEdit;
    QComboBox* m_yearList;
    QTableView* m_view;
    RecordListModel* m_model;
    QLineEdit* m_total;
};

class RecordQueryDialog final : public KeywordQueryDialog {
public:
    explicit RecordQueryDialog(const LedgerContext& context, QWidget* parent = nullptr)
        : KeywordQueryDialog(Over::Records, context, parent) {}
};

class DebtQueryDialog final : public KeywordQueryDialog {
public:
    explicit DebtQueryDialog(const LedgerContext& context, QWidget* parent = nullptr)
        : KeywordQueryDialog(Over::Debts, context, parent) {}
};
