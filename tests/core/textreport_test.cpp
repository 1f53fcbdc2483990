#include "core/export/textreport.h"
#include "core/ledger/gbk.h"

#include <gtest/gtest.h>

namespace {

std::string g(const char* utf8) { return gbkText(utf8); }
std::string sp(std::size_t n) { return std::string(n, ' '); }

LedgerRecord record(RecordKind kind, int day, const char* item, const char* quantity, const char* amount,
                    const char* note) {
    LedgerRecord r;
    r.kind = kind;
    r.year = 2009;
    r.month = 1;
    r.day = day;
    r.item = g(item);
    r.quantity = quantity;
    r.amount = amount;
    r.note = g(note);
    return r;
}

const std::vector<LedgerRecord> RECORDS = {
    record(RecordKind::Expense, 2, "早饭", "1", "5.5", ""),
    record(RecordKind::Income, 2, "工资", "1", "100", "月薪"),
    record(RecordKind::Lent, 1, "老王", "1", "50", ""),
    record(RecordKind::Expense, 1, "abcdefghijklmnopqrstuv", "3", "2.5", "123456789012345"),
    record(RecordKind::Expense, 1, "药", "1", "1", "两行\r\n备注"),
};
constexpr CalendarDate JAN_1{2009, 1, 1};
constexpr CalendarDate JAN_31{2009, 1, 31};

const std::string HYPHENS(114, '-');

TEST(TextReport, FormatOneByteForByte) {
    const std::string period = "2009-01-01" + g(" 至 ") + "2009-01-31  31" + g("天");
    const std::string expected =
        sp(2) + g("日期") + sp(9) + g("类别") + sp(6) + g("项目") + sp(25) + g("金额") + sp(10) + g("备注") + "\r\n" +
        HYPHENS + "\r\n" +
        // an item over 20 bytes pushes the line on; a 15-byte note gets no blanks
        "2009-01-01" + sp(5) + g("支出") + sp(6) + "abcdefghijklmnopqrstuv" + sp(9) + "7.50" + sp(10) +
        "123456789012345\r\n" +
        // a note with a line break is written with it
        "2009-01-01" + sp(5) + g("支出") + sp(6) + g("药") + sp(18) + sp(9) + "1.00" + sp(10) + g("两行\r\n备注") +
        sp(5) + "\r\n" + "2009-01-02" + sp(5) + g("支出") + sp(6) + g("早饭") + sp(16) + sp(9) + "5.50" + sp(10) +
        sp(15) + "\r\n" + "2009-01-02" + sp(5) + g("收入") + sp(6) + g("工资") + sp(16) + sp(7) + "100.00" + sp(10) +
        g("月薪") + sp(11) + "\r\n" + "\r\n" + sp(25) + g("支出合计") + sp(12) + sp(8) + "14.00" + sp(10) + period +
        "\r\n" + sp(25) + g("收入合计") + sp(12) + sp(7) + "100.00" + sp(10) + period + "\r\n" + sp(25) +
        g("结余合计") + sp(12) + sp(8) + "86.00" + sp(10) + period + "\r\n";
    EXPECT_EQ(textReport(RECORDS, JAN_1, JAN_31, ReportFormat::I), expected);
}

TEST(TextReport, FormatTwoByteForByte) {
    const std::vector<LedgerRecord> records = {record(RecordKind::Income, 5, "工资", "1", "3", ""),
                                               record(RecordKind::Expense, 5, "早饭", "1", "8", "x")};
    const std::string period = "2009-01-05" + g(" 至 ") + "2009-01-05  1" + g("天");
    const std::string expected = sp(2) + g("日期") + sp(10) + g("项目") + sp(27) + g("收入") + sp(13) + g("支出") +
                                 sp(8) + g("备注") + "\r\n" + HYPHENS + "\r\n" +
                                 // income ends at byte 50, expense at byte 68
                                 "2009-01-05" + sp(5) + g("工资") + sp(16) + sp(11) + "3.00" + sp(26) + sp(15) +
                                 "\r\n" + "2009-01-05" + sp(5) + g("早饭") + sp(16) + sp(29) + "8.00" + sp(8) + "x" +
                                 sp(14) + "\r\n" + "\r\n" + sp(15) + g("合计") + sp(16) + sp(11) + "3.00" + sp(14) +
                                 "8.00" + sp(8) + period + "\r\n" + sp(15) + g("结余") + sp(16) + sp(10) + "-5.00" +
                                 sp(26) + period + "\r\n";
    EXPECT_EQ(textReport(records, {2009, 1, 5}, {2009, 1, 5}, ReportFormat::II), expected);
}

TEST(TextReport, AReversedPeriodHasOnlyTheTitleAndZeroTotals) {
    const std::string report = textReport(RECORDS, JAN_31, JAN_1, ReportFormat::I);
    const std::string period = "2009-01-31" + g(" 至 ") + "2009-01-01  -29" + g("天");
    const std::string afterHyphens = report.substr(report.find(HYPHENS) + HYPHENS.size() + 2);
    EXPECT_EQ(afterHyphens.substr(0, 2 + 25 + 8 + 12 + 13), "\r\n" + sp(25) + g("支出合计") + sp(12) + sp(9) + "0.00");
    EXPECT_NE(report.find(period + "\r\n"), std::string::npos);
    EXPECT_EQ(report.find("2009-01-02"), std::string::npos);
}

} // namespace
