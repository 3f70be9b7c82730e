#pragma once

#include "core/text/CellReference.h"
#include "core/text/TextTable.h"

#include <string>
#include <vector>

namespace tarnwick {

inline constexpr const char* kHighlightedSheetName = "My Sheet Name";

// Writes the table to an .xlsx workbook (whatever the name's extension) of one worksheet named
// "My Sheet Name": a text in a number's general form as that number, every other cell as text,
// the cells of the faulty-cell list filled solid red with black text. Returns true; any failure,
// saving included, raises an Error naming the file and the reason, and leaves an existing file of
// that name as it was.
bool SaveTableWithHighlights(const TextTable& table, const std::vector<CellPosition>& faultyCells,
                             const std::string& fileName);

// The same without highlights, a worksheet named "Tarnwick"; a text is a number also in its
// general form with "." before the decimals (as the statistics are written) in any locale.
void SaveTableAsWorkbook(const TextTable& table, const std::string& fileName);

} // namespace tarnwick
