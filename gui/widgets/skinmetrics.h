#pragma once

#include <QSize>
#include <QString>

// The measurements of one size of the program's look. The normal size is built in; the resource
// packs Skin800.rcc and Skin1024.rcc (the "pixel" setting 1 and 2) carry larger ones in
// ":/pack/metrics.json", beside their backgrounds and title-bar bitmaps.
struct SkinMetrics {
    QSize window{780, 495}; // the main window, fixed
    int stripHeight = 26;   // the top strip that drags the window
    int tabHeight = 30;     // the four tab buttons
    int fontPointSize = 9;  // of every window
    double listScale = 0;   // column widths × this; 0: by the font's digit width (made for 6 pixels)
    int rowHeight = 0;      // of list rows; 0: by the font
    int headerHeight = 19;  // of list headers
    int scrollBarExtent = 12;
    int fieldsWidth = 280; // the fields beside the list of the month pages
    QString background = QStringLiteral(":/images/background.png");
    QString titleImages = QStringLiteral(":/images/title"); // + "-help.png", "-minimise-hot.png" ...
};

// The metrics of the pack registered for `pixel`, or the built-in ones when `pixel` is 0 or the
// pack holds none.
SkinMetrics loadSkinMetrics(int pixel);

// The metrics of this run, set once at start.
const SkinMetrics& skinMetrics();
void setSkinMetrics(const SkinMetrics& metrics);
