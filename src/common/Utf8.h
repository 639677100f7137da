// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex {

// Appends the UTF-8 form of a code point (up to U+10FFFF).
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the well-formed UTF-8 sequence at `pos` and moves `pos` past it. nullopt (and `pos`
// unchanged) for a cut sequence, a stray continuation byte, an overlong form, a surrogate or
// anything past U+10FFFF.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos);

// The whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// The number of characters of a UTF-8 text (its bytes that do not continue a sequence).
std::size_t utf8CharacterCount(std::string_view text) noexcept;

// UTF-16LE bytes to UTF-8; nullopt for an odd byte count or a broken surrogate pair.
std::optional<std::string> utf16leToUtf8(std::string_view bytes);
// The same appended to `out`; false for an odd byte count or a broken surrogate pair, `out` then
// holding what came before the fault (for a line number).
bool utf16leToUtf8(std::string_view bytes, std::string& out);

// UTF-8 to UTF-16LE bytes; a byte that begins no well-formed sequence becomes U+FFFD.
std::string utf8ToUtf16le(std::string_view text);

} // namespace lantrivex
