#include "io/CodePage.h"

#include "core/Error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace tarnwick {

int windowsCodePageForLocale(std::string_view localeName) {
    const std::string_view language = localeName.substr(0, localeName.find_first_of("_.@"));
    struct LanguagePage {
        std::string_view language;
        int codePage;
    };
    static constexpr std::array kPages{
        LanguagePage{"ru", 1251}, LanguagePage{"uk", 1251}, LanguagePage{"be", 1251},
        LanguagePage{"bg", 1251}, LanguagePage{"mk", 1251}, LanguagePage{"sr", 1251},
        LanguagePage{"kk", 1251}, LanguagePage{"ky", 1251}, LanguagePage{"tt", 1251},
        LanguagePage{"mn", 1251}, LanguagePage{"pl", 1250}, LanguagePage{"cs", 1250},
        LanguagePage{"sk", 1250}, LanguagePage{"hu", 1250}, LanguagePage{"sl", 1250},
        LanguagePage{"hr", 1250}, LanguagePage{"ro", 1250}, LanguagePage{"sq", 1250},
        LanguagePage{"bs", 1250}, LanguagePage{"el", 1253}, LanguagePage{"tr", 1254},
        LanguagePage{"az", 1254}, LanguagePage{"lt", 1257}, LanguagePage{"lv", 1257},
        LanguagePage{"et", 1257},
    };
    for (const auto& entry : kPages)
        if (entry.language == language)
            return entry.codePage;
    return 1252;
}

int userWindowsCodePage() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    if (current && std::strcmp(current, "C") != 0 && std::strcmp(current, "POSIX") != 0)
        return windowsCodePageForLocale(current);
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return windowsCodePageForLocale(value);
    return 1252;
}

std::vector<int> singleByteCodePagePreference() {
    std::vector<int> pages{userWindowsCodePage()};
    for (int page : {1252, 1250, 1251, 1253, 1254, 1257})
        if (std::find(pages.begin(), pages.end(), page) == pages.end())
            pages.push_back(page);
    return pages;
}

std::string windowsCodePageName(int codePage) {
    return "CP" + std::to_string(codePage);
}

TextConverter::TextConverter(const char* toEncoding, const char* fromEncoding)
    : handle_(iconv_open(toEncoding, fromEncoding)) {
    // iconv_open's failure is the value -1 as a handle.
    if (handle_ == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
        throw Error(std::string("The text conversion from ") + fromEncoding + " to " + toEncoding +
                    " is not available on this system");
}

TextConverter::~TextConverter() {
    iconv_close(handle_);
}

bool TextConverter::convertInPieces(std::string_view text,
                                    const std::function<void(std::string_view)>& take) const {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr); // start from the initial shift state
    std::array<char, 1 << 16> piece;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    for (;;) {
        char* out = piece.data();
        std::size_t outLeft = piece.size();
        // Once the text is through, a call without input ends any shift sequence.
        const bool flushing = inLeft == 0;
        // Stopped early: the piece is full, or a character cannot be converted.
        const bool stopped = (flushing ? iconv(handle_, nullptr, nullptr, &out, &outLeft)
                                       : iconv(handle_, &in, &inLeft, &out, &outLeft)) ==
                             static_cast<std::size_t>(-1);
        if (stopped && errno != E2BIG)
            return false;
        take(std::string_view(piece.data(), static_cast<std::size_t>(out - piece.data())));
        if (flushing && !stopped)
            return true;
    }
}

std::optional<std::string> TextConverter::convert(std::string_view text) const {
    // Room for the longest text a single-byte code page gives, 3 bytes in UTF-8 for a byte beyond
    // ASCII: the memory is taken only as the result fills it, so one pass through bounded pieces
    // makes the result without a copy. A longer result (other encodings) is measured in a first
    // pass and then made once at its size.
    const auto beyondAscii = static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    std::string out;
    out.reserve(text.size() + 2 * beyondAscii);
    bool fits = true;
    if (!convertInPieces(text, [&](std::string_view piece) {
            fits = fits && out.size() + piece.size() <= out.capacity();
            if (fits)
                out += piece;
        }))
        return std::nullopt;
    if (fits)
        return out;
    std::size_t size = 0;
    convertInPieces(text, [&](std::string_view piece) { size += piece.size(); });
    out = std::string();
    out.reserve(size);
    convertInPieces(text, [&](std::string_view piece) { out += piece; });
    return out;
}

} // namespace tarnwick
