#pragma once

#include "core/stats/statistics.h"

#include <QDialog>

// The twelve months of a settled year as bars of expense, income and balance.
class SettlementChart final : public QDialog {
public:
    SettlementChart(int year, const StatisticsView& settlement, QWidget* parent = nullptr);
};
