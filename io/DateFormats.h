#pragma once

#include <string_view>

namespace tarnwick {

// Whether a built-in number format (by its index in .xls and .xlsx files) shows a date or time.
bool isBuiltinDateFormat(int formatIndex);

// Whether a number format code such as "yyyy\-mm\-dd" or "[h]:mm" shows a date or time: it
// holds a date or time code (d, m, y, h, s) outside quoted text, escapes and colour brackets.
bool isDateFormatCode(std::string_view code);

// A spreadsheet date serial as days since 1899-12-30. The 1900 date system counts a
// 29 February 1900 that never was; the 1904 system starts four years later.
double daysFromSerial(double serial, bool date1904);

// Days since 1899-12-30 of an ISO date "2024-03-05" or date-time "2024-03-05T13:45:00".
bool parseIsoDateTime(std::string_view text, double& days);

} // namespace tarnwick
