// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lantrivex {

// The order in which the catalogue shows names, the same in the window's tree and in the
// command-line reader, on every system: as a reader reads them, letter case aside. An accented
// Latin letter sorts with its plain letter (é with e, before f), and a ligature as its letters
// (æ as ae, œ as oe, ß as ss); spaces come first, then punctuation and symbols, then digits, then
// letters, then the other scripts by code point. Names that differ only in accents put the plain
// one first; names that differ only in letter case are equal, and keep their order of building.
//
// The sort key of a UTF-8 name: keys compare as bytes (std::string's operator<), in the order
// above. A byte that is not UTF-8 sorts after every character, by its value. Make each key once
// and sort on the keys.
std::string collationKey(std::string_view utf8);

} // namespace lantrivex
