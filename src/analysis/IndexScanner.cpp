// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IndexScanner.h"

#include "analysis/SignatureWord.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lantrivex::analysis {
namespace {

constexpr std::size_t kSignatureLength = 8;
constexpr std::size_t kWindow = 1 + kSignatureLength; // the marker and its eight bytes

// A strong mix of the eight folded bytes: its high bits choose a slot and check the key.
inline std::uint64_t hashOf(std::uint64_t key) noexcept {
    key ^= key >> 30;
    key *= 0xBF58476D1CE4E5B9ULL;
    key ^= key >> 27;
    key *= 0x94D049BB133111EBULL;
    return key ^ (key >> 31);
}

// The slots of the hash table: a zeroed array of 64-bit words whose start lies on a cache line,
// grown with realloc, so that a large table's pages are handed on (not copied) and a doubling needs
// no second table beside the first.
class SlotArray {
public:
    static constexpr std::size_t kAlignment = 64;

    SlotArray() = default;
    ~SlotArray() { std::free(raw_); }
    SlotArray(const SlotArray&) = delete;
    SlotArray& operator=(const SlotArray&) = delete;

    std::uint64_t* data() const noexcept { return slots_; }
    std::size_t size() const noexcept { return count_; }

    // Makes the array `newCount` (>= size()) slots: the old ones at its end, zeros before them.
    void grow(std::size_t newCount) {
        const std::size_t oldCount = count_;
        const std::size_t oldOffset =
            static_cast<std::size_t>(reinterpret_cast<char*>(slots_) - static_cast<char*>(raw_));
        void* raw = std::realloc(raw_, newCount * sizeof(std::uint64_t) + kAlignment);
        if (raw == nullptr) {
            throw std::bad_alloc();
        }
        raw_ = raw;
        const auto address = reinterpret_cast<std::uintptr_t>(raw);
        slots_ = reinterpret_cast<std::uint64_t*>((address + kAlignment - 1) & ~(kAlignment - 1));
        count_ = newCount;
        std::memmove(slots_ + (newCount - oldCount), static_cast<char*>(raw) + oldOffset,
                     oldCount * sizeof(std::uint64_t));
        std::memset(slots_, 0, (newCount - oldCount) * sizeof(std::uint64_t));
    }

    void clear() noexcept {
        std::free(std::exchange(raw_, nullptr));
        slots_ = nullptr;
        count_ = 0;
    }

private:
    void* raw_ = nullptr;
    std::uint64_t* slots_ = nullptr;
    std::size_t count_ = 0;
};

// An occurrence found: its eight bytes as they stand, and the hash of their folded key.
struct Occurrence {
    std::uint64_t spelling;
    std::uint64_t hash;
};

// Calls `found(word)` with the eight signature bytes of every occurrence among the start positions
// of `p` whose marker and eight signature bytes lie inside the `length` bytes.
template <class Found>
inline void findOccurrences(const std::byte* p, std::size_t length, Found&& found) {
    if (length < kWindow) {
        return;
    }
    const std::size_t positions = length - kWindow + 1; // start positions 0 .. length - 9
    const auto examine = [&](std::size_t pos) {
        const std::uint64_t word = loadSignatureWord(p + pos + 1);
        if (isSignatureWord(word)) {
            found(word);
        }
    };
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
            examine(i + static_cast<std::size_t>(__builtin_ctzll(hits)));
            hits &= hits - 1;
        }
    }
#endif
    while (i < positions) {
        const void* at = std::memchr(p + i, 1, positions - i);
        if (at == nullptr) {
            break;
        }
        const auto pos = static_cast<std::size_t>(static_cast<const std::byte*>(at) - p);
        examine(pos);
        i = pos + 1;
    }
}

// A thread that runs one job at a time for the thread that hands it over and waits for it.
class BatchWorker {
public:
    BatchWorker() : thread_([this] { run(); }) {}
    ~BatchWorker() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    void start(std::function<void()> job) {
        {
            const std::lock_guard lock(mutex_);
            job_ = std::move(job);
            busy_ = true;
        }
        wake_.notify_all();
    }

    // Waits for the job started last to end; throws what it threw.
    void wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !busy_; });
        if (error_) {
            std::rethrow_exception(std::exchange(error_, nullptr));
        }
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || job_ != nullptr; });
            if (stop_) {
                return;
            }
            std::function<void()> job = std::exchange(job_, nullptr);
            lock.unlock();
            std::exception_ptr error;
            try {
                job();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            error_ = error;
            busy_ = false;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<void()> job_;
    bool busy_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_; // last: it runs on the members above
};

} // namespace

