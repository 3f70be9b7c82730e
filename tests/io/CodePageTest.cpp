#include "io/CodePage.h"
#include "ScopedLocale.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarnwick {
namespace {

TEST(CodePage, LocalesMapToTheirWindowsCodePage) {
    const struct {
        const char* locale;
        int codePage;
    } cases[] = {{"ru_RU.UTF-8", 1251}, {"uk_UA", 1251},       {"bg_BG.UTF-8@x", 1251},
                 {"pl_PL.UTF-8", 1250}, {"cs", 1250},          {"el_GR.UTF-8", 1253},
                 {"tr_TR.UTF-8", 1254}, {"lt_LT.UTF-8", 1257}, {"en_US.UTF-8", 1252},
                 {"de_DE", 1252},       {"C", 1252},           {"", 1252}};
    for (const auto& c : cases)
        EXPECT_EQ(windowsCodePageForLocale(c.locale), c.codePage) << c.locale;
}

TEST(CodePage, PreferenceStartsWithTheUsersPageWithoutRepeats) {
    test::ScopedLocale locale("ru_RU.UTF-8");
    EXPECT_EQ(singleByteCodePagePreference(),
              (std::vector<int>{1251, 1252, 1250, 1253, 1254, 1257}));
    locale.set("en_US.UTF-8");
    EXPECT_EQ(singleByteCodePagePreference(),
              (std::vector<int>{1252, 1250, 1251, 1253, 1254, 1257}));
}

TEST(CodePage, ConversionFailsWholeWhenACharacterIsMissing) {
    const TextConverter toCyrillic("CP1251", "UTF-8");
    EXPECT_EQ(toCyrillic.convert("Ж1"), std::string("\xC6"
                                                    "1"));
    EXPECT_FALSE(toCyrillic.convert("é").has_value());
    EXPECT_EQ(toCyrillic.convert(""), std::string());
    const TextConverter back("UTF-8", "CP1251");
    EXPECT_EQ(back.convert("\xC6"), std::string("Ж"));
}

// Texts that take up to three times their bytes in UTF-8, over many of the pieces they are
// converted in, convert whole; and so do those that grow more, from UTF-8 to UTF-16.
TEST(CodePage, ConversionTakesTheRoomItsTextNeeds) {
    std::string utf16;
    for (int i = 0; i < 100000; ++i)
        utf16.append("a\0", 2);
    const struct {
        const char* to;
        const char* from;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"UTF-8", "CP1252", std::string(100000, 'a'), std::string(100000, 'a')},
        {"UTF-16LE", "UTF-8", std::string(100000, 'a'), utf16},
        {"UTF-8", "CP1251", std::string(100000, '\xC6'),
         [] {
             std::string s;
             for (int i = 0; i < 100000; ++i)
                 s += "Ж";
             return s;
         }()},
        {"UTF-8", "CP1252", "x" + std::string(50000, '\x80'),
         [] {
             std::string s = "x";
             for (int i = 0; i < 50000; ++i)
                 s += "€";
             return s;
         }()},
    };
    for (const auto& c : cases) {
        const auto text = TextConverter(c.to, c.from).convert(c.bytes);
        ASSERT_TRUE(text.has_value()) << c.from;
        EXPECT_EQ(*text, c.expected) << c.from << " to " << c.to;
    }
}

} // namespace
} // namespace tarnwick
