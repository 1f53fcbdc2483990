#include "gui/export/exportfile.h"

#include "core/export/exporttarget.h"
#include "gui/app/ledgercontext.h"
#include "gui/widgets/gbktext.h"

QString askExportFile(const LedgerContext& context, QWidget* parent, const FileRequest& request,
                      QString* chosenFilter) {
    const std::string& dataDir = context.ledger().dataDir;
    for (;;) {
        const QString chosen = context.prompter().askSaveFile(parent, request, chosenFilter);
        if (chosen.isEmpty())
            return {};
        const std::optional<ExportRefusal> refusal = refuseExportTarget(chosen.toStdString(), {dataDir});
        if (!refusal)
            return chosen;
        context.prompter().showMessage(
            parent, *refusal == ExportRefusal::RecordFile
                        ? QStringLiteral("%1是用户的记录文件，导出的文件不能覆盖它，请另选一个文件。").arg(chosen)
                        : QStringLiteral("%1位于数据目录%2中，导出的文件不能放在那里，请另选一个位置。")
                              .arg(chosen, fromPath(dataDir)));
    }
}
