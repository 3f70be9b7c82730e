#include "core/TableOperations.h"

#include "core/IntegerText.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tarnwick {

void emptyTable(StringGrid& table) {
    table.clearCells();
}

void fitColumnWidths(StringGrid& table, const TextMeasurer& measurer) {
    constexpr int kGridLineWidth = 1;
    constexpr int kPadding = 5;
    // Tables repeat few distinct texts, so each is measured once.
    const TextPool& pool = TextPool::shared();
    std::vector<int> widthOf(pool.size(), -1);
    widthOf[kEmptyText] = 0;
    std::vector<int> widest(table.ColCount(), 0);
    for (int row = 0; row < table.RowCount(); ++row) {
        const auto ids = table.rowIds(row);
        for (int col = 0; col < table.ColCount(); ++col) {
            int& width = widthOf[ids[col]];
            if (width < 0)
                width = measurer.textWidth(pool.text(ids[col]));
            widest[col] = std::max(widest[col], width);
        }
    }
    for (int col = 0; col < table.ColCount(); ++col)
        table.setColWidths(col, widest[col] + kGridLineWidth + kPadding);
}

void resetFaultyCellList(StringGrid& list) {
    emptyTable(list);
    list.setColCount(1);
    list.setRowCount(2);
}

int faultyCellCount(const StringGrid& list) {
    return list.ColCount() == 1 && list.Cells(0, 0).empty() ? 0 : list.ColCount();
}

void recordFaultyCell(StringGrid& list, int col, int row) {
    recordFaultyCells(list, {{col, row}});
}

void recordFaultyCells(StringGrid& list, const std::vector<CellPosition>& cells) {
    if (cells.empty())
        return;
    const int first = faultyCellCount(list);
    list.setColCount(first + static_cast<int>(cells.size()));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int entry = first + static_cast<int>(i);
        list.setCells(entry, 0, std::to_string(cells[i].col + 1));
        list.setCells(entry, 1, std::to_string(cells[i].row + 1));
    }
}

std::vector<CellPosition> faultyCellPositions(const StringGrid& list) {
    std::vector<CellPosition> positions;
    for (int k = 0; k < faultyCellCount(list); ++k)
        positions.push_back(
            {parseIntegerText(list.Cells(k, 0)) - 1, parseIntegerText(list.Cells(k, 1)) - 1});
    return positions;
}

bool isLoaded(const StringGrid& table) {
    return !table.Cells(0, 0).empty();
}

} // namespace tarnwick
