#pragma once

#include <string>

namespace tarnwick {

// A number in general form: up to 15 significant digits without trailing zeros, fixed-point
// when the integer part has at most 15 digits and the magnitude is at least 0.0001 (or it is
// 0), else scientific with a plain exponent: 17 -> "17", 1e20 -> "1E20", 0.000015 -> "1.5E-5".
std::string numberText(double value, char decimalSeparator);

// The decimal separator of the user's locale.
char localeDecimalSeparator();

// A date (days since 1899-12-30) as the locale writes dates ("%x"), followed by the time
// ("%X") when it has a time of day.
std::string dateText(double days);

std::string booleanText(bool value);

} // namespace tarnwick
