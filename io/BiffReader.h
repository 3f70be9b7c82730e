#pragma once

#include "io/CellValue.h"

#include <string_view>

namespace tarnwick {

// Whether the bytes start with a BIFF beginning-of-file record (any version).
bool startsWithBiffBof(std::string_view bytes);

// The workbook stream of an .xls file: the global records, which list the worksheets, then the
// records of each worksheet the sink wants (SheetSink::beginSheet), whose values go to it.
// Raises ReadError on damage or encryption.
void readBiffWorkbookStream(std::string_view stream, SheetSink& sink);

// A bare record stream, as Tarnwick saves tables and older spreadsheet programs save sheets:
// all records belong to the one sheet. Whether it is wanted is the caller's to ask.
void readPlainBiffStream(std::string_view stream, SheetSink& sink);

} // namespace tarnwick
