#include "cli/ledgercommands.h"

#include "core/app/datapaths.h"
#include "core/export/exporttarget.h"
#include "core/export/spreadsheet.h"
#include "core/export/textreport.h"
#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/history.h"
#include "core/ledger/itemlist.h"
#include "core/ledger/recordfile.h"
#include "core/pages/pagelists.h"
#include "core/stats/dialoglists.h"
#include "core/stats/figures.h"
#include "core/stats/statistics.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <ctime>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

constexpr const char* USAGE = R"(usage: mzledger COMMAND ...

  dump FILE --password PW
      Print a record or backup file as JSON: {"version", "user", "records": [...]}.
  build FILE --user NAME --password PW [--format 2.0|1.x]
      Write a record file from {"records": [...]} on standard input. Each record has
      id, kind, year, month, day, item, amount; quantity, writtenOff and note are optional.
  list-dump FILE
      Print the entries of a quick-input list file (.lio, .lii, .dio) as a JSON array.
  list-build FILE
      Write a quick-input list file from a JSON array of texts on standard input.
  page VIEW FILE --password PW --date YYYY-MM-DD
      Print what a bookkeeping page lists after a refresh on that date, as
      {"columns", "rows", "fields"}: VIEW is expense or income (the day's list),
      combined or debt (the month's list).
  stats VIEW FILE --password PW [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--year Y]
        [--keyword K] [--layout 0|1] [--today YYYY-MM-DD] [--row TEXT]
      Print what the statistics page or one of its dialogs shows, in the same form:
        period        the period list after "查询" (--from, --to)
        settle        the period list after "结算" (--year)
        records       the records of the period-list row --row (a day, or a month
                      row such as "   03月" of --year)
        daily, daily-debts, share-expense, share-income   (--from, --to)
        query, debt-query   (--keyword; --from and --to, or --year)
      --layout 1 counts debts as the new layout does (default 0); --today stands in
      for the local date (default: today).
  report FILE --password PW --from YYYY-MM-DD --to YYYY-MM-DD --format I|II --out REPORT
      Write the text report of the period's expenses and income, as the statistics
      menu's "收支导出为文本文件" does.
  workbook FILE --password PW --from YYYY-MM-DD --to YYYY-MM-DD --format I|II --out BOOK.xlsx
      Write the same report as a workbook, as "收支导出为Excel文件" does.
  history FILE --password PW
      Print the saved versions of a record file, newest first, as
      {"versions": [{"id", "saved", "records"}, ...]}; a damaged one has a "problem".
  restore FILE --password PW --version ID --out OUT
      Write one version of a record file, as it was saved, to OUT (never over a record file).

Texts are UTF-8 here and GBK in the files. Exit status: 0 done, 1 bad input or damaged file,
2 wrong password.
)";

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_WRONG_PASSWORD = 2;

// Thrown for bad input; the message goes to standard error and the command exits with 1.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// FILE followed by --name value options.
struct Arguments {
    std::string file;
    std::map<std::string, std::string> options;

    std::string option(const std::string& name) const {
        const auto found = options.find(name);
        if (found == options.end())
            throw InputError("missing --" + name);
        return found->second;
    }
    std::string option(const std::string& name, const std::string& fallback) const {
        const auto found = options.find(name);
        return found == options.end() ? fallback : found->second;
    }
};

Arguments parseArguments(const std::vector<std::string>& args, std::initializer_list<const char*> allowed) {
    Arguments parsed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.starts_with("--")) {
            const std::string name = arg.substr(2);
            if (std::find_if(allowed.begin(), allowed.end(), [&](const char* a) { return name == a; }) == allowed.end())
                throw InputError("unknown option " + arg);
            if (i + 1 >= args.size())
                throw InputError(arg + " needs a value");
            parsed.options[name] = args[++i];
        } else if (parsed.file.empty()) {
            parsed.file = arg;
        } else {
            throw InputError("unexpected argument " + arg);
        }
    }
    if (parsed.file.empty())
        throw InputError("missing FILE");
    return parsed;
}

std::string toGbk(const std::string& utf8, const std::string& what) {
    std::optional<std::string> gbk = utf8ToGbk(utf8);
    if (!gbk)
        throw InputError(what + " holds a character GBK cannot represent: " + utf8);
    return *gbk;
}

std::string unreadable(const std::string& file, FileRead::Status status) {
    return file + (status == FileRead::Status::NotAFile ? ": not a regular file" : ": cannot be read");
}

std::string describe(const ReadResult& result, const std::string& file) {
    if (result.status == ReadResult::Status::Unreadable)
        return file + ": cannot be read";
    return file + ": damaged record file (it stops making sense at byte " + std::to_string(result.offset) + ")";
}

