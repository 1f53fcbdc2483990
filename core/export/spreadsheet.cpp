#include "core/export/spreadsheet.h"

#include "core/ledger/gbk.h"
#include "core/stats/figures.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

constexpr int CENTRED = 3;
const std::string TEXT_FORMAT = "@";
const std::string AMOUNT_FORMAT = "0.00_   ";

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// What a spreadsheet takes for a number: the whole text, blanks around it allowed.
std::optional<double> asNumber(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    double value = 0;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

std::string fixed(double value, const char* format) {
    std::array<char, 400> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), format, value);
    return std::string(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

} // namespace

bool SpreadsheetLink::open() {
    m_open = true;
    return m_open;
}

void SpreadsheetLink::newWorkbook(const std::string&) {
    m_workbook = Workbook{
        {{"Sheet1", {}, false, "General"}, {"Sheet2", {}, false, "General"}, {"Sheet3", {}, false, "General"}}};
    m_selected.reset();
}

Worksheet* SpreadsheetLink::sheetNamed(const std::string& name) {
    for (Worksheet& sheet : m_workbook.sheets)
        if (lower(sheet.name) == lower(name))
            return &sheet;
    m_error = gbkText("工作簿中没有名为“") + name + gbkText("”的工作表。");
    return nullptr;
}

bool SpreadsheetLink::selectSheet(const std::string& name) {
    Worksheet* sheet = sheetNamed(name);
    if (sheet)
        m_selected = static_cast<std::size_t>(sheet - m_workbook.sheets.data());
    return sheet != nullptr;
}

bool SpreadsheetLink::deleteSheet(const std::string& name) {
    Worksheet* sheet = sheetNamed(name);
    if (!sheet)
        return false;
    const auto at = static_cast<std::size_t>(sheet - m_workbook.sheets.data());
    if (m_selected && *m_selected > at)
        --*m_selected;
    else if (m_selected && *m_selected == at)
        m_selected.reset();
    m_workbook.sheets.erase(m_workbook.sheets.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

void SpreadsheetLink::setAlignment(int code) {
    if (m_selected)
        m_workbook.sheets[*m_selected].centred = code == CENTRED;
}

void SpreadsheetLink::setNumberFormat(const std::string& format) {
    if (m_selected)
        m_workbook.sheets[*m_selected].numberFormat = format;
}

void SpreadsheetLink::setCell(int row, int column, const std::string& text) {
    if (!m_selected)
        return;
    Worksheet& sheet = m_workbook.sheets[*m_selected];
    WorkbookCell cell{text, std::nullopt};
    if (sheet.numberFormat != TEXT_FORMAT)
        cell.number = asNumber(text);
    sheet.cells[{row, column}] = cell;
}

void SpreadsheetLink::setNumber(int row, int column, double value, int decimals) {
    std::array<char, 16> format{};
    std::snprintf(format.data(), format.size(), "%%.%dlf", decimals);
    setCell(row, column, fixed(value, format.data()));
}

bool SpreadsheetLink::saveAs(const std::string& path, std::string& error) {
    if (!m_open) {
        error = gbkText("没有打开的电子表格。");
        return false;
    }
    return writeWorkbook(m_workbook, path, error);
}

void SpreadsheetLink::close() {
    m_workbook = {};
    m_selected.reset();
    m_open = false;
}

bool buildWorkbookReport(SpreadsheetLink& link, const std::vector<LedgerRecord>& records, CalendarDate from,
                         CalendarDate to, ReportFormat format) {
    link.newWorkbook({});
    if (!link.selectSheet("sheet1") || !link.deleteSheet("sheet2") || !link.deleteSheet("sheet3"))
        return false;
    link.setAlignment(CENTRED);
    const bool one = format == ReportFormat::I;
    const char* const headings[2][5] = {{"  日期  ", "  类别  ", "  项目  ", "  金额  ", "  备注  "},
                                        {"  日期  ", "  项目  ", "  收入  ", "  支出  ", "  备注  "}};
    for (int column = 0; column < 5; ++column)
        link.setCell(1, column + 1, gbkText(headings[one ? 0 : 1][column]));

    double expense = 0, income = 0;
    int row = 2;
    for (const std::size_t at : reportOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        const double total = recordTotal(r);
        const bool isExpense = r.kind == RecordKind::Expense;
        link.setNumberFormat(TEXT_FORMAT);
        link.setCell(row, 1, formatDate(r.year, r.month, r.day));
        if (one) {
            link.setCell(row, 2, kindName(r.kind));
            link.setCell(row, 3, r.item);
            link.setNumberFormat(AMOUNT_FORMAT);
            link.setNumber(row, 4, total, 6);
        } else {
            link.setCell(row, 2, r.item);
            link.setNumberFormat(AMOUNT_FORMAT);
            link.setNumber(row, isExpense ? 4 : 3, total, 6);
        }
        link.setNumberFormat(TEXT_FORMAT);
        link.setCell(row, 5, r.note);
        (isExpense ? expense : income) += total;
        ++row;
    }

    const int t = row + 2;
    const std::string period = periodText(from, to);
    const auto amount = [](double value) { return fixed(value, "%13.2f"); };
    if (one) {
        const std::pair<const char*, double> totals[] = {
            {"支出合计", expense}, {"收入合计", income}, {"结余合计", income - expense}};
        for (int k = 0; k < 3; ++k) {
            link.setCell(t + k, 3, gbkText(totals[k].first));
            link.setNumberFormat(TEXT_FORMAT);
            link.setCell(t + k, 4, amount(totals[k].second));
            link.setCell(t + k, 5, period);
        }
    } else {
        link.setCell(t, 2, gbkText("合计"));
        link.setNumberFormat(TEXT_FORMAT);
        link.setCell(t, 3, amount(income));
        link.setNumberFormat(TEXT_FORMAT);
        link.setCell(t, 4, amount(expense));
        link.setCell(t, 5, period);
        link.setCell(t + 1, 2, gbkText("结余"));
        link.setNumberFormat(TEXT_FORMAT);
        link.setCell(t + 1, 3, amount(income - expense));
        link.setCell(t + 1, 5, period);
    }
    return true;
}
