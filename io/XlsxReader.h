#pragma once

#include "io/CellValue.h"

#include <gsf/gsf.h>

namespace tarnwick {

class ReadBudget;

// The first worksheet of an Office Open XML workbook (.xlsx) in an opened ZIP package.
void readXlsxWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget);

// Whether the package is such a workbook.
bool isXlsxPackage(GsfInfile* zip);

} // namespace tarnwick
