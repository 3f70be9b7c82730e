#pragma once

#include "io/CellValue.h"

#include <gsf/gsf.h>

namespace tarnwick {

// Whether the package is an OpenDocument spreadsheet (.ods).
bool isOdsPackage(GsfInfile* zip);

// The tables of an OpenDocument spreadsheet, its worksheets, each offered to the sink
// (SheetSink::beginSheet) and read when wanted; the content of one not wanted is passed over.
// Repeated empty rows and cells are skipped, not expanded, so the thousands of empty rows some
// programs write cost nothing.
class ReadBudget;
void readOdsWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget);

} // namespace tarnwick
