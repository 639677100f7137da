#include "common/IndexStreamGenerator.h"

#include "common/Ascii.h"

#include <algorithm>
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

TEST(IndexStreamGenerator, TheSameOptionsGiveTheSameBytes) {
    std::vector<PlannedSignature> planA, planB;
    const auto a = generateIndexStream(smallOptions(3), &planA);
    const auto b = generateIndexStream(smallOptions(3), &planB);
    EXPECT_EQ(a, b);
    ASSERT_EQ(planA.size(), planB.size());
    EXPECT_NE(a, generateIndexStream(smallOptions(4)));
    // A fixed point of the sequence, so that a change of the generator is noticed (samples and
    // recorded figures depend on it).
    EXPECT_EQ(std::to_integer<int>(a[0]), 0x10);
}

TEST(IndexStreamGenerator, PiecesOfAnySizeGiveTheWholeStream) {
    const auto whole = generateIndexStream(smallOptions(5));
    for (std::size_t piece : {1u, 3u, 8u, 1000u, 65536u}) {
        IndexStreamGenerator generator(smallOptions(5));
        std::vector<std::byte> joined;
        std::vector<std::byte> buffer(piece);
        while (!generator.done()) {
            const std::size_t n = generator.generate(buffer);
            ASSERT_GT(n, 0u);
            joined.insert(joined.end(), buffer.begin(),
                          buffer.begin() + static_cast<std::ptrdiff_t>(n));
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
    EXPECT_TRUE(generator.done());
    std::int64_t sum = 0;
    std::set<std::string> keys;
    for (const auto& s : generator.planned()) {
        EXPECT_EQ(s.signature.size(), 8u);
        EXPECT_TRUE(keys.insert(asciiToLower(s.signature)).second) << s.signature;
        sum += s.count;
    }
    EXPECT_EQ(sum, generator.plannedTotal());
    EXPECT_GT(generator.plannedTotal(), 1000);
    EXPECT_GT(keys.size(), 60u);
    EXPECT_LE(keys.size(), 120u);
}

TEST(IndexStreamGenerator, UsesTheGivenSignaturesOnly) {
    IndexStreamOptions options = smallOptions(11);
    options.signatures = {"W6BNMSWD", "XLS5XCEL", "w6bnmswd", "bad"}; // a repeat and a misfit
    options.distinctSignatures = 10;
    std::vector<PlannedSignature> plan;
    generateIndexStream(options, &plan);
    ASSERT_EQ(plan.size(), 2u);
    for (const auto& s : plan) {
        EXPECT_TRUE(equalsIgnoreAsciiCase(s.signature, "W6BNMSWD") ||
                    equalsIgnoreAsciiCase(s.signature, "XLS5XCEL"));
    }
}

TEST(IndexStreamGenerator, TinyAndEmptyStreams) {
    IndexStreamOptions options;
    options.size = 0;
    EXPECT_TRUE(generateIndexStream(options).empty());
    options.size = 5; // no room for a record: zeros
    std::vector<PlannedSignature> plan;
    EXPECT_EQ(generateIndexStream(options, &plan), std::vector<std::byte>(5));
    EXPECT_TRUE(plan.empty());
    options.distinctSignatures = 0; // files get only near misses
    options.size = 10000;
    generateIndexStream(options, &plan);
    EXPECT_TRUE(plan.empty());
}

TEST(IndexStreamGenerator, ClassicSignaturesAreValidAndDistinct) {
    std::set<std::string> keys;
    for (std::string_view s : classicSignatures()) {
        ASSERT_EQ(s.size(), 8u);
        EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](char c) { return c > 0x20 && c < 0x7F; }))
            << s;
        EXPECT_TRUE(keys.insert(asciiToLower(s)).second) << s;
    }
}

} // namespace
} // namespace lantrivex
