#include "commands/TableOperations.h"

#include "core/text/IntegerText.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

void fitColumnWidths(StringGrid& table, const TextMeasurer& measurer,
                     const std::function<void(std::size_t done, std::size_t total)>& progress) {
    constexpr int kGridLineWidth = 1;
    constexpr int kPadding = 5;
    constexpr std::size_t kCachedLength = 64;
    constexpr std::size_t kCachedTexts = 1 << 16;
    constexpr std::size_t kTextsPerReport = 4096;
    // Tables repeat few distinct texts, so each short one is measured once. A column of a million
    // distinct names would fill the cache for nothing: it starts again when full, which also keeps
    // its freeing in small steps.
    std::unordered_map<std::string, int> widthOf;
    const auto columns = static_cast<std::size_t>(table.ColCount());
    std::size_t texts = 0;
    int col = 0;
    const auto width = [&](std::string_view text) {
        if (progress && ++texts % kTextsPerReport == 0)
            progress(static_cast<std::size_t>(col), columns);
        if (text.empty())
            return 0;
        if (text.size() > kCachedLength)
            return measurer.textWidth(text);
        if (widthOf.size() >= kCachedTexts)
            widthOf.clear();
        const auto [entry, added] = widthOf.try_emplace(std::string(text), 0);
        if (added)
            entry->second = measurer.textWidth(text);
        return entry->second;
    };
    for (; col < table.ColCount(); ++col) {
        int widest = 0;
        table.forEachText(col, 0, table.RowCount(),
                          [&](std::string_view text) { widest = std::max(widest, width(text)); });
        table.setColWidths(col, widest + kGridLineWidth + kPadding);
        if (progress)
            progress(static_cast<std::size_t>(col) + 1, columns);
    }
}

void resetFaultyCellList(StringGrid& list) {
    list.clearCells();
    list.setColCount(1);
    list.setRowCount(2);
}

int faultyCellCount(const StringGrid& list) {
    return list.ColCount() == 1 && list.Cells(0, 0).empty() ? 0 : list.ColCount();
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
    const int count = faultyCellCount(list);
    positions.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        positions.push_back(
            {parseIntegerText(list.Cells(k, 0)) - 1, parseIntegerText(list.Cells(k, 1)) - 1});
    return positions;
}

void emptyResultTable(StringGrid& result, ResultTableState state) {
    const bool calculating = state == ResultTableState::Calculating;
    result.clearCells();
    result.setColCount(1);
    result.setRowCount(calculating ? 2 : 1);
    result.setFixedRows(calculating ? 1 : 0);
}

bool isLoaded(const StringGrid& table) {
    return !table.Cells(0, 0).empty();
}

} // namespace tarnwick
