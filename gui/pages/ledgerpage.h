#pragma once

#include <QWidget>

class LedgerContext;

// A page of the main window. Each time it is shown the main window asks it to rebuild its list
// from the ledger.
class LedgerPage : public QWidget {
public:
    LedgerPage(LedgerContext& context, QWidget* parent) : QWidget(parent), m_context(context) {}
    virtual void refresh() {}

protected:
    LedgerContext& m_context;
};
