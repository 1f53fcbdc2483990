#include "gui/stats/statisticspage.h"

#include "core/app/settingkeys.h"
#include "core/stats/figures.h"
#include "gui/app/ledgercontext.h"
#include "gui/pages/editrecorddialog.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/stats/settlementchart.h"
#include "gui/stats/statisticscommand.h"
#include "gui/widgets/datepicker.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/look.h"
#include "gui/widgets/prompter.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

struct MenuEntry {
    const char* caption;
    StatisticsCommand command;
};

// Pairs of entries, a separator between pairs.
const MenuEntry TOP_ENTRIES[3][2] = {
    {{"自定义查询统计收支记录", StatisticsCommand::RecordQuery},
     {"详细显示每天所有收支记录", StatisticsCommand::DailyRecords}},
    {{"统计各个支出项目所占比例", StatisticsCommand::ExpenseShare},
     {"统计各个收入项目所占比例", StatisticsCommand::IncomeShare}},
    {{"自定义查询统计债务记录", StatisticsCommand::DebtQuery},
     {"详细显示每天所有债务记录", StatisticsCommand::DailyDebts}},
};

const char* const FORMAT_I = "格式Ⅰ：日期、类别、项目、金额、备注…";
const char* const FORMAT_II = "格式Ⅱ：日期、项目、收入、支出、备注…";

// The nine summary values: unit and value colour, in the order the core gives them.
struct SummaryLook {
    const char* unit;
    QColor colour;
};
const QColor DARK_RED(128, 0, 0);
const SummaryLook SUMMARY_LOOK[9] = {
    {"元", QColor(255, 0, 255)},
    {"元", QColor(128, 0, 255)},
    {"元", QColor(255, 0, 0)},
    {"元", QColor(0, 255, 0)},
    {"元/天", QColor(255, 0, 0)},
    {"元/天", QColor(0, 255, 0)},
    {"天", DARK_RED},
    {"元", DARK_RED},
    {"元", DARK_RED},
};

QLabel* label(const QString& text, QWidget* parent, const QColor& colour = DARK_RED) {
    auto* shown = new QLabel(text, parent);
    QPalette palette = shown->palette();
    palette.setColor(QPalette::WindowText, colour);
    shown->setPalette(palette);
    return shown;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    return made;
}

CalendarDate calendarDate(const QDate& date) { return {date.year(), date.month(), date.day()}; }

int firstSelectedRow(const QTableView* view) {
    const std::vector<std::size_t> rows = selectedRows(view);
    return rows.empty() ? -1 : static_cast<int>(rows.front());
}

} // namespace

