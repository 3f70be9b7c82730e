#pragma once

#include <string>

namespace tarnwick {

// A cell's place in a table, column and row counted from 0.
struct CellPosition {
    int col;
    int row;
    bool operator==(const CellPosition&) const = default;
};

// The spreadsheet name of a column counted from 0: 0 is "A", 26 is "AA".
std::string columnLetters(int col);

// The A1-style name of the cell at a table position counted from 0: (2, 6) is "C7".
std::string cellReference(int col, int row);

} // namespace tarnwick
