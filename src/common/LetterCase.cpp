#include "common/LetterCase.h"

#include "common/Ascii.h"

namespace lantrivex {
namespace {

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

std::string foldLetterCase(std::string_view text) {
    std::string out(text);
    const std::size_t size = out.size();
    for (std::size_t i = 0; i < size; ++i) {
        char& c = out[i];
        if (static_cast<unsigned char>(c) < 0x80) {
            c = asciiLower(c);
        } else if (i + 1 < size) {
            foldSequence(c, out[i + 1]);
        }
    }
    return out;
}

bool equalsIgnoreLetterCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldLetterCase(a) == foldLetterCase(b);
}

} // namespace lantrivex
