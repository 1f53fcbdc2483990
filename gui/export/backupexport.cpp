#include "gui/export/backupexport.h"

#include "core/ledger/filestore.h"
#include "core/stats/figures.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/exportfile.h"
#include "gui/widgets/datepicker.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString FORMAT_CURRENT = QStringLiteral("2.0版本(*.cct)");
const QString FORMAT_LEGACY = QStringLiteral("1.x版本(*.cct)");
const QString BACKUP_SUFFIX = QStringLiteral("cct");
constexpr std::size_t CHUNK = 1 << 20;
constexpr std::size_t RECORDS_WORTH_A_PROGRESS = 5000;
constexpr std::size_t BYTES_WORTH_A_PROGRESS = 5000 * 1024; // some five thousand records

// Writes the backup whole or not at all; a long one shows its progress and can be cancelled,
// which leaves any file of that name as it was. False when the file could not be written.
bool writeBackup(const std::string& path, std::string_view bytes, bool showProgress, QWidget* parent, bool& cancelled) {
    AtomicFile file(path);
    if (!file.open())
        return false;
    std::unique_ptr<QProgressDialog> progress;
    if (showProgress) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在导出记录…"), QStringLiteral("取消"), 0,
                                                     static_cast<int>(bytes.size() / CHUNK + 1), parent);
        progress->setWindowModality(Qt::WindowModal);
    }
    for (std::size_t at = 0, chunk = 0; at < bytes.size(); at += CHUNK, ++chunk) {
        if (!file.write(bytes.substr(at, CHUNK)))
            return false;
        if (progress) {
            progress->setValue(static_cast<int>(chunk));
            if (progress->wasCanceled()) {
                cancelled = true;
                return true;
            }
        }
    }
    return file.commit();
}

} // namespace

ExportSettingsDialog::ExportSettingsDialog(const std::vector<LedgerRecord>& records, QWidget* parent)
    : QDialog(parent), m_all(new QRadioButton(QStringLiteral("导出当前用户所有记录"), this)),
      m_range(new QRadioButton(QStringLiteral("导出"), this)),
      m_fromEdit(datePicker(QDate::currentDate(), "fromEdit", this)),
      m_toEdit(datePicker(QDate::currentDate(), "toEdit", this)), m_yearList(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("导出设定"));
    m_all->setObjectName(QStringLiteral("allChoice"));
    m_range->setObjectName(QStringLiteral("rangeChoice"));
    auto* year = new QRadioButton(QStringLiteral("导出"), this);
    year->setObjectName(QStringLiteral("yearChoice"));
    m_all->setChecked(true);
    m_yearList->setObjectName(QStringLiteral("yearList"));
    for (const std::string& entry : yearList(records))
        m_yearList->addItem(fromGbk(entry));
    m_yearList->setCurrentIndex(m_yearList->count() > 0 ? 0 : -1);
    auto* next = new QPushButton(QStringLiteral("下一步"), this);
    next->setObjectName(QStringLiteral("nextButton"));

    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(m_all, 0, 0, 1, 5);
    grid->addWidget(m_range, 1, 0);
    grid->addWidget(m_fromEdit, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("至"), this), 1, 2);
    grid->addWidget(m_toEdit, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("的记录"), this), 1, 4);
    grid->addWidget(year, 2, 0);
    grid->addWidget(m_yearList, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("的记录"), this), 2, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(next, 0, Qt::AlignRight);
    connect(next, &QPushButton::clicked, this, &QDialog::accept);
}

BackupChoice ExportSettingsDialog::choice() const {
    BackupChoice choice;
    if (m_all->isChecked())
        return choice;
    if (m_range->isChecked()) {
        const QDate from = m_fromEdit->date(), to = m_toEdit->date();
        choice.kind = BackupChoice::Kind::Range;
        choice.from = {from.year(), from.month(), from.day()};
        choice.to = {to.year(), to.month(), to.day()};
        return choice;
    }
    choice.kind = BackupChoice::Kind::Year;
    choice.year = m_yearList->currentText().toInt();
    return choice;
}

