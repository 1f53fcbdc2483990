#pragma once

// The commands of the statistics menu, carried out by the main window.
enum class StatisticsCommand {
    RecordQuery,      // 自定义查询统计收支记录
    DailyRecords,     // 详细显示每天所有收支记录
    ExpenseShare,     // 统计各个支出项目所占比例
    IncomeShare,      // 统计各个收入项目所占比例
    DebtQuery,        // 自定义查询统计债务记录
    DailyDebts,       // 详细显示每天所有债务记录
    TextReportI,      // 收支导出为文本文件 > 格式Ⅰ
    TextReportII,     // 收支导出为文本文件 > 格式Ⅱ
    WorkbookReportI,  // 收支导出为Excel文件 > 格式Ⅰ
    WorkbookReportII, // 收支导出为Excel文件 > 格式Ⅱ
};
