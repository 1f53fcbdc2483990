#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A workbook as the two spreadsheet stand-ins build it, written as an Office Open XML file.

struct WorkbookCell {
    std::string text;             // GBK; what a text cell shows
    std::optional<double> number; // set for a cell holding a number
};

struct Worksheet {
    std::string name;                                  // GBK
    std::map<std::pair<int, int>, WorkbookCell> cells; // by (row, column), both from 1
    bool centred = false;
    std::string numberFormat = "General"; // of the whole sheet
};

struct Workbook {
    std::vector<Worksheet> sheets;
};

// False, with the reason, when the file cannot be written.
bool writeWorkbook(const Workbook& workbook, const std::string& path, std::string& error);
