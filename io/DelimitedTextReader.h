#pragma once

#include "io/CellValue.h"

#include <string>
#include <string_view>

namespace tarnwick {

// Decodes a text file to UTF-8: a UTF-8 or UTF-16 byte-order mark decides, else UTF-16 is
// recognised by its NUL bytes, valid UTF-8 stays as it is and anything else is read in the code
// page of the user's locale.
std::string decodeTextFile(std::string_view bytes);

// The separator of delimited text: the one a first line "sep=X" names, else the one of comma,
// semicolon and tab that splits the first lines most consistently.
char detectSeparator(std::string_view text);

// Whether a field is a plain decimal number (sign, digits, fraction, exponent, spaces around),
// which a spreadsheet program opening the file reads as a number.
bool parsePlainNumber(std::string_view field, double& value);

// Delimited text (CSV, TSV) by RFC 4180: quoted fields may hold separators, quotes and line
// breaks; lines end in CRLF, LF or CR. Plain decimal numbers arrive as numbers, every other
// non-empty field as text exactly as written. A binary file (one holding NUL characters once
// decoded, or a PDF document) raises a ReadError.
void readDelimitedText(std::string_view bytes, SheetSink& sink);
// The same for bytes the reader may let go of once they are decoded, before the table is made.
void readDelimitedText(std::string&& bytes, SheetSink& sink);

} // namespace tarnwick
