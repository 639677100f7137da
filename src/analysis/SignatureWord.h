// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>

namespace lantrivex::analysis {

// The eight bytes of a signature taken as one 64-bit word (in memory order), so that a signature
// is checked and its letter case folded in a few instructions rather than byte by byte.

inline constexpr std::uint64_t kSignatureWordOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kSignatureWordHighBits = 0x8080808080808080ULL;

inline std::uint64_t loadSignatureWord(const void* eightBytes) noexcept {
    std::uint64_t word;
    std::memcpy(&word, eightBytes, sizeof word);
    return word;
}

// All eight bytes lie in 0x21..0x7F. With bit 7 clear in every byte, adding 0x5F carries into
// bit 7 exactly when the byte is at least 0x21, and never out of the byte.
inline bool isSignatureWord(std::uint64_t word) noexcept {
    return (word & kSignatureWordHighBits) == 0 &&
           ((word + 0x5F * kSignatureWordOnes) & kSignatureWordHighBits) == kSignatureWordHighBits;
}

// 'A'..'Z' to 'a'..'z' in all eight bytes at once; every byte must be below 0x80.
inline std::uint64_t foldSignatureWord(std::uint64_t word) noexcept {
    const std::uint64_t atLeastA = (word + 0x3F * kSignatureWordOnes) & kSignatureWordHighBits;
    const std::uint64_t aboveZ = (word + 0x25 * kSignatureWordOnes) & kSignatureWordHighBits;
    return word | ((atLeastA & ~aboveZ) >> 2); // bit 7 >> 2 = 0x20
}

// Whether any of the eight bytes equals `byte`.
inline bool signatureWordHasByte(std::uint64_t word, unsigned char byte) noexcept {
    const std::uint64_t x = word ^ (byte * kSignatureWordOnes);
    return ((x - kSignatureWordOnes) & ~x & kSignatureWordHighBits) != 0;
}

} // namespace lantrivex::analysis
