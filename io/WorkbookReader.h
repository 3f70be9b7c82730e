#pragma once

#include "core/table/HaplotypeTable.h"
#include "io/FileProgress.h"

#include <string>

namespace tarnwick {

// Reads the first worksheet of a workbook file into a haplotype table, from A1 to the last row
// and column that hold a value (row 1 the titles). Values become cell texts as the spreadsheet
// program shows them in general form (with "." before decimals for the genotype reading, so that
// 13.2 is never read as the copies 13 and 2); locus cells, as the layout says which they are, are
// then read as the reading says. A sheet without a table (no value, or A1 alone), an error value
// such as #DIV/0!, or a file that cannot be read raises an Error naming the file. The progress
// is told of the rows read.
HaplotypeTableBuilder::Result readHaplotypeTable(const std::string& fileName, TableLayout layout,
                                                 CellReading reading,
                                                 const FileProgress& progress = {});

} // namespace tarnwick
