#pragma once

#include "io/CellValue.h"

#include <string>

namespace tarnwick {

// Stands in for the spreadsheet program: opens a workbook file, recognised by its content
// (.xls, .xlsx, .ods, a plain BIFF record stream, or else delimited text), tells the sink of
// every worksheet in the workbook's order (hidden ones too; chart sheets are no worksheets) and
// hands it the values of those it wants. Sheets not wanted are not parsed, so a sink that wants
// none learns the names cheaply (an .ods file's content is still scanned, as the names stand
// among the sheets; a file of one sheet is not even read). The limits of ReadLimits.h hold for
// the read as a whole. Every failure raises an Error whose message names the file, and the
// worksheet when it is not the first.
void readSheets(const std::string& path, SheetSink& sink);

// The same for the first worksheet alone: the sink is asked about it (and so learns its name)
// but about no other, whatever else it would want.
void readFirstSheet(const std::string& path, SheetSink& sink);

} // namespace tarnwick
