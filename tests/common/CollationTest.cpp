// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Collation.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex {
namespace {

using Names = std::vector<std::string>;

Names sorted(Names names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return collationKey(a) < collationKey(b);
    });
    return names;
}

TEST(Collation, NamesSortAsReadLetterCaseAsideAccentsWithTheirLetter) {
    const struct {
        Names names;
        Names expected;
    } cases[] = {
        // Accented capitals and small letters among the plain ones, not after z.
        {{"zèbre", "Échos", "éditions", "Zoo", "apps", "Edgar"},
         {"apps", "Échos", "Edgar", "éditions", "zèbre", "Zoo"}},
        // Plain before accented when nothing else differs; case alone keeps the given order.
        {{"côte", "Cote", "cote", "COTE"}, {"Cote", "cote", "COTE", "côte"}},
        // Ligatures as their letters; letters of Latin Extended-A with theirs.
        {{"Œuvres", "Oeuvre", "Æsop", "Adam", "Straße", "Strasse", "Łódź", "Lyon", "Lima"},
         {"Adam", "Æsop", "Lima", "Łódź", "Lyon", "Oeuvre", "Œuvres", "Strasse", "Straße"}},
        // Spaces, then punctuation and symbols, then digits, then letters, then other scripts;
        // a shorter name first.
        {{"b", "Ωmega", "a b", "ab", "a", "a-b", "a1", "a~"},
         {"a", "a b", "a-b", "a~", "a1", "ab", "b", "Ωmega"}},
        // Greek letter case aside; a byte that is not UTF-8 after every character.
        {{"\xff", "ωa", "Ωb", "z"}, {"z", "ωa", "Ωb", "\xff"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sorted(c.names), c.expected);
    }
}

} // namespace
} // namespace lantrivex
