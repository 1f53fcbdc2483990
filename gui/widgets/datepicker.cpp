#include "gui/widgets/datepicker.h"

#include <QDateEdit>

QDateEdit* datePicker(const QDate& date, const char* name, QWidget* parent) {
    auto* picker = new QDateEdit(date, parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    return picker;
}
