#pragma once

#include "gui/pages/ledgerpage.h"

class QMenu;

// The statistics page. Its "↓" button pops up the statistics menu, whose commands the main
// window carries out.
class StatisticsPage final : public LedgerPage {
public:
    StatisticsPage(LedgerContext& context, QWidget* parent);
    void refresh() override { refreshStatistics(); }
    void refreshStatistics();
    QMenu* statisticsMenu() const { return m_menu; }

private:
    QMenu* m_menu;
};
