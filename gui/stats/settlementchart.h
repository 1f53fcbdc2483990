#pragma once

#include <QDialog>

#include <vector>

// The twelve months of a settlement as bars of expense and income.
class SettlementChart final : public QDialog {
public:
    SettlementChart(const QString& year, const std::vector<double>& expense, const std::vector<double>& income,
                    QWidget* parent = nullptr);
};
