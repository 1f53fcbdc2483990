#pragma once

#include "core/export/textreport.h"

class LedgerContext;
class QWidget;

// "收支导出为文本文件": asks for the file, writes the report of the period, says where it went.
void exportTextReport(const LedgerContext& context, CalendarDate from, CalendarDate to, ReportFormat format,
                      QWidget* parent);
