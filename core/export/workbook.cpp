#include "core/export/workbook.h"

#include "core/ledger/gbk.h"

#include <xlsxwriter.h>

bool writeWorkbook(const Workbook& book, const std::string& path, std::string& error) {
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook) {
        error = "the workbook " + path + " cannot be created";
        return false;
    }
    for (const Worksheet& sheet : book.sheets) {
        lxw_worksheet* worksheet = workbook_add_worksheet(workbook, gbkToUtf8(sheet.name).c_str());
        if (!worksheet) {
            error = "the worksheet name cannot be used: " + gbkToUtf8(sheet.name);
            workbook_close(workbook);
            return false;
        }
        // Numbers show with the sheet's number format unless that keeps them as text ("@"), which
        // a spreadsheet shows as the number's plain digits.
        lxw_format* text = workbook_add_format(workbook);
        lxw_format* number = workbook_add_format(workbook);
        format_set_num_format(text, "@");
        format_set_num_format(number, sheet.numberFormat == "@" ? "0.00_   " : sheet.numberFormat.c_str());
        if (sheet.centred) {
            format_set_align(text, LXW_ALIGN_CENTER);
            format_set_align(number, LXW_ALIGN_CENTER);
        }
        for (const auto& [at, cell] : sheet.cells) {
            const auto row = static_cast<lxw_row_t>(at.first - 1);
            const auto column = static_cast<lxw_col_t>(at.second - 1);
            if (cell.number)
                worksheet_write_number(worksheet, row, column, *cell.number, number);
            else
                worksheet_write_string(worksheet, row, column, gbkToUtf8(cell.text).c_str(), text);
        }
    }
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
        error = std::string("the workbook cannot be written: ") + lxw_strerror(result);
        return false;
    }
    return true;
}
