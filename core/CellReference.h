#pragma once

#include <string>

namespace tarnwick {

// The spreadsheet name of a column counted from 0: 0 is "A", 26 is "AA".
std::string columnLetters(int col);

// The A1-style name of the cell at a table position counted from 0: (2, 6) is "C7".
std::string cellReference(int col, int row);

} // namespace tarnwick
