#pragma once

#include "core/stats/dialoglists.h"

class QWidget;

// A pie chart of item shares: the largest items, the small ones gathered as "其他", each labelled
// with the share the list shows, in a legend below it that names the items no pie can show.
QWidget* sharePieChart(const std::vector<ItemShare>& shares, QWidget* parent);
