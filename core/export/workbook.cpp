#include "core/export/workbook.h"

#include "core/ledger/filestore.h"
#include "core/ledger/gbk.h"

#include <xlsxwriter.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The library prints its own "[ERROR]" lines to standard error; the program reports every
// failure itself, in its own words, so they are kept off the terminal while it works.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0 && ::dup2(null, STDERR_FILENO) < 0) {
            ::close(m_saved);
            m_saved = -1;
        }
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};

// One of the program's messages (UTF-8 here, GBK in the result) with its %s filled in order.
std::string message(const char* utf8, std::initializer_list<std::string> values) {
    std::string text = gbkText(utf8);
    for (const std::string& value : values) {
        const std::size_t at = text.find("%s");
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
    }
    return text;
}

std::string reason(lxw_error error) { return lxw_strerror(error); }

std::string cellName(int row, int column) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%d", row);
    std::string name = buffer.data();
    std::snprintf(buffer.data(), buffer.size(), "%d", column);
    return message("第%s行第%s列", {name, buffer.data()});
}

// Fills an open workbook from `book`; false, with the reason, at the first call that failed.
bool fill(lxw_workbook* workbook, const Workbook& book, std::string& error) {
    for (const Worksheet& sheet : book.sheets) {
        const std::string name = gbkToUtf8(sheet.name);
        // Asked first, so the library has no reason to complain on its own.
        if (const lxw_error invalid = workbook_validate_sheet_name(workbook, name.c_str()); invalid != LXW_NO_ERROR) {
            error = message("工作表名“%s”无法使用（%s）。", {sheet.name, reason(invalid)});
            return false;
        }
        lxw_worksheet* worksheet = workbook_add_worksheet(workbook, name.c_str());
        // Numbers show with the sheet's number format unless that keeps them as text ("@"), which
        // a spreadsheet shows as the number's plain digits.
        lxw_format* text = workbook_add_format(workbook);
        lxw_format* number = workbook_add_format(workbook);
        if (!worksheet || !text || !number) {
            error = message("工作表“%s”无法创建。", {sheet.name});
            return false;
        }
        format_set_num_format(text, "@");
        format_set_num_format(number, sheet.numberFormat == "@" ? "0.00_   " : sheet.numberFormat.c_str());
        if (sheet.centred) {
            format_set_align(text, LXW_ALIGN_CENTER);
            format_set_align(number, LXW_ALIGN_CENTER);
        }
        for (const auto& [at, cell] : sheet.cells) {
            const auto row = static_cast<lxw_row_t>(at.first - 1);
            const auto column = static_cast<lxw_col_t>(at.second - 1);
            // A number that is not finite has no place in the file format: it is written as text.
            const lxw_error written =
                cell.number && std::isfinite(*cell.number)
                    ? worksheet_write_number(worksheet, row, column, *cell.number, number)
                    : worksheet_write_string(worksheet, row, column, gbkToUtf8(cell.text).c_str(), text);
            if (written != LXW_NO_ERROR) {
                error = message("%s的单元格无法写入工作簿（%s）。", {cellName(at.first, at.second), reason(written)});
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool writeWorkbook(const Workbook& book, const std::string& path, std::string& error) {
    // Written next to the target and put in place only when whole, like every file the program
    // writes; a workbook that was there stays until then.
    AtomicFile file(path);
    const std::string shownPath = shownGbk(path);
    if (!file.open()) {
        error = message("工作簿%s无法创建。", {shownPath});
        return false;
    }
    const QuietStandardError quiet;
    lxw_workbook* workbook = workbook_new(file.temporaryPath().c_str());
    if (!workbook) {
        error = message("工作簿%s无法创建。", {shownPath});
        return false;
    }
    const bool filled = fill(workbook, book, error);
    const lxw_error closed = workbook_close(workbook); // frees the workbook whatever happened
    if (!filled)
        return false;
    if (closed != LXW_NO_ERROR) {
        error = message("工作簿%s无法写入（%s）。", {shownPath, reason(closed)});
        return false;
    }
    if (!file.commit()) {
        error = message("工作簿%s无法写入。", {shownPath});
        return false;
    }
    return true;
}