StatisticsPage::StatisticsPage(LedgerContext& context, QWidget* parent)
    : LedgerPage(context, parent), m_fromEdit(datePicker(QDate::currentDate(), "fromEdit", this)),
      m_toEdit(datePicker(QDate::currentDate(), "toEdit", this)), m_yearList(new QComboBox(this)),
      m_chartButton(button(QStringLiteral("图表"), "chartButton", this)), m_todayValue(label({}, this)),
      m_lastMonthValue(label({}, this)), m_thisMonthValue(label({}, this)), m_periodView(new QTableView(this)),
      m_periodModel(new RecordListModel(this)), m_recordView(new QTableView(this)),
      m_recordModel(new RecordListModel(this)), m_menu(new QMenu(this)) {
    blackOnWhite(this);

    // The statistics menu.
    m_menu->setObjectName(QStringLiteral("statisticsMenu"));
    auto add = [this](QMenu* menu, const char* caption, StatisticsCommand command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        connect(action, &QAction::triggered, this, [this, command] { m_context.runStatisticsCommand(command); });
    };
    for (const auto& pair : TOP_ENTRIES) {
        for (const MenuEntry& entry : pair)
            add(m_menu, entry.caption, entry.command);
        m_menu->addSeparator();
    }
    QMenu* text = m_menu->addMenu(QStringLiteral("收支导出为文本文件"));
    add(text, FORMAT_I, StatisticsCommand::TextReportI);
    add(text, FORMAT_II, StatisticsCommand::TextReportII);
    QMenu* workbook = m_menu->addMenu(QStringLiteral("收支导出为Excel文件"));
    add(workbook, FORMAT_I, StatisticsCommand::WorkbookReportI);
    add(workbook, FORMAT_II, StatisticsCommand::WorkbookReportII);

    // The top row: the period, its query, the menu, the year and its settlement.
    const QDate today = QDate::currentDate();
    m_fromEdit->setDate(QDate(today.year(), today.month(), 1));
    m_yearList->setObjectName(QStringLiteral("yearList"));
    m_yearList->setMinimumWidth(70);
    auto* queryButton = button(QStringLiteral("查询"), "queryButton", this);
    auto* menuButton = button(QStringLiteral("↓"), "menuButton", this);
    menuButton->setFixedWidth(24);
    auto* monthButton = button(QStringLiteral("月结"), "monthButton", this);
    monthButton->setEnabled(false);
    monthButton->hide();
    auto* settleButton = button(QStringLiteral("结算"), "settleButton", this);
    m_chartButton->setEnabled(false);
    m_chartButton->setToolTip(QStringLiteral("以柱状图显示结算的十二个月"));

    auto* top = new QHBoxLayout;
    top->addWidget(m_fromEdit);
    top->addWidget(label(QStringLiteral("-"), this));
    top->addWidget(m_toEdit);
    top->addWidget(queryButton);
    top->addWidget(menuButton);
    top->addWidget(monthButton);
    top->addStretch();
    top->addWidget(m_yearList);
    top->addWidget(label(QStringLiteral("年"), this));
    top->addWidget(settleButton);
    top->addWidget(m_chartButton);

    // The period list beside the nine summary values.
    auto* summary = new QGridLayout;
    const std::vector<std::pair<std::string, std::string>> captions = summaryFields(false, {}, false);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const int row = static_cast<int>(i);
        summary->addWidget(label(fromGbk(captions[i].first), this), row, 0);
        QLabel* value = label(QStringLiteral("N/A"), this, SUMMARY_LOOK[i].colour);
        value->setObjectName(QStringLiteral("summary%1").arg(i + 1));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(90);
        summary->addWidget(value, row, 1);
        summary->addWidget(label(QString::fromUtf8(SUMMARY_LOOK[i].unit), this), row, 2);
        m_summaryValues.push_back(value);
    }
    summary->setVerticalSpacing(1);
    auto* upper = new QHBoxLayout;
    upper->addWidget(m_periodView, 1);
    upper->addLayout(summary);

    // The band of today and the month balances.
    m_todayValue->setObjectName(QStringLiteral("todayValue"));
    m_lastMonthValue->setObjectName(QStringLiteral("lastMonthValue"));
    m_thisMonthValue->setObjectName(QStringLiteral("thisMonthValue"));
    auto* band = new QHBoxLayout;
    band->addWidget(label(QStringLiteral("今日："), this));
    band->addWidget(m_todayValue);
    band->addSpacing(20);
    band->addWidget(label(QStringLiteral("上月结余："), this));
    band->addWidget(m_lastMonthValue);
    band->addWidget(label(QStringLiteral("元"), this));
    band->addSpacing(20);
    band->addWidget(label(QStringLiteral("本月结余："), this));
    band->addWidget(m_thisMonthValue);
    band->addWidget(label(QStringLiteral("元"), this));
    band->addStretch();
    auto* deleteButton = button(QStringLiteral("删除"), "deleteButton", this);
    auto* editButton = button(QStringLiteral("修改"), "editButton", this);
    band->addWidget(deleteButton);
    band->addWidget(editButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(upper, 3);
    layout->addLayout(band);
    layout->addWidget(m_recordView, 2);

    m_periodView->setObjectName(QStringLiteral("periodList"));
    m_recordView->setObjectName(QStringLiteral("recordList"));
    m_layoutInUse = m_context.setting(LAYOUT);
    buildColumns(false);

    connect(queryButton, &QPushButton::clicked, this, &StatisticsPage::onQueryClicked);
    connect(settleButton, &QPushButton::clicked, this, &StatisticsPage::onSettleClicked);
    connect(m_chartButton, &QPushButton::clicked, this, &StatisticsPage::onChartClicked);
    connect(deleteButton, &QPushButton::clicked, this, &StatisticsPage::onDeleteClicked);
    connect(editButton, &QPushButton::clicked, this, &StatisticsPage::onEditClicked);
    connect(m_periodView, &QTableView::clicked, this, &StatisticsPage::onPeriodRowClicked);
    // The record list's pop-up menu undoes deletions.
    auto* recordMenu = new QMenu(this);
    recordMenu->setObjectName(QStringLiteral("recordMenu"));
    recordMenu->addAction(m_context.undoAction());
    connect(m_recordView, &QTableView::customContextMenuRequested, this,
            [this, recordMenu](const QPoint& at) { recordMenu->popup(m_recordView->viewport()->mapToGlobal(at)); });
    connect(menuButton, &QPushButton::clicked, this,
            [this, menuButton] { m_menu->popup(menuButton->mapToGlobal(QPoint(0, 0))); });
}

