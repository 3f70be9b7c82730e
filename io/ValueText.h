#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// A number in general form: up to 15 significant digits without trailing zeros, fixed-point
// when the integer part has at most 15 digits and the magnitude is at least 0.0001 (or it is
// 0), else scientific with a plain exponent: 17 -> "17", 1e20 -> "1E20", 0.000015 -> "1.5E-5".
std::string numberText(double value, char decimalSeparator);

// The number a text stands for when it is exactly a number's general form ("12", "-3", "16.1",
// "1E20" with that decimal separator), so that reading the number gives back the same text;
// nothing for every other text ("013", " 12", "12,13" where the separator is ".", "NA").
std::optional<double> generalFormNumber(std::string_view text, char decimalSeparator);

// The decimal separator of the user's locale.
char localeDecimalSeparator();

// A date (days since 1899-12-30) as the locale writes dates ("%x"), followed by the time
// ("%X") when it has a time of day; nothing for a day that is no number or lies outside the
// years 1 to 9999.
std::optional<std::string> dateText(double days);

std::string booleanText(bool value);

} // namespace tarnwick
