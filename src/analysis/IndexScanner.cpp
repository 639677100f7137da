#include "analysis/IndexScanner.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <utility>

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

// A strong mix of the eight folded bytes: its high bits choose a slot and check the key.
inline std::uint64_t hashOf(std::uint64_t key) noexcept {
    key ^= key >> 30;
    key *= 0xBF58476D1CE4E5B9ULL;
    key ^= key >> 27;
    key *= 0x94D049BB133111EBULL;
    return key ^ (key >> 31);
}

} // namespace

// Signature counts: the distinct signatures in the order of their first occurrence, each with its
// spelling as first seen and its count, in blocks that never move; and an open-addressing hash
// table of their positions. A slot holds a position + 1 in its low 32 bits (0: free) and the high
// 32 bits of the key's hash in its high ones, so that a search looks at the signatures themselves
// only when the hash bits agree. The table is at most four fifths full: with the old and the new
// table side by side while it doubles, that is 46 bytes per signature at most (8 / 0.8 for the old
// slots, twice that for the new ones, 16 for the signature and its count).
//
// Index streams of a hostile server hold a new signature at every record: each then costs one
// look at a slot far from the last one. Once the table outgrows the cache, occurrences are taken
// in batches whose slots are asked from memory ahead, so that those looks overlap.
struct IndexScanner::Table {
    static constexpr std::size_t kBlockShift = 14; // 16384 entries (256 KiB) per block
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;
    // Positions + 1 fit in 32 bits, and the table's 2^32 slots at most leave 32 bits of hash.
    static constexpr std::size_t kMaxEntries = (std::size_t{1} << 32) / 5 * 4 - 1;
    static constexpr std::size_t kBatch = 16;
    // Up to this many slots (256 KiB) the table stays in the cache and is not asked for ahead.
    static constexpr std::size_t kCachedSlots = std::size_t{1} << 15;

    std::vector<std::unique_ptr<SignatureCount[]>> blocks;
    std::size_t size = 0;
    std::vector<std::uint64_t> slots;
    unsigned shift = 0;
    std::int64_t total = 0;
    // Index streams use a few signatures over and over: the signatures met last are looked for in
    // a small cache, by their folded key (0, no key, marks a free place), before the table.
    static constexpr unsigned kRecentBits = 8;
    struct Recent {
        std::uint64_t key = 0;
        SignatureCount* entry = nullptr;
    };
    std::array<Recent, std::size_t{1} << kRecentBits> recent{};

    static std::size_t recentPlace(std::uint64_t key) noexcept {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - kRecentBits));
    }
    void remember(std::uint64_t key, SignatureCount& e) noexcept {
        recent[recentPlace(key)] = Recent{key, &e};
    }
    // Occurrences found and not yet counted: the batch being asked for, and the next one.
    std::array<std::uint64_t, 2 * kBatch> pending{};
    std::size_t pendingCount = 0;

    Table() { resize(1024); }

    SignatureCount& entry(std::size_t position) noexcept {
        return blocks[position >> kBlockShift][position & (kBlockSize - 1)];
    }

    static std::uint64_t keyOf(const SignatureCount& e) noexcept {
        std::uint64_t word;
        std::memcpy(&word, e.signature.text().data(), sizeof word);
        return foldCase(word);
    }

    std::size_t home(std::uint64_t hash) const noexcept {
        return static_cast<std::size_t>(hash >> shift);
    }

    static constexpr std::uint64_t kHashBits = ~std::uint64_t{0xFFFFFFFF};

    // A slot: the high 32 bits of the hash (which give its home at any table size) and the
    // position + 1.
    static std::uint64_t slotOf(std::uint64_t hash, std::size_t position) noexcept {
        return (hash & kHashBits) | static_cast<std::uint64_t>(position + 1);
    }

    // Makes the table `slotCount` slots, twice the old size. The old slots are taken in order and a
    // slot's home in the new table is twice its home in the old one (or one more), so the new
    // table is written front to back.
    void resize(std::size_t slotCount) {
        std::vector<std::uint64_t> old(slotCount, 0);
        old.swap(slots);
        shift = 64;
        for (std::size_t s = slotCount; s > 1; s >>= 1) {
            --shift;
        }
        const std::size_t mask = slotCount - 1;
        for (const std::uint64_t slot : old) {
            if (slot == 0) {
                continue;
            }
            std::size_t i = home(slot);
            while (slots[i] != 0) {
                i = (i + 1) & mask;
            }
            slots[i] = slot;
        }
    }

    SignatureCount& append(std::uint64_t spelling) {
        if (size >= kMaxEntries) {
            throw std::length_error("more distinct signatures than a scan can hold");
        }
        if ((size & (kBlockSize - 1)) == 0) {
            blocks.push_back(std::make_unique_for_overwrite<SignatureCount[]>(kBlockSize));
        }
        SignatureCount& e = entry(size++);
        char text[8];
        std::memcpy(text, &spelling, sizeof text);
        e.signature = Signature(std::string_view(text, sizeof text));
        e.count = 0;
        return e;
    }

    void count(std::uint64_t spelling) {
        const std::uint64_t key = foldCase(spelling);
        const std::uint64_t hash = hashOf(key);
        const std::uint64_t check = hash & kHashBits;
        const std::size_t mask = slots.size() - 1;
        std::size_t i = home(hash);
        for (;;) {
            const std::uint64_t slot = slots[i];
            if (slot == 0) {
                SignatureCount& e = append(spelling);
                ++e.count;
                slots[i] = slotOf(hash, size - 1);
                remember(key, e);
                if (size * 5 > slots.size() * 4) {
                    resize(slots.size() * 2);
                }
                return;
            }
            if ((slot & kHashBits) == check) {
                SignatureCount& e = entry(static_cast<std::size_t>(slot & 0xFFFFFFFF) - 1);
                if (keyOf(e) == key) {
                    ++e.count;
                    remember(key, e);
                    return;
                }
            }
            i = (i + 1) & mask;
        }
    }

    // Counts the occurrences of one batch while the slots of the next one are asked for, so that
    // every slot has a batch's time to arrive.
    void flushBatch() {
        for (std::size_t k = 0; k < kBatch; ++k) {
            __builtin_prefetch(&slots[home(hashOf(foldCase(pending[kBatch + k])))]);
        }
        for (std::size_t k = 0; k < kBatch; ++k) {
            count(pending[k]);
            pending[k] = pending[kBatch + k];
        }
        pendingCount = kBatch;
    }

    // Counts every pending occurrence.
    void flush() {
        for (std::size_t k = 0; k < pendingCount; ++k) {
            count(pending[k]);
        }
        pendingCount = 0;
    }

    void add(std::uint64_t spelling) {
        ++total;
        const std::uint64_t key = foldCase(spelling);
        Recent& r = recent[recentPlace(key)];
        if (r.key == key) {
            ++r.entry->count;
            return;
        }
        if (slots.size() <= kCachedSlots) {
            count(spelling); // the table is in the cache: nothing to wait for
            return;
        }
        pending[pendingCount++] = spelling;
        if (pendingCount == 2 * kBatch) {
            flushBatch();
        }
    }

    void examine(const std::byte* p, std::size_t pos) {
        const std::uint64_t word = load64(p + pos + 1);
        if (isSignatureWord(word)) {
            add(word);
        }
    }

    // Examines every start position of `p` whose marker and eight signature bytes lie inside the
    // `length` bytes. (Kept out of line: inlined on the few bytes joined across pieces, it would
    // make the compiler see block reads that never happen there.)
    [[gnu::noinline]] void scan(const std::byte* p, std::size_t length) {
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
        flush();
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
    out.signatures.reserve(table_->size);
    for (std::size_t e = 0; e < table_->size; ++e) {
        out.signatures.push_back(table_->entry(e));
    }
    return out;
}