void StatisticsPage::buildColumns(bool rebuilt) {
    setUpRecordList(m_periodView, m_periodModel, periodColumns(withDebts()), false);
    setUpRecordList(m_recordView, m_recordModel, recordColumns(withDebts(), rebuilt), false);
}

std::pair<CalendarDate, CalendarDate> StatisticsPage::selectedPeriod() const {
    return {calendarDate(m_fromEdit->date()), calendarDate(m_toEdit->date())};
}

void StatisticsPage::setPeriod(const QDate& from, const QDate& to) {
    m_fromEdit->setDate(from);
    m_toEdit->setDate(to);
}

void StatisticsPage::refreshStatistics() {
    const int layout = m_context.setting(LAYOUT);
    if (layout != m_layoutInUse) {
        m_layoutInUse = layout;
        buildColumns(true);
    }
    ListTable emptyPeriod;
    emptyPeriod.columns = periodColumns(withDebts());
    m_periodModel->setList(emptyPeriod);
    m_shown = Shown::Nothing;
    clearRecordList();
    m_chartButton->setEnabled(false);
    showSummary({});
    showMonthBalances();
    m_yearList->clear();
    for (const std::string& year : yearList(m_context.ledger().records))
        m_yearList->addItem(fromGbk(year));
    m_yearList->setCurrentIndex(m_yearList->count() > 0 ? 0 : -1);
}

// An empty record list with its columns: the rows of no period-list row.
void StatisticsPage::clearRecordList() { m_recordModel->setList(showRowRecords({}, {}, std::nullopt, withDebts())); }

void StatisticsPage::showSummary(const PeriodTotals& totals) {
    const std::vector<std::pair<std::string, std::string>> shown =
        summaryFields(m_periodModel->rowCount() > 0, totals, withDebts());
    for (std::size_t i = 0; i < m_summaryValues.size(); ++i)
        m_summaryValues[i]->setText(fromGbk(shown[i].second));
}

void StatisticsPage::showMonthBalances() {
    const MonthBalances balances =
        ::showMonthBalances(m_context.ledger().records, calendarDate(QDate::currentDate()), withDebts());
    m_todayValue->setText(fromGbk(balances.today));
    m_lastMonthValue->setText(fromGbk(balances.lastMonth));
    m_thisMonthValue->setText(fromGbk(balances.thisMonth));
}

void StatisticsPage::showPeriodView(StatisticsView view) {
    m_periodModel->setList(std::move(view.periodList));
    clearRecordList();
    showSummary(view.totals);
    showMonthBalances();
}

