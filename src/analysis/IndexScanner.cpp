#include "analysis/IndexScanner.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lantrivex::analysis {
namespace {

constexpr std::size_t kSignatureLength = 8;
constexpr std::size_t kWindow = 1 + kSignatureLength; // the marker and its eight bytes

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t load64(const std::byte* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// All eight bytes lie in 0x21..0x7F. With bit 7 clear in every byte, adding 0x5F carries into
// bit 7 exactly when the byte is at least 0x21, and never out of the byte.
inline bool isSignatureWord(std::uint64_t word) noexcept {
    return (word & kHighBits) == 0 && ((word + 0x5F * kOnes) & kHighBits) == kHighBits;
}

// 'A'..'Z' to 'a'..'z' in all eight bytes at once; every byte must be below 0x80.
inline std::uint64_t foldCase(std::uint64_t word) noexcept {
    const std::uint64_t atLeastA = (word + 0x3F * kOnes) & kHighBits; // byte >= 0x41
    const std::uint64_t aboveZ = (word + 0x25 * kOnes) & kHighBits;   // byte >= 0x5B
    return word | ((atLeastA & ~aboveZ) >> 2);                        // bit 7 >> 2 = 0x20
}

} // namespace

// Signature counts in an open-addressing table keyed by the case-folded eight bytes. A folded key
// is never 0 (every byte is at least 0x21), so 0 marks a free slot.
struct IndexScanner::Table {
    struct Entry {
        std::uint64_t spelling; // the bytes as first seen
        std::int64_t count;
    };
    struct Slot {
        std::uint64_t key;
        std::size_t entry;
    };

    std::vector<Entry> entries;
    std::vector<Slot> slots;
    unsigned shift = 0;
    std::int64_t total = 0;
    // Index streams hold long runs of one signature: the last hit is checked before the table.
    std::uint64_t lastKey = 0;
    std::size_t lastEntry = 0;

    Table() { resize(1024); }

    void resize(std::size_t slotCount) {
        slots.assign(slotCount, Slot{0, 0});
        shift = 64;
        for (std::size_t s = slotCount; s > 1; s >>= 1) {
            --shift;
        }
        for (std::size_t e = 0; e < entries.size(); ++e) {
            place(foldCase(entries[e].spelling), e);
        }
    }

    std::size_t home(std::uint64_t key) const noexcept {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift);
    }

    void place(std::uint64_t key, std::size_t entry) noexcept {
        const std::size_t mask = slots.size() - 1;
        std::size_t i = home(key);
        while (slots[i].key != 0) {
            i = (i + 1) & mask;
        }
        slots[i] = Slot{key, entry};
    }

    void add(std::uint64_t spelling) {
        ++total;
        const std::uint64_t key = foldCase(spelling);
        if (key == lastKey) {
            ++entries[lastEntry].count;
            return;
        }
        const std::size_t mask = slots.size() - 1;
        std::size_t i = home(key);
        for (;;) {
            Slot& slot = slots[i];
            if (slot.key == key) {
                ++entries[slot.entry].count;
                lastKey = key;
                lastEntry = slot.entry;
                return;
            }
            if (slot.key == 0) {
                slot = Slot{key, entries.size()};
                entries.push_back(Entry{spelling, 1});
                lastKey = key;
                lastEntry = entries.size() - 1;
                if (entries.size() * 2 > slots.size()) {
                    resize(slots.size() * 2);
                }
                return;
            }
            i = (i + 1) & mask;
        }
    }

    void examine(const std::byte* p, std::size_t pos) {
        const std::uint64_t word = load64(p + pos + 1);
        if (isSignatureWord(word)) {
            add(word);
        }
    }

    // Examines every start position of `p` whose marker and eight signature bytes lie inside the
    // `length` bytes.
    void scan(const std::byte* p, std::size_t length) {
        if (length < kWindow) {
            return;
        }
        const std::size_t positions = length - kWindow + 1; // start positions 0 .. length - 9
        std::size_t i = 0;
#if defined(__SSE2__)
        // 64 start positions at a time: one bit per marker byte, then each marker tested.
        const __m128i marker = _mm_set1_epi8(1);
        for (; i + 64 <= positions; i += 64) {
            const auto* block = reinterpret_cast<const __m128i*>(p + i);
            const auto m0 = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(block), marker)));
            const auto m1 = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(block + 1), marker)));
            const auto m2 = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(block + 2), marker)));
            const auto m3 = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(block + 3), marker)));
            std::uint64_t hits =
                static_cast<std::uint64_t>(m0) | (static_cast<std::uint64_t>(m1) << 16) |
                (static_cast<std::uint64_t>(m2) << 32) | (static_cast<std::uint64_t>(m3) << 48);
            while (hits != 0) {
                examine(p, i + static_cast<std::size_t>(__builtin_ctzll(hits)));
                hits &= hits - 1;
            }
        }
#endif
        while (i < positions) {
            const void* found = std::memchr(p + i, 1, positions - i);
            if (found == nullptr) {
                break;
            }
            const auto pos = static_cast<std::size_t>(static_cast<const std::byte*>(found) - p);
            examine(p, pos);
            i = pos + 1;
        }
    }
};

IndexScanner::IndexScanner() : table_(std::make_unique<Table>()) {}

IndexScanner::~IndexScanner() = default;

void IndexScanner::feed(std::span<const std::byte> bytes) {
    const std::size_t n = bytes.size();
    if (n == 0) {
        return;
    }
    // The windows that start in the carried bytes end in the first bytes of this piece: examine
    // them on the carried bytes joined with (up to) eight bytes of the piece. None of the piece's
    // own start positions is examined there, as a window needs nine bytes.
    if (carryLength_ > 0 || n < kSignatureLength) {
        std::array<std::byte, 2 * kSignatureLength> joined{};
        std::copy_n(carry_.begin(), carryLength_, joined.begin());
        const std::size_t taken = std::min(kSignatureLength, n);
        std::copy_n(bytes.begin(), taken,
                    joined.begin() + static_cast<std::ptrdiff_t>(carryLength_));
        const std::size_t joinedLength = carryLength_ + taken;
        table_->scan(joined.data(), joinedLength);
        if (n < kSignatureLength) {
            // The whole piece was taken: the stream's unexamined tail is the end of `joined`.
            const std::size_t keep = std::min(joinedLength, kSignatureLength);
            std::copy_n(joined.begin() + static_cast<std::ptrdiff_t>(joinedLength - keep), keep,
                        carry_.begin());
            carryLength_ = keep;
            return;
        }
    }
    table_->scan(bytes.data(), n);
    std::copy_n(bytes.end() - static_cast<std::ptrdiff_t>(kSignatureLength), kSignatureLength,
                carry_.begin());
    carryLength_ = kSignatureLength;
}

ScanResult IndexScanner::result() const {
    ScanResult out;
    out.total = table_->total;
    out.signatures.reserve(table_->entries.size());
    for (const Table::Entry& entry : table_->entries) {
        std::string text(kSignatureLength, '\0');
        std::memcpy(text.data(), &entry.spelling, kSignatureLength);
        out.signatures.push_back(SignatureCount{std::move(text), entry.count});
    }
    return out;
}

ScanResult ScanIndexStream(std::span<const std::byte> bytes) {
    IndexScanner scanner;
    scanner.feed(bytes);
    return scanner.result();
}

} // namespace lantrivex::analysis