ScanResult IndexScanner::takeResult() {
    std::unique_ptr<Table> table = std::exchange(table_, std::make_unique<Table>());
    carryLength_ = 0;
    std::vector<std::uint64_t>().swap(table->slots);
    ScanResult out;
    out.total = table->total;
    out.signatures.reserve(table->size);
    // Each block goes as soon as it is copied.
    for (std::size_t b = 0; b < table->blocks.size(); ++b) {
        const std::size_t first = b << Table::kBlockShift;
        const std::size_t count = std::min(Table::kBlockSize, table->size - first);
        out.signatures.insert(out.signatures.end(), table->blocks[b].get(),
                              table->blocks[b].get() + count);
        table->blocks[b].reset();
    }
    return out;
}

void SortByCountDescending(std::vector<SignatureCount>& signatures) {
    const auto descending = [](const SignatureCount& a, const SignatureCount& b) {
        return a.count > b.count;
    };
    if (std::is_sorted(signatures.begin(), signatures.end(), descending)) {
        return; // one count for all, as in a stream of distinct signatures
    }
    // A stable radix sort on the counts, 16 bits at a time, high counts first.
    std::uint64_t largest = 0;
    for (const SignatureCount& s : signatures) {
        largest = std::max(largest, static_cast<std::uint64_t>(s.count));
    }
    std::vector<SignatureCount> other(signatures.size());
    std::vector<std::size_t> starts(std::size_t{1} << 16);
    for (unsigned shift = 0; shift < 64 && (largest >> shift) != 0; shift += 16) {
        const auto digit = [shift](const SignatureCount& s) {
            return 0xFFFFu - static_cast<std::size_t>(
                                 (static_cast<std::uint64_t>(s.count) >> shift) & 0xFFFFu);
        };
        std::fill(starts.begin(), starts.end(), 0);
        for (const SignatureCount& s : signatures) {
            ++starts[digit(s)];
        }
        std::size_t at = 0;
        for (std::size_t& start : starts) {
            at += std::exchange(start, at);
        }
        for (const SignatureCount& s : signatures) {
            other[starts[digit(s)]++] = s;
        }
        signatures.swap(other);
    }
}

std::ostream& operator<<(std::ostream& out, const Signature& signature) {
    return out << signature.text();
}

ScanResult ScanIndexStream(std::span<const std::byte> bytes) {
    IndexScanner scanner;
    scanner.feed(bytes);
    return scanner.takeResult();
}

} // namespace lantrivex::analysis
