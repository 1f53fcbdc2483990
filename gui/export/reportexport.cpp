#include "gui/export/reportexport.h"

#include "core/ledger/filestore.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/exportfile.h"

#include <QFileInfo>

void exportTextReport(const LedgerContext& context, CalendarDate from, CalendarDate to, ReportFormat format,
                      QWidget* parent) {
    const QString path = askExportFile(
        context, parent, {QString(), QString(), QStringLiteral("Txt File (*.txt)"), QStringLiteral("txt")});
    if (path.isEmpty())
        return;
    // A file that cannot be written ends the command without a word, as a cancelled prompt does.
    if (!writeFileAtomically(path.toStdString(), textReport(context.ledger().records, from, to, format)))
        return;
    context.prompter().showMessage(
        parent, QStringLiteral("导出成功！\n文件保存位置：%1").arg(QFileInfo(path).absoluteFilePath()));
}
