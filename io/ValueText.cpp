#include "io/ValueText.h"

#include "io/NumberParsing.h"

#include <algorithm>

#include <charconv>
#include <chrono>
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

std::optional<std::string> dateText(double days) {
    using namespace std::chrono;
    constexpr sys_days kDayZero = 1899y / December / 30;
    constexpr double kFirstDay = (sys_days{1y / January / 1} - kDayZero).count();
    constexpr double kAfterLastDay = (sys_days{10000y / January / 1} - kDayZero).count();
    if (!(days >= kFirstDay && days < kAfterLastDay)) // NaN too
        return std::nullopt;
    // Whole seconds since 1899-12-30, rounded as the spreadsheet rounds times for display.
    const seconds sinceDayZero{std::llround(days * 86400.0)};
    const sys_days day = kDayZero + floor<std::chrono::days>(sinceDayZero);
    const hh_mm_ss time{sinceDayZero - (day - kDayZero)};
    const year_month_day date{day};
    if (date.year() > 9999y) // 9999-12-31 23:59:59.6 rounded up
        return std::nullopt;

    std::tm tm{};
    tm.tm_year = static_cast<int>(date.year()) - 1900;
    tm.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    tm.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    tm.tm_hour = static_cast<int>(time.hours().count());
    tm.tm_min = static_cast<int>(time.minutes().count());
    tm.tm_sec = static_cast<int>(time.seconds().count());
    tm.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    tm.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
    char buffer[128];
    std::size_t length = std::strftime(buffer, sizeof buffer, "%x", &tm);
    std::string text(buffer, length);
    if (time.to_duration() != seconds{0}) {
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
