#pragma once

#include "core/ledger/calendar.h"
#include "core/stats/statistics.h"
#include "gui/pages/ledgerpage.h"

#include <QDate>

#include <utility>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class RecordListModel;

// The statistics page: the period query and the settlement of a year in the upper list, the
// records of a clicked row in the lower one, the nine summary values and the month balances.
// Its "↓" button pops up the statistics menu, whose commands the main window carries out.
class StatisticsPage final : public LedgerPage {
public:
    StatisticsPage(LedgerContext& context, QWidget* parent);
    void refresh() override { refreshStatistics(); }
    void refreshStatistics();
    // After the records changed elsewhere (a deletion undone): the shown query or settlement and
    // the records of its selected row again.
    void showLedgerChange();
    QMenu* statisticsMenu() const { return m_menu; }

    // The start and end dates in the pickers at the moment of the call.
    std::pair<CalendarDate, CalendarDate> selectedPeriod() const;
    void setPeriod(const QDate& from, const QDate& to);

private:
    bool withDebts() const { return m_layoutInUse != 0; }
    void buildColumns(bool rebuilt);
    void clearRecordList();
    void showSummary(const PeriodTotals& totals);
    void showMonthBalances();
    void showPeriodView(StatisticsView view);
    // The query or settlement shown, computed from the ledger as it is now.
    StatisticsView shownView() const;
    // After a deletion or an edit: the period list and summary again, the selected row kept.
    void updatePeriodView();

    void onQueryClicked();
    void onSettleClicked();
    void onPeriodRowClicked();
    void onDeleteClicked();
    void onEditClicked();
    void onChartClicked();

    int m_layoutInUse = 0;
    QDateEdit* m_fromEdit;
    QDateEdit* m_toEdit;
    QComboBox* m_yearList;
    QPushButton* m_chartButton;
    std::vector<QLabel*> m_summaryValues;
    QLabel* m_todayValue;
    QLabel* m_lastMonthValue;
    QLabel* m_thisMonthValue;
    QTableView* m_periodView;
    RecordListModel* m_periodModel;
    QTableView* m_recordView;
    RecordListModel* m_recordModel;
    QMenu* m_menu;
    // What the period list shows: the period of the last query, or the year of the last settlement.
    enum class Shown { Nothing, Query, Settlement } m_shown = Shown::Nothing;
    std::pair<CalendarDate, CalendarDate> m_queriedPeriod{};
    int m_settledYear = 0;
};
