#include "gui/pages/entrypage.h"

#include "core/ledger/itemlist.h"
#include "gui/app/ledgercontext.h"
#include "gui/ledger/itempicker.h"
#include "gui/pages/editrecorddialog.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/pages/writeoffdialog.h"
#include "gui/widgets/datepicker.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/look.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinmetrics.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

struct KindChoice {
    const char* caption;
    RecordKind kind;
    ItemListKind list;
};

// What sets the four pages apart; everything else they share.
struct PageLook {
    std::vector<const char*> instructions; // above the fields of the day pages
    std::vector<KindChoice> kinds;         // radio buttons; the first is the only kind without any
    const char* pickerLabel;
    bool hasQuantity;
    bool noteScrollsSideways;
    EditMode editMode;
    std::vector<QColor> fieldColours; // of the totals, in the order the core gives them
};

const char* const STEP_1 = "第1步：选择或输入日期，格式如2007-10-22；";
const char* const STEP_5 = "第5步：确认无误后，请点击“添加”按钮保存。";

const PageLook& lookOf(PageView view) {
    static const PageLook EXPENSE{{STEP_1, "第2步：选择或输入项目，例如：早饭、交通等；",
                                   "第3步：填写支出金额，例如：12345.678；",
                                   "第4步：填写备注，例如：吃了10碗饭，只付了1碗钱；", STEP_5},
                                  {{"支出", RecordKind::Expense, ItemListKind::ExpenseItems}},
                                  "项目：",
                                  false,
                                  false,
                                  EditMode::Plain,
                                  {}};
    static const PageLook INCOME{{STEP_1, "第2步：选择或输入项目，例如：工资、奖金等；",
                                  "第3步：填写收入金额，例如：12345.678；", "第4步：填写备注，例如：路上捡的；",
                                  STEP_5},
                                 {{"收入", RecordKind::Income, ItemListKind::IncomeItems}},
                                 "项目：",
                                 false,
                                 true,
                                 EditMode::Plain,
                                 {}};
    const QColor red(255, 0, 0), green(0, 255, 0);
    static const PageLook COMBINED{{},
                                   {{"支出", RecordKind::Expense, ItemListKind::ExpenseItems},
                                    {"收入", RecordKind::Income, ItemListKind::IncomeItems}},
                                   "项目：",
                                   true,
                                   false,
                                   EditMode::WithQuantity,
                                   {red, green, red, green}};
    static const PageLook DEBT{{},
                               {{"借出", RecordKind::Lent, ItemListKind::Counterparts},
                                {"借入", RecordKind::Borrowed, ItemListKind::Counterparts}},
                               "对象：",
                               false,
                               false,
                               EditMode::Debt,
                               {QColor(255, 0, 255), QColor(128, 0, 255)}};
    switch (view) {
    case PageView::Income:
        return INCOME;
    case PageView::Combined:
        return COMBINED;
    case PageView::Debt:
        return DEBT;
    case PageView::Expense:
        break;
    }
    return EXPENSE;
}

bool isMonthView(PageView view) { return view == PageView::Combined || view == PageView::Debt; }

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

EntryPage::EntryPage(LedgerContext& context, QWidget* parent, PageView view)
    : LedgerPage(context, parent), m_view(view), m_listView(new QTableView(this)), m_model(new RecordListModel(this)),
      m_menu(new QMenu(this)) {
    blackOnWhite(this);

    const PageLook& look = lookOf(view);
    m_listView->setObjectName(QStringLiteral("recordList"));
    setUpRecordList(m_listView, m_model, pageColumns(view), isMonthView(view));

    auto* fields = new QWidget(this);
    buildFields(fields);

    if (isMonthView(view)) {
        auto* layout = new QHBoxLayout(this);
        fields->setMaximumWidth(skinMetrics().fieldsWidth);
        layout->addWidget(m_listView, 1);
        layout->addWidget(fields);
    } else {
        auto* layout = new QVBoxLayout(this);
        auto* top = new QHBoxLayout;
        auto* steps = new QVBoxLayout;
        for (const char* line : look.instructions)
            steps->addWidget(plainLabel(QString::fromUtf8(line), this));
        steps->addStretch();
        top->addLayout(steps);
        top->addWidget(fields, 1);
        layout->addLayout(top);
        layout->addWidget(
            plainLabel(QStringLiteral("提示：双击下框中所选条目可进行编辑操作，右键点击可弹出操作菜单。"), this));
        layout->addWidget(m_listView, 1);
    }

    // The pop-up menu of the list and what a double click runs.
    auto addCommand = [this](const char* caption, void (EntryPage::*slot)()) {
        connect(m_menu->addAction(QString::fromUtf8(caption)), &QAction::triggered, this, slot);
    };
    switch (view) {
    case PageView::Expense:
    case PageView::Income:
        addCommand("修改", &EntryPage::onEditRecord);
        addCommand("删除", &EntryPage::onDeleteRow);
        break;
    case PageView::Debt:
        addCommand("销账", &EntryPage::onWriteOff);
        m_menu->addSeparator();
        [[fallthrough]];
    case PageView::Combined:
        addCommand("修改", &EntryPage::onEditRecord);
        addCommand("选中删除", &EntryPage::onDeleteSelected);
        m_menu->addSeparator();
        addCommand("全部删除", &EntryPage::onDeleteAll);
        break;
    }
    m_menu->addSeparator();
    m_menu->addAction(m_context.undoAction());
    m_menu->setObjectName(QStringLiteral("listMenu"));
    connect(m_listView, &QTableView::customContextMenuRequested, this, &EntryPage::onListMenuRequested);
    m_listView->viewport()->installEventFilter(this);
}

