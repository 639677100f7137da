// SPDX-License-Identifier: GPL-3.0-or-later
// The index scan against the plain position-by-position scan of the tests: over the whole buffer,
// one byte at a time, and in random pieces (empty ones included), with the result looked at once
// midway, since the scanner may be fed further after a result.

#include "FuzzSupport.h"
#include "analysis/ReferenceScan.h"

#include <algorithm>

using lantrivex::analysis::IndexScanner;
using lantrivex::analysis::referenceScan;
using lantrivex::analysis::ScanResult;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> stream(reinterpret_cast<const std::byte*>(data), size);
    const ScanResult expected = referenceScan(stream);
    LANTRIVEX_FUZZ_CHECK(lantrivex::analysis::ScanIndexStream(stream) == expected);

    if (size <= 64 * 1024) {
        IndexScanner scanner;
        for (std::size_t i = 0; i < size; ++i) {
            scanner.feed(stream.subspan(i, 1));
        }
        LANTRIVEX_FUZZ_CHECK(scanner.result() == expected);
    }

    lantrivex::fuzz::Choices choices(lantrivex::fuzz::asText(data, size));
    // Pieces around the window's length, pieces of a few dozen bytes, pieces of any length.
    for (const std::size_t largest : {std::size_t{17}, std::size_t{100}, size}) {
        IndexScanner scanner;
        const std::size_t lookAt = choices.below(size + 1);
        bool looked = false;
        for (std::size_t pos = 0; pos < size;) {
            if (choices.below(8) == 0) {
                scanner.feed({});
            }
            const std::size_t piece = std::min(1 + choices.below(largest), size - pos);
            scanner.feed(stream.subspan(pos, piece));
            pos += piece;
            if (!looked && pos >= lookAt) {
                LANTRIVEX_FUZZ_CHECK(scanner.result() == referenceScan(stream.first(pos)));
                looked = true;
            }
        }
        LANTRIVEX_FUZZ_CHECK(scanner.result() == expected);
    }
    return 0;
}
