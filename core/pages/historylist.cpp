#include "core/pages/historylist.h"

#include "core/ledger/gbk.h"

#include <array>
#include <cstdio>

std::string sizeText(std::uint64_t bytes) {
    std::array<char, 32> text{};
    if (bytes < 1024)
        std::snprintf(text.data(), text.size(), "%llu B", static_cast<unsigned long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(text.data(), text.size(), "%.1f KB", static_cast<double>(bytes) / 1024);
    else
        std::snprintf(text.data(), text.size(), "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    return text.data();
}

ListTable historyList(const std::vector<HistoryVersion>& versions, const std::vector<VersionSummary>& summaries) {
    ListTable list;
    list.columns = makeColumns({{"保存时间", 140, Align::Center},
                                {"记录数", 70, Align::Right},
                                {"大小", 80, Align::Right},
                                {"状态", 160, Align::Center}});
    for (std::size_t i = 0; i < versions.size() && i < summaries.size(); ++i) {
        const VersionSummary& summary = summaries[i];
        const std::string state = summary.problem.empty() ? gbkText("可以恢复") : gbkText("已损坏：") + summary.problem;
        list.rows.push_back({savedText(versions[i].saved),
                             summary.records ? std::to_string(*summary.records) : std::string(),
                             sizeText(versions[i].size), state});
        list.rowKinds.push_back(NO_KIND);
    }
    return list;
}
