#include "gui/export/reportexport.h"

#include "core/ledger/filestore.h"
#include "gui/widgets/prompter.h"

#include <QFileInfo>

void exportTextReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to, ReportFormat format,
                      QWidget* parent) {
    QString path = prompter().askSaveFile(parent, QString(), QStringLiteral("Txt File (*.txt)"), nullptr);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    // A file that cannot be written ends the command without a word, as a cancelled prompt does.
    if (!writeFileAtomically(path.toStdString(), textReport(records, from, to, format)))
        return;
    prompter().showMessage(parent,
                           QStringLiteral("导出成功！\n文件保存位置：%1").arg(QFileInfo(path).absoluteFilePath()));
}