// Signature counts: the distinct signatures in the order of their first occurrence, each with its
// spelling as first seen and its count, in blocks that never move (handed over as the result);
// and an open-addressing hash table of their positions. A slot holds a position + 1 in its low 32
// bits (0: free) and the high 32 bits of the key's hash in its high ones, so that a search looks
// at the signatures themselves only when the hash bits agree. The table is at most four fifths
// full and doubles in place: 20 bytes per signature at most for the slots (8 / 0.8, twice), 30
// where the C library copies a reallocated block rather than moving its pages, so 46 bytes in all
// with the 16 of the signature and its count.
//
// Index streams of a hostile server hold a new signature at every record: each then costs one
// look at a slot far from the last one. Once the table outgrows the cache, each slot is asked
// from memory kAhead occurrences before it is looked at, so that those looks overlap.
struct IndexScanner::Table {
    // Positions + 1 fit in 32 bits, and the table's 2^32 slots at most leave 32 bits of hash.
    static constexpr std::size_t kMaxEntries = (std::size_t{1} << 32) / 5 * 4 - 1;
    // Occurrences are counted this many occurrences after their slot was asked for.
    static constexpr std::size_t kAhead = 32;
    // Up to this many slots (256 KiB) the table stays in the cache and is not asked for ahead.
    static constexpr std::size_t kCachedSlots = std::size_t{1} << 15;

    SignatureCounts entries;
    // The slots, in buckets of eight that fill a cache line each: a slot's home is the first slot
    // of a bucket, so that a search (which goes on to the next bucket only past a full one) mostly
    // looks at one line.
    static constexpr std::size_t kBucketSlots = SlotArray::kAlignment / sizeof(std::uint64_t);
    SlotArray slotArray;
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
    // Occurrences found and not yet counted, oldest first from `pendingAt` round the ring.
    struct Pending {
        std::uint64_t spelling;
        std::uint64_t hash;
        std::size_t item; // its place in the batch being counted
    };
    std::array<Pending, kAhead> pending{};
    std::size_t pendingCount = 0;
    std::size_t pendingAt = 0;
    // While a batch is counted (countBatch), its flags of the occurrences that made a new
    // signature; null otherwise.
    std::uint8_t* made = nullptr;

    Table() { resize(1024); }

    SignatureCount& entry(std::size_t position) noexcept { return entries[position]; }

    static std::uint64_t keyOf(const SignatureCount& e) noexcept {
        return foldSignatureWord(loadSignatureWord(e.signature.text().data()));
    }

    std::size_t home(std::uint64_t hash) const noexcept {
        return static_cast<std::size_t>(hash >> shift) & ~(kBucketSlots - 1);
    }

    static constexpr std::uint64_t kHashBits = ~std::uint64_t{0xFFFFFFFF};

    // A slot: the high 32 bits of the hash (which give its home at any table size) and the
    // position + 1.
    static std::uint64_t slotOf(std::uint64_t hash, std::size_t position) noexcept {
        return (hash & kHashBits) | static_cast<std::uint64_t>(position + 1);
    }

    // Makes the table `newCount` slots, twice the old size, in place. The old slots move to the
    // end of the grown array and are taken from there front to back; the position read last marks
    // where the new table ends so far. A slot's home in the new table is twice its home in the old
    // one (or one bucket more), so it is placed before that mark, except for the few at the end
    // of a run of full slots, or wrapped round the old table's end: those are put in once all the
    // old slots are read.
    [[gnu::noinline]] void resize(std::size_t newCount) {
        const std::size_t oldCount = slotArray.size();
        slotArray.grow(newCount);
        std::uint64_t* const slots = slotArray.data();
        shift = 64;
        for (std::size_t s = newCount; s > 1; s >>= 1) {
            --shift;
        }
        std::vector<std::uint64_t> aside;
        for (std::size_t read = newCount - oldCount; read < newCount;) {
            const std::uint64_t slot = std::exchange(slots[read], 0);
            ++read;
            if (slot == 0) {
                continue;
            }
            std::size_t i = home(slot);
            while (i < read && slots[i] != 0) {
                ++i;
            }
            if (i < read) {
                slots[i] = slot;
            } else {
                aside.push_back(slot);
            }
        }
        for (const std::uint64_t slot : aside) {
            std::size_t i = home(slot);
            while (slots[i] != 0) {
                i = (i + 1) & (newCount - 1);
            }
            slots[i] = slot;
        }
    }

