#pragma once

#include "core/ledger/ledger.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// A ledger of `count` realistic records (all four kinds, everyday items and notes, some
// quantities) with dates spread over `years` years from `firstYear`.
Ledger realisticLedger(int count, int firstYear, int years);

// Keeps the real time per iteration of every run, so main can print ratios against baselines.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // measured / baseline by benchmark name, 0 when either did not run.
    double ratio(const std::string& measured, const std::string& baseline) const;
    void printRatio(const char* what, const std::string& measured, const std::string& baseline) const;

private:
    std::map<std::string, double> m_times;
};
