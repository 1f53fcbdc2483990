#pragma once

class QWidget;

// Pages, their lists and the statistics dialogs are black text on white whatever the desktop
// theme says; the widget and its children take it.
void blackOnWhite(QWidget* widget);
