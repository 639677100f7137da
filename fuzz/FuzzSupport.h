// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// What every fuzz target shares: the check that turns a broken property into a crash that
// libFuzzer (or the replay driver under ctest) reports, and a small deterministic random source
// for the choices a target makes from its input (chunk sizes, cut points).

namespace lantrivex::fuzz {

[[noreturn]] inline void checkFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

// SplitMix64 seeded with a hash of the input: the same input always makes the same choices.
class Choices {
public:
    explicit Choices(std::string_view input) {
        for (const char c : input) {
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        }
    }

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A number in 0 .. bound - 1 (0 when bound is 0).
    std::size_t below(std::size_t bound) {
        return bound == 0 ? 0 : static_cast<std::size_t>(next() % bound);
    }

private:
    std::uint64_t state_ = 0xCBF29CE484222325ULL;
};

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace lantrivex::fuzz

#define LANTRIVEX_FUZZ_CHECK(condition)                                                            \
    ((condition) ? void() : ::lantrivex::fuzz::checkFailed(#condition, __FILE__, __LINE__))
