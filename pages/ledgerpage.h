#pragma once

#include <QWidget>

class MainWindow;

// A page of the main window. Each time it is shown the main window asks it to rebuild its list
// from the ledger.
class LedgerPage : public QWidget {
public:
    LedgerPage(MainWindow& window, QWidget* parent) : QWidget(parent), m_window(window) {}
    virtual void refresh() {}

protected:
    MainWindow& m_window;
};
