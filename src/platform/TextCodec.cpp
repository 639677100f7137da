// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCodec.h"

#include "common/Utf8.h"

#include <array>
#include <cstdint>

namespace lantrivex::platform {
namespace {

// Windows-1252 bytes 0x80..0x9F; the undefined ones map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> toAnsi(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<unsigned char>(cp);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// UTF-8 to the code page; what cannot be converted becomes '?' when `lossy`, else fails the whole.
std::optional<std::string> convertUtf8ToAnsi(std::string_view utf8, bool lossy) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decodeUtf8(utf8, pos);
        const auto b = cp ? toAnsi(*cp) : std::nullopt;
        if (!b && !lossy) {
            return std::nullopt;
        }
        if (!cp) {
            ++pos; // skip one byte of the broken sequence
        }
        out.push_back(b ? static_cast<char>(*b) : '?');
    }
    return out;
}

} // namespace

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else if (b < 0xA0) {
            appendUtf8(out, kHigh[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::optional<std::string> utf8ToAnsi(std::string_view utf8) {
    return convertUtf8ToAnsi(utf8, false);
}

std::string utf8ToAnsiLossy(std::string_view utf8) { return *convertUtf8ToAnsi(utf8, true); }

} // namespace lantrivex::platform
