// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lantrivex {

// ASCII-only letter case, for the words of formats and protocols only (a .reg file's "dword:" and
// "hex", the credentials file's keywords, hexadecimal digits, drive letters): 'a'..'z' and
// 'A'..'Z' fold together, every other byte (UTF-8 sequences included) compares as itself. Names
// and keys (of tables, machines, shares, registry keys and values, settings) fold as LetterCase.h
// folds them, over the letters of Windows-1252.
constexpr char asciiLower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char asciiUpper(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string asciiToLower(std::string_view text);
std::string asciiToUpper(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) noexcept;

// The value of a hexadecimal digit (either letter case), -1 for any other character.
constexpr int hexDigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = asciiLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

} // namespace lantrivex
