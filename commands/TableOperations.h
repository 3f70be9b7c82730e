#pragma once

#include "commands/StringGrid.h"
#include "commands/TextMeasurer.h"
#include "core/text/CellReference.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace tarnwick {

// Sets each column's width to its widest text (0 when all are empty) plus the 1-pixel grid line
// plus 5 pixels. The progress, when given, is told of the columns done every few thousand texts
// measured, and stops the measuring by raising.
void fitColumnWidths(StringGrid& table, const TextMeasurer& measurer,
                     const std::function<void(std::size_t done, std::size_t total)>& progress = {});

// The faulty-cell list: entry k is column k, with the cell's column number (from 1) in row 0
// and its row number (from 1) in row 1. An empty list is one column of two empty cells.
void resetFaultyCellList(StringGrid& list);
// Adds the cells, widening the list once.
void recordFaultyCells(StringGrid& list, const std::vector<CellPosition>& cells);
// The table positions the list names (it counts from 1), in its order.
std::vector<CellPosition> faultyCellPositions(const StringGrid& list);
int faultyCellCount(const StringGrid& list);

// Empties the by-haplotype table: one empty column, with an empty title row above one empty row
// while a calculation fills it, or one row alone before any.
enum class ResultTableState { BeforeCalculation, Calculating };
void emptyResultTable(StringGrid& result, ResultTableState state);

// An input table counts as loaded when its first cell is not empty.
bool isLoaded(const StringGrid& table);

} // namespace tarnwick
