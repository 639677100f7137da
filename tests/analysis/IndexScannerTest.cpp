#include "analysis/IndexScanner.h"

#include "ReferenceScan.h"
#include "common/IndexStreamGenerator.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace lantrivex::analysis {
namespace {

using namespace std::string_literals;
using Bytes = std::span<const std::byte>;

ScanResult scanInPieces(Bytes bytes, const std::vector<std::size_t>& cuts) {
    IndexScanner scanner;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        scanner.feed(bytes.subspan(from, cut - from));
        from = cut;
    }
    scanner.feed(bytes.subspan(from));
    return scanner.result();
}

// Stream and its scan: signatures at the very start and end, near misses, bytes just outside the
// range, letter case, a doubled marker, back to back.
const std::vector<std::pair<std::string, std::string>> kRows = {
    {"\001W6BNMSWD\0"s, "total 1: W6BNMSWD=1"},
    {"\001W6BNMSWD", "total 1: W6BNMSWD=1"},
    {"\001W6BNMSW", "total 0:"},
    {"", "total 0:"},
    {"\001", "total 0:"},
    {"ABCDEFGH", "total 0:"},
    {"\001TEXTttxt\0\001TEXTttxt\0\001textTTXT\0"s, "total 3: TEXTttxt=3"},
    // '@' / '`' and '[' / '{' differ by 0x20 like the letters but do not fold.
    {"\001ABCD@[\\]\0\001abcd`{|}\0\001AbCd@[\\]\0"s, "total 3: ABCD@[\\]=2 abcd`{|}=1"},
    {"\001XLS5XCEL\0\001W6BNMSWD\0\001xls5xcel\0\0018BPS8BIM\0\001W6BNMSWD"s,
     "total 5: XLS5XCEL=2 W6BNMSWD=2 8BPS8BIM=1"},
    {"\001PDF CARO\0"s, "total 0:"},
    {"\001TEXT\x80txt\0"s, "total 0:"},
    {"\001TEXTttx\xFF\0"s, "total 0:"},
    {"\001\xC9TEXTtt\0"s, "total 0:"},
    {"\001TEXT\x1Ftxt\0"s, "total 0:"},
    {"\001TEXT\0txt\0"s, "total 0:"},
    {"\001!!!!\x7F\x7F\x7F\x7F"s, "total 1: !!!!\x7F\x7F\x7F\x7F=1"},
    {"\001\001ABCDEFGH\0"s, "total 1: ABCDEFGH=1"},
    {"\001AAAAAAAA\001BBBBBBBB\001aaaaaaaa", "total 3: AAAAAAAA=2 BBBBBBBB=1"},
    {"xx\001TEXTttxt\001PDF CARO\001textTTXT\001TEXT\x80txt\0018BPS8BIM",
     "total 3: TEXTttxt=2 8BPS8BIM=1"},
    {"\001\001\001\001\001\001\001\001\001\00112345678\0011234567", "total 1: 12345678=1"},
    {"\001W6BNMSW\001XLS5XCEL\0\0\001XDOCXPR3"s, "total 2: XLS5XCEL=1 XDOCXPR3=1"},
};

TEST(ScanIndexStream, SignaturesCountedOnceEachByFirstSpelling) {
    for (const auto& [text, expected] : kRows) {
        const auto bytes = toBytes(text);
        EXPECT_EQ(::testing::PrintToString(ScanIndexStream(bytes)), expected)
            << ::testing::PrintToString(text);
        EXPECT_EQ(referenceScan(bytes), ScanIndexStream(bytes));
    }
}

TEST(ScanIndexStream, FindsMarkersAtEveryOffsetOfLongBuffers) {
    for (std::size_t offset = 0; offset < 200; ++offset) {
        const std::string text =
            std::string(offset, '\0') + "\x01W6BNMSWD" + std::string(offset % 7, '\x02');
        ASSERT_EQ(ScanIndexStream(toBytes(text)).total, 1) << "offset " << offset;
    }
}

TEST(ScanIndexStream, ManyDistinctSignaturesKeepTheirOrderAndCounts) {
    std::string text; // enough distinct keys to make the table grow several times
    for (char first : {'K', 'k'}) {
        for (int k = 0; k < 50000; ++k) {
            char sig[9];
            std::snprintf(sig, sizeof sig, "%c%07d", first, k);
            text += '\x01' + std::string(sig);
        }
    }
    const ScanResult r = ScanIndexStream(toBytes(text));
    ASSERT_EQ(r.signatures.size(), 50000u);
    EXPECT_EQ(r.signatures[49999].signature, "K0049999");
    EXPECT_EQ(r, referenceScan(toBytes(text)));
}

TEST(IndexScanner, AnySplitGivesTheOnePassResult) {
    for (const auto& row : kRows) {
        const auto bytes = toBytes(row.first);
        const ScanResult whole = ScanIndexStream(bytes);
        for (std::size_t a = 0; a <= bytes.size(); ++a) {
            for (std::size_t b = a; b <= bytes.size(); ++b) {
                ASSERT_EQ(scanInPieces(bytes, {a, b}), whole) << "cuts at " << a << ", " << b;
            }
        }
        // Byte by byte, the result taken between pieces is that of the bytes fed so far.
        IndexScanner byteByByte;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            byteByByte.feed(Bytes(bytes).subspan(i, 1));
            byteByByte.feed({});
            ASSERT_EQ(byteByByte.result(), ScanIndexStream(Bytes(bytes).first(i + 1))) << i;
        }
    }
}

TEST(IndexScanner, RandomStreamsInRandomPiecesMatchTheReference) {
    std::mt19937_64 random(20261206);
    // Mostly markers, letters and the range's edges: matches, near misses and case variants abound.
    const std::string alphabet = "\001\001\001\001\001AaBbZz@`[{!\x7F \x80\xFF\0"s;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::byte> bytes(random() % 3000);
        for (auto& b : bytes) {
            b = static_cast<std::byte>(random() % 4 == 0 ? random() % 256
                                                         : alphabet[random() % alphabet.size()]);
        }
        const ScanResult expected = referenceScan(bytes);
        ASSERT_EQ(ScanIndexStream(bytes), expected);
        std::vector<std::size_t> cuts;
        for (std::size_t at = random() % 300; at < bytes.size();
             at += random() % (random() % 2 ? 12 : 300)) {
            cuts.push_back(at);
        }
        ASSERT_EQ(scanInPieces(bytes, cuts), expected) << "round " << round;
    }
}

TEST(ScanIndexStream, FindsExactlyWhatTheGeneratorPlanted) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        IndexStreamOptions options;
        options.seed = seed;
        options.size = 300000 + seed * 977;
        options.caseVariantRate = 0.25;
        options.nearMissRate = 0.2;
        std::vector<PlannedSignature> plan;
        const auto bytes = generateIndexStream(options, &plan);
        ScanResult planned;
        for (const auto& p : plan) {
            planned.signatures.push_back(SignatureCount{p.signature, p.count});
            planned.total += p.count;
        }
        EXPECT_EQ(ScanIndexStream(bytes), planned) << "seed " << seed;
    }
}

} // namespace
} // namespace lantrivex::analysis
