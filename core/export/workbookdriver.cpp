#include "core/export/workbookdriver.h"

#include <string_view>

namespace {

constexpr const char* BUILT_IN_DRIVER = "Quillhaven Excel Workbook Driver (*.xlsx)";
constexpr std::size_t HEADING_BYTES = 99;

// Reads the statements back the way they were built; `at` moves past what was read.
class StatementReader {
public:
    explicit StatementReader(std::string_view text) : m_text(text) {}

    bool literal(std::string_view expected) {
        if (m_text.substr(m_at, expected.size()) != expected)
            return false;
        m_at += expected.size();
        return true;
    }
    // Text up to `end`, which is consumed too.
    bool until(std::string_view end, std::string& into) {
        const std::size_t found = m_text.find(end, m_at);
        if (found == std::string_view::npos)
            return false;
        into.assign(m_text.substr(m_at, found - m_at));
        m_at = found + end.size();
        return true;
    }
    // A quoted text: apostrophes, with '' standing for one inside.
    bool quoted(std::string& into) {
        if (!literal("'"))
            return false;
        into.clear();
        while (m_at < m_text.size()) {
            if (m_text[m_at] != '\'') {
                into += m_text[m_at++];
                continue;
            }
            if (m_text.substr(m_at, 2) == "''") {
                into += '\'';
                m_at += 2;
                continue;
            }
            ++m_at;
            return true;
        }
        return false;
    }
    bool done() const { return m_at == m_text.size(); }
    std::size_t at() const { return m_at; }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

std::string notUnderstood(const std::string& statement, std::size_t at) {
    return "[Excel Workbook Driver] syntax error at byte " + std::to_string(at) + " of: " + statement;
}

// " [a] X, [b] X" or " [a] , [b] " between the parentheses: the bracketed names in order.
bool bracketedNames(StatementReader& reader, std::string_view after, std::size_t count,
                    std::vector<std::string>& names) {
    for (std::size_t i = 0; i < count || count == 0; ++i) {
        if (i > 0 && !reader.literal(", "))
            return count == 0 && i > 0;
        std::string name;
        if (!reader.literal(" [") || !reader.until("]", name) || !reader.literal(after))
            return false;
        names.push_back(name);
    }
    return true;
}

} // namespace

std::vector<std::string> installedDrivers() { return {BUILT_IN_DRIVER}; }

std::string findSpreadsheetDriver() {
    for (const std::string& driver : installedDrivers())
        if (driver.find("Excel") != std::string::npos)
            return driver;
    return {};
}

std::string connectionString(const std::string& driver, const std::string& workbookPath) {
    return "DRIVER={" + driver + "};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" + workbookPath +
           "\";DBQ=" + workbookPath;
}

std::string createTableStatement(const std::string& table, const std::vector<std::string>& headings) {
    std::string definitions;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0)
            definitions += ", ";
        definitions += " [" + headings[i] + "] TEXT";
    }
    return "CREATE TABLE " + table + " ( " + definitions + " ) ";
}

std::string insertStatement(const std::string& table, const std::vector<std::string>& headings,
                            const std::vector<std::string>& cells) {
    std::string names, values;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0) {
            names += ", ";
            values += ", ";
        }
        names += " [" + headings[i] + "] ";
        std::string quoted;
        for (const char c : i < cells.size() ? cells[i] : std::string())
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        values += " '" + quoted + "' ";
    }
    return "INSERT INTO " + table + " (" + names + ")" + " VALUES(" + values + ")";
}

bool WorkbookConnection::open(const std::string& connection, std::string& error) {
    // "...;CREATE_DB=\"P\";DBQ=P" names the same path twice. It is split by that sameness, not by
    // searching for the separator, so a path holding \";DBQ= itself still names its own file.
    constexpr std::string_view CREATE = "CREATE_DB=\"", SEPARATOR = "\";DBQ=";
    StatementReader reader(connection);
    std::string driver;
    const std::size_t create = connection.find(CREATE);
    const bool named = reader.literal("DRIVER={") && reader.until("}", driver) && driver == BUILT_IN_DRIVER &&
                       create != std::string::npos;
    const std::string_view paths =
        named ? std::string_view(connection).substr(create + CREATE.size()) : std::string_view();
    const std::size_t length = paths.size() >= SEPARATOR.size() ? (paths.size() - SEPARATOR.size()) / 2 : 0;
    const std::string_view path = paths.substr(0, length);
    if (!named || length == 0 || paths.substr(length, SEPARATOR.size()) != SEPARATOR ||
        paths.substr(length + SEPARATOR.size()) != path) {
        error = "[Excel Workbook Driver] the connection string names no workbook: " + connection;
        return false;
    }
    m_path = path;
    return true;
}

bool WorkbookConnection::execute(const std::string& statement, std::string& error) {
    StatementReader reader(statement);
    std::string table;
    if (reader.literal("CREATE TABLE ")) {
        std::vector<std::string> headings;
        if (!reader.until(" ( ", table) || !bracketedNames(reader, " TEXT", 0, headings) || !reader.literal(" ) ") ||
            !reader.done()) {
            error = notUnderstood(statement, reader.at());
            return false;
        }
        m_table = Worksheet{table, {}, false, "@"};
        m_headings = headings;
        for (std::size_t i = 0; i < headings.size(); ++i)
            m_table.cells[{1, static_cast<int>(i + 1)}] = WorkbookCell{headings[i], std::nullopt};
        m_nextRow = 2;
        return true;
    }
    std::vector<std::string> names;
    if (!reader.literal("INSERT INTO ") || !reader.until(" (", table) || table != m_table.name ||
        !bracketedNames(reader, " ", m_headings.size(), names) || names != m_headings || !reader.literal(") VALUES(")) {
        error = notUnderstood(statement, reader.at());
        return false;
    }
    std::vector<std::string> values;
    for (std::size_t i = 0; i < m_headings.size(); ++i) {
        std::string value;
        if ((i > 0 && !reader.literal(", ")) || !reader.literal(" ") || !reader.quoted(value) || !reader.literal(" ")) {
            error = notUnderstood(statement, reader.at());
            return false;
        }
        values.push_back(value);
    }
    if (!reader.literal(")") || !reader.done()) {
        error = notUnderstood(statement, reader.at());
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        m_table.cells[{m_nextRow, static_cast<int>(i + 1)}] = WorkbookCell{values[i], std::nullopt};
    ++m_nextRow;
    return true;
}

bool WorkbookConnection::close(std::string& error) {
    if (m_table.name.empty())
        return true;
    return writeWorkbook(Workbook{{m_table}}, m_path, error);
}

bool exportListToWorkbook(const ListTable& list, const std::string& table, const std::string& workbookPath,
                          std::string& error) {
    WorkbookConnection connection;
    if (!connection.open(connectionString(findSpreadsheetDriver(), workbookPath), error))
        return false;
    std::vector<std::string> headings;
    for (const ListColumn& column : list.columns)
        headings.push_back(column.header.substr(0, HEADING_BYTES));
    if (!connection.execute(createTableStatement(table, headings), error))
        return false;
    for (const std::vector<std::string>& row : list.rows)
        if (!connection.execute(insertStatement(table, headings, row), error))
            return false;
    return connection.close(error);
}