ordered_json recordToJson(const LedgerRecord& record) {
    return {{"id", record.id},
            {"kind", static_cast<int>(record.kind)},
            {"year", record.year},
            {"month", record.month},
            {"day", record.day},
            {"item", gbkToUtf8(record.item)},
            {"quantity", gbkToUtf8(record.quantity)},
            {"amount", gbkToUtf8(record.amount)},
            {"writtenOff", gbkToUtf8(record.writtenOff)},
            {"note", gbkToUtf8(record.note)}};
}

template <typename Int> Int integerField(const json& record, const char* name) {
    const auto found = record.find(name);
    if (found == record.end())
        throw InputError(std::string("a record has no \"") + name + "\"");
    if (!found->is_number_integer())
        throw InputError(std::string("\"") + name + "\" must be a whole number");
    const auto value = found->get<std::int64_t>();
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw InputError(std::string("\"") + name + "\" is out of range: " + std::to_string(value));
    return static_cast<Int>(value);
}

std::string textField(const json& record, const char* name, const std::optional<std::string>& fallback) {
    const auto found = record.find(name);
    if (found == record.end()) {
        if (!fallback)
            throw InputError(std::string("a record has no \"") + name + "\"");
        return *fallback;
    }
    if (!found->is_string())
        throw InputError(std::string("\"") + name + "\" must be a text");
    return toGbk(found->get<std::string>(), std::string("\"") + name + "\"");
}

LedgerRecord recordFromJson(const json& record) {
    if (!record.is_object())
        throw InputError("every record must be an object");
    LedgerRecord result;
    result.id = integerField<std::int32_t>(record, "id");
    result.kind = static_cast<RecordKind>(integerField<std::int16_t>(record, "kind"));
    result.year = integerField<std::int32_t>(record, "year");
    result.month = integerField<std::int32_t>(record, "month");
    result.day = integerField<std::int32_t>(record, "day");
    result.item = textField(record, "item", std::nullopt);
    result.quantity = textField(record, "quantity", "1.00");
    result.amount = textField(record, "amount", std::nullopt);
    result.writtenOff = textField(record, "writtenOff", "0.00");
    result.note = textField(record, "note", "");
    return result;
}

json readJson(std::istream& in) {
    try {
        return json::parse(in);
    } catch (const json::parse_error& error) {
        throw InputError(std::string("invalid JSON: ") + error.what());
    }
}

void writeOrThrow(const std::string& file, std::string_view bytes) {
    if (!writeFileAtomically(file, bytes))
        throw InputError(file + ": cannot be written");
}

// Reads a record or backup file. Like a backup import, only the password counts: the stored name
// is shown, not checked. Returns an exit status other than EXIT_OK after telling why.
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

int dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments = parseArguments(args, {"password"});
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    ordered_json list = ordered_json::array();
    for (const LedgerRecord& record : records)
        list.push_back(recordToJson(record));
    const ordered_json document = {
        {"version", header.version}, {"user", gbkToUtf8(header.userName)}, {"records", list}};
    out << document.dump(2) << '\n';
    return EXIT_OK;
}

// The one form of every list view: the headers, every row's cells and the captioned values.
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

CalendarDate dateOption(const Arguments& arguments, const std::string& name) {
    const std::string text = arguments.option(name);
    const std::optional<CalendarDate> date = parseDate(text);
    if (!date)
        throw InputError("--" + name + " must be a date written YYYY-MM-DD: " + text);
    return *date;
}

int page(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    static const std::map<std::string, PageView> VIEWS = {{"expense", PageView::Expense},
                                                          {"income", PageView::Income},
                                                          {"combined", PageView::Combined},
                                                          {"debt", PageView::Debt}};
    if (args.size() < 2 || !VIEWS.contains(args[1]))
        throw InputError("page needs a VIEW: expense, income, combined or debt");
    const PageView view = VIEWS.at(args[1]);
    const Arguments arguments =
        parseArguments(std::vector<std::string>(args.begin() + 1, args.end()), {"password", "date"});
    const CalendarDate date = dateOption(arguments, "date");
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    const ListTable list = pageList(view, records, date);
    out << listView(list).dump(2) << '\n';
    return EXIT_OK;
}

CalendarDate today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

int yearOption(const Arguments& arguments) {
    const std::string text = arguments.option("year");
    int year = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (error != std::errc{} || end != text.data() + text.size())
        throw InputError("--year must be a whole number: " + text);
    return year;
}

