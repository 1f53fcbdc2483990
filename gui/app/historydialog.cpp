#include "gui/app/historydialog.h"

#include "core/ledger/recordfile.h"
#include "core/pages/historylist.h"
#include "gui/app/ledgercontext.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

HistoryDialog::HistoryDialog(LedgerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_view(new QTableView(this)), m_model(new RecordListModel(this)),
      m_passwordEdit(new QLineEdit(this)), m_restoreButton(new QPushButton(QStringLiteral("恢复"), this)) {
    setWindowTitle(QStringLiteral("历史版本"));
    m_view->setObjectName(QStringLiteral("versionList"));
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setPlaceholderText(QStringLiteral("与当前密码相同时不必填写"));
    m_restoreButton->setObjectName(QStringLiteral("restoreButton"));
    m_restoreButton->setAutoDefault(false);
    auto* closeButton = new QPushButton(QStringLiteral("关闭"), this);
    closeButton->setAutoDefault(false);

    auto* note = new QLabel(QStringLiteral("每次保存后，程序都在这里留下一个版本：最近的20个，最近30天每天的最后一个，"
                                           "最近12个月每月的最后一个。恢复前，当前的记录也会先存为一个版本。"),
                            this);
    note->setWordWrap(true);
    auto* password = new QFormLayout;
    password->addRow(QStringLiteral("该版本的密码："), m_passwordEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_view, 1);
    layout->addLayout(password);
    layout->addLayout(buttons);
    resize(620, 420);

    connect(m_restoreButton, &QPushButton::clicked, this, &HistoryDialog::onRestoreClicked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    fill();
}

void HistoryDialog::fill() {
    m_context.finishHistory(); // the versions of the latest saves too
    m_versions = listVersions(m_context.ledger().recordFilePath);
    m_summaries.clear();
    for (const HistoryVersion& version : m_versions)
        m_summaries.push_back(summarizeVersion(version));
    const ListTable list = historyList(m_versions, m_summaries);
    setUpRecordList(m_view, m_model, list.columns, false);
    m_view->setMinimumWidth(fullListWidth(m_view));
    m_model->setList(list);
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (!m_summaries[static_cast<std::size_t>(row)].problem.empty())
            m_model->setRowTextColor(row, QColor(128, 128, 128));
    if (m_model->rowCount() > 0)
        m_view->selectRow(0);
}

void HistoryDialog::onRestoreClicked() {
    const std::vector<std::size_t> rows = selectedRows(m_view);
    Prompter& prompts = m_context.prompter();
    if (rows.empty()) {
        prompts.showMessage(this, QStringLiteral("请选择一个版本。"));
        return;
    }
    const std::size_t chosen = rows.front();
    if (!m_summaries[chosen].problem.empty()) {
        prompts.showMessage(this, QStringLiteral("这个版本已损坏，不能恢复。"));
        return;
    }
    const VersionContents contents = readVersion(m_versions[chosen]);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (!contents.ok() || !readStoredLedger(contents.bytes, header, records).ok()) {
        prompts.showMessage(this, QStringLiteral("这个版本已损坏，不能恢复。"));
        return;
    }
    Ledger& ledger = m_context.ledger();
    // The version opens with the password it was saved with: the current one, or the one typed.
    const std::optional<std::string> typed = toGbk(m_passwordEdit->text());
    if (header.password != ledger.password && (!typed || header.password != *typed)) {
        prompts.showMessage(this,
                            QStringLiteral("这个版本保存时用的是另一个密码，请在“该版本的密码”中填写那时的密码。"));
        m_passwordEdit->setFocus();
        return;
    }
    const QString saved = QString::fromStdString(savedText(m_versions[chosen].saved));
    if (!prompts.askYesNo(
            this, QStringLiteral("用%1保存的版本（%2条记录）替换当前的全部记录吗？\n当前的记录会先存为一个历史版本。")
                      .arg(saved)
                      .arg(records.size())))
        return;
    if (!m_context.save(this)) // the ledger being replaced goes into the history first
        return;
    ledger.records = std::move(records);
    m_context.forgetDeletions();
    m_context.save(this);
    m_context.announceRecordsChanged();
    prompts.showMessage(this, QStringLiteral("已恢复到%1保存的版本。").arg(saved));
    accept();
}
