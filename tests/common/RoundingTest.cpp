#include "common/Rounding.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

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
