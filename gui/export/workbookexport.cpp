#include "gui/export/workbookexport.h"

#include "core/export/spreadsheet.h"
#include "core/export/workbookdriver.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/exportfile.h"
#include "gui/widgets/gbktext.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

void exportListToWorkbook(const LedgerContext& context, const ListTable& list, const QString& table, QWidget* parent) {
    if (list.rows.empty())
        return;
    Prompter& prompts = context.prompter();
    if (findSpreadsheetDriver().empty()) {
        prompts.showMessage(parent, QStringLiteral("没有安装Excel!\n请先安装Excel软件才能使用导出功能!"));
        return;
    }
    const QString proposed =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".xlsx");
    const QString chosen = askExportFile(
        context, parent,
        {QStringLiteral("导出"), proposed, QStringLiteral("Excel文件(*.xlsx);;所有文件(*)"), QStringLiteral("xlsx")});
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The workbook is written beside the file chosen and replaces it only once it is whole.
    std::string error;
    if (!exportListToWorkbook(list, *toGbk(table), path.toStdString(), error)) {
        prompts.showMessage(parent, fromGbk(error));
        return;
    }
    prompts.showMessage(parent, QStringLiteral("导出文件保存于%1!").arg(path));
}

void exportWorkbookReport(const LedgerContext& context, CalendarDate from, CalendarDate to, ReportFormat format,
                          QWidget* parent) {
    const QString chosen = askExportFile(
        context, parent, {QString(), QString(), QStringLiteral("Excel File (*.xlsx)"), QStringLiteral("xlsx")});
    if (chosen.isEmpty())
        return;
    SpreadsheetLink link;
    // Without a spreadsheet the export ends here; the program goes on, its ledger unsaved yet.
    if (!link.open()) {
        context.prompter().showMessage(parent, QStringLiteral("创建Excel服务失败!"));
        return;
    }
    std::string error;
    if (!buildWorkbookReport(link, context.ledger().records, from, to, format))
        error = link.error();
    else
        link.saveAs(chosen.toStdString(), error);
    link.close();
    if (!error.empty())
        context.prompter().showMessage(parent, fromGbk(error));
}
