#pragma once

#include "io/CellValue.h"

#include <gsf/gsf.h>

namespace tarnwick {

// Whether the package is an OpenDocument spreadsheet (.ods).
bool isOdsPackage(GsfInfile* zip);

// The first table of an OpenDocument spreadsheet. Repeated empty rows and cells are skipped,
// not expanded, so the thousands of empty rows some programs write cost nothing.
class ReadBudget;
void readOdsWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget);

} // namespace tarnwick
