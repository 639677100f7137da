// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Collation.h"

#include "common/Utf8.h"

#include <cstdint>

namespace lantrivex {
namespace {

// The plain letter of U+00C0..U+00FF and of U+0100..U+017F, small; '*' a symbol (× ÷), and the
// digits name the ligatures: 1 ij, 2 oe, 3 ae, 4 th, 5 ss.
constexpr std::string_view kLatin1 = "aaaaaa3ceeeeiiiidnooooo*ouuuuy45"
                                     "aaaaaa3ceeeeiiiidnooooo*ouuuuy4y";
constexpr std::string_view kLatinExtendedA = "aaaaaaccccccccddddeeeeeeeeeegggg"
                                             "gggghhhhiiiiiiiiii11jjkkklllllll"
                                             "lllnnnnnnnnnoooooo22rrrrrrssssss"
                                             "ssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
constexpr std::string_view kLigatures[] = {"ij", "oe", "ae", "th", "ss"};

// Primary weights by class; each is below 2^21.
constexpr std::uint32_t kControl = 0x100;
constexpr std::uint32_t kSpace = 0x200;
constexpr std::uint32_t kSymbol = 0x400;
constexpr std::uint32_t kDigit = 0x600;
constexpr std::uint32_t kLetter = 0x700;
constexpr std::uint32_t kOther = 0x1000;              // + the code point
constexpr std::uint32_t kNotUtf8 = kOther + 0x110000; // + the byte

constexpr unsigned char kPlain = 1; // the secondary weight of a character without accent

struct Key {
    std::string primary;
    std::string secondary;

    void add(std::uint32_t weight, unsigned char accent) {
        // Seven bits a byte, never 0, so that a shorter name sorts first.
        primary += static_cast<char>((weight >> 14) + 1);
        primary += static_cast<char>(((weight >> 7) & 0x7F) + 1);
        primary += static_cast<char>((weight & 0x7F) + 1);
        secondary += static_cast<char>(accent);
    }
    void addLetters(std::string_view letters, unsigned char accent) {
        for (char l : letters) {
            add(kLetter + static_cast<std::uint32_t>(l - 'a'), accent);
        }
    }
};

// A base letter code from the tables: a letter, a ligature's digit or '*'.
void addBase(Key& key, char base, char32_t c, unsigned char accent) {
    if (base >= '1' && base <= '5') {
        key.addLetters(kLigatures[base - '1'], accent);
    } else if (base == '*') {
        key.add(kSymbol + c, kPlain);
    } else {
        key.addLetters(std::string_view(&base, 1), accent);
    }
}

// Small letters of the Greek and Cyrillic capitals, for the other scripts' letter case.
char32_t smallLetter(char32_t c) {
    if ((c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

void addCharacter(Key& key, char32_t c) {
    if (c >= 'A' && c <= 'Z') {
        key.add(kLetter + (c - 'A'), kPlain);
    } else if (c >= 'a' && c <= 'z') {
        key.add(kLetter + (c - 'a'), kPlain);
    } else if (c >= '0' && c <= '9') {
        key.add(kDigit + (c - '0'), kPlain);
    } else if (c == ' ' || c == 0xA0) {
        key.add(kSpace, kPlain);
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        key.add(kControl + c, kPlain);
    } else if (c < 0xC0) {
        key.add(kSymbol + c, kPlain);
    } else if (c < 0x100) {
        // Capital and small letters share their accent weight: U+00C0 + n and U+00E0 + n.
        addBase(key, kLatin1[c - 0xC0], c, static_cast<unsigned char>(2 + ((c | 0x20) - 0xE0)));
    } else if (c < 0x180) {
        // Mostly capital and small in pairs from an even code point; a few runs from an odd one.
        const char32_t pairStart = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E) ? 1 : 0;
        addBase(key, kLatinExtendedA[c - 0x100], c,
                static_cast<unsigned char>(0x22 + ((c - 0x100 + pairStart) >> 1)));
    } else {
        key.add(kOther + smallLetter(c), kPlain);
    }
}

} // namespace

std::string collationKey(std::string_view utf8) {
    Key key;
    key.primary.reserve(utf8.size() * 3 + utf8.size() + 1);
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (const auto c = decodeUtf8(utf8, pos)) {
            addCharacter(key, *c);
        } else {
            key.add(kNotUtf8 + static_cast<unsigned char>(utf8[pos]), kPlain);
            ++pos;
        }
    }
    key.primary += '\0';
    key.primary += key.secondary;
    return std::move(key.primary);
}

} // namespace lantrivex
