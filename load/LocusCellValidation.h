#pragma once

#include "core/StringGrid.h"

#include <string>
#include <string_view>

namespace tarnwick {

// A locus cell as loading stores it: cut at its first "." (the fraction of a repeat count is
// dropped, not rounded), then without its first "'".
std::string tidyLocusText(std::string_view text);

// Tidies every non-empty locus cell (columns from firstLocusColumn, rows 1 to RowCount - 3),
// writes it back, and records each one that is not integer text in the faulty-cell list, column
// by column. Returns the number of faulty cells.
int tidyAndValidateLocusCells(StringGrid& table, int firstLocusColumn, StringGrid& faultyCells);

} // namespace tarnwick
