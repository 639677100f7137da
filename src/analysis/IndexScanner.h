#pragma once

#include <array>
#include <memory>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lantrivex::analysis {

// One distinct signature of a scan: the spelling seen first and its number of occurrences.
struct SignatureCount {
    std::string signature; // eight characters, 0x21..0x7F
    std::int64_t count = 0;
};

// Result of a scan: the distinct signatures in the order of their first occurrence (colOrder with
// colCounts), and the number of all occurrences.
struct ScanResult {
    std::vector<SignatureCount> signatures;
    std::int64_t total = 0;
};

// Counts the signatures of an index stream fed in pieces of any size: feeding a stream chunk by
// chunk gives the same result as one pass over the whole. A signature occurrence is a byte 0x01
// followed by eight bytes each in 0x21..0x7F; letter case does not separate signatures (ASCII);
// every start position whose eight signature bytes lie inside the stream is examined.
class IndexScanner {
public:
    IndexScanner();
    ~IndexScanner();
    IndexScanner(const IndexScanner&) = delete;
    IndexScanner& operator=(const IndexScanner&) = delete;

    void feed(std::span<const std::byte> bytes);

    // The result so far; the scanner may be fed further afterwards.
    ScanResult result() const;

private:
    struct Table;
    std::unique_ptr<Table> table_;
    // The last bytes of the previous piece whose window may still complete in the next one.
    std::array<std::byte, 8> carry_{};
    std::size_t carryLength_ = 0;
};

// The whole scan of one buffer.
ScanResult ScanIndexStream(std::span<const std::byte> bytes);

} // namespace lantrivex::analysis