    // The slots of the bucket that starts at `b`, as two masks with bit 2j for slot b + j: the free
    // slots, and the slots holding hash bits `check`.
    struct BucketMasks {
        unsigned free;
        unsigned matching;
    };
    static constexpr unsigned kEvenBits = 0x5555;
    BucketMasks bucketMasks(std::size_t b, std::uint64_t check) const noexcept {
#if defined(__SSE2__)
        // Each slot is two 32-bit lanes: the position + 1 (0 only in a free slot) and the hash
        // bits. One comparison per pair of slots with {0, check, 0, check} marks both; lane k of
        // the bucket gives bit k.
        const auto high = static_cast<int>(check >> 32);
        const __m128i wanted = _mm_set_epi32(high, 0, high, 0);
        const auto* line = reinterpret_cast<const __m128i*>(slotArray.data() + b);
        unsigned lanes = 0;
        for (unsigned k = 0; k < kBucketSlots / 2; ++k) {
            const __m128i equal = _mm_cmpeq_epi32(_mm_load_si128(line + k), wanted);
            lanes |= static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(equal))) << (4 * k);
        }
        return {lanes & kEvenBits, (lanes >> 1) & kEvenBits};
#else
        BucketMasks masks{0, 0};
        const std::uint64_t* const slots = slotArray.data();
        for (unsigned j = 0; j < kBucketSlots; ++j) {
            masks.free |= (slots[b + j] == 0 ? 1u : 0u) << (2 * j);
            masks.matching |= ((slots[b + j] & kHashBits) == check ? 1u : 0u) << (2 * j);
        }
        return masks;
#endif
    }

    // The slot of bit 2j of a bucket's mask.
    static unsigned slotOfBit(unsigned mask) noexcept {
        return static_cast<unsigned>(__builtin_ctz(mask)) / 2;
    }

    SignatureCount& append(std::uint64_t spelling) {
        if (entries.size() >= kMaxEntries) {
            throw std::length_error("more distinct signatures than a scan can hold");
        }
        char text[Signature::kLength];
        std::memcpy(text, &spelling, sizeof text);
        // While the list is short its signatures may move as it grows: the cache of the last
        // signatures met then starts again.
        const SignatureCount* first = entries.empty() ? nullptr : &entries[0];
        SignatureCount& added =
            entries.emplace_back(Signature(std::string_view(text, sizeof text)));
        if (first != nullptr && &entries[0] != first) {
            recent.fill(Recent{});
        }
        return added;
    }

    // Counts an occurrence of `spelling`, whose key hashes to `hash` (the batch's occurrence
    // `item`).
    void count(std::uint64_t spelling, std::uint64_t hash, std::size_t item) {
        const std::uint64_t key = foldSignatureWord(spelling);
        const std::uint64_t check = hash & kHashBits;
        // Slots are only ever filled, never freed: the search ends at the first free slot.
        std::uint64_t* const slots = slotArray.data();
        const std::size_t slotCount = slotArray.size();
        for (std::size_t b = home(hash);; b = (b + kBucketSlots) & (slotCount - 1)) {
            const BucketMasks masks = bucketMasks(b, check);
            const unsigned beforeFree =
                masks.free == 0 ? ~0u : (masks.free & (0u - masks.free)) - 1;
            for (unsigned m = masks.matching & beforeFree; m != 0; m &= m - 1) {
                const std::uint64_t slot = slots[b + slotOfBit(m)];
                SignatureCount& e = entry(static_cast<std::size_t>(slot & 0xFFFFFFFF) - 1);
                if (keyOf(e) == key) {
                    ++e.count;
                    remember(key, e);
                    return;
                }
            }
            if (masks.free != 0) {
                SignatureCount& e = append(spelling);
                ++e.count;
                if (made != nullptr) {
                    made[item] = 1;
                }
                slots[b + slotOfBit(masks.free)] = slotOf(hash, entries.size() - 1);
                remember(key, e);
                if (entries.size() * 5 > slotCount * 4) {
                    resize(slotCount * 2);
                }
                return;
            }
        }
    }

    // Counts every pending occurrence.
    void flush() {
        for (std::size_t k = 0; k < pendingCount; ++k) {
            const Pending& p = pending[(pendingAt + kAhead - pendingCount + k) % kAhead];
            count(p.spelling, p.hash, p.item);
        }
        pendingCount = 0;
    }

    // Counts an occurrence of a signature met last, if it is one, by the cache alone.
    bool countedRecently(std::uint64_t key) noexcept {
        Recent& r = recent[recentPlace(key)];
        if (r.key != key) {
            return false;
        }
        ++r.entry->count;
        return true;
    }

    void enqueue(std::uint64_t spelling, std::uint64_t hash, std::size_t item) {
        if (slotArray.size() <= kCachedSlots) {
            count(spelling, hash, item); // the table is in the cache: nothing to wait for
            return;
        }
        // The slot is asked for now and looked at kAhead occurrences later, when it has come.
        __builtin_prefetch(slotArray.data() + home(hash));
        Pending& oldest = pending[pendingAt];
        if (pendingCount == kAhead) {
            count(oldest.spelling, oldest.hash, oldest.item);
        } else {
            ++pendingCount;
        }
        oldest = Pending{spelling, hash, item};
        pendingAt = (pendingAt + 1) % kAhead;
    }

    void add(std::uint64_t spelling) {
        ++total;
        const std::uint64_t key = foldSignatureWord(spelling);
        if (!countedRecently(key)) {
            enqueue(spelling, hashOf(key), 0);
        }
    }

    // Counts the occurrences of a batch in order, setting madeFlags[k] for each occurrence k that
    // made a new signature and clearing it for the others.
    void countBatch(const Occurrence* occurrences, std::size_t n, std::uint8_t* madeFlags) {
        made = madeFlags;
        std::fill_n(madeFlags, n, std::uint8_t{0});
        for (std::size_t k = 0; k < n; ++k) {
            ++total;
            if (!countedRecently(foldSignatureWord(occurrences[k].spelling))) {
                enqueue(occurrences[k].spelling, occurrences[k].hash, k);
            }
        }
        flush();
        made = nullptr;
    }

    // Adds a signature known to be new, with its count.
    void addDistinct(const SignatureCount& e, std::uint64_t hash) {
        count(loadSignatureWord(e.signature.text().data()), hash, 0);
        entries[entries.size() - 1].count = e.count;
    }

    // Counts the occurrences of `length` bytes. (Kept out of line: inlined on the few bytes joined
    // across pieces, it would make the compiler see block reads that never happen there.)
    [[gnu::noinline]] void scan(const std::byte* p, std::size_t length) {
        findOccurrences(p, length, [this](std::uint64_t word) { add(word); });
        flush();
    }
};

