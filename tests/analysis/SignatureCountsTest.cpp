// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SignatureCounts.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex::analysis {
namespace {

// Signature number `i`, distinct for every i below 10^8.
SignatureCount numbered(std::size_t i) {
    std::string text = std::to_string(i);
    text.insert(0, 8 - text.size(), 'S');
    return SignatureCount{text, static_cast<std::int64_t>(i)};
}

SignatureCounts numberedList(std::size_t n, std::size_t from = 0) {
    SignatureCounts list;
    for (std::size_t i = from; i < from + n; ++i) {
        list.push_back(numbered(i));
    }
    return list;
}

// Lengths around the first block's doublings and the whole blocks after it.
const std::vector<std::size_t> kLengths = {0,     1,     15,    16,    17,   1000,
                                           16383, 16384, 16385, 40000, 65536};

TEST(SignatureCounts, GrowsCopiesAndKeepsEverySignatureInPlace) {
    for (const std::size_t n : kLengths) {
        SignatureCounts list = numberedList(n);
        SignatureCounts copy = list;
        copy.push_back(numbered(n)); // a copy grows on from its own room
        ASSERT_EQ(copy.size(), n + 1);
        for (std::size_t i = 0; i <= n; ++i) {
            ASSERT_EQ(copy[i].signature, numbered(i).signature) << n << " " << i;
        }
        EXPECT_TRUE(numberedList(n + 1) == copy);
        EXPECT_FALSE(list == copy);
        copy.resize(n);
        EXPECT_TRUE(list == copy) << n;
    }
}

TEST(SignatureCounts, InterleaveTakesEachNextSignatureFromTheSideItsBitNames) {
    for (const std::size_t a : kLengths) {
        for (const std::size_t b : {std::size_t{0}, std::size_t{3}, std::size_t{20000}}) {
            // Signatures 0.. on the first side, 100000000 - b.. on the second, taken in a pattern
            // that alternates in runs of 1 to 7.
            std::vector<std::uint64_t> fromSecond((a + b + 63) / 64, 0);
            SignatureCounts expected;
            std::size_t nextA = 0;
            std::size_t nextB = 0;
            for (std::size_t i = 0; i < a + b; ++i) {
                const bool second = nextA == a || (nextB < b && (i / (1 + i % 7)) % 2 == 1);
                fromSecond[i / 64] |= std::uint64_t{second} << (i % 64);
                expected.push_back(second ? numbered(90000000 + nextB++) : numbered(nextA++));
            }
            SignatureCounts joined =
                SignatureCounts::interleave(numberedList(a), numberedList(b, 90000000), fromSecond);
            ASSERT_TRUE(joined == expected) << a << " + " << b;
            joined.push_back(numbered(a + b)); // and grows on
            EXPECT_EQ(joined[a + b].signature, numbered(a + b).signature);
        }
    }
}

} // namespace
} // namespace lantrivex::analysis
