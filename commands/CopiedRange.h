#pragma once

#include "core/text/TextTable.h"

#include <string>

namespace tarnwick {

// A block of a table's cells, its first and last columns and rows included.
struct CellRange {
    int firstCol = 0;
    int firstRow = 0;
    int lastCol = 0;
    int lastRow = 0;
};

// The block as the clipboard takes it from a spreadsheet: tab-separated UTF-8 text, a line per
// row, each ended by a line break; a cell holding a tab or a line break is quoted.
std::string tabSeparatedText(const TextTable& table, CellRange range);

} // namespace tarnwick
