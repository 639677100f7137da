#include "analysis/IndexScanner.h"

#include "ReferenceScan.h"
#include "common/IndexStreamGenerator.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace lantrivex::analysis {
namespace {

using namespace std::string_literals;

ScanResult scan(std::string_view text) {
    return ScanIndexStream(toBytes(text));
}

ScanResult scanInPieces(std::span<const std::byte> bytes, const std::vector<std::size_t>& cuts) {
    IndexScanner scanner;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        scanner.feed(bytes.subspan(from, cut - from));
        from = cut;
    }
    scanner.feed(bytes.subspan(from));
    return scanner.result();
}

TEST(ScanIndexStream, CountsASignatureFollowedByMoreData) {
    const ScanResult r = scan("\x01W6BNMSWD\x00"s);
    EXPECT_EQ(r.total, 1);
    ASSERT_EQ(r.signatures.size(), 1u);
    EXPECT_EQ(r.signatures[0].signature, "W6BNMSWD");
    EXPECT_EQ(r.signatures[0].count, 1);
}

TEST(ScanIndexStream, CountsASignatureEndingOnTheLastByte) {
    const ScanResult r = scan("\x01W6BNMSWD");
    EXPECT_EQ(r.total, 1);
    ASSERT_EQ(r.signatures.size(), 1u);
    EXPECT_EQ(r.signatures[0].signature, "W6BNMSWD");
    // One byte short: nothing.
    EXPECT_EQ(scan("\x01W6BNMSW").total, 0);
}

TEST(ScanIndexStream, EmptyAndTinyStreamsGiveNothing) {
    EXPECT_EQ(ScanIndexStream({}).total, 0);
    EXPECT_TRUE(ScanIndexStream({}).signatures.empty());
    EXPECT_EQ(scan("\x01").total, 0);
    EXPECT_EQ(scan("ABCDEFGH").total, 0);
}

TEST(ScanIndexStream, LetterCaseJoinsSignaturesKeepingTheFirstSpelling) {
    const ScanResult r = scan("\x01TEXTttxt\x00\x01TEXTttxt\x00\x01textTTXT\x00"s);
    EXPECT_EQ(r.total, 3);
    ASSERT_EQ(r.signatures.size(), 1u);
    EXPECT_EQ(r.signatures[0].signature, "TEXTttxt");
    EXPECT_EQ(r.signatures[0].count, 3);
}

TEST(ScanIndexStream, OnlyLettersFoldTogether) {
    // '@' / '`' and '[' / '{' differ by 0x20 like the letters but are distinct characters.
    const ScanResult r = scan("\x01"
                              "ABCD@[\\]\x00\x01"
                              "abcd`{|}\x00\x01"
                              "AbCd@[\\]\x00"s);
    EXPECT_EQ(r.total, 3);
    ASSERT_EQ(r.signatures.size(), 2u);
    EXPECT_EQ(r.signatures[0].signature, "ABCD@[\\]");
    EXPECT_EQ(r.signatures[0].count, 2);
    EXPECT_EQ(r.signatures[1].signature, "abcd`{|}");
    EXPECT_EQ(r.signatures[1].count, 1);
}

TEST(ScanIndexStream, KeepsTheOrderOfFirstOccurrence) {
    const ScanResult r = scan("\x01XLS5XCEL\x00\x01W6BNMSWD\x00\x01xls5xcel\x00\x01"
                              "8BPS8BIM\x00\x01W6BNMSWD"s);
    EXPECT_EQ(r.total, 5);
    ASSERT_EQ(r.signatures.size(), 3u);
    EXPECT_EQ(r.signatures[0].signature, "XLS5XCEL");
    EXPECT_EQ(r.signatures[0].count, 2);
    EXPECT_EQ(r.signatures[1].signature, "W6BNMSWD");
    EXPECT_EQ(r.signatures[1].count, 2);
    EXPECT_EQ(r.signatures[2].signature, "8BPS8BIM");
    EXPECT_EQ(r.signatures[2].count, 1);
}

TEST(ScanIndexStream, RefusesBytesOutsideThePrintableRange) {
    EXPECT_EQ(scan("\x01PDF CARO\x00"s).total, 0);    // a blank in the type
    EXPECT_EQ(scan("\x01TEXT\x80txt\x00"s).total, 0); // 0x80
    EXPECT_EQ(scan("\x01TEXTttx\xFF\x00"s).total, 0); // 0xFF at the end
    EXPECT_EQ(scan("\x01\xC9TEXTtt\x00"s).total, 0);  // high byte first
    EXPECT_EQ(scan("\x01TEXT\x1Ftxt\x00"s).total, 0); // a control byte
    EXPECT_EQ(scan("\x01TEXT\x00txt\x00"s).total, 0);
    // The range's own ends are accepted: 0x21 and 0x7F.
    const ScanResult r = scan("\x01!!!!\x7F\x7F\x7F\x7F"s);
    EXPECT_EQ(r.total, 1);
    ASSERT_EQ(r.signatures.size(), 1u);
    EXPECT_EQ(r.signatures[0].signature, "!!!!\x7F\x7F\x7F\x7F");
}

TEST(ScanIndexStream, ADoubledMarkerCountsOnce) {
    const ScanResult r = scan("\x01\x01"
                              "ABCDEFGH\x00"s);
    EXPECT_EQ(r.total, 1);
    ASSERT_EQ(r.signatures.size(), 1u);
    EXPECT_EQ(r.signatures[0].signature, "ABCDEFGH");
}

