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

TEST(KeyedCollection, FirstSpellingAndLookupThatFoldsAsciiLettersOnly) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("TEXTttxt", "Text"));
    EXPECT_FALSE(c.add("textTTXT", "second")) << "a duplicate in any case fails";
    EXPECT_EQ(c.value("textttxt"), "Text");
    EXPECT_EQ(c.find("TEXTttx"), nullptr) << "no prefix match";
    EXPECT_EQ(c.find("TEXTttxtX"), nullptr);
    EXPECT_TRUE(c.add("caf\xC3\xA9", "small"));
    EXPECT_TRUE(c.add("caf\xC3\x89", "capital")); // é and É are different keys
    EXPECT_TRUE(c.add("[abc]", "brackets"));
    EXPECT_TRUE(c.add("{abc}", "braces")); // '[' and '{' differ by the case bit only
    EXPECT_TRUE(c.add(std::string_view("AB\0C", 4), "nul"));
    EXPECT_TRUE(c.add("AB", "short"));
    EXPECT_EQ(c.value(std::string_view("ab\0c", 4)), "nul");
    EXPECT_EQ(keysOf(c)[0], "TEXTttxt");
    EXPECT_EQ(c.size(), 7u);
}

TEST(KeyedCollection, RemoveAndClearKeepEveryOtherLookupRight) {
    KeyedCollection c;
    for (const char* key : {"AAAA", "BBBB", "CCCC", "DDDD"}) {
        c.add(key, std::string("item ") + key);
    }
    EXPECT_TRUE(c.remove("bbbb"));
    EXPECT_FALSE(c.remove("BBBB"));
    EXPECT_EQ(c.value("CCCC"), "item CCCC");
    EXPECT_EQ(c.value("DDDD"), "item DDDD");
    EXPECT_TRUE(c.add("bbbb", "again")) << "the key comes back, at the end";
    EXPECT_EQ(keysOf(c), (std::vector<std::string>{"AAAA", "CCCC", "DDDD", "bbbb"}));
    EXPECT_EQ(c.value("BBBB"), "again");
    c.clear();
    EXPECT_EQ(c.find("AAAA"), nullptr);
    EXPECT_TRUE(c.add("aaaa", "new"));
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
