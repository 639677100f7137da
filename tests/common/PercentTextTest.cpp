// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PercentText.h"

#include "common/Rounding.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

TEST(PercentText, ShortestTextOfTheValueRoundedHalfToEven) {
    struct Row {
        std::int64_t count, total;
        const char* text;
    };
    // 1/800 = 0.125 %, 3/800 = 0.375 %: exact halves of a hundredth.
    for (const Row& r :
         {Row{1, 1, "100"}, Row{1, 8, "12.5"}, Row{2, 3, "66.67"}, Row{0, 0, "0"},
          Row{1, 800, "0.12"}, Row{3, 800, "0.38"}, Row{3'000'000'000, 6'000'000'000, "50"}}) {
        EXPECT_EQ(percentText(r.count, r.total), r.text) << r.count << "/" << r.total;
    }
    EXPECT_EQ(percentText(1, 8, ','), "12,5");
    EXPECT_DOUBLE_EQ(percentValue(1, 800), 0.12);
    for (auto [in, out] : {std::pair{1235.5, 1236.0}, {-2.5, -2.0}, {-3.5, -4.0}, {2.4999, 2.0}}) {
        EXPECT_EQ(roundHalfEven(in), out) << in;
    }
}

} // namespace
} // namespace lantrivex
