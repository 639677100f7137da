// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LetterCase.h"

#include "common/Ascii.h"

#include <cstdint>
#include <cstring>

namespace lantrivex {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// 'A'..'Z' to 'a'..'z' in eight bytes at once; bytes of 0x80 and above are left as they are.
// Each byte is tested on its low seven bits, so no sum carries into the next byte.
inline std::uint64_t foldAsciiWord(std::uint64_t word) noexcept {
    const std::uint64_t low = word & ~kHighBits;
    const std::uint64_t atLeastA = (low + 0x3F * kOnes) & kHighBits; // low >= 0x41
    const std::uint64_t aboveZ = (low + 0x25 * kOnes) & kHighBits;   // low >= 0x5B
    return word | ((atLeastA & ~aboveZ & ~word) >> 2);               // bit 7 >> 2 = 0x20
}

// The two-byte UTF-8 capitals of Windows-1252 folded in place; `lead` and `next` are the bytes
// of one sequence.
void foldSequence(char& lead, char& next) noexcept {
    const auto l = static_cast<unsigned char>(lead);
    const auto n = static_cast<unsigned char>(next);
    if (l == 0xC3) {
        // U+00C0..U+00DE, but U+00D7 (×): the small letter is 0x20 further on.
        if (n >= 0x80 && n <= 0x9E && n != 0x97) {
            next = static_cast<char>(n + 0x20);
        }
    } else if (l == 0xC5) {
        if (n == 0x92 || n == 0xA0 || n == 0xBD) {
            next = static_cast<char>(n + 1); // Œ U+0152, Š U+0160, Ž U+017D
        } else if (n == 0xB8) {
            lead = static_cast<char>(0xC3); // Ÿ U+0178 to ÿ U+00FF
            next = static_cast<char>(0xBF);
        }
    }
}

} // namespace

std::string_view foldLetterCaseInto(std::string_view text, char* buffer) noexcept {
    // ASCII eight bytes at a time; only a text with other bytes is looked at again, for its
    // two-byte sequences.
    const std::size_t size = text.size();
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        seen |= word;
        word = foldAsciiWord(word);
        std::memcpy(buffer + i, &word, sizeof word);
    }
    for (; i < size; ++i) {
        seen |= static_cast<unsigned char>(text[i]);
        buffer[i] = asciiLower(text[i]);
    }
    if ((seen & kHighBits) != 0) {
        for (i = 0; i + 1 < size; ++i) {
            const auto lead = static_cast<unsigned char>(buffer[i]);
            const auto next = static_cast<unsigned char>(buffer[i + 1]);
            if ((lead == 0xC3 || lead == 0xC5) && (next & 0xC0) == 0x80) {
                foldSequence(buffer[i], buffer[i + 1]);
                ++i;
            }
        }
    }
    return std::string_view(buffer, size);
}

std::string foldLetterCase(std::string_view text) {
    std::string out(text.size(), '\0');
    foldLetterCaseInto(text, out.data());
    return out;
}

bool equalsIgnoreLetterCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldLetterCase(a) == foldLetterCase(b);
}

} // namespace lantrivex
