#pragma once

#include "core/export/textreport.h"
#include "core/export/workbook.h"

#include <optional>
#include <string>

// The "收支导出为Excel文件" reports are built by remote-controlling a spreadsheet application one
// call at a time. This machine has none, so SpreadsheetLink drives the program's own in-process
// spreadsheet object, which behaves as the reports expect: a new workbook has the sheets
// "Sheet1" to "Sheet3" (names found whatever their letter case), number formats apply to the
// whole sheet, and a value set while the format is a number format becomes a number.
class SpreadsheetLink {
public:
    // False when the spreadsheet object cannot be created.
    bool open();
    void newWorkbook(const std::string& templatePath);
    bool selectSheet(const std::string& name);
    bool deleteSheet(const std::string& name);
    void setAlignment(int code); // 3 centres
    void setNumberFormat(const std::string& format);
    void setCell(int row, int column, const std::string& text);
    void setNumber(int row, int column, double value, int decimals);
    bool saveAs(const std::string& path, std::string& error);
    void close();

    const Workbook& workbook() const { return m_workbook; }
    // The error of the last call that failed.
    const std::string& error() const { return m_error; }

private:
    Worksheet* sheetNamed(const std::string& name);

    bool m_open = false;
    Workbook m_workbook;
    std::optional<std::size_t> m_selected;
    std::string m_error;
};

// The report of the period in the workbook, call by call as the text report's lines. False, with
// the link's error, when a call failed.
bool buildWorkbookReport(SpreadsheetLink& link, const std::vector<LedgerRecord>& records, CalendarDate from,
                         CalendarDate to, ReportFormat format);
