// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IniDocument.h"

#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

const char* const kSettings =
    "; Lantrivex settings\r\n[Positions]\r\nWindowState=0\r\nLeft=1440\r\n"
    "\r\n[Configuration]\r\nLangue=1\r\n";

TEST(IniDocument, Reading) {
    const char* const kScoped = "Left=1\r\n[A]\r\nLeft=2\r\n[B]\r\nTop=3\r\n";
    const char* const kPadded = "  [ Positions ]  \r\n\t Left \t=  12 34 \t\r\n";
    const char* const kTwice = "[S]\r\nk=1\r\nK=2\r\n[s]\r\nk=3\r\nx=4\r\n";
    const struct {
        const char *text, *section, *key, *value;
        bool contained;
    } rows[] = {{kSettings, "POSITIONS", "left", "1440", true}, // without regard to case
                {"[\xC3\x89]\r\n\xC3\x89=1\r\n", "\xC3\xA9", "\xC3\xA9", "1", true},
                {"[P]\r\nLeft=\r\nTop\r\n", "P", "Left", "", true},
                {"[P]\r\nLeft=\r\nTop\r\n", "P", "Top", "", true}, // no "=": a key without value
                // Keys belong to their own section only; a key before any section is in none.
                {kScoped, "A", "Left", "2", true},
                {kScoped, "B", "Left", "", false},
                {kScoped, "", "Left", "", false},
                {kPadded, "Positions", "Left", "12 34", true},
                // Matching quotes around a value are dropped.
                {"[S]\r\na=\"quoted value\"\r\n", "S", "a", "quoted value", true},
                {"[S]\r\nb='single'\r\n", "S", "b", "single", true},
                {"[S]\r\nc=\"mismatched'\r\n", "S", "c", "\"mismatched'", true},
                {"[S]\r\nf= \" spaced \" \r\n", "S", "f", " spaced ", true},
                // The first section and key of a name win: only the first [S] is searched.
                {kTwice, "S", "k", "1", true},
                {kTwice, "S", "x", "", false},
                {"[S]\r\n;k=1\r\n  ; k=2\r\nk=3\r\n", "S", "k", "3", true}, // comments are no keys
                {"[S]\nPath=a=b;c\n", "S", "Path", "a=b;c", true}};
    for (const auto& r : rows) {
        const IniDocument ini(r.text);
        EXPECT_EQ(ini.get(r.section, r.key), r.value) << r.text << " / " << r.key;
        EXPECT_EQ(ini.contains(r.section, r.key), r.contained) << r.text << " / " << r.key;
    }
    for (const char* text : {"", "\n", "\r\n\r\n", "[S]\r\nk=v", "[S]\nk=v\r\n; c\n\n",
                             "junk\r\n[S\r\n=x\r\n [T] trailing\r\nk = v \r\n", kSettings}) {
        EXPECT_EQ(IniDocument(text).text(), text); // byte for byte
    }
}

TEST(IniDocument, WritingTouchesOnlyTheKeysLineOrAddsOne) {
    const struct {
        const char *before, *section, *key, *value, *after;
    } rows[] = {
        // The key keeps its stored spelling; only the first of two is rewritten.
        {"; \xE9t\xE9\r\n[Other]\nLeft=999\n\r\n[positions]   ; placement\r\n  WindowState = 2  "
         "\r\nLEFT =  100\r\nleft=200\r\n\r\n[Unknown]\r\nx=y",
         "Positions", "Left", "1440",
         "; \xE9t\xE9\r\n[Other]\nLeft=999\n\r\n[positions]   ; placement\r\n  WindowState = 2  "
         "\r\nLEFT=1440\r\nleft=200\r\n\r\n[Unknown]\r\nx=y"},
        // A missing key goes at the end of its section, before the blank lines.
        {kSettings, "positions", "Top", "-60",
         "; Lantrivex settings\r\n[Positions]\r\nWindowState=0\r\nLeft=1440\r\nTop=-60\r\n\r\n"
         "[Configuration]\r\nLangue=1\r\n"},
        {"[A]\r\n\r\n[B]\r\nk=1\r\n", "A", "k", "2", "[A]\r\nk=2\r\n\r\n[B]\r\nk=1\r\n"},
        // A missing section goes at the end; Windows line ends in a text without any.
        {"[Positions]\r\nLeft=1\r\n", "Configuration", "Langue", "0",
         "[Positions]\r\nLeft=1\r\n[Configuration]\r\nLangue=0\r\n"},
        {"", "Positions", "Left", "1440", "[Positions]\r\nLeft=1440\r\n"},
        // New lines follow the text's own line ends; a missing final line end stays missing.
        {"[A]\nk=1\n", "A", "j", "2", "[A]\nk=1\nj=2\n"},
        {"[A]\nk=1\n", "B", "k", "3", "[A]\nk=1\n[B]\nk=3\n"},
        {"[A]\r\nk=1", "A", "k", "2", "[A]\r\nk=2"},
        {"[A]\r\nk=1", "A", "j", "3", "[A]\r\nk=1\r\nj=3"},
        {"[A]\r\nk=1", "B", "x", "4", "[A]\r\nk=1\r\n[B]\r\nx=4"}};
    for (const auto& r : rows) {
        IniDocument ini(r.before);
        ASSERT_TRUE(ini.set(r.section, r.key, r.value)) << r.before;
        EXPECT_EQ(ini.text(), r.after);
        EXPECT_EQ(ini.get(r.section, r.key), r.value) << r.after;
    }
}

TEST(IniDocument, RefusesWhatCannotBeOneLine) {
    IniDocument ini(kSettings);
    for (const char* key : {"Le\nft", "a=b", "", "  ", ";Left", "[Left]"}) {
        EXPECT_FALSE(ini.set("Positions", key, "1")) << key;
    }
    EXPECT_FALSE(ini.set("Positions", "Left", "1\r\n[Evil]"));
    EXPECT_FALSE(ini.set("Posi\ntions", "Left", "1"));
    EXPECT_FALSE(ini.set("", "Left", "1"));
    EXPECT_EQ(ini.text(), kSettings);
}

TEST(TextCodec, RoundTripsEveryByteAndRefusesWhatTheCodePageCannotStore) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
    EXPECT_EQ(ansiToUtf8("\xE9t\xE9 \x80 \x9C"), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xC5\x93");
    // A CJK character, a cut sequence, a surrogate, an overlong form.
    for (const char* bad : {"\xE6\x97\xA5", "\xC3", "\xED\xA0\x80", "\xC0\xAF"}) {
        EXPECT_EQ(utf8ToAnsi(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(utf8ToAnsiLossy("a\xE6\x97\xA5z"), "a?z");
}

} // namespace
} // namespace lantrivex::platform
