// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lantrivex {

// Letter case as the program's keyed tables ignore it: the letters of the Windows-1252
// repertoire, in UTF-8 text. 'A'..'Z', the accented capitals U+00C0..U+00DE (but U+00D7, the
// multiplication sign), and Œ, Š, Ž, Ÿ fold to their small letters; every other byte, invalid
// UTF-8 included, stays as it is. Folding never changes the length of a text.
std::string foldLetterCase(std::string_view text);

// The folded `text` written to `buffer`, which holds at least text.size() bytes.
std::string_view foldLetterCaseInto(std::string_view text, char* buffer) noexcept;

// `a` and `b` are one key: equal once their letter case is folded.
bool equalsIgnoreLetterCase(std::string_view a, std::string_view b);

} // namespace lantrivex
