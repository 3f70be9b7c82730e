#pragma once

#include <iconv.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The single-byte Windows code page that goes with a locale name such as "ru_RU.UTF-8": 1251
// for Cyrillic languages, 1250 for Central European ones, 1253 Greek, 1254 Turkish, 1257
// Baltic, 1252 for everything else.
int windowsCodePageForLocale(std::string_view localeName);

// The code page of the user's locale (the C library's current one, else LC_ALL, LC_CTYPE, LANG).
int userWindowsCodePage();

// The user's code page first, then 1252, 1250, 1251, 1253, 1254, 1257, without repeats.
std::vector<int> singleByteCodePagePreference();

// Converts text between two encodings through iconv; conversion fails as a whole when any
// character cannot be represented.
class TextConverter {
public:
    TextConverter(const char* toEncoding, const char* fromEncoding);
    ~TextConverter();
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;

    std::optional<std::string> convert(std::string_view text) const;

private:
    // Converts the text a bounded piece at a time, handing each piece to take; false when a
    // character cannot be converted.
    bool convertInPieces(std::string_view text,
                         const std::function<void(std::string_view)>& take) const;

    iconv_t handle_;
};

std::string windowsCodePageName(int codePage); // "CP1251"

} // namespace tarnwick
