#include "io/ValueText.h"

#include "io/NumberParsing.h"

#include <algorithm>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace tarnwick {

std::string numberText(double value, char decimalSeparator) {
    if (value == 0 || !std::isfinite(value))
        return value == 0 || std::isnan(value) ? "0" : (value > 0 ? "INF" : "-INF");
    // d.dddddddddddddde±x: the value rounded to 15 significant digits.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const auto e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string digits;
    for (char c : scientific.substr(0, e))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1),
                    scientific.data() + scientific.size(), exponent);

    std::string text = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        text += digits.front();
        if (digits.size() > 1) {
            text += decimalSeparator;
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(exponent);
    } else if (exponent < 0) {
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text += decimalSeparator;
            text.append(digits, integerDigits);
        }
    }
    return text;
}

std::optional<double> generalFormNumber(std::string_view text, char decimalSeparator) {
    std::string pointed(text);
    if (decimalSeparator != '.') {
        if (pointed.find('.') != std::string::npos)
            return std::nullopt;
        std::replace(pointed.begin(), pointed.end(), decimalSeparator, '.');
    }
    const auto value = parseFiniteNumber(pointed);
    if (!value || numberText(*value, decimalSeparator) != text)
        return std::nullopt;
    return value;
}

char localeDecimalSeparator() {
    const char* point = std::localeconv()->decimal_point;
    return point && point[0] ? point[0] : '.';
}

std::string dateText(double days) {
    // Whole seconds since 1899-12-30, rounded as the spreadsheet rounds times for display.
    const auto seconds = static_cast<long long>(std::llround(days * 86400.0));
    long long dayNumber = seconds / 86400;
    long long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --dayNumber;
    }
    // Civil date from the day count (1899-12-30 is 25569 days before 1970-01-01).
    long long z = dayNumber - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2);

    std::tm tm{};
    tm.tm_year = static_cast<int>(year - 1900);
    tm.tm_mon = static_cast<int>(month - 1);
    tm.tm_mday = static_cast<int>(day);
    tm.tm_hour = static_cast<int>(secondOfDay / 3600);
    tm.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    tm.tm_sec = static_cast<int>(secondOfDay % 60);
    tm.tm_wday = static_cast<int>(((dayNumber - 25569) % 7 + 11) % 7); // 1970-01-01 was a Thursday
    char buffer[128];
    std::size_t length = std::strftime(buffer, sizeof buffer, "%x", &tm);
    std::string text(buffer, length);
    if (secondOfDay != 0) {
        length = std::strftime(buffer, sizeof buffer, "%X", &tm);
        text += ' ';
        text.append(buffer, length);
    }
    return text;
}

std::string booleanText(bool value) {
    return value ? "True" : "False";
}

} // namespace tarnwick
