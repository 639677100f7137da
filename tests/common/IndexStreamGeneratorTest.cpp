// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IndexStreamGenerator.h"

#include "common/Ascii.h"

#include <gtest/gtest.h>
#include <set>

namespace lantrivex {
namespace {

TEST(IndexStreamGenerator, SameOptionsSameBytesInPiecesOfAnySizeAndAPlanThatAddsUp) {
    IndexStreamOptions options;
    options.size = 200000;
    options.caseVariantRate = 0.3;
    options.distinctSignatures = 120; // more than the classic codes: made-up ones are added
    options.seed = 3; // a fixed point: samples and recorded figures depend on the sequence
    EXPECT_EQ(std::to_integer<int>(generateIndexStream(options)[0]), 0x10);
    const auto whole = generateIndexStream(options);
    for (std::size_t piece : {1u, 65536u}) {
        IndexStreamGenerator generator(options);
        std::vector<std::byte> joined, buffer(piece);
        while (!generator.done()) {
            const std::size_t n = generator.generate(buffer);
            joined.insert(joined.end(), buffer.begin(), buffer.begin() + static_cast<long>(n));
        }
        EXPECT_EQ(joined, whole) << "pieces of " << piece;
        std::int64_t sum = 0;
        std::set<std::string> keys;
        for (const auto& s : generator.planned()) {
            EXPECT_TRUE(s.signature.size() == 8 && keys.insert(asciiToLower(s.signature)).second);
            sum += s.count;
        }
        EXPECT_EQ(sum, generator.plannedTotal());
        EXPECT_TRUE(sum > 1000 && keys.size() > 60 && keys.size() <= 120);
    }
}

TEST(IndexStreamGenerator, GivenSignaturesAndATinyStream) {
    IndexStreamOptions options;
    options.size = 20000;
    options.signatures = {"W6BNMSWD", "XLS5XCEL", "w6bnmswd", "bad"}; // a repeat and a misfit
    std::vector<PlannedSignature> plan;
    generateIndexStream(options, &plan);
    std::set<std::string> keys;
    for (const auto& s : plan) {
        keys.insert(asciiToLower(s.signature));
    }
    EXPECT_EQ(plan.size(), 2u);
    EXPECT_EQ(keys, (std::set<std::string>{"w6bnmswd", "xls5xcel"}));
    options.size = 5; // no room for a record: zeros
    EXPECT_EQ(generateIndexStream(options, &plan), std::vector<std::byte>(5));
    EXPECT_TRUE(plan.empty());
}

} // namespace
} // namespace lantrivex
