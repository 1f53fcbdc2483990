#include "core/export/textreport.h"

#include "core/ledger/gbk.h"
#include "core/stats/figures.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::string_view LINE_END = "\r\n";

// printf's "%-Ns": the text, then blanks up to N bytes; a longer text is never cut.
void padded(std::string& out, std::string_view text, std::size_t width) {
    out += text;
    if (text.size() < width)
        out.append(width - text.size(), ' ');
}

// printf's "%N.2f".
void number(std::string& out, double value, int width) {
    std::array<char, 400> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%*.2f", width, value);
    out.append(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

void blanks(std::string& out, std::size_t count) { out.append(count, ' '); }

// The title of a format: the captions with the given blank runs before each.
std::string title(ReportFormat format) {
    const std::vector<std::pair<std::size_t, const char*>> parts =
        format == ReportFormat::I ? std::vector<std::pair<std::size_t, const char*>>{{2, "日期"},
                                                                                     {9, "类别"},
                                                                                     {6, "项目"},
                                                                                     {25, "金额"},
                                                                                     {10, "备注"}}
                                  : std::vector<std::pair<std::size_t, const char*>>{
                                        {2, "日期"}, {10, "项目"}, {27, "收入"}, {13, "支出"}, {8, "备注"}};
    std::string line;
    for (const auto& [before, caption] : parts) {
        blanks(line, before);
        line += gbkText(caption);
    }
    return line;
}

} // namespace

std::vector<std::size_t> reportOrder(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to) {
    std::vector<std::size_t> order = periodOrder(records, from, to);
    std::erase_if(order, [&](std::size_t at) {
        return records[at].kind != RecordKind::Expense && records[at].kind != RecordKind::Income;
    });
    return order;
}

std::string periodText(CalendarDate from, CalendarDate to) {
    const long long dayCount = dayNumber(to) - dayNumber(from) + 1;
    std::array<char, 64> days{};
    std::snprintf(days.data(), days.size(), "  %lld", dayCount);
    return formatDate(from.year, from.month, from.day) + gbkText(" 至 ") + formatDate(to.year, to.month, to.day) +
           days.data() + gbkText("天");
}

std::string textReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                       ReportFormat format) {
    std::string out = title(format);
    out += LINE_END;
    out.append(114, '-');
    out += LINE_END;
    double expense = 0, income = 0;
    for (const std::size_t at : reportOrder(records, from, to)) {
        const LedgerRecord& r = records[at];
        const double total = recordTotal(r);
        const bool isExpense = r.kind == RecordKind::Expense;
        (isExpense ? expense : income) += total;
        padded(out, formatDate(r.year, r.month, r.day), 15);
        if (format == ReportFormat::I) {
            padded(out, kindName(r.kind), 10);
            padded(out, r.item, 20);
            number(out, total, 13);
            blanks(out, 10);
        } else {
            padded(out, r.item, 20);
            number(out, total, isExpense ? 33 : 15);
            blanks(out, isExpense ? 8 : 26);
        }
        padded(out, r.note, 15);
        out += LINE_END;
    }

    const std::string period = periodText(from, to);
    out += LINE_END;
    if (format == ReportFormat::I) {
        const std::pair<const char*, double> totals[] = {
            {"支出合计", expense}, {"收入合计", income}, {"结余合计", income - expense}};
        for (const auto& [caption, value] : totals) {
            blanks(out, 25);
            padded(out, gbkText(caption), 20);
            number(out, value, 13);
            blanks(out, 10);
            padded(out, period, 15);
            out += LINE_END;
        }
    } else {
        blanks(out, 15);
        padded(out, gbkText("合计"), 20);
        number(out, income, 15);
        number(out, expense, 18);
        blanks(out, 8);
        padded(out, period, 15);
        out += LINE_END;
        blanks(out, 15);
        padded(out, gbkText("结余"), 20);
        number(out, income - expense, 15);
        blanks(out, 26);
        padded(out, period, 15);
        out += LINE_END;
    }
    return out;
}
