// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IndexScanner.h"

#include "ReferenceScan.h"
#include "common/IndexStreamGenerator.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // the sanitizer's own count
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lantrivex::analysis {
namespace {

using namespace std::string_literals;
using Bytes = std::span<const std::byte>;

// Edges of the buffer, near misses (bytes just outside 0x21..0x7F), non-letters that must not fold.
const std::vector<std::pair<std::string, std::string>> kRows = {
    {"\001W6BNMSWD", "total 1: W6BNMSWD=1"},
    {"\001W6BNMSW", "total 0:"},
    {"", "total 0:"},
    {"ABCDEFGH\001", "total 0:"},
    {"\001PDF CARO\0\001TEXT\x80txt\0\001TEXTttx\xFF\001\xC9TEXTtt\001TEXT\x1Ftxt\001TEXT\0txt"s,
     "total 0:"},
    {"\001TEXTttxt\0\001TEXTttxt\0\001textTTXT\0"s, "total 3: TEXTttxt=3"},
    {"\001ABCD@[\\]\0\001abcd`{|}\0\001AbCd@[\\]\0"s, "total 3: ABCD@[\\]=2 abcd`{|}=1"},
    {"\001XLS5XCEL\0\001W6BNMSWD\0\001xls5xcel\0\0018BPS8BIM\0\001W6BNMSWD"s,
     "total 5: XLS5XCEL=2 W6BNMSWD=2 8BPS8BIM=1"},
    {"\001!!!!\x7F\x7F\x7F\x7F"s, "total 1: !!!!\x7F\x7F\x7F\x7F=1"},
    {"\001\001ABCDEFGH\0"s, "total 1: ABCDEFGH=1"},
    {"\001AAAAAAAA\001BBBBBBBB\001aaaaaaaa", "total 3: AAAAAAAA=2 BBBBBBBB=1"},
    {"\001\001\001\001\001\001\001\001\001\00112345678\0011234567", "total 1: 12345678=1"},
    {"\001W6BNMSW\001XLS5XCEL\0\0\001XDOCXPR3"s, "total 2: XLS5XCEL=1 XDOCXPR3=1"},
};

TEST(ScanIndexStream, SignaturesCountedOnceEachByFirstSpellingAtAnyOffset) {
    for (const auto& [text, expected] : kRows) {
        const auto bytes = toBytes(text);
        EXPECT_EQ(::testing::PrintToString(ScanIndexStream(bytes)), expected)
            << ::testing::PrintToString(text);
    }
    for (std::size_t offset = 0; offset < 200; ++offset) {
        const std::string text =
            std::string(offset, '\0') + "\x01W6BNMSWD" + std::string(offset % 7, '\x02');
        ASSERT_EQ(ScanIndexStream(toBytes(text)).total, 1) << "offset " << offset;
    }
}

TEST(ScanIndexStream, ManyDistinctSignaturesKeepTheirOrderAndCounts) {
    std::string text; // enough distinct keys to make the table grow several times
    for (int k = 0; k < 100000; ++k) {
        text += "\x01"s + (k < 50000 ? 'K' : 'k') + std::to_string(1000000 + k % 50000);
    }
    const ScanResult r = ScanIndexStream(toBytes(text));
    ASSERT_EQ(r.signatures.size(), 50000u);
    EXPECT_EQ(r, referenceScan(toBytes(text)));
}

// Bytes of the heap in use by this process; 0 where the C library does not tell.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

TEST(IndexScanner, AHostileStreamOfDistinctSignaturesCostsAtMost48BytesEach) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__GLIBC__)
    GTEST_SKIP() << "the heap in use is measured with glibc or AddressSanitizer only";
#endif
    // Every record a new signature, fed in pieces as the volume reader does; the heap is looked at
    // after each piece and while the result is handed over.
    constexpr std::size_t kDistinct = 600000;
    constexpr std::size_t kPiece = 9 * 4096;
    std::vector<std::byte> piece(kPiece);
    const std::size_t before = heapInUse();
    std::size_t peak = 0;
    ScanResult result;
    {
        IndexScanner scanner;
        std::size_t made = 0;
        while (made < kDistinct) {
            for (std::size_t at = 0; at < kPiece; at += 9, ++made) {
                piece[at] = std::byte{0x01};
                for (std::size_t k = 0, n = made; k < 8; ++k, n /= 64) {
                    piece[at + 1 + k] = static_cast<std::byte>(0x21 + n % 64); // no letters twice
                }
            }
            scanner.feed(piece);
            peak = std::max(peak, heapInUse() - before);
        }
        result = scanner.takeResult();
        peak = std::max(peak, heapInUse() - before);
    }
    ASSERT_GE(result.signatures.size(), kDistinct);
    EXPECT_EQ(result.signatures[12345].count, 1);
    const double perSignature =
        static_cast<double>(peak) / static_cast<double>(result.signatures.size());
    EXPECT_LE(perSignature, 48.0);
    EXPECT_LE(static_cast<double>(heapInUse() - before) /
                  static_cast<double>(result.signatures.size()),
              16.0 + 1.0); // the result itself: eight characters and a count
}

