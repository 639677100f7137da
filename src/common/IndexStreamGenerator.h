// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex {

// Settings of a synthetic index stream.
struct IndexStreamOptions {
    std::uint64_t seed = 1;
    std::uint64_t size = 1 << 20;        // bytes of the whole stream
    std::size_t distinctSignatures = 40; // how many signatures the files use (a Zipf-like mix)
    double caseVariantRate = 0.0;        // share of occurrences written in another letter case
    double nearMissRate = 0.05;          // share of records with a marker that is not a signature
    double folderRate = 0.15;            // share of records that are folders (no signature)
    // The signatures to draw from, most frequent first, at most `distinctSignatures` of them;
    // entries that are not eight bytes in 0x21..0x7F, or repeat an earlier one in another letter
    // case, are left out. Empty: the built-in classic codes, then made-up ones when more are
    // asked for.
    std::vector<std::string> signatures;
};

// One signature as a scan of the stream must find it: the spelling of its first occurrence, its
// number of occurrences; in the order of first occurrence.
struct PlannedSignature {
    std::string signature;
    std::int64_t count = 0;
};

// Well-known Macintosh type/creator pairs (TEXTttxt, W6BNMSWD, XLS5XCEL, ...), most common first.
std::span<const std::string_view> classicSignatures();

// Writes a synthetic index stream, deterministic from its options on every system. The stream is
// a run of records (node numbers, a parent number, flags, a Macintosh file name, and for files a
// 0x01 marker followed by the type/creator signature and fork lengths), with near misses: markers
// followed by a signature that holds a blank, a byte of 0x80 or more, or ends early, and doubled
// markers. No byte sequence other than the planned signatures forms a 0x01 marker followed by
// eight bytes in 0x21..0x7F, so the plan is exactly what a scan counts. The stream is produced in
// pieces of any size; the space after the last whole record is filled with zero bytes.
class IndexStreamGenerator {
public:
    explicit IndexStreamGenerator(IndexStreamOptions options);

    // Writes the next bytes into `out`; returns how many (fewer than asked only at the end).
    std::size_t generate(std::span<std::byte> out);

    bool done() const noexcept { return produced_ >= options_.size; }

    // What has been written so far (the whole plan once done()).
    const std::vector<PlannedSignature>& planned() const noexcept { return planned_; }
    std::int64_t plannedTotal() const noexcept { return plannedTotal_; }
    std::int64_t records() const noexcept { return records_; }

private:
    std::uint64_t next() noexcept;
    std::uint64_t below(std::uint64_t bound) noexcept;
    bool chance(double rate) noexcept;
    void buildRecord();
    void appendU32(std::uint32_t value);
    void appendName();
    void commitRecord();

    IndexStreamOptions options_;
    std::uint64_t state_[4] = {};
    std::vector<std::string> pool_;
    std::vector<double> cumulative_; // cumulative weights of pool_
    std::vector<std::uint8_t> record_;
    std::size_t recordPosition_ = 0;
    std::uint64_t produced_ = 0;
    std::uint32_t nextNode_ = 16;
    // The signature of the record being built, counted when the record is written whole.
    std::string pendingSpelling_;
    std::size_t pendingPool_ = 0;
    bool pending_ = false;
    std::vector<PlannedSignature> planned_;
    std::vector<std::ptrdiff_t> planIndex_; // per pool entry: its position in planned_, or -1
    std::int64_t plannedTotal_ = 0;
    std::int64_t records_ = 0;
};

// A stream of nothing but records of a marker and a signature, back to back (nine bytes each), as a
// hostile or broken server could send: record r holds signature number r, or r modulo `distinct`
// when `distinct` is not 0 (every record a new signature when it is). Different numbers give
// signatures that differ in more than letter case. Writes the bytes of the stream that start at
// `offset` into `out`.
void writePackedRecords(std::span<std::byte> out, std::uint64_t offset, std::uint64_t distinct);

// The whole stream in one buffer; `plan`, when given, receives what a scan must find.
std::vector<std::byte> generateIndexStream(const IndexStreamOptions& options,
                                           std::vector<PlannedSignature>* plan = nullptr);

} // namespace lantrivex
