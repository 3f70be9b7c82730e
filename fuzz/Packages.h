#pragma once

#include <string>
#include <string_view>

namespace tarnwick::fuzz {

// Writes a spreadsheet package around one XML part, stored uncompressed: for "xlsx" the part is
// the first worksheet (with a workbook, its relationships and two shared texts beside it), for
// "ods" it is content.xml.
void writePackage(const std::string& path, std::string_view format, std::string_view part);

// The XML part that writePackage wraps, taken out of a package; empty when it has none.
std::string mainPart(const std::string& packagePath, std::string_view format);

} // namespace tarnwick::fuzz
