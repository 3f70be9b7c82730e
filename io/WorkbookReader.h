#pragma once

#include "core/StringGrid.h"

#include <string>

namespace tarnwick {

// Fills the table with the first worksheet of a workbook file, from A1 to the last row and
// column that hold a value: sheet cell (row r, column k), counted from 1, becomes table cell
// (k - 1, r - 1); the table ends with ColCount K and RowCount R + 2, the last two rows blank.
// Values become cell texts as the spreadsheet program shows them in general form. A sheet
// without a table (no value, or A1 alone), an error value such as #DIV/0!, or a file that
// cannot be read raises an Error naming the file; the table is then left as it was.
void ReadWorkbookIntoTable(StringGrid& table, const std::string& fileName);

} // namespace tarnwick
