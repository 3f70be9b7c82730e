#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// Texts of a workbook write characters XML cannot hold (control characters) as "_xHHHH_", the
// UTF-16 code unit in hex, and text that looks like such an escape with its "_" escaped as
// "_x005F_" (ECMA-376 Part 1, 22.9.2.19 ST_Xstring).

// Decodes the escapes in place, once the text is whole.
void decodeEscapedCharacters(std::string& text);

// The text with its escape look-alikes protected, for a writer that escapes control characters
// only (libxlsxwriter), so that the text reads back as it was.
std::string protectEscapeLookalikes(std::string_view text);

} // namespace tarnwick
