#pragma once

#include "core/export/textreport.h"
#include "core/pages/listtable.h"

class LedgerContext;
class QString;
class QWidget;

// "导出至EXCEL" of a statistics dialog: the list as shown into a new workbook, its sheet named
// `table`.
void exportListToWorkbook(const LedgerContext& context, const ListTable& list, const QString& table, QWidget* parent);

// "收支导出为Excel文件": the period's report as a workbook.
void exportWorkbookReport(const LedgerContext& context, CalendarDate from, CalendarDate to, ReportFormat format,
                          QWidget* parent);
