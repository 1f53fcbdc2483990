#pragma once

#include "pages/ledgerpage.h"

class QMenu;

// The statistics page. Its "↓" button pops up the statistics menu, whose commands go to the
// main window.
class StatisticsPage final : public LedgerPage {
public:
    StatisticsPage(MainWindow& window, QWidget* parent);
    void refresh() override { refreshStatistics(); }
    void refreshStatistics();
    QMenu* statisticsMenu() const { return m_menu; }

private:
    QMenu* m_menu;
};