StatisticsView StatisticsPage::shownView() const {
    const std::vector<LedgerRecord>& records = m_context.ledger().records;
    switch (m_shown) {
    case Shown::Query:
        return queryPeriod(records, m_queriedPeriod.first, m_queriedPeriod.second, withDebts());
    case Shown::Settlement:
        return settleYear(records, m_settledYear, withDebts());
    case Shown::Nothing:
        break;
    }
    StatisticsView none;
    none.periodList.columns = periodColumns(withDebts());
    return none;
}

void StatisticsPage::updatePeriodView() {
    const int selected = firstSelectedRow(m_periodView);
    const std::string title = selected >= 0 ? m_periodModel->list().rows[static_cast<std::size_t>(selected)][0] : "";
    StatisticsView view = shownView();
    m_periodModel->setList(std::move(view.periodList));
    const std::vector<std::vector<std::string>>& rows = m_periodModel->list().rows;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (selected >= 0 && rows[i][0] == title)
            m_periodView->selectRow(static_cast<int>(i));
    showSummary(view.totals);
    showMonthBalances();
}

void StatisticsPage::onQueryClicked() {
    m_shown = Shown::Query;
    m_queriedPeriod = selectedPeriod();
    showPeriodView(shownView());
    m_chartButton->setEnabled(false);
}

void StatisticsPage::onSettleClicked() {
    if (m_yearList->count() == 0) {
        m_context.prompter().showMessage(this, QStringLiteral("不存在收支数据！"));
        return;
    }
    if (m_yearList->currentIndex() < 0) {
        m_context.prompter().showMessage(this, QStringLiteral("请选择年份。"));
        return;
    }
    m_shown = Shown::Settlement;
    m_settledYear = m_yearList->currentText().toInt();
    showPeriodView(shownView());
    m_chartButton->setEnabled(true);
}

void StatisticsPage::onChartClicked() {
    // The year that was settled, as the ledger is now.
    SettlementChart chart(m_settledYear, settleYear(m_context.ledger().records, m_settledYear, withDebts()), this);
    chart.exec();
}

void StatisticsPage::showLedgerChange() {
    updatePeriodView();
    onPeriodRowClicked(); // the records of the selected row, at their positions now
}

void StatisticsPage::onPeriodRowClicked() {
    const int row = firstSelectedRow(m_periodView);
    if (row < 0) {
        clearRecordList();
        return;
    }
    const std::string title = m_periodModel->list().rows[static_cast<std::size_t>(row)][0];
    const std::optional<int> year =
        m_yearList->currentIndex() < 0 ? std::nullopt : std::optional(m_yearList->currentText().toInt());
    const bool coloured = m_context.setting(TEXT_COLOR) != 0;
    m_recordModel->setList(showRowRecords(m_context.ledger().records, title, year, withDebts()));
    if (coloured)
        m_recordModel->colourRowsByKind();
}

// "删除" and "修改" change the record list in place; the period list and the summary are computed
// again, so no later running balance keeps an old value.
void StatisticsPage::onDeleteClicked() {
    const int row = firstSelectedRow(m_recordView);
    if (row < 0 || !m_context.prompter().askYesNo(this, QStringLiteral("您确定要删除指定的记录吗？")))
        return;
    if (std::optional<Deletion> deletion = m_recordModel->deleteDayRow(row, m_context.ledger().records)) {
        m_context.recordDeletion(std::move(*deletion));
        updatePeriodView();
    }
}

void StatisticsPage::onEditClicked() {
    const int row = firstSelectedRow(m_recordView);
    if (row < 0)
        return;
    const std::vector<LedgerRecord>& records = m_context.ledger().records;
    const std::optional<std::size_t> index =
        listedRecord(records, m_recordModel->list(), static_cast<std::size_t>(row));
    if (!index)
        return;
    EditRecordDialog dialog(m_context, statisticsEditMode(records[*index].kind, withDebts()), *index, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::vector<std::string> cells = m_recordModel->list().rows[static_cast<std::size_t>(row)];
    showEditedRecord(cells, dialog.record(), withDebts());
    m_recordModel->replaceRow(row, std::move(cells));
    updatePeriodView();
}