void EntryPage::buildFields(QWidget* fields) {
    const PageLook& look = lookOf(m_view);
    auto* column = new QVBoxLayout(fields);
    column->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    column->addLayout(form);
    column->addStretch();

    if (isMonthView(m_view)) {
        auto* group = new QButtonGroup(fields);
        auto* radios = new QHBoxLayout;
        for (const KindChoice& choice : look.kinds) {
            auto* radio = new QRadioButton(QString::fromUtf8(choice.caption), fields);
            radio->setObjectName(QStringLiteral("kind%1").arg(m_kindButtons.size() + 1));
            radio->setChecked(m_kindButtons.empty());
            group->addButton(radio);
            radios->addWidget(radio);
            m_kindButtons.push_back(radio);
            connect(radio, &QRadioButton::clicked, this, &EntryPage::onKindChosen);
        }
        radios->addStretch();
        form->addRow(radios);
    }

    m_dateEdit = datePicker(QDate::currentDate(), "dateEdit", fields);
    form->addRow(QStringLiteral("日期："), m_dateEdit);

    m_picker = new ItemPicker(m_context.ledger(), look.kinds.front().list, fields);
    m_picker->setObjectName(QStringLiteral("itemPicker"));
    m_picker->refill();
    form->addRow(QString::fromUtf8(look.pickerLabel), m_picker);

    m_amountEdit = new QLineEdit(fields);
    m_amountEdit->setObjectName(QStringLiteral("amountEdit"));
    if (look.hasQuantity) {
        m_quantityEdit = new QLineEdit(QStringLiteral("1.00"), fields);
        m_quantityEdit->setObjectName(QStringLiteral("quantityEdit"));
        auto* numbers = new QHBoxLayout;
        numbers->addWidget(m_amountEdit);
        numbers->addWidget(new QLabel(QStringLiteral("数量："), fields));
        numbers->addWidget(m_quantityEdit);
        form->addRow(QStringLiteral("金额："), numbers);
    } else {
        form->addRow(QStringLiteral("金额："), m_amountEdit);
    }

    m_noteEdit = new QPlainTextEdit(fields);
    m_noteEdit->setObjectName(QStringLiteral("noteEdit"));
    m_noteEdit->setTabChangesFocus(true);
    m_noteEdit->setMaximumHeight(isMonthView(m_view) ? 110 : 60);
    if (look.noteScrollsSideways) {
        m_noteEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_noteEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_noteEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        m_noteEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    form->addRow(QStringLiteral("备注："), m_noteEdit);

    auto* addButton = new QPushButton(QStringLiteral("添加"), fields);
    addButton->setObjectName(QStringLiteral("addButton"));
    form->addRow(QString(), addButton);
    connect(addButton, &QPushButton::clicked, this, &EntryPage::onAddClicked);

    // The totals, empty (combined page) or "0.00" (debt page) until the first refresh.
    const ListTable empty = pageList(m_view, {}, {});
    for (std::size_t i = 0; i < empty.fields.size(); ++i) {
        auto* value = new QLabel(m_view == PageView::Debt ? fromGbk(empty.fields[i].second) : QString(), fields);
        value->setObjectName(QStringLiteral("field%1").arg(i + 1));
        QPalette colour = value->palette();
        colour.setColor(QPalette::WindowText, look.fieldColours[i]);
        value->setPalette(colour);
        form->addRow(fromGbk(empty.fields[i].first), value);
        m_fieldValues.push_back(value);
    }

    connect(m_dateEdit, &QDateEdit::dateChanged, this, &EntryPage::refresh);
}

QDate EntryPage::pickedDate() const { return m_dateEdit->date(); }

void EntryPage::setPickedDate(const QDate& date) { m_dateEdit->setDate(date); }

void EntryPage::refresh() {
    const QDate picked = pickedDate();
    ListTable list = pageList(m_view, m_context.ledger().records, {picked.year(), picked.month(), picked.day()});
    for (std::size_t i = 0; i < m_fieldValues.size() && i < list.fields.size(); ++i)
        m_fieldValues[i]->setText(fromGbk(list.fields[i].second));
    const bool coloured = isMonthView(m_view) && m_context.setting(TEXT_COLOR) != 0;
    m_model->setList(std::move(list));
    if (coloured)
        m_model->colourRowsByKind();
}

RecordKind EntryPage::selectedKind() const {
    const PageLook& look = lookOf(m_view);
    for (std::size_t i = 0; i < m_kindButtons.size(); ++i)
        if (m_kindButtons[i]->isChecked())
            return look.kinds[i].kind;
    return look.kinds.front().kind;
}

RecordInput EntryPage::readInput() const {
    RecordInput input;
    input.item = m_picker->text();
    input.note = noteFromEditing(m_noteEdit->toPlainText());
    input.amount = m_amountEdit->text().toStdString();
    input.quantity = m_quantityEdit ? m_quantityEdit->text().toStdString() : std::string();
    return input;
}

QWidget* EntryPage::fieldWidget(InputField field) const {
    switch (field) {
    case InputField::Item:
        return m_picker->comboBox();
    case InputField::Note:
        return m_noteEdit;
    case InputField::Quantity:
        return m_quantityEdit;
    case InputField::Amount:
    case InputField::WrittenOff:
        break;
    }
    return m_amountEdit;
}

void EntryPage::onAddClicked() {
    const RecordInput input = readInput();
    if (const std::optional<InputProblem> problem = checkNewRecord(m_view, input)) {
        m_context.prompter().showMessage(this, fromGbk(problem->message));
        if (QWidget* field = fieldWidget(problem->field))
            field->setFocus();
        return;
    }
    Ledger& ledger = m_context.ledger();
    const QDate picked = pickedDate();
    ledger.records.push_back(newRecord(m_context.newRecordId(), selectedKind(),
                                       {picked.year(), picked.month(), picked.day()}, input,
                                       m_quantityEdit != nullptr));
    m_context.saveIfAutoSave(this);
    refresh();
    m_amountEdit->clear();
    m_noteEdit->clear();
    m_picker->clearText();
}

void EntryPage::onKindChosen() {
    const PageLook& look = lookOf(m_view);
    for (std::size_t i = 0; i < m_kindButtons.size(); ++i)
        if (m_kindButtons[i]->isChecked())
            m_picker->setKind(look.kinds[i].list);
}

std::optional<std::size_t> EntryPage::selectedRecord() const {
    const std::vector<std::size_t> rows = selectedRows(m_listView);
    if (rows.empty())
        return std::nullopt;
    return listedRecord(m_context.ledger().records, m_model->list(), rows.front());
}

void EntryPage::onEditRecord() {
    if (const std::optional<std::size_t> index = selectedRecord()) {
        EditRecordDialog dialog(m_context, lookOf(m_view).editMode, *index, this);
        if (dialog.exec() == QDialog::Accepted)
            refresh();
    }
}

void EntryPage::onWriteOff() {
    if (const std::optional<std::size_t> index = selectedRecord()) {
        WriteOffDialog dialog(m_context, *index, this);
        if (dialog.exec() == QDialog::Accepted)
            refresh();
    }
}

void EntryPage::onDeleteRow() {
    const std::vector<std::size_t> rows = selectedRows(m_listView);
    if (rows.empty() || !m_context.prompter().askYesNo(this, QStringLiteral("您确定要删除指定的记录吗？")))
        return;
    if (std::optional<Deletion> deletion =
            m_model->deleteDayRow(static_cast<int>(rows.front()), m_context.ledger().records))
        m_context.recordDeletion(std::move(*deletion));
}

void EntryPage::onDeleteSelected() {
    const std::vector<std::size_t> rows = selectedRows(m_listView);
    if (rows.empty() || !m_context.prompter().askYesNo(this, QStringLiteral("您确定要删除所有指定的记录吗？")))
        return;
    m_context.recordDeletion(deleteRowsById(m_context.ledger().records, m_model->list(), rows));
    refresh();
}

void EntryPage::onDeleteAll() {
    if (!m_context.prompter().askYesNo(this, QStringLiteral("您确定要删除列表中所有记录吗？")))
        return;
    std::vector<std::size_t> rows(m_model->list().rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    m_context.recordDeletion(deleteRowsById(m_context.ledger().records, m_model->list(), rows));
    refresh();
}

void EntryPage::onDoubleClicked() {
    if (m_view == PageView::Debt)
        onWriteOff();
    else
        onEditRecord();
}

void EntryPage::onListMenuRequested(const QPoint& at) { m_menu->popup(m_listView->viewport()->mapToGlobal(at)); }

// A double click anywhere in the list runs its command on the selected row, also below the last
// row; a press there keeps the selection, so a double click on empty space still has its row.
bool EntryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_listView->viewport())
        return LedgerPage::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        onDoubleClicked();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        return press->button() == Qt::LeftButton && !m_listView->indexAt(press->position().toPoint()).isValid();
    }
    return false;
}
