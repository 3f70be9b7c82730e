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

std::optional<std::string> TextConverter::convert(std::string_view text) const {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr); // start from the initial shift state
    // Room for mostly ASCII text, grown by half when the text needs more: a single-byte code page
    // takes up to 3 bytes a character in UTF-8, but room for that would be taken (and zeroed) for
    // every file, four times the size of a large one.
    std::string out(text.size() + text.size() / 8 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(handle_, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            continue;
        if (errno != E2BIG)
            return std::nullopt;
        const auto used = static_cast<std::size_t>(outPtr - out.data());
        out.resize(out.size() + out.size() / 2 + inLeft);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
    }
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

} // namespace tarnwick
