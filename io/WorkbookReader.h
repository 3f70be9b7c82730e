#pragma once

#include "core/HaplotypeTable.h"

#include <string>

namespace tarnwick {

// Reads the first worksheet of a workbook file into a haplotype table, from A1 to the last row
// and column that hold a value (row 1 the titles). Values become cell texts as the spreadsheet
// program shows them in general form; locus cells are then read as the layout says, tidied
// first when tidyLocusCells (as a load does). A sheet without a table (no value, or A1 alone), an
// error value such as #DIV/0!, or a file that cannot be read raises an Error naming the file.
HaplotypeTableBuilder::Result readHaplotypeTable(const std::string& fileName, TableLayout layout,
                                                 bool tidyLocusCells);

} // namespace tarnwick
