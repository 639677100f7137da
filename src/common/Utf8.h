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

} // namespace lantrivex
