#include "core/text/IntegerText.h"

#include "core/Error.h"

#include <string>

namespace tarnwick {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the hexadecimal prefix at the start of text, or 0 when there is none.
std::size_t hexPrefixLength(std::string_view text) {
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        return 1;
    if (text.starts_with("0x") || text.starts_with("0X"))
        return 2;
    return 0;
}

std::optional<std::uint32_t> parseHexPattern(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        if (significant > 0 || digit != 0)
            ++significant;
        if (significant > 8)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::int32_t> parseDecimal(std::string_view digits, bool negative) {
    if (digits.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::optional<std::int32_t> tryParseIntegerText(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(start);
    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (const auto prefix = hexPrefixLength(text)) {
        const auto pattern = parseHexPattern(text.substr(prefix));
        if (!pattern)
            return std::nullopt;
        // The pattern is the 32-bit value itself: $FFFFFFFF is -1, and "-" negates it.
        const std::uint32_t bits = negative ? 0u - *pattern : *pattern;
        return static_cast<std::int32_t>(bits);
    }
    return parseDecimal(text, negative);
}

std::int32_t parseIntegerText(std::string_view text) {
    if (const auto value = tryParseIntegerText(text))
        return *value;
    throw ConversionError(notIntegerMessage(text));
}

std::string notIntegerMessage(std::string_view text) {
    // Appended rather than added to a literal, which GCC 12 at -O3 warns about (-Wrestrict).
    std::string message = "'";
    message.append(text).append("' is not a valid integer value");
    return message;
}

bool isIntegerText(std::string_view text) {
    return tryParseIntegerText(text).has_value();
}

} // namespace tarnwick
