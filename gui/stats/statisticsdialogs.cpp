#include "gui/stats/statisticsdialogs.h"

#include "core/ledger/gbk.h"
#include "core/stats/dialoglists.h"
#include "core/stats/figures.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/workbookexport.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/stats/charts.h"
#include "gui/widgets/datepicker.h"
#include "gui/widgets/dropdown.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/look.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinstyle.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor DARK_RED(128, 0, 0);

QLabel* label(const QString& text, QWidget* parent, bool darkRed = false) {
    auto* shown = new QLabel(text, parent);
    if (darkRed) {
        QPalette palette = shown->palette();
        palette.setColor(QPalette::WindowText, DARK_RED);
        shown->setPalette(palette);
    }
    return shown;
}

QLineEdit* totalField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("totalField"));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(140);
    return field;
}

QTableView* listView(RecordListModel* model, const std::vector<ListColumn>& columns, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(QStringLiteral("statisticsList"));
    setUpRecordList(view, model, columns, false);
    view->setMinimumWidth(fullListWidth(view));
    return view;
}

QPushButton* exportButton(QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("导出至EXCEL"), parent);
    button->setObjectName(QStringLiteral("exportButton"));
    button->setAutoDefault(false);
    return button;
}

} // namespace

PeriodListDialog::PeriodListDialog(const LedgerContext& context, const QString& caption, const QString& tableName,
                                   CalendarDate from, CalendarDate to, ListTable list, QWidget* chart, QWidget* parent)
    : QDialog(parent), m_context(context), m_tableName(tableName) {
    setWindowTitle(caption);
    blackOnWhite(this);
    auto* model = new RecordListModel(this);
    QTableView* view = listView(model, list.columns, this);
    auto* header = label(fromGbk(periodHeader(from, to)), this);
    header->setObjectName(QStringLiteral("periodHeader"));

    auto* bottom = new QHBoxLayout;
    for (const auto& [caption, value] : list.fields) {
        bottom->addWidget(label(fromGbk(caption), this));
        QLineEdit* total = totalField(this);
        total->setText(fromGbk(value));
        bottom->addWidget(total);
        bottom->addWidget(label(QStringLiteral("元"), this));
    }
    bottom->addStretch();
    QPushButton* exportTo = exportButton(this);
    bottom->addWidget(exportTo);
    connect(exportTo, &QPushButton::clicked, this,
            [this] { exportListToWorkbook(m_context, m_list, m_tableName, this); });

    auto* lists = new QHBoxLayout;
    lists->addWidget(view, 3);
    if (chart)
        lists->addWidget(chart, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    m_list = list;
    model->setList(std::move(list));
    requestSkin();
    resize(chart ? 980 : 960, chart ? 600 : 480); // within a screen of 1024 × 768
}

DailyRecordsDialog::DailyRecordsDialog(const LedgerContext& context, CalendarDate from, CalendarDate to,
                                       QWidget* parent)
    : PeriodListDialog(context, QStringLiteral("每天所有收支记录"), QStringLiteral("每天所有收支记录"), from, to,
                       dailyRecords(context.ledger().records, from, to), nullptr, parent) {}

DailyDebtsDialog::DailyDebtsDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent)
    : PeriodListDialog(context, QStringLiteral("每天所有债务记录"), QStringLiteral("每天所有债务记录"), from, to,
                       dailyDebts(context.ledger().records, from, to), nullptr, parent) {}

namespace {

std::vector<ItemShare> sharesOf(const LedgerContext& context, CalendarDate from, CalendarDate to, RecordKind kind) {
    return groupShares(context.ledger().records, from, to, kind);
}

} // namespace

ExpenseShareDialog::ExpenseShareDialog(const LedgerContext& context, CalendarDate from, CalendarDate to,
                                       QWidget* parent)
    : PeriodListDialog(context, QStringLiteral("各个支出项目所占比例"), QStringLiteral("各个支出项目所占比例"), from,
                       to, shareList(sharesOf(context, from, to, RecordKind::Expense), RecordKind::Expense),
                       sharePieChart(sharesOf(context, from, to, RecordKind::Expense), nullptr), parent) {}

IncomeShareDialog::IncomeShareDialog(const LedgerContext& context, CalendarDate from, CalendarDate to, QWidget* parent)
    : PeriodListDialog(context, QStringLiteral("各个收入项目所占比例"), QStringLiteral("各个收入项目所占比例"), from,
                       to, shareList(sharesOf(context, from, to, RecordKind::Income), RecordKind::Income),
                       sharePieChart(sharesOf(context, from, to, RecordKind::Income), nullptr), parent) {}

