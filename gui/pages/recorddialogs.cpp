#include "core/ledger/calendar.h"
#include "gui/app/ledgercontext.h"
#include "gui/pages/editrecorddialog.h"
#include "gui/pages/writeoffdialog.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QLineEdit* lineEdit(const std::string& gbk, const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(fromGbk(gbk), parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPlainTextEdit* noteEdit(const std::string& gbk, QWidget* parent) {
    auto* edit = new QPlainTextEdit(noteForEditing(gbk), parent);
    edit->setObjectName(QStringLiteral("noteEdit"));
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setTabChangesFocus(true);
    edit->setMaximumHeight(90);
    return edit;
}

QLineEdit* dateBox(const LedgerRecord& record, QWidget* parent) {
    auto* edit = lineEdit(formatDate(record.year, record.month, record.day), "dateEdit", parent);
    edit->setReadOnly(true);
    return edit;
}

QPushButton* saveButton(QDialog* dialog, QFormLayout* form) {
    auto* button = new QPushButton(QStringLiteral("保存"), dialog);
    button->setObjectName(QStringLiteral("saveButton"));
    button->setAutoDefault(false);
    form->addRow(QString(), button);
    return button;
}

// Shows a refused input's message and moves the focus to its field.
void refuse(QWidget* dialog, LedgerContext& context, const InputProblem& problem, QWidget* field) {
    context.prompter().showMessage(dialog, fromGbk(problem.message));
    field->setFocus();
}

} // namespace

EditRecordDialog::EditRecordDialog(LedgerContext& context, EditMode mode, std::size_t ledgerIndex, QWidget* parent)
    : QDialog(parent), m_context(context), m_mode(mode), m_ledgerIndex(ledgerIndex),
      m_record(context.ledger().records.at(ledgerIndex)), m_itemEdit(lineEdit(m_record.item, "itemEdit", this)),
      m_amountEdit(lineEdit(m_record.amount, "amountEdit", this)),
      m_quantityEdit(lineEdit(m_record.quantity, "quantityEdit", this)), m_noteEdit(noteEdit(m_record.note, this)) {
    setWindowTitle(QStringLiteral("修改"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("日期："), dateBox(m_record, this));
    form->addRow(mode == EditMode::Debt ? QStringLiteral("对象：") : QStringLiteral("项目："), m_itemEdit);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(m_amountEdit);
    auto* quantityLabel = new QLabel(QStringLiteral("数量："), this);
    quantityLabel->setObjectName(QStringLiteral("quantityLabel"));
    numbers->addWidget(quantityLabel);
    numbers->addWidget(m_quantityEdit);
    // Filled in every mode, shown only where quantities are edited.
    quantityLabel->setVisible(mode == EditMode::WithQuantity);
    m_quantityEdit->setVisible(mode == EditMode::WithQuantity);
    form->addRow(QStringLiteral("金额："), numbers);
    form->addRow(QStringLiteral("备注："), m_noteEdit);
    connect(saveButton(this, form), &QPushButton::clicked, this, &EditRecordDialog::onSaveClicked);
}

void EditRecordDialog::onSaveClicked() {
    RecordInput input;
    input.item = toGbk(m_itemEdit->text());
    input.note = editedNote(m_noteEdit->toPlainText(), m_record.note);
    input.quantity = m_quantityEdit->text().toStdString();
    input.amount = m_amountEdit->text().toStdString();
    if (const std::optional<InputProblem> problem = checkEdit(m_mode, input)) {
        QWidget* const fields[] = {m_itemEdit, m_noteEdit, m_quantityEdit, m_amountEdit, m_amountEdit};
        refuse(this, m_context, *problem, fields[static_cast<int>(problem->field)]);
        return;
    }
    std::vector<LedgerRecord>& records = m_context.ledger().records;
    if (m_ledgerIndex >= records.size()) // the record went while the dialog was open
        return;
    m_record = editedRecord(m_record, m_mode, input);
    records[m_ledgerIndex] = m_record;
    m_context.saveIfAutoSave(this);
    m_context.prompter().showMessage(this, QStringLiteral("修改成功！"));
    accept();
}

WriteOffDialog::WriteOffDialog(LedgerContext& context, std::size_t ledgerIndex, QWidget* parent)
    : QDialog(parent), m_context(context), m_ledgerIndex(ledgerIndex),
      m_record(context.ledger().records.at(ledgerIndex)),
      m_writtenOffEdit(lineEdit(m_record.writtenOff, "writtenOffEdit", this)),
      m_noteEdit(noteEdit(m_record.note, this)) {
    setWindowTitle(QStringLiteral("销账"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("日期："), dateBox(m_record, this));
    QLineEdit* counterpart = lineEdit(m_record.item, "itemEdit", this);
    QLineEdit* amount = lineEdit(m_record.amount, "amountEdit", this);
    counterpart->setEnabled(false);
    amount->setEnabled(false);
    form->addRow(QStringLiteral("对象："), counterpart);
    form->addRow(QStringLiteral("债务金额："), amount);
    form->addRow(QStringLiteral("销账金额："), m_writtenOffEdit);
    form->addRow(QStringLiteral("备注："), m_noteEdit);
    connect(saveButton(this, form), &QPushButton::clicked, this, &WriteOffDialog::onSaveClicked);
}

void WriteOffDialog::onSaveClicked() {
    RecordInput input;
    input.note = editedNote(m_noteEdit->toPlainText(), m_record.note);
    input.writtenOff = m_writtenOffEdit->text().toStdString();
    if (const std::optional<InputProblem> problem = checkWriteOff(input)) {
        refuse(this, m_context, *problem,
               problem->field == InputField::Note ? static_cast<QWidget*>(m_noteEdit) : m_writtenOffEdit);
        return;
    }
    std::vector<LedgerRecord>& records = m_context.ledger().records;
    if (m_ledgerIndex >= records.size())
        return;
    records[m_ledgerIndex] = writtenOffRecord(m_record, input);
    m_context.saveIfAutoSave(this);
    m_context.prompter().showMessage(this, QStringLiteral("销账成功！"));
    accept();
}