// The statistics page's list with its nine summary values and the month balances beside it.
ListTable withSummary(const StatisticsView& view, const std::vector<LedgerRecord>& records, CalendarDate now,
                      bool withDebts) {
    ListTable list = view.periodList;
    list.fields = summaryFields(!list.rows.empty(), view.totals, withDebts);
    const MonthBalances balances = showMonthBalances(records, now, withDebts);
    list.fields.emplace_back(gbkText("上月结余："), balances.lastMonth);
    list.fields.emplace_back(gbkText("本月结余："), balances.thisMonth);
    list.fields.emplace_back(gbkText("今日："), balances.today);
    return list;
}

int stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    static const std::vector<std::string> VIEWS = {
        "period", "settle", "records", "daily", "daily-debts", "share-expense", "share-income", "query", "debt-query"};
    if (args.size() < 2 || std::find(VIEWS.begin(), VIEWS.end(), args[1]) == VIEWS.end())
        throw InputError("stats needs a VIEW: period, settle, records, daily, daily-debts, share-expense, "
                         "share-income, query or debt-query");
    const std::string& view = args[1];
    const Arguments arguments = parseArguments(std::vector<std::string>(args.begin() + 1, args.end()),
                                               {"password", "from", "to", "year", "keyword", "layout", "today", "row"});
    const std::string layout = arguments.option("layout", "0");
    if (layout != "0" && layout != "1")
        throw InputError("--layout must be 0 or 1");
    const bool withDebts = layout == "1";
    const CalendarDate now = arguments.options.contains("today") ? dateOption(arguments, "today") : today();
    const auto period = [&] { return std::pair(dateOption(arguments, "from"), dateOption(arguments, "to")); };
    // As the query dialogs do: the keyword is checked first, then the year list.
    const bool keywordView = view == "query" || view == "debt-query";
    const std::string keyword = keywordView ? shownGbk(arguments.option("keyword")) : std::string();
    if (keywordView && keyword.empty())
        throw InputError("关键字不能为空！");
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    const bool yearMode = arguments.options.contains("year");
    if ((view == "settle" || (keywordView && yearMode)) && yearList(records).empty())
        throw InputError("不存在收支数据！");

    ListTable list;
    if (view == "period") {
        const auto [from, to] = period();
        list = withSummary(queryPeriod(records, from, to, withDebts), records, now, withDebts);
    } else if (view == "settle") {
        list = withSummary(settleYear(records, yearOption(arguments), withDebts), records, now, withDebts);
    } else if (view == "records") {
        const std::optional<int> year = yearMode ? std::optional(yearOption(arguments)) : std::nullopt;
        list = showRowRecords(records, toGbk(arguments.option("row"), "--row"), year, withDebts);
    } else if (view == "daily" || view == "daily-debts") {
        const auto [from, to] = period();
        list = view == "daily" ? dailyRecords(records, from, to) : dailyDebts(records, from, to);
    } else if (view == "share-expense" || view == "share-income") {
        const auto [from, to] = period();
        const RecordKind kind = view == "share-expense" ? RecordKind::Expense : RecordKind::Income;
        list = shareList(groupShares(records, from, to, kind), kind);
    } else {
        const bool debts = view == "debt-query";
        if (yearMode) {
            const int year = yearOption(arguments);
            list = debts ? debtQueryYear(records, keyword, year) : recordQueryYear(records, keyword, year);
        } else {
            const auto [from, to] = period();
            list = debts ? debtQuery(records, keyword, from, to) : recordQuery(records, keyword, from, to);
        }
    }
    out << listView(list).dump(2) << '\n';
    return EXIT_OK;
}

// What mzledger writes from a ledger (a report, a workbook, a restored version) never lands on a
// record file: not on the ledger it is made from, nor on any record file beside it, nor anywhere in
// the data directory of the program.
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

int build(const std::vector<std::string>& args, std::istream& in) {
    const Arguments arguments = parseArguments(args, {"user", "password", "format"});
    const std::string format = arguments.option("format", "2.0");
    if (format != "2.0" && format != "1.x")
        throw InputError("--format must be 2.0 or 1.x");
    Ledger ledger;
    ledger.userName = toGbk(arguments.option("user"), "the user name");
    ledger.password = toGbk(arguments.option("password"), "the password");
    const json document = readJson(in);
    if (!document.is_object() || !document.contains("records") || !document["records"].is_array())
        throw InputError("the input must be an object with a \"records\" array");
    for (const json& record : document["records"])
        ledger.records.push_back(recordFromJson(record));
    std::string bytes;
    serializeLedger(ledger, bytes, format == "2.0" ? 2.0 : 1.0);
    writeOrThrow(arguments.file, bytes);
    addVersion(arguments.file, arguments.file, std::time(nullptr)); // as every save of a record file
    return EXIT_OK;
}

