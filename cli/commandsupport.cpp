#include "cli/commandsupport.h"

#include "core/app/datapaths.h"
#include "core/export/exporttarget.h"
#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"

#include <ostream>

using nlohmann::ordered_json;

std::string toGbk(const std::string& utf8, const std::string& what) {
    std::optional<std::string> gbk = utf8ToGbk(utf8);
    if (!gbk)
        throw InputError(what + " holds a character GBK cannot represent: " + utf8);
    return *gbk;
}

std::string unreadable(const std::string& file, FileRead::Status status) {
    return file + (status == FileRead::Status::NotAFile ? ": not a regular file" : ": cannot be read");
}

namespace {

std::string describe(const ReadResult& result, const std::string& file) {
    if (result.status == ReadResult::Status::Unreadable)
        return file + ": cannot be read";
    return file + ": damaged record file (it stops making sense at byte " + std::to_string(result.offset) + ")";
}

} // namespace

int readLedgerFile(const std::string& file, const std::string& passwordUtf8, StoredHeader& header,
                   std::vector<LedgerRecord>& records, std::ostream& err) {
    const std::string password = utf8ToGbk(passwordUtf8).value_or("");
    const FileRead bytes = readFile(file);
    if (bytes.status != FileRead::Status::Ok) {
        err << unreadable(file, bytes.status) << '\n';
        return EXIT_FAILED;
    }
    ReadResult result = readStoredHeader(bytes.bytes, header);
    if (result.ok() && header.password != password) {
        err << file << ": wrong password\n";
        return EXIT_WRONG_PASSWORD;
    }
    if (result.ok())
        result = readStoredLedger(bytes.bytes, header, records);
    if (!result.ok()) {
        err << describe(result, file) << '\n';
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

void writeOrThrow(const std::string& file, std::string_view bytes) {
    if (!writeFileAtomically(file, bytes))
        throw InputError(file + ": cannot be written");
}

void refuseOverRecordFile(const std::string& out, const std::string& ledgerFile) {
    const std::size_t slash = ledgerFile.rfind('/');
    std::vector<std::string> recordFiles =
        recordFilesIn(slash == std::string::npos ? "." : ledgerFile.substr(0, slash));
    recordFiles.push_back(ledgerFile);
    if (const std::optional<ExportRefusal> refusal =
            refuseExportTarget(out, {dataDirectory(programDirectory())}, recordFiles))
        throw InputError(out + (*refusal == ExportRefusal::RecordFile
                                    ? ": is a record file; a report is never written over one"
                                    : ": lies in a data directory; reports are written elsewhere"));
}

CalendarDate dateFrom(const std::string& text, const std::string& option) {
    const std::optional<CalendarDate> date = parseDate(text);
    if (!date)
        throw InputError("--" + option + " must be a date written YYYY-MM-DD: " + text);
    return *date;
}

ordered_json listView(const ListTable& list) {
    ordered_json headers = ordered_json::array();
    for (const ListColumn& column : list.columns)
        headers.push_back(gbkToUtf8(column.header));
    ordered_json cells = ordered_json::array();
    for (const std::vector<std::string>& row : list.rows) {
        ordered_json line = ordered_json::array();
        for (const std::string& cell : row)
            line.push_back(gbkToUtf8(cell));
        cells.push_back(std::move(line));
    }
    ordered_json captioned = ordered_json::object();
    for (const auto& [caption, value] : list.fields)
        captioned[gbkToUtf8(caption)] = gbkToUtf8(value);
    return {{"columns", headers}, {"rows", cells}, {"fields", captioned}};
}
