#pragma once

#include "core/export/workbook.h"
#include "core/pages/listtable.h"

#include <string>
#include <vector>

// The "导出至EXCEL" of the statistics dialogs: the list becomes a table of a workbook "database",
// created and filled by SQL statements handed to a spreadsheet driver. This machine has no such
// driver, so the program carries its own: it reads the statements back and writes the workbook.

// The names of the installed spreadsheet drivers; the program's own is the only one.
std::vector<std::string> installedDrivers();
// The first driver whose name contains "Excel", or "".
std::string findSpreadsheetDriver();

std::string connectionString(const std::string& driver, const std::string& workbookPath);
std::string createTableStatement(const std::string& table, const std::vector<std::string>& headings);
// Each cell text in apostrophes; an apostrophe inside a text is doubled, as SQL quotes it.
std::string insertStatement(const std::string& table, const std::vector<std::string>& headings,
                            const std::vector<std::string>& cells);

// One connection of the program's driver: the table the statements build, written to the
// workbook named in the connection string when the connection closes.
class WorkbookConnection {
public:
    bool open(const std::string& connection, std::string& error);
    bool execute(const std::string& statement, std::string& error);
    bool close(std::string& error);

private:
    std::string m_path;
    Worksheet m_table;
    std::vector<std::string> m_headings;
    int m_nextRow = 2;
};

// The whole export: the table named `table` holding the list's headings and every row, as texts.
// False, with the driver's error, when the driver refused the connection or a statement.
bool exportListToWorkbook(const ListTable& list, const std::string& table, const std::string& workbookPath,
                          std::string& error);
