#include "core/export/spreadsheet.h"
#include "core/export/workbookdriver.h"
#include "core/ledger/gbk.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sys/stat.h>

namespace {

std::string g(const char* utf8) { return gbkText(utf8); }

// A member of a workbook file (a zip archive), read with Python's standard library.
std::string workbookPart(const std::string& path, const std::string& member) {
    const std::string command = "python3 -c \"import sys,zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read("
                                "sys.argv[2]).decode())\" '" +
                                path + "' '" + member + "'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

TEST(WorkbookDriver, StatementsAreBuiltAsTheDriverExpectsThem) {
    const std::vector<std::string> headings = {g("日期"), g("金额")};
    EXPECT_EQ(createTableStatement(g("统计记录"), headings),
              g("CREATE TABLE 统计记录 (  [日期] TEXT,  [金额] TEXT ) "));
    EXPECT_EQ(insertStatement(g("统计记录"), headings, {"2009-01-02", "12.50"}),
              g("INSERT INTO 统计记录 ( [日期] ,  [金额] ) VALUES( '2009-01-02' ,  '12.50' )"));
    EXPECT_EQ(insertStatement("t", {"a", "b"}, {"O'Neil", ""}),
              "INSERT INTO t ( [a] ,  [b] ) VALUES( 'O''Neil' ,  '' )");
    EXPECT_NE(findSpreadsheetDriver().find("Excel"), std::string::npos);
    EXPECT_EQ(connectionString("D", "/tmp/a b.xlsx"),
              "DRIVER={D};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"/tmp/a b.xlsx\";DBQ=/tmp/a b.xlsx");
}

TEST(WorkbookDriver, TheDriverWritesTheTableAsTextCells) {
    TempDir dir;
    ListTable list;
    list.columns = {
        {g("项目"), 100, Align::Center}, {g("金额"), 0, Align::Right}, {g("百分比（%）"), 220, Align::Center}};
    list.rows = {{g("早饭"), "8.00", "80.00"}, {"O'Neil's", "2.00", "20.00"}};
    std::string error;
    ASSERT_TRUE(exportListToWorkbook(list, g("各个支出项目所占比例"), dir.path() + "share.xlsx", error)) << error;
    const std::string book = workbookPart(dir.path() + "share.xlsx", "xl/workbook.xml");
    EXPECT_NE(book.find("<sheet name=\"各个支出项目所占比例\""), std::string::npos) << book;
    const std::string strings = workbookPart(dir.path() + "share.xlsx", "xl/sharedStrings.xml");
    for (const char* text : {"项目", "百分比（%）", "早饭", "O'Neil's", "80.00"})
        EXPECT_NE(strings.find(text), std::string::npos) << text; // the apostrophes intact
    // Every cell with a value is a text cell: as many values as shared-string references.
    const std::string cells = workbookPart(dir.path() + "share.xlsx", "xl/worksheets/sheet1.xml");
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = cells.find(what); at != std::string::npos; at = cells.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<v>"), 9u);
    EXPECT_EQ(count("t=\"s\""), 9u);

    // A statement the driver cannot read ends the export with its error.
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectionString(findSpreadsheetDriver(), dir.path() + "x.xlsx"), error));
    EXPECT_FALSE(connection.execute("CREATE TABLE t (  [a]] TEXT ) ", error));
    EXPECT_NE(error.find("syntax error"), std::string::npos);
    EXPECT_FALSE(connection.execute("INSERT INTO t ( [a] ) VALUES( 'x' )", error)); // no such table
    EXPECT_FALSE(WorkbookConnection().open("DRIVER={Other};DBQ=x", error));
}

LedgerRecord record(RecordKind kind, int day, const char* quantity, const char* amount) {
    LedgerRecord r;
    r.kind = kind;
    r.year = 2009;
    r.month = 1;
    r.day = day;
    r.item = g("可乐");
    r.quantity = quantity;
    r.amount = amount;
    return r;
}

