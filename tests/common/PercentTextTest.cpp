#include "common/PercentText.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

TEST(PercentText, ShortestTextOfTheRoundedValue) {
    EXPECT_EQ(percentText(1, 1), "100");
    EXPECT_EQ(percentText(1, 2), "50");
    EXPECT_EQ(percentText(1, 8), "12.5");
    EXPECT_EQ(percentText(7, 8), "87.5");
    EXPECT_EQ(percentText(1, 3), "33.33");
    EXPECT_EQ(percentText(2, 3), "66.67");
    EXPECT_EQ(percentText(1, 8, ','), "12,5");
    EXPECT_EQ(percentText(0, 5), "0");
    EXPECT_EQ(percentText(0, 0), "0");
}

TEST(PercentText, HalvesGoToTheEvenNeighbour) {
    // 1/800 = 0.125 %, 3/800 = 0.375 %: exact halves of a hundredth.
    EXPECT_EQ(percentText(1, 800), "0.12");
    EXPECT_EQ(percentText(3, 800), "0.38");
    EXPECT_EQ(percentText(5, 800), "0.62");
    EXPECT_DOUBLE_EQ(percentValue(1, 800), 0.12);
}

TEST(PercentText, CountsBeyondThirtyTwoBits) {
    const std::int64_t total = 6'000'000'000;
    EXPECT_EQ(percentText(3'000'000'000, total), "50");
    EXPECT_EQ(percentText(total, total), "100");
}

} // namespace
} // namespace lantrivex