// A scan on two threads, taken up once an index shows many distinct signatures, where the time
// goes on looks at a table far larger than the cache: each occurrence goes to one of two tables by
// a bit of its hash, and this thread counts the occurrences of the first while a worker counts
// those of the second, a batch at a time. Which table made each new signature is noted in the order
// of first occurrence (a bit per signature), and the two lists are put back in that order at the
// end. The result is the same as that of one table.
struct IndexScanner::Split {
    static constexpr std::size_t kBatch = std::size_t{1} << 15;

    std::array<std::unique_ptr<Table>, 2> halves;
    // Bit i: the i-th distinct signature is in the second table.
    std::vector<std::uint64_t> fromSecond;
    std::size_t distinct = 0;
    // The batch being gathered: the table of each occurrence in order, the occurrences of each
    // table, and which of those made a new signature once counted.
    std::vector<std::uint8_t> route;
    std::array<std::vector<Occurrence>, 2> occurrences;
    std::array<std::vector<std::uint8_t>, 2> made;
    BatchWorker worker; // last: it stops before the tables go

    // Takes over the signatures of `whole`.
    explicit Split(const Table& whole) {
        halves = {std::make_unique<Table>(), std::make_unique<Table>()};
        for (const SignatureCount& e : whole.entries) {
            const std::uint64_t hash = hashOf(Table::keyOf(e));
            halves[hash & 1]->addDistinct(e, hash);
            noteDistinct(hash & 1);
        }
        halves[0]->total = whole.total;
        route.reserve(kBatch);
        for (std::size_t h = 0; h < 2; ++h) {
            occurrences[h].reserve(kBatch);
            made[h].reserve(kBatch);
        }
    }

    void noteDistinct(std::uint64_t second) {
        if (distinct % 64 == 0) {
            fromSecond.push_back(0);
        }
        fromSecond.back() |= second << (distinct % 64);
        ++distinct;
    }

    void add(std::uint64_t spelling) {
        const std::uint64_t hash = hashOf(foldSignatureWord(spelling));
        route.push_back(static_cast<std::uint8_t>(hash & 1));
        occurrences[hash & 1].push_back(Occurrence{spelling, hash});
        if (route.size() == kBatch) {
            countBatch();
        }
    }

    [[gnu::noinline]] void scan(const std::byte* p, std::size_t length) {
        findOccurrences(p, length, [this](std::uint64_t word) { add(word); });
    }

