#pragma once

#include <QDate>

class QDateEdit;
class QWidget;

// A date picker as every page and dialog has it: "yyyy-MM-dd" with a calendar pop-up.
QDateEdit* datePicker(const QDate& date, const char* name, QWidget* parent);
