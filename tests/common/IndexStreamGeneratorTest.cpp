#include "common/IndexStreamGenerator.h"

#include "common/Ascii.h"

#include <gtest/gtest.h>
#include <set>

namespace lantrivex {
namespace {

IndexStreamOptions smallOptions(std::uint64_t seed) {
    IndexStreamOptions options;
    options.seed = seed;
    options.size = 200000;
    options.caseVariantRate = 0.3;
    return options;
}

TEST(IndexStreamGenerator, SameOptionsSameBytesInPiecesOfAnySize) {
    const auto whole = generateIndexStream(smallOptions(5));
    EXPECT_NE(whole, generateIndexStream(smallOptions(4)));
    // A fixed point: samples and recorded figures depend on the sequence.
    EXPECT_EQ(std::to_integer<int>(generateIndexStream(smallOptions(3))[0]), 0x10);
    for (std::size_t piece : {1u, 3u, 65536u}) {
        IndexStreamGenerator generator(smallOptions(5));
        std::vector<std::byte> joined, buffer(piece);
        while (!generator.done()) {
            const std::size_t n = generator.generate(buffer);
            ASSERT_GT(n, 0u);
            joined.insert(joined.end(), buffer.begin(), buffer.begin() + static_cast<long>(n));
        }
        EXPECT_EQ(joined, whole) << "pieces of " << piece;
        EXPECT_EQ(generator.generate(buffer), 0u);
    }
}

TEST(IndexStreamGenerator, PlansDistinctSignaturesAndATotalThatAddsUp) {
    IndexStreamOptions options = smallOptions(9);
    options.distinctSignatures = 120; // more than the classic codes: made-up ones are added
    IndexStreamGenerator generator(options);
    std::vector<std::byte> bytes(options.size);
    EXPECT_EQ(generator.generate(bytes), options.size);
    std::int64_t sum = 0;
    std::set<std::string> keys;
    for (const auto& s : generator.planned()) {
        EXPECT_EQ(s.signature.size(), 8u);
        EXPECT_TRUE(keys.insert(asciiToLower(s.signature)).second) << s.signature;
        sum += s.count;
    }
    EXPECT_EQ(sum, generator.plannedTotal());
    EXPECT_GT(sum, 1000);
    EXPECT_GT(keys.size(), 60u);
    EXPECT_LE(keys.size(), 120u);
}

TEST(IndexStreamGenerator, GivenSignaturesTinyAndEmptyStreams) {
    IndexStreamOptions options = smallOptions(11);
    options.signatures = {"W6BNMSWD", "XLS5XCEL", "w6bnmswd", "bad"}; // a repeat and a misfit
    std::vector<PlannedSignature> plan;
    generateIndexStream(options, &plan);
    std::set<std::string> keys;
    for (const auto& s : plan) {
        keys.insert(asciiToLower(s.signature));
    }
    EXPECT_EQ(plan.size(), 2u);
    EXPECT_EQ(keys, (std::set<std::string>{"w6bnmswd", "xls5xcel"}));
    options = IndexStreamOptions{};
    options.size = 0;
    EXPECT_TRUE(generateIndexStream(options).empty());
    options.size = 5; // no room for a record: zeros
    EXPECT_EQ(generateIndexStream(options, &plan), std::vector<std::byte>(5));
    EXPECT_TRUE(plan.empty());
    options.distinctSignatures = 0; // files get only near misses
    options.size = 10000;
    generateIndexStream(options, &plan);
    EXPECT_TRUE(plan.empty());
}

} // namespace
} // namespace lantrivex