    // Counts the batch gathered so far.
    void countBatch() {
        for (std::size_t h = 0; h < 2; ++h) {
            made[h].resize(occurrences[h].size());
        }
        const bool both = !occurrences[1].empty();
        if (both) {
            worker.start([this] {
                halves[1]->countBatch(occurrences[1].data(), occurrences[1].size(), made[1].data());
            });
        }
        try {
            halves[0]->countBatch(occurrences[0].data(), occurrences[0].size(), made[0].data());
        } catch (...) {
            if (both) {
                try {
                    worker.wait();
                } catch (...) { // the first failure is the one told
                }
            }
            throw;
        }
        if (both) {
            worker.wait();
        }
        std::array<std::size_t, 2> next{0, 0};
        for (const std::uint8_t h : route) {
            if (made[h][next[h]++] != 0) {
                noteDistinct(h);
            }
        }
        route.clear();
        occurrences[0].clear();
        occurrences[1].clear();
    }

    std::int64_t total() const { return halves[0]->total + halves[1]->total; }

    // The signatures in order of first occurrence, the tables left as they are.
    SignatureCounts signatures() const {
        return SignatureCounts::interleave(SignatureCounts(halves[0]->entries),
                                           SignatureCounts(halves[1]->entries), fromSecond);
    }
};

IndexScanner::IndexScanner() : table_(std::make_unique<Table>()) {}

IndexScanner::~IndexScanner() = default;

namespace {

// Whether a second thread may count: only with a second processor to run it.
bool twoProcessors() {
    static const bool two = std::thread::hardware_concurrency() > 1;
    return two;
}

// The number of distinct signatures at which a scan goes on two threads: its table (some 650 KiB)
// no longer stays in the cache.
constexpr std::size_t kSplitAt = std::size_t{1} << 16;

} // namespace

void IndexScanner::feed(std::span<const std::byte> bytes) {
    // A long piece is taken a megabyte at a time, so that a scan finding many distinct signatures
    // goes on two threads early.
    constexpr std::size_t kPart = std::size_t{1} << 20;
    while (bytes.size() > kPart) {
        feedPart(bytes.first(kPart));
        bytes = bytes.subspan(kPart);
    }
    feedPart(bytes);
    if (split_) {
        split_->countBatch(); // nothing is left pending between pieces
    }
}

void IndexScanner::scanBytes(const std::byte* p, std::size_t length) {
    if (split_) {
        split_->scan(p, length);
    } else {
        table_->scan(p, length);
    }
}

void IndexScanner::feedPart(std::span<const std::byte> bytes) {
    const std::size_t n = bytes.size();
    if (n == 0) {
        return;
    }
    if (!split_ && table_->entries.size() >= kSplitAt && twoProcessors()) {
        split_ = std::make_unique<Split>(*table_);
        table_.reset();
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
        scanBytes(joined.data(), joinedLength);
        if (n < kSignatureLength) {
            // The whole piece was taken: the stream's unexamined tail is the end of `joined`.
            const std::size_t keep = std::min(joinedLength, kSignatureLength);
            std::copy_n(joined.begin() + static_cast<std::ptrdiff_t>(joinedLength - keep), keep,
                        carry_.begin());
            carryLength_ = keep;
            return;
        }
    }
    scanBytes(bytes.data(), n);
    std::copy_n(bytes.end() - static_cast<std::ptrdiff_t>(kSignatureLength), kSignatureLength,
                carry_.begin());
    carryLength_ = kSignatureLength;
}

ScanResult IndexScanner::result() const {
    ScanResult out;
    if (split_) {
        out.total = split_->total();
        out.signatures = split_->signatures();
    } else {
        out.total = table_->total;
        out.signatures = table_->entries;
    }
    return out;
}

ScanResult IndexScanner::takeResult() {
    std::unique_ptr<Table> table = std::exchange(table_, std::make_unique<Table>());
    std::unique_ptr<Split> split = std::move(split_);
    carryLength_ = 0;
    ScanResult out;
    if (split) {
        out.total = split->total();
        for (const auto& half : split->halves) {
            half->slotArray.clear();
        }
        out.signatures =
            SignatureCounts::interleave(std::move(split->halves[0]->entries),
                                        std::move(split->halves[1]->entries), split->fromSecond);
    } else {
        table->slotArray.clear();
        out.total = table->total;
        out.signatures = std::move(table->entries);
    }
    return out;
}

void SortByCountDescending(SignatureCounts& signatures) {
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
    SignatureCounts other;
    other.resize(signatures.size());
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

ScanResult ScanIndexStream(std::span<const std::byte> bytes) {
    IndexScanner scanner;
    scanner.feed(bytes);
    return scanner.takeResult();
}

} // namespace lantrivex::analysis
