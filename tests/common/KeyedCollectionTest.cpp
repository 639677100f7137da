#include "common/KeyedCollection.h"

#include "common/Ascii.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

std::vector<std::string> keysOf(const KeyedCollection& c) {
    std::vector<std::string> keys;
    for (const auto& entry : c.entries()) {
        keys.push_back(entry.key);
    }
    return keys;
}

TEST(KeyedCollection, KeepsInsertionOrderAndTheFirstSpelling) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("XDOCXPR3", "Quark"));
    EXPECT_TRUE(c.add("TEXTttxt", "Text"));
    EXPECT_TRUE(c.add("8BPS8BIM", "Photoshop"));
    EXPECT_EQ(keysOf(c), (std::vector<std::string>{"XDOCXPR3", "TEXTttxt", "8BPS8BIM"}));
    EXPECT_EQ(c.size(), 3u);
    EXPECT_FALSE(c.empty());
}

TEST(KeyedCollection, LooksKeysUpWithoutRegardToLetterCase) {
    KeyedCollection c;
    c.add("TEXTttxt", "Text");
    ASSERT_NE(c.find("textTTXT"), nullptr);
    EXPECT_EQ(*c.find("textTTXT"), "Text");
    EXPECT_EQ(c.value("TEXTTTXT"), "Text");
    EXPECT_TRUE(c.contains("textttxt"));
}

TEST(KeyedCollection, AnAbsentKeyGivesNothing) {
    KeyedCollection c;
    EXPECT_EQ(c.find("W6BNMSWD"), nullptr);
    EXPECT_EQ(c.value("W6BNMSWD"), "");
    c.add("W6BNMSWD", "Word");
    EXPECT_EQ(c.find("W6BNMSW"), nullptr); // no prefix match
    EXPECT_EQ(c.find("W6BNMSWDX"), nullptr);
}

TEST(KeyedCollection, ADuplicateInAnyCaseFailsAndChangesNothing) {
    KeyedCollection c;
    ASSERT_TRUE(c.add("W6BNMSWD", "first"));
    EXPECT_FALSE(c.add("w6bnmswd", "second"));
    EXPECT_FALSE(c.add("W6BNMSWD", "third"));
    EXPECT_EQ(c.size(), 1u);
    EXPECT_EQ(c.entries()[0].key, "W6BNMSWD");
    EXPECT_EQ(c.value("W6BNMSWD"), "first");
}

TEST(KeyedCollection, FoldsOnlyAsciiLetters) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("caf\xC3\xA9", "small"));
    EXPECT_TRUE(c.add("caf\xC3\x89", "capital")); // é and É are different keys
    EXPECT_TRUE(c.add("[abc]", "brackets"));
    EXPECT_TRUE(
        c.add("{abc}", "braces")); // '[' and '{' differ by the case bit, yet are not letters
    EXPECT_EQ(c.value("CAF\xC3\xA9"), "small");
    EXPECT_EQ(c.size(), 4u);
}

TEST(KeyedCollection, RemovingKeepsEveryOtherLookupRight) {
    KeyedCollection c;
    for (const char* key : {"AAAA", "BBBB", "CCCC", "DDDD"}) {
        c.add(key, std::string("item ") + key);
    }
    EXPECT_TRUE(c.remove("bbbb"));
    EXPECT_FALSE(c.remove("BBBB"));
    EXPECT_EQ(keysOf(c), (std::vector<std::string>{"AAAA", "CCCC", "DDDD"}));
    EXPECT_EQ(c.value("AAAA"), "item AAAA");
    EXPECT_EQ(c.value("CCCC"), "item CCCC");
    EXPECT_EQ(c.value("DDDD"), "item DDDD");
    EXPECT_EQ(c.find("BBBB"), nullptr);
    // The key can come back, at the end.
    EXPECT_TRUE(c.add("bbbb", "again"));
    EXPECT_EQ(keysOf(c), (std::vector<std::string>{"AAAA", "CCCC", "DDDD", "bbbb"}));
    EXPECT_EQ(c.value("BBBB"), "again");
}

TEST(KeyedCollection, ClearEmptiesBothOrderAndLookup) {
    KeyedCollection c;
    c.add("AAAA", "a");
    c.add("BBBB", "b");
    c.clear();
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(c.find("AAAA"), nullptr);
    EXPECT_TRUE(c.add("aaaa", "new"));
    EXPECT_EQ(c.value("AAAA"), "new");
}

TEST(KeyedCollection, TakesEmptyKeysAndItems) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("", ""));
    EXPECT_FALSE(c.add("", "x"));
    ASSERT_NE(c.find(""), nullptr);
    EXPECT_EQ(*c.find(""), "");
}

TEST(KeyedCollection, KeepsKeysHoldingNulBytesApart) {
    KeyedCollection c;
    EXPECT_TRUE(c.add(std::string_view("AB\0C", 4), "nul"));
    EXPECT_TRUE(c.add("AB", "short"));
    EXPECT_EQ(c.value(std::string_view("ab\0c", 4)), "nul");
    EXPECT_EQ(c.value("ab"), "short");
}

TEST(Ascii, FoldsLettersOnly) {
    EXPECT_EQ(asciiToLower("TEXTttxt-@[`{\xC3\x89"), "textttxt-@[`{\xC3\x89");
    EXPECT_EQ(asciiToUpper("8bps8bim_~"), "8BPS8BIM_~");
    EXPECT_TRUE(equalsIgnoreAsciiCase("W6BNMSWD", "w6bnMSWD"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("W6BNMSWD", "W6BNMSW"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("@", "`")); // 0x40 and 0x60 are not letters
}

} // namespace
} // namespace lantrivex