ImportDialog::ImportDialog(QWidget* parent)
    : QDialog(parent), m_passwordEdit(new QLineEdit(this)),
      m_clearCheck(new QCheckBox(QStringLiteral("清除当前所有记录"), this)) {
    setWindowTitle(QStringLiteral("导入"));
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_clearCheck->setObjectName(QStringLiteral("clearCheck"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("密码："), m_passwordEdit);
    layout->addRow(m_clearCheck);
    layout->addRow(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString ImportDialog::password() const { return m_passwordEdit->text(); }

bool ImportDialog::clearFirst() const { return m_clearCheck->isChecked(); }

void exportBackup(LedgerContext& context, QWidget* parent) {
    const Ledger& ledger = context.ledger();
    ExportSettingsDialog settings(ledger.records, parent);
    if (settings.exec() != QDialog::Accepted)
        return;
    QString format;
    const QString chosen = askExportFile(
        context, parent,
        {QString(), fromGbk(ledger.userName), FORMAT_CURRENT + QStringLiteral(";;") + FORMAT_LEGACY, BACKUP_SUFFIX},
        &format);
    if (chosen.isEmpty())
        return;
    const std::vector<LedgerRecord> records = chosenRecords(ledger.records, settings.choice());
    const std::string bytes = backupBytes(ledger, records, format == FORMAT_LEGACY ? 1.0 : 2.0);
    bool cancelled = false;
    if (!writeBackup(chosen.toStdString(), bytes, records.size() > RECORDS_WORTH_A_PROGRESS, parent, cancelled)) {
        prompter().showMessage(parent, QStringLiteral("创建导出文件失败。"));
        return;
    }
    if (!cancelled)
        prompter().showMessage(parent, QStringLiteral("导出成功。"));
}

void importBackup(LedgerContext& context, QWidget* parent) {
    Ledger& ledger = context.ledger();
    const QString path = prompter().askOpenFile(
        parent, {QString(), fromGbk(ledger.userName), QStringLiteral("文件(*.cct)"), BACKUP_SUFFIX});
    if (path.isEmpty())
        return;
    const QString failed = QStringLiteral("导入文件失败。");
    ImportDialog dialog(parent); // keeps what was typed across wrong passwords
    for (;;) {
        const FileRead file = readFile(path.toStdString());
        if (file.status != FileRead::Status::Ok) {
            prompter().showMessage(parent, failed);
            return;
        }
        if (dialog.exec() != QDialog::Accepted)
            return;
        // A password GBK cannot hold is no stored password: asked again, like any wrong one.
        const std::optional<std::string> password = toGbk(dialog.password());
        std::unique_ptr<QProgressDialog> progress;
        if (file.bytes.size() > BYTES_WORTH_A_PROGRESS) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("正在导入记录…"), QStringLiteral("取消"), 0,
                                                         100, parent);
            progress->setWindowModality(Qt::WindowModal);
        }
        const ReadProgress shown = [&progress](std::size_t done, std::size_t total) {
            if (!progress)
                return true;
            progress->setValue(static_cast<int>(100 * done / std::max<std::size_t>(total, 1)));
            return !progress->wasCanceled();
        };
        BackupRead read =
            password ? readBackup(file.bytes, *password, shown) : BackupRead{BackupRead::Status::WrongPassword, {}};
        progress.reset();
        switch (read.status) {
        case BackupRead::Status::WrongPassword:
            continue;
        case BackupRead::Status::Cancelled: // nothing was changed
            return;
        case BackupRead::Status::Damaged:
            prompter().showMessage(parent, QStringLiteral("导入文件已损坏，未导入任何记录。"));
            return;
        case BackupRead::Status::Ok:
            appendImported(ledger, std::move(read.records), dialog.clearFirst());
            context.forgetDeletions(); // the ids of deleted records may have been given again
            prompter().showMessage(parent, QStringLiteral("导入成功。"));
            return;
        }
    }
}
