#pragma once

#include "io/CellValue.h"

#include <gsf/gsf.h>

namespace tarnwick {

class ReadBudget;

// The worksheets of an Office Open XML workbook (.xlsx) in an opened ZIP package, each offered
// to the sink (SheetSink::beginSheet) and read when wanted; the part of a sheet not wanted is
// not parsed.
void readXlsxWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget);

// Whether the package is such a workbook.
bool isXlsxPackage(GsfInfile* zip);

} // namespace tarnwick
