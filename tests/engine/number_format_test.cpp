#include "engine/core/number_format.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(NumberFormat, GeneralFormMatchesTheStoredTexts) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {116.403874, "116.403874"},
        {0.5, "0.5"},
        {100, "100"},
        {-0.0065, "-0.0065"},
        {1e-5, "1E-5"},
        {1.5e20, "1.5E20"},
        {0.0001, "0.0001"},
        {0.1 + 0.2, "0.3"},
        {20037508.342789, "20037508.342789"},
        {0.0, "0"},
        {-0.0, "0"},
        {123456789012345.0, "123456789012345"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFloat(c.value), c.text) << c.text;
    }
}

TEST(NumberFormat, FixedAndIntegers) {
    EXPECT_EQ(FormatFixed(33.3333, 2), "33.33");
    EXPECT_EQ(FormatFixed(1023.0 / 1024, 1), "1.0");
    EXPECT_EQ(FormatFixed(-0.0001, 2), "0.00");
    EXPECT_EQ(FormatInt(-2147483648LL), "-2147483648");
}

TEST(NumberFormat, ParsingIsStrictAndUsesThePoint) {
    EXPECT_EQ(ParseFloat(" 12.5 "), 12.5);
    EXPECT_EQ(ParseFloat("+3"), 3.0);
    EXPECT_EQ(ParseFloat("1E-5"), 1e-5);
    EXPECT_FALSE(ParseFloat("12,5"));
    EXPECT_FALSE(ParseFloat("12.5x"));
    EXPECT_FALSE(ParseFloat(""));
    EXPECT_FALSE(ParseFloat("nan"));
    EXPECT_EQ(ParseInt("-42"), -42);
    EXPECT_EQ(ParseInt("0x1F", true), 31);
    EXPECT_FALSE(ParseInt("0x1F"));
    EXPECT_FALSE(ParseInt("9223372036854775808"));
    EXPECT_EQ(ParseInt("-9223372036854775808"), INT64_MIN);
}

TEST(NumberFormat, RoundHalfEvenSendsTiesToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {
        {2.5, 2},  {3.5, 4},    {-2.5, -2},  {-3.5, -4}, {0.5, 0},
        {-0.5, 0}, {2.4999, 2}, {2.5001, 3}, {-1.2, -1}, {1e15 + 0.5, 1e15},
    };
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
}

}  // namespace
}  // namespace engine