// The versions of a record file, newest first, each with its number of records or what is wrong.
int history(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments = parseArguments(args, {"password"});
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    ordered_json versions = ordered_json::array();
    for (const HistoryVersion& version : listVersions(arguments.file)) {
        const VersionSummary summary = summarizeVersion(version);
        ordered_json entry = {{"id", version.id}, {"saved", savedText(version.saved)}};
        entry["records"] = summary.records ? ordered_json(*summary.records) : ordered_json(nullptr);
        if (!summary.problem.empty())
            entry["problem"] = "damaged: " + summary.problem;
        versions.push_back(std::move(entry));
    }
    out << ordered_json{{"versions", versions}}.dump(2) << '\n';
    return EXIT_OK;
}

// One version of a record file written whole as a record file of its own.
int restore(const std::vector<std::string>& args, std::ostream& err) {
    const Arguments arguments = parseArguments(args, {"password", "version", "out"});
    const std::string id = arguments.option("version");
    const std::string out = arguments.option("out");
    refuseOverRecordFile(out, arguments.file);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    const std::vector<HistoryVersion> versions = listVersions(arguments.file);
    const auto found =
        std::find_if(versions.begin(), versions.end(), [&](const HistoryVersion& v) { return v.id == id; });
    if (found == versions.end())
        throw InputError(arguments.file + ": no version " + id);
    const VersionContents contents = readVersion(*found);
    if (!contents.ok())
        throw InputError(found->path + ": damaged: " + contents.problem);
    writeOrThrow(out, contents.bytes);
    return EXIT_OK;
}

int listDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments = parseArguments(args, {});
    const FileRead file = readFile(arguments.file);
    if (file.status != FileRead::Status::Ok) {
        err << unreadable(arguments.file, file.status) << '\n';
        return EXIT_FAILED;
    }
    const ParsedItemList parsed = parseItemList(file.bytes);
    if (parsed.damaged) {
        err << arguments.file << ": damaged list file\n";
        return EXIT_FAILED;
    }
    json list = json::array();
    for (const std::string& entry : parsed.entries)
        list.push_back(gbkToUtf8(entry));
    out << list.dump(2) << '\n';
    return EXIT_OK;
}

int listBuild(const std::vector<std::string>& args, std::istream& in) {
    const Arguments arguments = parseArguments(args, {});
    const json document = readJson(in);
    if (!document.is_array())
        throw InputError("the input must be a JSON array of texts");
    ItemList list;
    for (const json& entry : document) {
        if (!entry.is_string())
            throw InputError("every entry must be a text");
        list.push_back(toGbk(entry.get<std::string>(), "an entry"));
    }
    writeOrThrow(arguments.file, serializeItemList(list));
    return EXIT_OK;
}

// "report" and "workbook": the period's expenses and income written to --out.
int report(const std::vector<std::string>& args, std::ostream& err, bool workbook) {
    const Arguments arguments = parseArguments(args, {"password", "from", "to", "format", "out"});
    const std::string format = arguments.option("format");
    if (format != "I" && format != "II")
        throw InputError("--format must be I or II");
    const ReportFormat chosen = format == "I" ? ReportFormat::I : ReportFormat::II;
    const CalendarDate from = dateOption(arguments, "from");
    const CalendarDate to = dateOption(arguments, "to");
    const std::string out = arguments.option("out");
    refuseOverRecordFile(out, arguments.file);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if (const int status = readLedgerFile(arguments.file, arguments.option("password"), header, records, err))
        return status;
    if (!workbook) {
        writeOrThrow(out, textReport(records, from, to, chosen));
        return EXIT_OK;
    }
    SpreadsheetLink link;
    std::string error;
    const bool written = link.open() && buildWorkbookReport(link, records, from, to, chosen) && link.saveAs(out, error);
    if (!written)
        throw InputError(out + ": " + gbkToUtf8(error.empty() ? link.error() : error));
    link.close();
    return EXIT_OK;
}

} // namespace

int runLedgerCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::string command = args.empty() ? "" : args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        out << USAGE;
        return EXIT_OK;
    }
    try {
        if (command == "dump")
            return dump(args, out, err);
        if (command == "build")
            return build(args, in);
        if (command == "list-dump")
            return listDump(args, out, err);
        if (command == "list-build")
            return listBuild(args, in);
        if (command == "page")
            return page(args, out, err);
        if (command == "stats")
            return stats(args, out, err);
        if (command == "report" || command == "workbook")
            return report(args, err, command == "workbook");
        if (command == "history")
            return history(args, out, err);
        if (command == "restore")
            return restore(args, err);
    } catch (const InputError& error) {
        err << "mzledger: " << error.what() << '\n';
        return EXIT_FAILED;
    }
    err << USAGE;
    return EXIT_FAILED;
}
