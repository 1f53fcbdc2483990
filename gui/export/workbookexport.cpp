#include "gui/export/workbookexport.h"

#include "core/export/spreadsheet.h"
#include "core/export/workbookdriver.h"
#include "core/ledger/filestore.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString withSuffix(QString path) {
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    return path;
}

} // namespace

void exportListToWorkbook(const ListTable& list, const QString& table, QWidget* parent) {
    if (list.rows.empty())
        return;
    if (findSpreadsheetDriver().empty()) {
        prompter().showMessage(parent, QStringLiteral("没有安装Excel!\n请先安装Excel软件才能使用导出功能!"));
        return;
    }
    const QString proposed =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".xlsx");
    const QString chosen =
        prompter().askSaveFile(parent, proposed, QStringLiteral("Excel文件(*.xlsx);;所有文件(*)"), nullptr);
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(withSuffix(chosen)).absoluteFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        prompter().showMessage(parent, QStringLiteral("覆盖文件时出错！"));
        return;
    }
    std::string error;
    if (!exportListToWorkbook(list, *toGbk(table), path.toStdString(), error)) {
        prompter().showMessage(parent, QString::fromStdString(error));
        return;
    }
    prompter().showMessage(parent, QStringLiteral("导出文件保存于%1!").arg(path));
}

void exportWorkbookReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                          ReportFormat format, QWidget* parent) {
    const QString chosen = prompter().askSaveFile(parent, QString(), QStringLiteral("Excel File (*.xlsx)"), nullptr);
    if (chosen.isEmpty())
        return;
    SpreadsheetLink link;
    // Without a spreadsheet the export ends here; the program goes on, its ledger unsaved yet.
    if (!link.open()) {
        prompter().showMessage(parent, QStringLiteral("创建Excel服务失败!"));
        return;
    }
    std::string error;
    if (!buildWorkbookReport(link, records, from, to, format))
        error = link.error();
    else
        link.saveAs(withSuffix(chosen).toStdString(), error);
    link.close();
    if (!error.empty())
        prompter().showMessage(parent, QString::fromStdString(error));
}