TEST(ScanIndexStream, BackToBackSignatures) {
    const ScanResult r = scan("\x01"
                              "AAAAAAAA\x01"
                              "BBBBBBBB\x01"
                              "aaaaaaaa");
    EXPECT_EQ(r.total, 3);
    ASSERT_EQ(r.signatures.size(), 2u);
    EXPECT_EQ(r.signatures[0].count, 2);
}

TEST(ScanIndexStream, FindsMarkersAtEveryOffsetOfLongBuffers) {
    // Long buffers go through the block search; put one signature at each offset in turn.
    for (std::size_t offset = 0; offset < 200; ++offset) {
        std::string text(offset, '\0');
        text += "\x01W6BNMSWD";
        text += std::string(offset % 7, '\x02');
        const ScanResult r = scan(text);
        ASSERT_EQ(r.total, 1) << "offset " << offset;
    }
}

TEST(ScanIndexStream, ManyDistinctSignaturesKeepTheirOrderAndCounts) {
    // Enough distinct keys to make the table grow several times.
    std::string text;
    for (int round = 0; round < 2; ++round) {
        for (int k = 0; k < 50000; ++k) {
            char sig[9];
            std::snprintf(sig, sizeof sig, "%c%07d", round == 0 ? 'K' : 'k', k);
            text += '\x01';
            text += sig;
        }
    }
    const auto bytes = toBytes(text);
    const ScanResult r = ScanIndexStream(bytes);
    EXPECT_EQ(r.total, 100000);
    ASSERT_EQ(r.signatures.size(), 50000u);
    EXPECT_EQ(r.signatures[0].signature, "K0000000");
    EXPECT_EQ(r.signatures[49999].signature, "K0049999");
    EXPECT_EQ(r, referenceScan(bytes));
}

// Buffers where boundaries hurt: signatures at the very start and end, a doubled marker, near
// misses, signatures back to back.
const std::vector<std::string> kTrickyBuffers = {
    "\x01W6BNMSWD",
    "\x01\x01"
    "ABCDEFGH\x00"s,
    "\x01"
    "AAAAAAAA\x01"
    "BBBBBBBB\x01"
    "aaaaaaaa",
    "xx\x01TEXTttxt\x01PDF CARO\x01textTTXT\x01TEXT\x80txt\x01"
    "8BPS8BIM"s,
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
    "12345678\x01"
    "1234567"s,
    "\x01W6BNMSW\x01XLS5XCEL\x00\x00\x01XDOCXPR3"s,
};

TEST(IndexScanner, AnySplitGivesTheOnePassResult) {
    for (const std::string& text : kTrickyBuffers) {
        const auto bytes = toBytes(text);
        const ScanResult whole = ScanIndexStream(bytes);
        ASSERT_EQ(whole, referenceScan(bytes)) << text;
        for (std::size_t a = 0; a <= bytes.size(); ++a) {
            ASSERT_EQ(scanInPieces(bytes, {a}), whole) << "cut at " << a;
            for (std::size_t b = a; b <= bytes.size(); ++b) {
                ASSERT_EQ(scanInPieces(bytes, {a, b}), whole) << "cuts at " << a << ", " << b;
            }
        }
    }
}

TEST(IndexScanner, ByteByByteGivesTheOnePassResult) {
    for (const std::string& text : kTrickyBuffers) {
        const auto bytes = toBytes(text);
        IndexScanner scanner;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            scanner.feed(std::span<const std::byte>(bytes).subspan(i, 1));
            scanner.feed({}); // empty pieces change nothing
        }
        EXPECT_EQ(scanner.result(), ScanIndexStream(bytes)) << text;
    }
}

TEST(IndexScanner, ResultCanBeTakenBetweenPieces) {
    const auto bytes = toBytes("\x01W6BNMSWD\x01W6BN"s);
    IndexScanner scanner;
    scanner.feed(std::span<const std::byte>(bytes).subspan(0, 12));
    EXPECT_EQ(scanner.result().total, 1);
    scanner.feed(std::span<const std::byte>(bytes).subspan(12));
    const auto rest = toBytes("MSWD");
    scanner.feed(rest);
    EXPECT_EQ(scanner.result().total, 2);
    EXPECT_EQ(scanner.result().signatures[0].count, 2);
}

TEST(IndexScanner, RandomStreamsInRandomPiecesMatchTheReference) {
    std::mt19937_64 random(20261206);
    // Bytes drawn mostly from markers, letters and the range's edges, so that matches, near misses
    // and case variants are frequent.
    const std::string alphabet = "\x01\x01\x01\x01\x01"
                                 "AaBbZz@`[{!\x7F \x20\x80\xFF\x00"s;
    for (int round = 0; round < 300; ++round) {
        const std::size_t size = random() % 3000;
        std::vector<std::byte> bytes(size);
        for (auto& b : bytes) {
            b = static_cast<std::byte>(random() % 4 == 0 ? random() % 256
                                                         : alphabet[random() % alphabet.size()]);
        }
        const ScanResult expected = referenceScan(bytes);
        ASSERT_EQ(ScanIndexStream(bytes), expected);
        std::vector<std::size_t> cuts;
        std::size_t at = 0;
        while (true) {
            at += random() % (random() % 2 ? 12 : 300);
            if (at >= size) {
                break;
            }
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
        const ScanResult r = ScanIndexStream(bytes);
        ASSERT_EQ(r, referenceScan(bytes));
        ASSERT_EQ(r.signatures.size(), plan.size());
        std::int64_t total = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(r.signatures[i].signature, plan[i].signature);
            EXPECT_EQ(r.signatures[i].count, plan[i].count);
            total += plan[i].count;
        }
        EXPECT_EQ(r.total, total);
    }
}

} // namespace
} // namespace lantrivex::analysis
