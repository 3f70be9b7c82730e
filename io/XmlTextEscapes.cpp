#include "io/XmlTextEscapes.h"

#include "io/Unicode.h"

#include <charconv>
#include <optional>

namespace tarnwick {
namespace {

std::optional<char16_t> escapedUnit(std::string_view text, std::size_t at) {
    if (at + 7 > text.size() || text[at] != '_' || (text[at + 1] != 'x' && text[at + 1] != 'X') ||
        text[at + 6] != '_')
        return std::nullopt;
    unsigned unit = 0;
    const auto digits = text.substr(at + 2, 4);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + 4, unit, 16);
    if (error != std::errc() || end != digits.data() + 4)
        return std::nullopt;
    return static_cast<char16_t>(unit);
}

} // namespace

void decodeEscapedCharacters(std::string& text) {
    if (text.find('_') == std::string::npos)
        return;
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto unit = escapedUnit(text, i);
        if (!unit) {
            decoded += text[i++];
            continue;
        }
        i += 7;
        char32_t codePoint = *unit;
        if (*unit >= 0xD800 && *unit < 0xDC00)
            if (const auto low = escapedUnit(text, i); low && *low >= 0xDC00 && *low < 0xE000) {
                codePoint = 0x10000 + ((char32_t{*unit} - 0xD800) << 10) + (*low - 0xDC00);
                i += 7;
            }
        appendUtf8(decoded, codePoint);
    }
    text = std::move(decoded);
}

std::string protectEscapeLookalikes(std::string_view text) {
    std::string protectedText;
    if (text.find('_') == std::string_view::npos)
        return std::string(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (escapedUnit(text, i))
            protectedText += "_x005F";
        protectedText += text[i];
    }
    return protectedText;
}

} // namespace tarnwick