TEST(SortByCountDescending, HighCountsFirstEqualCountsInOrderOfFirstOccurrence) {
    SignatureCounts rows;
    std::vector<std::int64_t> counts = {1, 70000, 3, 70000, 1, 5000000000, 3, 65536, 65535, 1};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        rows.push_back(SignatureCount{"SIGNATU" + std::to_string(i), counts[i]});
    }
    SortByCountDescending(rows);
    std::string order;
    for (const auto& r : rows) {
        order += r.signature.text().substr(7);
    }
    EXPECT_EQ(order, "5137826049");
    SignatureCounts same{{"ABCDEFGH", 2}, {"ABCDEFGH", 2}, {"ABCDEFGH", 2}};
    SortByCountDescending(same);
    EXPECT_EQ(same.size(), 3u);
    // Over several blocks of the list, against a stable sort of a plain copy.
    SignatureCounts many;
    std::vector<SignatureCount> plain;
    for (std::int64_t i = 0; i < 40000; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 8 - name.size(), 'S');
        many.push_back(SignatureCount{name, (i * 7919) % 70001});
        plain.push_back(many[static_cast<std::size_t>(i)]);
    }
    SortByCountDescending(many);
    std::stable_sort(plain.begin(), plain.end(),
                     [](const auto& a, const auto& b) { return a.count > b.count; });
    ASSERT_EQ(many.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        ASSERT_EQ(many[i].signature, plain[i].signature) << i;
    }
}

TEST(IndexScanner, AnySplitGivesTheOnePassResultAndEachPrefixItsOwn) {
    for (const auto& row : kRows) {
        const auto bytes = toBytes(row.first);
        for (std::size_t a = 0; a <= bytes.size(); ++a) {
            for (std::size_t b = a; b <= bytes.size(); ++b) {
                IndexScanner scanner;
                scanner.feed(Bytes(bytes).first(a));
                scanner.feed(Bytes(bytes).subspan(a, b - a));
                scanner.feed(Bytes(bytes).subspan(b));
                ASSERT_EQ(scanner.result(), ScanIndexStream(bytes)) << a << ", " << b;
            }
        }
        IndexScanner byteByByte; // the result taken between pieces is that of the bytes so far
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            byteByByte.feed(Bytes(bytes).subspan(i, 1));
            byteByByte.feed({});
            ASSERT_EQ(byteByByte.result(), ScanIndexStream(Bytes(bytes).first(i + 1))) << i;
        }
    }
}

TEST(IndexScanner, ManyDistinctSignaturesCountedOnTwoThreadsGiveTheOnePassResult) {
    // Past some 65,000 distinct signatures the scan goes on two threads. Fed in uneven pieces, with
    // the result taken between them, it still gives what the plain scan gives. The stream: a mixed
    // index with letter-case variants, 150,000 distinct signatures twice over, the mixed index
    // again.
    IndexStreamOptions options;
    options.size = 1 << 20;
    options.caseVariantRate = 0.25;
    options.nearMissRate = 0.1;
    const auto mixed = generateIndexStream(options);
    std::vector<std::byte> packed(9 * 300000);
    writePackedRecords(packed, 0, 150000);
    std::vector<std::byte> bytes = mixed;
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    bytes.insert(bytes.end(), mixed.begin(), mixed.end());
    const Bytes all(bytes);
    const std::size_t first = (1 << 20) + 3;
    const std::size_t middle = all.size() * 3 / 4 + 5;
    IndexScanner scanner;
    scanner.feed(all.first(first));
    scanner.feed(all.subspan(first, middle - first));
    // (Compared without printing: a difference would fill the log with 150,000 signatures.)
    EXPECT_TRUE(scanner.result() == referenceScan(all.first(middle)));
    scanner.feed(all.subspan(middle));
    const ScanResult expected = referenceScan(all);
    ASSERT_GT(expected.signatures.size(), 150000u);
    EXPECT_TRUE(scanner.takeResult() == expected);
    EXPECT_TRUE(ScanIndexStream(all) == expected);
}

TEST(ScanIndexStream, FindsExactlyWhatTheGeneratorPlanted) {
    IndexStreamOptions options;
    options.size = 300977;
    options.caseVariantRate = 0.25;
    options.nearMissRate = 0.2;
    std::vector<PlannedSignature> plan;
    const auto bytes = generateIndexStream(options, &plan);
    ScanResult planned;
    for (const auto& p : plan) {
        planned.signatures.push_back(SignatureCount{p.signature, p.count});
        planned.total += p.count;
    }
    EXPECT_EQ(ScanIndexStream(bytes), planned);
}

} // namespace
} // namespace lantrivex::analysis
