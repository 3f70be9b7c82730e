#pragma once

#include "core/text/TextTable.h"
#include "io/FileProgress.h"

#include <ostream>
#include <string>

namespace tarnwick {

enum class TextTableFormat {
    Csv, // RFC 4180: comma separated, CRLF line ends, fields quoted when they need it
    Tsv, // tab separated, LF line ends, fields with a tab or line break (or a leading quote)
         // quoted as in CSV
};

// Writes rows 0 to rowCount - 1, every column, as UTF-8 text.
void writeDelimitedText(std::ostream& out, const TextTable& table, int rowCount,
                        TextTableFormat format);

// The same into a file, replacing it only once everything is written. The progress is told of
// the rows written; when it raises, the old file stays.
void saveDelimitedText(const TextTable& table, int rowCount, TextTableFormat format,
                       const std::string& fileName, const FileProgress& progress = {});

} // namespace tarnwick
