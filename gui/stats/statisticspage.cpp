#include "gui/stats/statisticspage.h"

#include "gui/app/ledgercontext.h"
#include "gui/stats/statisticscommand.h"

#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct MenuEntry {
    const char* caption;
    StatisticsCommand command;
};

const MenuEntry TOP_ENTRIES[] = {
    {"自定义查询统计收支记录", StatisticsCommand::RecordQuery},
    {"详细显示每天所有收支记录", StatisticsCommand::DailyRecords},
    {"统计各个支出项目所占比例", StatisticsCommand::ExpenseShare},
    {"统计各个收入项目所占比例", StatisticsCommand::IncomeShare},
    {"自定义查询统计债务记录", StatisticsCommand::DebtQuery},
    {"详细显示每天所有债务记录", StatisticsCommand::DailyDebts},
};

const char* const FORMAT_I = "格式Ⅰ：日期、类别、项目、金额、备注…";
const char* const FORMAT_II = "格式Ⅱ：日期、项目、收入、支出、备注…";

} // namespace

StatisticsPage::StatisticsPage(LedgerContext& context, QWidget* parent)
    : LedgerPage(context, parent), m_menu(new QMenu(this)) {
    m_menu->setObjectName(QStringLiteral("statisticsMenu"));
    auto add = [this](QMenu* menu, const char* caption, StatisticsCommand command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        connect(action, &QAction::triggered, this, [this, command] { m_context.runStatisticsCommand(command); });
    };
    for (const MenuEntry& entry : TOP_ENTRIES)
        add(m_menu, entry.caption, entry.command);
    m_menu->addSeparator();
    QMenu* text = m_menu->addMenu(QStringLiteral("收支导出为文本文件"));
    add(text, FORMAT_I, StatisticsCommand::TextReportI);
    add(text, FORMAT_II, StatisticsCommand::TextReportII);
    QMenu* workbook = m_menu->addMenu(QStringLiteral("收支导出为Excel文件"));
    add(workbook, FORMAT_I, StatisticsCommand::WorkbookReportI);
    add(workbook, FORMAT_II, StatisticsCommand::WorkbookReportII);

    auto* menuButton = new QPushButton(QStringLiteral("↓"), this);
    menuButton->setObjectName(QStringLiteral("menuButton"));
    menuButton->setFixedWidth(24);
    connect(menuButton, &QPushButton::clicked, this,
            [this, menuButton] { m_menu->popup(menuButton->mapToGlobal(QPoint(0, menuButton->height()))); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(menuButton);
    layout->addStretch();
}

void StatisticsPage::refreshStatistics() {}
