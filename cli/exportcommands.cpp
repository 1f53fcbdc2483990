// The commands that write reports: the period's expenses and income as a text report or a
// workbook, as the statistics menu's exports do.
#include "cli/commandsupport.h"

#include "core/export/spreadsheet.h"
#include "core/export/textreport.h"
#include "core/ledger/gbk.h"

#include <memory>

namespace {

struct Options {
    std::string file, password, from, to, format, out;
};

void report(const Options& o, CommandIo& io, bool workbook) {
    const ReportFormat chosen = o.format == "I" ? ReportFormat::I : ReportFormat::II;
    const CalendarDate from = dateFrom(o.from, "from");
    const CalendarDate to = dateFrom(o.to, "to");
    refuseOverRecordFile(o.out, o.file);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    if (!workbook) {
        writeOrThrow(o.out, textReport(records, from, to, chosen));
        return;
    }
    SpreadsheetLink link;
    std::string error;
    const bool written =
        link.open() && buildWorkbookReport(link, records, from, to, chosen) && link.saveAs(o.out, error);
    if (!written)
        throw InputError(o.out + ": " + gbkToUtf8(error.empty() ? link.error() : error));
    link.close();
}

} // namespace

void addExportCommands(CLI::App& app, CommandIo& io) {
    for (const bool workbook : {false, true}) {
        const auto options = std::make_shared<Options>();
        Options& o = *options;
        CLI::App* sub = workbook ? app.add_subcommand("workbook", "Write the report of a period as a workbook (.xlsx), "
                                                                  "as 收支导出为Excel文件 does.")
                                 : app.add_subcommand("report", "Write the text report of a period's expenses and "
                                                                "income, as 收支导出为文本文件 does.");
        sub->add_option("FILE", o.file, "the record file")->required();
        sub->add_option("--password", o.password, "the file's password")->required();
        sub->add_option("--from", o.from, "the first day of the period, YYYY-MM-DD")->required();
        sub->add_option("--to", o.to, "the last day of the period, YYYY-MM-DD")->required();
        sub->add_option("--format", o.format, "I: 日期、类别、项目、金额、备注; II: 日期、项目、收入、支出、备注")
            ->required()
            ->check(CLI::IsMember({"I", "II"}));
        sub->add_option("--out", o.out, workbook ? "the workbook to write" : "the report to write")->required();
        sub->callback([&io, options, workbook] { report(*options, io, workbook); });
    }
}
