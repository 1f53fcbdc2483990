#pragma once

#include "core/ledger/history.h"
#include "core/pages/listtable.h"

#include <vector>

// The list of the "历史版本" dialog: one row per version, newest first, with when it was saved,
// its number of records, its size and, for a version that cannot be restored, why.
ListTable historyList(const std::vector<HistoryVersion>& versions, const std::vector<VersionSummary>& summaries);

// "12.3 KB", "4.5 MB": a size as the list shows it.
std::string sizeText(std::uint64_t bytes);
