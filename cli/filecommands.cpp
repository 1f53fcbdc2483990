// The commands on files: record and backup files to and from JSON, quick-input lists, the
// version history.
#include "cli/commandsupport.h"

#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"
#include "core/ledger/history.h"
#include "core/ledger/itemlist.h"

#include <ctime>
#include <istream>
#include <limits>
#include <memory>
#include <ostream>

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

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

struct Options {
    std::string file, user, password, format = "2.0", version, out;
};

CLI::App* command(CLI::App& app, const char* name, const char* description, Options& options) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->add_option("FILE", options.file, "the file")->required();
    return sub;
}

void dump(const Options& o, CommandIo& io) {
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    ordered_json list = ordered_json::array();
    for (const LedgerRecord& record : records)
        list.push_back(recordToJson(record));
    io.out << ordered_json{{"version", header.version}, {"user", gbkToUtf8(header.userName)}, {"records", list}}.dump(2)
           << '\n';
}

void build(const Options& o, CommandIo& io) {
    Ledger ledger;
    ledger.userName = toGbk(o.user, "the user name");
    ledger.password = toGbk(o.password, "the password");
    const json document = readJson(io.in);
    if (!document.is_object() || !document.contains("records") || !document["records"].is_array())
        throw InputError("the input must be an object with a \"records\" array");
    for (const json& record : document["records"])
        ledger.records.push_back(recordFromJson(record));
    std::string bytes;
    serializeLedger(ledger, bytes, o.format == "2.0" ? 2.0 : 1.0);
    writeOrThrow(o.file, bytes);
    addVersion(o.file, o.file, std::time(nullptr)); // as every save of a record file
}

void listDump(const Options& o, CommandIo& io) {
    const FileRead file = readFile(o.file);
    if (file.status != FileRead::Status::Ok) {
        io.err << unreadable(o.file, file.status) << '\n';
        io.status = EXIT_FAILED;
        return;
    }
    const ParsedItemList parsed = parseItemList(file.bytes);
    if (parsed.damaged) {
        io.err << o.file << ": damaged list file\n";
        io.status = EXIT_FAILED;
        return;
    }
    json list = json::array();
    for (const std::string& entry : parsed.entries)
        list.push_back(gbkToUtf8(entry));
    io.out << list.dump(2) << '\n';
}

void listBuild(const Options& o, CommandIo& io) {
    const json document = readJson(io.in);
    if (!document.is_array())
        throw InputError("the input must be a JSON array of texts");
    ItemList list;
    for (const json& entry : document) {
        if (!entry.is_string())
            throw InputError("every entry must be a text");
        list.push_back(toGbk(entry.get<std::string>(), "an entry"));
    }
    writeOrThrow(o.file, serializeItemList(list));
}

void history(const Options& o, CommandIo& io) {
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    ordered_json versions = ordered_json::array();
    for (const HistoryVersion& version : listVersions(o.file)) {
        const VersionSummary summary = summarizeVersion(version);
        ordered_json entry = {{"id", version.id}, {"saved", savedText(version.saved)}};
        entry["records"] = summary.records ? ordered_json(*summary.records) : ordered_json(nullptr);
        if (!summary.problem.empty())
            entry["problem"] = "damaged: " + gbkToUtf8(summary.problem);
        versions.push_back(std::move(entry));
    }
    io.out << ordered_json{{"versions", versions}}.dump(2) << '\n';
}

void restore(const Options& o, CommandIo& io) {
    refuseOverRecordFile(o.out, o.file);
    StoredHeader header;
    std::vector<LedgerRecord> records;
    if ((io.status = readLedgerFile(o.file, o.password, header, records, io.err)) != EXIT_OK)
        return;
    const std::vector<HistoryVersion> versions = listVersions(o.file);
    const auto found =
        std::find_if(versions.begin(), versions.end(), [&](const HistoryVersion& v) { return v.id == o.version; });
    if (found == versions.end())
        throw InputError(o.file + ": no version " + o.version);
    const VersionContents contents = readVersion(*found);
    if (!contents.ok())
        throw InputError(found->path + ": damaged: " + gbkToUtf8(contents.problem));
    writeOrThrow(o.out, contents.bytes);
}

} // namespace

void addFileCommands(CLI::App& app, CommandIo& io) {
    const auto options = std::make_shared<Options>();
    Options& o = *options;
    const auto run = [&io, options](void (*body)(const Options&, CommandIo&)) {
        return [&io, options, body] { body(*options, io); };
    };

    CLI::App* sub =
        command(app, "dump", "Print a record or backup file as JSON: {\"version\", \"user\", \"records\"}.", o);
    sub->add_option("--password", o.password, "the file's password")->required();
    sub->callback(run(dump));

    sub = command(app, "build",
                  "Write a record file from {\"records\": [...]} on standard input. Each record has id, kind, year, "
                  "month, day, item, amount; quantity, writtenOff and note are optional.",
                  o);
    sub->add_option("--user", o.user, "the user name stored in the file")->required();
    sub->add_option("--password", o.password, "the password stored in the file")->required();
    sub->add_option("--format", o.format, "2.0 (the default) or 1.x, without quantities and write-offs")
        ->check(CLI::IsMember({"2.0", "1.x"}));
    sub->callback(run(build));

    sub = command(app, "list-dump", "Print the entries of a quick-input list file (.lio, .lii, .dio) as a JSON array.",
                  o);
    sub->callback(run(listDump));

    sub = command(app, "list-build", "Write a quick-input list file from a JSON array of texts on standard input.", o);
    sub->callback(run(listBuild));

    sub = command(app, "history",
                  "Print the saved versions of a record file, newest first, as {\"versions\": [{\"id\", \"saved\", "
                  "\"records\"}, ...]}; a damaged one has a \"problem\".",
                  o);
    sub->add_option("--password", o.password, "the file's password")->required();
    sub->callback(run(history));

    sub = command(app, "restore",
                  "Write one version of a record file, as it was saved, to OUT (never over a record file).", o);
    sub->add_option("--password", o.password, "the file's password")->required();
    sub->add_option("--version", o.version, "the version's id, as history prints it")->required();
    sub->add_option("--out", o.out, "the file to write")->required();
    sub->callback(run(restore));
}
