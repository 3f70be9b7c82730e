#include "io/DateFormats.h"

#include <cctype>
#include <charconv>

namespace tarnwick {

bool isBuiltinDateFormat(int formatIndex) {
    return (formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 27 && formatIndex <= 36) ||
           (formatIndex >= 45 && formatIndex <= 47) || (formatIndex >= 50 && formatIndex <= 58);
}

bool isDateFormatCode(std::string_view code) {
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';')
            return false; // only the section for positive numbers decides
        if (c == '"') {
            const auto close = code.find('"', i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is literal text or padding
        } else if (c == '[') {
            const auto close = code.find(']', i + 1);
            if (close == std::string_view::npos)
                return false;
            const auto inside = code.substr(i + 1, close - i - 1);
            // [h], [mm], [ss] are elapsed times; [Red], [$-409] and the like are not codes.
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                return true;
            i = close;
        } else {
            switch (std::tolower(static_cast<unsigned char>(c))) {
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

double daysFromSerial(double serial, bool date1904) {
    if (date1904)
        return serial + 1462;
    return serial < 61 && serial >= 1 ? serial + 1 : serial;
}

bool parseIsoDateTime(std::string_view text, double& days) {
    // Exactly the digits of a field, nothing else: from_chars alone would take a sign or stop
    // short.
    auto number = [&](std::size_t from, std::size_t length, int& out) {
        if (from + length > text.size())
            return false;
        const auto field = text.substr(from, length);
        if (field.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        return std::from_chars(field.data(), field.data() + field.size(), out).ec == std::errc();
    };
    if (text.ends_with('Z'))
        text.remove_suffix(1);
    int year, month, day, hour = 0, minute = 0;
    double second = 0;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !number(0, 4, year) ||
        !number(5, 2, month) || !number(8, 2, day) || month < 1 || month > 12 || day < 1 ||
        day > 31)
        return false;
    if (text.size() > 10) {
        if (text.size() < 16 || text[10] != 'T' || text[13] != ':' || !number(11, 2, hour) ||
            !number(14, 2, minute) || hour > 24 || minute > 59)
            return false;
        if (text.size() > 16) {
            const auto seconds = text.substr(17);
            if (text[16] != ':' || seconds.empty() ||
                !std::isdigit(static_cast<unsigned char>(seconds[0])))
                return false;
            const auto [end, error] =
                std::from_chars(seconds.data(), seconds.data() + seconds.size(), second);
            if (error != std::errc() || end != seconds.data() + seconds.size() || second >= 61)
                return false;
        }
    }
    // Days from 1899-12-30 to the civil date.
    const int y = year - (month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long daysSince1970 = static_cast<long>(era) * 146097 + dayOfEra - 719468;
    days =
        static_cast<double>(daysSince1970 + 25569) + (hour * 3600 + minute * 60 + second) / 86400.0;
    return true;
}

} // namespace tarnwick
