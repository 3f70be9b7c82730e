#include "core/text/IntegerText.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tarnwick {
namespace {

struct Accepted {
    std::string text;
    std::int32_t value;
};

class IntegerTextAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(IntegerTextAccepts, ReadsTheValue) {
    EXPECT_EQ(parseIntegerText(GetParam().text), GetParam().value) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerTextAccepts,
    testing::Values(Accepted{"17", 17}, Accepted{"   17", 17}, Accepted{"+17", 17},
                    Accepted{"-0", 0}, Accepted{"017", 17}, Accepted{"$11", 17},
                    Accepted{"0x11", 17}, Accepted{"0X11", 17}, Accepted{"x11", 17},
                    Accepted{"X1f", 31}, Accepted{"$A", 10}, Accepted{"-3", -3}, Accepted{"+3", 3},
                    Accepted{"2147483647", 2147483647}, Accepted{"-2147483648", INT32_MIN},
                    Accepted{"0002147483647", 2147483647}, Accepted{"$FFFFFFFF", -1},
                    Accepted{"$7FFFFFFF", 2147483647}, Accepted{"$80000000", INT32_MIN},
                    Accepted{"-$1", -1}, Accepted{"-$FFFFFFFF", 1}, Accepted{"$000000001", 1},
                    Accepted{"  -$10", -16}, Accepted{"0", 0}));

class IntegerTextRefuses : public testing::TestWithParam<std::string> {};

TEST_P(IntegerTextRefuses, FailsWithAMessageNamingTheText) {
    const std::string& text = GetParam();
    EXPECT_FALSE(tryParseIntegerText(text).has_value()) << "'" << text << "'";
    try {
        parseIntegerText(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerTextRefuses,
                         testing::Values("17 ", "1 7", "", "   ", "-", "$", "2147483648",
                                         "-2147483649", "17a", "NA", "12,7", "+-1", "--1",
                                         "$100000000", "0x", "x", "$G", "1.0", "\t17", "17\n",
                                         "1e3", "- 1", "99999999999999999999"));

TEST(IntegerText, AcceptedTextsAreIntegerText) {
    EXPECT_TRUE(isIntegerText("12"));
    EXPECT_FALSE(isIntegerText("12 "));
}

} // namespace
} // namespace tarnwick
