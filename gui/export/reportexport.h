#pragma once

#include "core/export/textreport.h"

class QWidget;

// "收支导出为文本文件": asks for the file, writes the report of the period, says where it went.
void exportTextReport(const std::vector<LedgerRecord>& records, CalendarDate from, CalendarDate to, ReportFormat format,
                      QWidget* parent);
