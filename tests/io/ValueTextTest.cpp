#include "io/ValueText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace tarnwick {
namespace {

TEST(ValueText, NumbersInGeneralForm) {
    const struct {
        double value;
        const char* point;
        const char* comma;
    } cases[] = {
        {17.0, "17", "17"},
        {17.25, "17.25", "17,25"},
        {16.100000000000001, "16.1", "16,1"},
        {1e20, "1E20", "1E20"},
        {0.000015, "1.5E-5", "1,5E-5"},
        {-3, "-3", "-3"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {0.0001, "0.0001", "0,0001"},
        {0.00009999, "9.999E-5", "9,999E-5"},
        {123456789012345, "123456789012345", "123456789012345"},
        {999999999999999, "999999999999999", "999999999999999"},
        {1e15, "1E15", "1E15"},
        {1234567890123456, "1.23456789012346E15", "1,23456789012346E15"},
        {0.1 + 0.2, "0.3", "0,3"},
        {2.5e-10, "2.5E-10", "2,5E-10"},
        {-12.7, "-12.7", "-12,7"},
        {100, "100", "100"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {-1.5e300, "-1.5E300", "-1,5E300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value, '.'), c.point) << c.value;
        EXPECT_EQ(numberText(c.value, ','), c.comma) << c.value;
    }
}

TEST(ValueText, DatesAsTheLocaleWritesThem) {
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(dateText(45356), "03/05/24");
    EXPECT_EQ(dateText(45356.5729166667), "03/05/24 13:45:00");
    EXPECT_EQ(dateText(2), "01/01/00");
    EXPECT_EQ(dateText(61), "03/01/00");
    EXPECT_EQ(dateText(0.5), "12/30/99 12:00:00");
    EXPECT_EQ(dateText(36526.99998), "01/01/00 23:59:58");
    EXPECT_EQ(dateText(36526.999999), "01/02/00") << "rounded to the nearest second";
    EXPECT_EQ(dateText(-693593), "01/01/01");
    EXPECT_EQ(dateText(2958465.99999), "12/31/99 23:59:59");
    for (const double outside :
         {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -693593.5, 2958466.0, 2958465.999999999})
        EXPECT_EQ(dateText(outside), std::nullopt) << outside;
}

TEST(ValueText, TruthValues) {
    EXPECT_EQ(booleanText(true), "True");
    EXPECT_EQ(booleanText(false), "False");
}

} // namespace
} // namespace tarnwick