TEST(SpreadsheetLink, ReportCellsFollowTheNumberFormatInForce) {
    const std::vector<LedgerRecord> records = {record(RecordKind::Income, 2, "1", "100"),
                                               record(RecordKind::Expense, 1, "3", "2.50"),
                                               record(RecordKind::Lent, 1, "1", "50")};
    SpreadsheetLink link;
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(buildWorkbookReport(link, records, {2009, 1, 1}, {2009, 1, 31}, ReportFormat::II));
    ASSERT_EQ(link.workbook().sheets.size(), 1u);
    const Worksheet& sheet = link.workbook().sheets[0];
    const auto cell = [&](int row, int column) { return sheet.cells.at({row, column}); };
    EXPECT_EQ(cell(1, 3).text, g("  收入  "));
    EXPECT_EQ(cell(2, 1).text, "2009-01-01");
    EXPECT_EQ(cell(2, 4).text, "7.500000"); // an expense in column 4, handed over with six decimals
    EXPECT_EQ(cell(2, 4).number, 7.5);
    EXPECT_FALSE(sheet.cells.count({2, 3}));
    EXPECT_EQ(cell(3, 3).number, 100.0); // an income in column 3
    EXPECT_EQ(cell(6, 2).text, g("合计"));
    EXPECT_EQ(cell(6, 3).text, "       100.00"); // totals stay texts, blanks and all
    EXPECT_FALSE(cell(6, 3).number);
    EXPECT_EQ(cell(7, 3).text, "        92.50");
    EXPECT_EQ(cell(7, 5).text, "2009-01-01" + g(" 至 ") + "2009-01-31  31" + g("天"));
    EXPECT_TRUE(sheet.centred);
    EXPECT_EQ(sheet.numberFormat, "@");

    ASSERT_TRUE(buildWorkbookReport(link, {}, {2009, 1, 1}, {2009, 1, 1}, ReportFormat::I));
    const Worksheet& empty = link.workbook().sheets[0];
    EXPECT_EQ(empty.cells.at({4, 3}).text, g("支出合计")); // rows 2 and 3 stay empty
    EXPECT_EQ(empty.cells.at({6, 4}).text, "         0.00");
    EXPECT_FALSE(link.deleteSheet("sheet9"));

    TempDir dir;
    std::string error;
    ASSERT_TRUE(link.saveAs(dir.path() + "report.xlsx", error)) << error;
    EXPECT_NE(workbookPart(dir.path() + "report.xlsx", "xl/workbook.xml").find("<sheet name=\"Sheet1\""),
              std::string::npos);
}

TEST(Workbook, EveryCellIsWrittenOrTheWorkbookIsNot) {
    TempDir dir;
    std::string error;
    // A number that is not finite is written as its text, and the file stays readable.
    Worksheet sheet{"Sheet1", {}, false, "General"};
    sheet.cells[{1, 1}] = WorkbookCell{"inf", std::numeric_limits<double>::infinity()};
    sheet.cells[{1, 2}] = WorkbookCell{"nan", std::nan("")};
    sheet.cells[{1, 3}] = WorkbookCell{"7.5", 7.5};
    ASSERT_TRUE(writeWorkbook(Workbook{{sheet}}, dir.path() + "book.xlsx", error)) << error;
    const std::string cells = workbookPart(dir.path() + "book.xlsx", "xl/worksheets/sheet1.xml");
    EXPECT_NE(cells.find("<v>7.5</v>"), std::string::npos) << cells;
    EXPECT_EQ(cells.find("inf</v>"), std::string::npos) << cells;
    EXPECT_NE(workbookPart(dir.path() + "book.xlsx", "xl/sharedStrings.xml").find("nan"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat((dir.path() + "book.xlsx").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A cell the library refuses ends the export with the program's own message; the workbook that
    // stood there stays as it was, and nothing is left beside it.
    const std::string before = dir.read("book.xlsx");
    Worksheet tooLong{"Sheet1", {}, false, "@"};
    tooLong.cells[{3, 2}] = WorkbookCell{std::string(40000, 'x'), std::nullopt};
    EXPECT_FALSE(writeWorkbook(Workbook{{tooLong}}, dir.path() + "book.xlsx", error));
    EXPECT_NE(error.find(g("第3行第2列")), std::string::npos) << error;
    EXPECT_EQ(dir.read("book.xlsx"), before);
    EXPECT_FALSE(dir.exists("book.xlsx.saving"));
    EXPECT_FALSE(writeWorkbook(Workbook{{Worksheet{"a[b]", {}, false, "@"}}}, dir.path() + "bad.xlsx", error));
    EXPECT_FALSE(dir.exists("bad.xlsx"));
}

TEST(WorkbookDriver, APathHoldingTheSeparatorStillNamesItsOwnFile) {
    TempDir dir;
    ListTable list;
    list.columns = {{"a", 10, Align::Center}};
    list.rows = {{"1"}};
    std::string error;
    ASSERT_TRUE(exportListToWorkbook(list, "t", dir.path() + "a\";DBQ=b.xlsx", error)) << error;
    EXPECT_TRUE(dir.exists("a\";DBQ=b.xlsx"));
    EXPECT_FALSE(dir.exists("a"));
}

} // namespace
