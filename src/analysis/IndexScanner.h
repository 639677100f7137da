// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SignatureCounts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::analysis {

// Result of a scan: the distinct signatures in the order of their first occurrence (colOrder with
// colCounts), and the number of all occurrences.
struct ScanResult {
    SignatureCounts signatures;
    std::int64_t total = 0;
};

// Counts the signatures of an index stream fed in pieces of any size: feeding a stream chunk by
// chunk gives the same result as one pass over the whole. A signature occurrence is a byte 0x01
// followed by eight bytes each in 0x21..0x7F; letter case does not separate signatures (ASCII);
// every start position whose eight signature bytes lie inside the stream is examined.
//
// The index comes from a server and may be hostile: memory grows by at most 48 bytes per distinct
// signature, growth of the table included (16 for the signature and its count, in blocks that
// never move, and at most 30 for the hash table of their positions, while it doubles). The
// result is handed over in those same blocks.
class IndexScanner {
public:
    IndexScanner();
    ~IndexScanner();
    IndexScanner(const IndexScanner&) = delete;
    IndexScanner& operator=(const IndexScanner&) = delete;

    void feed(std::span<const std::byte> bytes);

    // The result so far; the scanner may be fed further afterwards.
    ScanResult result() const;

    // The result, handed over without holding the table and a copy of it at once; the scanner is
    // empty afterwards.
    ScanResult takeResult();

private:
    struct Table;
    struct Split;
    void feedPart(std::span<const std::byte> bytes);
    void scanBytes(const std::byte* p, std::size_t length);

    // One table, or, once the index shows many distinct signatures, two counted on two threads.
    std::unique_ptr<Table> table_;
    std::unique_ptr<Split> split_;
    // The last bytes of the previous piece whose window may still complete in the next one.
    std::array<std::byte, 8> carry_{};
    std::size_t carryLength_ = 0;
};

// The whole scan of one buffer.
ScanResult ScanIndexStream(std::span<const std::byte> bytes);

// Puts the signatures in order of count, descending; equal counts keep their order (that of first
// occurrence). Linear in the number of signatures, with one copy of them as extra room.
void SortByCountDescending(SignatureCounts& signatures);

} // namespace lantrivex::analysis
