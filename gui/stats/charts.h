#pragma once

#include "core/stats/dialoglists.h"

class QWidget;

// A pie chart of item shares: the largest items, the small ones gathered as "其他".
QWidget* sharePieChart(const std::vector<ItemShare>& shares, QWidget* parent);
