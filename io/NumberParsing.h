#pragma once

#include <optional>
#include <string_view>

namespace tarnwick {

// Numbers as workbook files write them in attributes and values. Both accept the whole text
// only, and nothing out of range: a damaged file must never turn into a value it does not hold.

// Decimal digits with an optional sign: "12", "-3".
std::optional<long> parseDecimalInteger(std::string_view text);

// A finite floating-point number: "12", "-1.5E-3", with surrounding spaces and a leading "+"
// allowed; "inf", "nan" and values beyond the double range are not numbers.
std::optional<double> parseFiniteNumber(std::string_view text);

} // namespace tarnwick
