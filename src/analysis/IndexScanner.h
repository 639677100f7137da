#pragma once

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

// The eight characters of a signature, held in place: a scan keeps one per distinct signature, so
// it takes no more room than the characters themselves.
class Signature {
public:
    static constexpr std::size_t kLength = 8;

    Signature() = default;
    // The first eight characters of `text` (padded with NULs when shorter).
    Signature(std::string_view text) noexcept { text.copy(chars_.data(), kLength); }
    Signature(const std::string& text) noexcept : Signature(std::string_view(text)) {}
    Signature(const char* text) noexcept : Signature(std::string_view(text)) {}

    std::string_view text() const noexcept { return {chars_.data(), kLength}; }
    operator std::string_view() const noexcept { return text(); }

    friend bool operator==(const Signature&, const Signature&) = default;

private:
    std::array<char, kLength> chars_{};
};

std::ostream& operator<<(std::ostream& out, const Signature& signature);

// One distinct signature of a scan: the spelling seen first and its number of occurrences.
struct SignatureCount {
    Signature signature; // eight characters, 0x21..0x7F
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
//
// The index comes from a server and may be hostile: memory grows by at most 48 bytes per distinct
// signature, growth of the table included (16 for the signature and its count, in blocks that
// never move, and at most 30 for the hash table of their positions, while it doubles).
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
    std::unique_ptr<Table> table_;
    // The last bytes of the previous piece whose window may still complete in the next one.
    std::array<std::byte, 8> carry_{};
    std::size_t carryLength_ = 0;
};

// The whole scan of one buffer.
ScanResult ScanIndexStream(std::span<const std::byte> bytes);

// Puts the signatures in order of count, descending; equal counts keep their order (that of first
// occurrence). Linear in the number of signatures, with one copy of them as extra room.
void SortByCountDescending(std::vector<SignatureCount>& signatures);

} // namespace lantrivex::analysis
