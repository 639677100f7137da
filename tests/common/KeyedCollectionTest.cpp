#include "common/KeyedCollection.h"

#include "common/Ascii.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

TEST(KeyedCollection, FirstSpellingWinsAndLookupFoldsAsciiLettersOnly) {
    KeyedCollection c;
    EXPECT_TRUE(c.add("TEXTttxt", "Text"));
    EXPECT_FALSE(c.add("textTTXT", "second")) << "a duplicate in any case fails";
    EXPECT_EQ(c.value("textttxt"), "Text");
    EXPECT_FALSE(c.find("TEXTttx") || c.find("TEXTttxtX")) << "no prefix match";
    EXPECT_TRUE(c.add("caf\xC3\xA9", "small"));
    EXPECT_TRUE(c.add("caf\xC3\x89", "capital")); // é and É are different keys
    EXPECT_TRUE(c.add(std::string_view("AB\0C", 4), "nul"));
    EXPECT_TRUE(c.add("AB", "short"));
    EXPECT_EQ(c.value(std::string_view("ab\0c", 4)), "nul");
    EXPECT_EQ(c.size(), 5u);
    EXPECT_TRUE(equalsIgnoreAsciiCase("W6BNMSWD", "w6bnMSWD"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("@[", "`{")); // they differ by the case bit only
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
