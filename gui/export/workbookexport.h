#pragma once

#include "core/export/textreport.h"
#include "core/pages/listtable.h"

class QString;
class QWidget;

// "导出至EXCEL" of a statistics dialog: the list as shown into a new workbook, its sheet named
// `table`.
void exportListToWorkbook(const ListTable& list, const QString& table, QWidget* parent);

// "收支导出为Excel文件": the period's report as a workbook.
void exportWorkbookReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to,
                          ReportFormat format, QWidget* parent);
