#pragma once

#include "commands/StringGrid.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tarnwick::test {

using Rows = std::vector<std::vector<std::string>>;

// An input table as a load leaves it: the sheet's rows, then two blank rows.
inline StringGrid inputTable(const Rows& rows) {
    std::size_t columns = 1;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    StringGrid table(static_cast<int>(columns), static_cast<int>(rows.size()) + 2, 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.setCells(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
    return table;
}

inline std::vector<std::string> row(const StringGrid& table, int r) {
    std::vector<std::string> cells;
    for (int c = 0; c < table.ColCount(); ++c)
        cells.push_back(table.Cells(c, r));
    return cells;
}

inline std::vector<std::string> column(const StringGrid& table, int c) {
    std::vector<std::string> cells;
    for (int r = 0; r < table.RowCount(); ++r)
        cells.push_back(table.Cells(c, r));
    return cells;
}

} // namespace tarnwick::test
