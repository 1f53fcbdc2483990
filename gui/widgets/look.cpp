#include "gui/widgets/look.h"

#include <QPalette>
#include <QWidget>

void blackOnWhite(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase})
        palette.setColor(role, Qt::white);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        palette.setColor(role, Qt::black);
    widget->setPalette(palette);
}
