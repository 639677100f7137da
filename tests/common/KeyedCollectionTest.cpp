// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/KeyedCollection.h"

#include "common/LetterCase.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace lantrivex {
namespace {

// The UTF-8 form of a code point below U+0800.
std::string utf8(char32_t c) {
    if (c < 0x80) {
        return std::string(1, static_cast<char>(c));
    }
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(KeyedCollection, FirstSpellingWinsAndLookupFoldsTheLettersOfWindows1252) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("TEXTttxt", "Text"));
    EXPECT_FALSE(c.add("textTTXT", "second")) << "a duplicate in any case fails";
    EXPECT_EQ(c.value("textttxt"), "Text");
    EXPECT_FALSE(c.find("TEXTttx") || c.find("TEXTttxtX")) << "no prefix match";
    EXPECT_TRUE(c.add(std::string_view("AB\0C", 4), "nul"));
    EXPECT_TRUE(c.add("AB", "short"));
    EXPECT_EQ(c.value(std::string_view("ab\0c", 4)), "nul");
    std::string longKey(100, 'K'); // longer than the keys of the program
    EXPECT_TRUE(c.add(longKey + "\xC3\x89", "long"));
    EXPECT_EQ(c.value(std::string(100, 'k') + "\xC3\xA9"), "long");
    EXPECT_FALSE(equalsIgnoreLetterCase("@[", "`{")); // they differ by the case bit only
    // Eight bytes at a time: the letters' edges, and bytes above 0x80 whose low bits are letters.
    EXPECT_EQ(foldLetterCase("@AZ[`az{\xC1\xDA\xC3\x80"
                             "ABCD"),
              "@az[`az{\xC1\xDA\xC3\xA0"
              "abcd");

    // Every capital of the code page and its small letter are one key, in both orders.
    std::vector<std::pair<char32_t, char32_t>> pairs = {{U'\u0152', U'\u0153'},
                                                        {U'\u0160', U'\u0161'},
                                                        {U'\u017D', U'\u017E'},
                                                        {U'\u0178', U'\u00FF'}};
    for (char32_t capital = U'\u00C0'; capital <= U'\u00DE'; ++capital) {
        if (capital != U'\u00D7') {
            pairs.emplace_back(capital, capital + 0x20);
        }
    }
    for (const auto& [capital, small] : pairs) {
        const std::string upper = utf8(capital) + "TEXabcd";
        const std::string lower = utf8(small) + "texABCD";
        KeyedCollection keys;
        EXPECT_TRUE(keys.add(upper, "first") && !keys.add(lower, "second")) << upper;
        EXPECT_EQ(keys.value(lower), "first") << lower;
        EXPECT_TRUE(keys.remove(lower) && keys.empty()) << lower;
        EXPECT_EQ(foldLetterCase(upper).size(), upper.size());
    }
    // Not letters, no capital in the code page, or not UTF-8: keys apart.
    const std::pair<std::string, std::string> apart[] = {
        {utf8(U'\u00D7'), utf8(U'\u00F7')}, // × ÷
        {utf8(U'\u00DF'), "SS"},            // ß
        {utf8(U'\u00B5'), utf8(U'\u039C')}, // µ and the Greek capital
        {utf8(U'\u0100'), utf8(U'\u0101')}, // Ā ā: not in the code page
        {"\xC3", "\xE3"},
        {"\xC5\xB8", "\xC3\xFF"}}; // broken sequences
    for (const auto& [a, b] : apart) {
        EXPECT_FALSE(equalsIgnoreLetterCase(a, b)) << a << " " << b;
    }
    EXPECT_EQ(foldLetterCase("\xC3\x89T\xC3\xA9 \xE2\x82\xAC\xC5\xB8\xC5\x92"),
              "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xC3\xBF\xC5\x93"); // ÉTé €ŸŒ
}

TEST(KeyedCollection, RemoveAndClearKeepEveryOtherLookupRight) {
    KeyedCollection c;
    for (const char* key : {"AAAA", "BBBB", "CCCC", "DDDD"}) {
        c.add(key, std::string("item ") + key);
    }
    EXPECT_TRUE(c.remove("bbbb") && !c.remove("BBBB"));
    EXPECT_TRUE(c.value("CCCC") == "item CCCC" && c.value("DDDD") == "item DDDD");
    EXPECT_TRUE(c.add("bbbb", "again")) << "the key comes back, at the end";
    EXPECT_EQ(c.entries().back().key, "bbbb");
    EXPECT_EQ(c.value("BBBB"), "again");
    c.clear();
    EXPECT_EQ(c.find("AAAA"), nullptr);
    EXPECT_TRUE(c.add("aaaa", "new"));
}

} // namespace
} // namespace lantrivex
