// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the index scan on a 256 MiB generated stream, beside a plain memchr pass over the
// same bytes (the floor: finding the markers and nothing else) and a byte-by-byte scan into an
// ordered map of strings (the baseline). After the runs, the scan's throughput is printed as a
// ratio of the floor's and of the baseline's; the signature lookups of KeyedLookupBenchmark.cpp
// as a ratio of their ASCII-only baseline.
//
// Then the scan of hostile streams, every record a new signature, beside streams of the same size
// holding 10 signatures: throughput, and the peak of the heap during the scan per distinct
// signature (every allocation of this program is counted, with glibc and no sanitizer).

#include "analysis/IndexScanner.h"
#include "analysis/ReferenceScan.h"
#include "common/Ascii.h"
#include "common/IndexStreamGenerator.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

// The heap in use by this program and its peak since the last reset, kept by the C library's
// allocation functions replaced below (operator new and the scanner's own reallocated tables
// alike, on every thread).
std::atomic<std::size_t> heapNow{0};
std::atomic<std::size_t> heapPeak{0};

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define LANTRIVEX_COUNT_HEAP 1
void noteAllocated(void* p) noexcept {
    if (p != nullptr) {
        const std::size_t now = heapNow += malloc_usable_size(p);
        std::size_t peak = heapPeak.load();
        while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
        }
    }
}

void noteFreed(void* p) noexcept {
    if (p != nullptr) {
        heapNow -= malloc_usable_size(p);
    }
}
#endif

} // namespace

#if defined(LANTRIVEX_COUNT_HEAP)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) {
    void* p = __libc_malloc(size);
    noteAllocated(p);
    return p;
}
void* calloc(std::size_t count, std::size_t size) {
    void* p = __libc_calloc(count, size);
    noteAllocated(p);
    return p;
}
void* realloc(void* old, std::size_t size) {
    const std::size_t oldSize = old != nullptr ? malloc_usable_size(old) : 0;
    void* p = __libc_realloc(old, size);
    if (p != nullptr || size == 0) {
        heapNow -= oldSize;
        noteAllocated(p);
    }
    return p;
}
void free(void* p) {
    noteFreed(p);
    __libc_free(p);
}
}
#endif

namespace {

using lantrivex::analysis::IndexScanner;
using lantrivex::analysis::ScanIndexStream;

const std::vector<std::byte>& stream() {
    static const std::vector<std::byte> bytes = [] {
        lantrivex::IndexStreamOptions options;
        options.seed = 1;
        options.size = std::uint64_t{256} << 20;
        options.distinctSignatures = 40;
        options.caseVariantRate = 0.1;
        options.nearMissRate = 0.05;
        return lantrivex::generateIndexStream(options);
    }();
    return bytes;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(stream().size()));
}

// The floor: every 0x01 byte found with memchr, nothing else done.
void MemchrPass(benchmark::State& state) {
    const auto& bytes = stream();
    for (auto _ : state) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* end = p + bytes.size();
        std::size_t markers = 0;
        while (p < end) {
            const void* hit = std::memchr(p, 1, static_cast<std::size_t>(end - p));
            if (hit == nullptr) {
                break;
            }
            ++markers;
            p = static_cast<const unsigned char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(markers);
    }
    setBytes(state);
}

void ScanWhole(benchmark::State& state) {
    const auto& bytes = stream();
    for (auto _ : state) {
        auto result = ScanIndexStream(bytes);
        benchmark::DoNotOptimize(result);
    }
    setBytes(state);
}

// As the volume reader feeds it: pieces of 1 MiB.
void ScanInPieces(benchmark::State& state) {
    const std::span<const std::byte> bytes = stream();
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (auto _ : state) {
        IndexScanner scanner;
        for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
            scanner.feed(bytes.subspan(at, std::min(kPiece, bytes.size() - at)));
        }
        auto result = scanner.result();
        benchmark::DoNotOptimize(result);
    }
    setBytes(state);
}

// The baseline: the plain scan the tests compare against, position by position, each candidate
// byte tested alone, counted in an ordered map of folded strings.
void NaiveScan(benchmark::State& state) {
    const auto& bytes = stream();
    for (auto _ : state) {
        auto result = lantrivex::analysis::referenceScan(bytes);
        benchmark::DoNotOptimize(result);
    }
    setBytes(state);
}

// A packed stream of `mib` MiB: every record a new signature (distinct 0) or one of `distinct`.
// One is kept at a time.
const std::vector<std::byte>& packedStream(std::int64_t mib, std::int64_t distinct) {
    static std::pair<std::int64_t, std::int64_t> kept{-1, -1};
    static std::vector<std::byte> bytes;
    if (kept != std::pair{mib, distinct}) {
        std::vector<std::byte>().swap(bytes);
        bytes.resize(static_cast<std::size_t>(mib) << 20);
        lantrivex::writePackedRecords(bytes, 0, static_cast<std::uint64_t>(distinct));
        kept = {mib, distinct};
    }
    return bytes;
}

// The scan of a packed stream; counters: the distinct signatures found and the heap's peak during
// the scan per distinct signature.
void PackedScan(benchmark::State& state) {
    const auto& bytes = packedStream(state.range(0), state.range(1));
    double perDistinct = 0;
    std::size_t distinct = 0;
    for (auto _ : state) {
        const std::size_t before = heapNow;
        heapPeak = before;
        {
            auto result = ScanIndexStream(bytes);
            distinct = result.signatures.size();
            benchmark::DoNotOptimize(result);
        }
        perDistinct = static_cast<double>(heapPeak - before) / static_cast<double>(distinct);
    }
    state.counters["distinct"] = static_cast<double>(distinct);
    state.counters["peak_bytes_per_distinct"] = perDistinct;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes.size()));
}

BENCHMARK(PackedScan)
    ->ArgNames({"MiB", "distinct"})
    ->Args({64, 0})
    ->Args({64, 10})
    ->Args({256, 0})
    ->Args({256, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK(MemchrPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ScanWhole)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ScanInPieces)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(NaiveScan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Shows the runs as usual and keeps each one's throughput for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            for (const char* counter : {"bytes_per_second", "items_per_second"}) {
                const auto it = run.counters.find(counter);
                if (it != run.counters.end() && run.run_type == Run::RT_Iteration) {
                    rates[run.run_name.function_name] = it->second.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    stream(); // generated once, outside the timings
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto rate = [&](const char* name) {
        const auto it = reporter.rates.find(name);
        return it == reporter.rates.end() ? 0.0 : it->second;
    };
    const double floor = rate("MemchrPass");
    const double baseline = rate("NaiveScan");
    for (const char* name : {"ScanWhole", "ScanInPieces"}) {
        const double r = rate(name);
        if (r <= 0) {
            continue;
        }
        std::printf("%-13s %8.1f MB/s", name, r / 1e6);
        if (floor > 0) {
            std::printf("   %.2fx the memchr pass (target >= 0.6)", r / floor);
        }
        if (baseline > 0) {
            std::printf("   %.1fx the naive scan (target >= 4)", r / baseline);
        }
        std::printf("\n");
    }
    if (const double lookups = rate("KeyedLookup"), ascii = rate("KeyedLookupAsciiFold");
        lookups > 0 && ascii > 0) {
        std::printf("KeyedLookup   %8.1f M/s   %.2fx the ASCII-only fold (target >= 0.95)\n",
                    lookups / 1e6, lookups / ascii);
    }
    return 0;
}
