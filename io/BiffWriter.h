#pragma once

#include "core/text/TextTable.h"
#include "io/FileProgress.h"
#include "io/ReplacingFile.h"

#include <string>
#include <string_view>

namespace tarnwick {

// A table saved as a plain BIFF record stream: BOF, one LABEL record per cell in column-major
// order, EOF. Tables whose texts are all ASCII give exactly those bytes. Other texts are written
// in one single-byte Windows code page that holds all of them (the user's first), announced by a
// CODEPAGE record after BOF, since readers show raw UTF-8 bytes as garbage.
//
// Refused before the file is touched: more than 65,536 rows or columns, a text of more than
// 65,527 bytes, or texts that no single-byte code page holds together. The file is replaced
// only once it has been written whole. Returns true; every failure raises an Error. The progress
// is told of the columns gone through (each is gone through three times: its code page, its
// texts' lengths, its records); when it raises, the old file stays.
bool SaveTableAsBiff(const TextTable& table, const std::string& fileName,
                     const FileProgress& progress = {});

// One LABEL record: its 12-byte head, then the text's bytes.
void WriteLabelRecord(ReplacingFile& file, int col, int row, std::string_view text);

} // namespace tarnwick
