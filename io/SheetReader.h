#pragma once

#include "io/CellValue.h"

#include <string>

namespace tarnwick {

// Stands in for the spreadsheet program: opens a workbook file, recognised by its content
// (.xls, .xlsx, .ods, a plain BIFF record stream, or else delimited text), and hands the values
// of its first worksheet to the sink. Every failure raises an Error whose message names the file.
void readFirstSheet(const std::string& path, SheetSink& sink);

// Every worksheet, each announced to the sink (SheetSink::beginSheet) and read when it wants it.
void readSheets(const std::string& path, SheetSink& sink);

} // namespace tarnwick
