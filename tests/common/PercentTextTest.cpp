#include "common/PercentText.h"

#include "common/Rounding.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

TEST(PercentText, ShortestTextWithTheGivenSeparator) {
    EXPECT_EQ(percentText(1, 1, '.'), "100");
    EXPECT_EQ(percentText(1, 2, '.'), "50");
    EXPECT_EQ(percentText(1, 8, '.'), "12.5");
    EXPECT_EQ(percentText(7, 8, ','), "87,5");
    EXPECT_EQ(percentText(1, 3, '.'), "33.33");
    EXPECT_EQ(percentText(2, 3, '.'), "66.67");
    EXPECT_EQ(percentText(1, 10, '.'), "10");
    EXPECT_EQ(percentText(1, 20, '.'), "5");
    EXPECT_EQ(percentText(1, 25, '.'), "4");
    EXPECT_EQ(percentText(1, 40, '.'), "2.5");
    EXPECT_EQ(percentText(1, 5000, '.'), "0.02");
    EXPECT_EQ(percentText(1, 1000000, '.'), "0");
    EXPECT_EQ(percentText(0, 5, '.'), "0");
}

TEST(PercentText, HalvesGoToTheEvenNeighbour) {
    // 1/800 = 0.125 %, 3/800 = 0.375 %, 5/800 = 0.625 %: exact halves of a hundredth.
    EXPECT_EQ(percentText(1, 800, '.'), "0.12");
    EXPECT_EQ(percentText(3, 800, '.'), "0.38");
    EXPECT_EQ(percentText(5, 800, '.'), "0.62");
    EXPECT_DOUBLE_EQ(roundedPercent(1, 800), 0.12);
    EXPECT_DOUBLE_EQ(roundedPercent(3, 800), 0.38);
    EXPECT_DOUBLE_EQ(roundedPercent(1, 3), 33.33);
}

TEST(PercentText, NoTotalGivesZero) {
    EXPECT_EQ(percentText(0, 0, '.'), "0");
    EXPECT_EQ(percentText(3, 0, '.'), "0");
    EXPECT_DOUBLE_EQ(roundedPercent(3, 0), 0.0);
}

TEST(PercentText, SixtyFourBitCounts) {
    const std::int64_t total = 6'000'000'000LL;
    EXPECT_EQ(percentText(total / 4, total, '.'), "25");
    EXPECT_EQ(percentText(total, total, '.'), "100");
}

TEST(Rounding, HalfEven) {
    EXPECT_EQ(roundHalfEven(1234.5), 1234.0);
    EXPECT_EQ(roundHalfEven(1235.5), 1236.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(roundHalfEven(-0.4), 0.0);
    EXPECT_EQ(roundHalfEven(7.0), 7.0);
}

} // namespace
} // namespace lantrivex