KeywordQueryDialog::KeywordQueryDialog(Over over, const LedgerContext& context, QWidget* parent)
    : QDialog(parent), m_over(over), m_context(context), m_keyword(typingDropDown("keywordCombo", this)),
      m_rangeMode(new QRadioButton(QStringLiteral("从"), this)),
      m_fromEdit(datePicker(QDate::currentDate(), "fromEdit", this)),
      m_toEdit(datePicker(QDate::currentDate(), "toEdit", this)), m_yearList(new QComboBox(this)),
      m_model(new RecordListModel(this)), m_total(totalField(this)) {
    const bool debts = over == Over::Debts;
    setWindowTitle(debts ? QStringLiteral("自定义查询债务统计记录") : QStringLiteral("自定义查询统计收支记录"));
    blackOnWhite(this);
    const ListTable empty = debts ? debtQuery({}, {}, {1, 1, 1}, {0, 1, 1}) : recordQuery({}, {}, {1, 1, 1}, {0, 1, 1});
    m_view = listView(m_model, empty.columns, this);

    const Ledger& ledger = context.ledger();
    ItemList keywords = loadItemList(ledger, debts ? ItemListKind::Counterparts : ItemListKind::ExpenseItems);
    if (!debts) {
        const ItemList income = loadItemList(ledger, ItemListKind::IncomeItems);
        keywords.insert(keywords.end(), income.begin(), income.end());
    }
    for (const std::string& entry : keywords)
        m_keyword->addItem(fromGbk(entry));
    m_keyword->setCurrentIndex(-1);
    m_keyword->clearEditText();
    m_keyword->setMinimumWidth(140);

    m_rangeMode->setObjectName(QStringLiteral("rangeMode"));
    m_rangeMode->setChecked(true);
    auto* yearMode = new QRadioButton(QStringLiteral("年计"), this);
    yearMode->setObjectName(QStringLiteral("yearMode"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_rangeMode);
    modes->addButton(yearMode);
    m_yearList->setObjectName(QStringLiteral("yearList"));
    for (const std::string& year : yearList(ledger.records))
        m_yearList->addItem(fromGbk(year));
    m_yearList->setCurrentIndex(m_yearList->count() > 0 ? 0 : -1);
    m_yearList->setEnabled(false);
    auto* queryButton = new QPushButton(QStringLiteral("查询"), this);
    queryButton->setObjectName(QStringLiteral("queryButton"));
    queryButton->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(label(debts ? QStringLiteral("对象：") : QStringLiteral("项目："), this, true));
    top->addWidget(m_keyword);
    top->addWidget(m_rangeMode);
    top->addWidget(m_fromEdit);
    top->addWidget(label(QStringLiteral("至"), this, true));
    top->addWidget(m_toEdit);
    top->addWidget(yearMode);
    top->addWidget(m_yearList);
    top->addWidget(queryButton);
    top->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label(debts ? QStringLiteral("债务总计：") : QStringLiteral("总计："), this, true));
    bottom->addWidget(m_total);
    bottom->addWidget(
        label(debts ? QStringLiteral("元    正值表示你还欠别人钱，要注意啦") : QStringLiteral("元"), this, true));
    bottom->addStretch();
    QPushButton* exportTo = exportButton(this);
    bottom->addWidget(exportTo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    resize(960, 480);

    connect(m_rangeMode, &QRadioButton::toggled, this, &KeywordQueryDialog::onModeChosen);
    requestSkin();
    connect(queryButton, &QPushButton::clicked, this, &KeywordQueryDialog::onQueryClicked);
    connect(exportTo, &QPushButton::clicked, this,
            [this] { exportListToWorkbook(m_context, m_model->list(), QStringLiteral("统计记录"), this); });
}

void KeywordQueryDialog::onModeChosen() {
    const bool range = m_rangeMode->isChecked();
    m_fromEdit->setEnabled(range);
    m_toEdit->setEnabled(range);
    m_yearList->setEnabled(!range);
}

void KeywordQueryDialog::onQueryClicked() {
    const QString typed = m_keyword->currentText();
    if (typed.isEmpty()) {
        prompter().showMessage(this, QStringLiteral("关键字不能为空！"));
        return;
    }
    const bool range = m_rangeMode->isChecked();
    if (!range && m_yearList->count() == 0) {
        prompter().showMessage(this, QStringLiteral("不存在收支数据！"));
        return;
    }
    if (!range && m_yearList->currentIndex() < 0) {
        prompter().showMessage(this, QStringLiteral("请选择年份。"));
        return;
    }
    // A keyword GBK cannot hold is in no stored item: it finds nothing, and the rows still show it
    // as typed.
    const std::string keyword = shownGbk(typed.toStdString());
    const std::vector<LedgerRecord>& records = m_context.ledger().records;
    const bool debts = m_over == Over::Debts;
    ListTable list;
    if (range) {
        const QDate from = m_fromEdit->date(), to = m_toEdit->date();
        const CalendarDate start{from.year(), from.month(), from.day()}, end{to.year(), to.month(), to.day()};
        list = debts ? debtQuery(records, keyword, start, end) : recordQuery(records, keyword, start, end);
    } else {
        const int year = m_yearList->currentText().toInt();
        list = debts ? debtQueryYear(records, keyword, year) : recordQueryYear(records, keyword, year);
    }
    m_total->setText(fromGbk(list.fields.front().second));
    m_model->setList(std::move(list));
}
