#include "platform/IniDocument.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

const char* const kSettings = "; Lantrivex settings\r\n"
                              "[Positions]\r\n"
                              "WindowState=0\r\n"
                              "Left=1440\r\n"
                              "\r\n"
                              "[Configuration]\r\n"
                              "Langue=1\r\n";

// --- Reading -----------------------------------------------------------------------------------

TEST(IniDocument, FindsSectionsAndKeysWithoutRegardToCase) {
    const IniDocument ini(kSettings);
    EXPECT_EQ(ini.get("Positions", "Left"), "1440");
    EXPECT_EQ(ini.get("POSITIONS", "left"), "1440");
    EXPECT_EQ(ini.get("configuration", "LANGUE"), "1");
    EXPECT_TRUE(ini.contains("positions", "WINDOWSTATE"));
}

TEST(IniDocument, AbsentOrEmptyGivesEmptyText) {
    const IniDocument ini("[Positions]\r\nLeft=\r\nTop\r\n");
    EXPECT_EQ(ini.get("Positions", "Left"), "");
    EXPECT_TRUE(ini.contains("Positions", "Left"));
    EXPECT_EQ(ini.get("Positions", "Top"), ""); // a line without "=" is a key without value
    EXPECT_TRUE(ini.contains("Positions", "Top"));
    EXPECT_EQ(ini.get("Positions", "Width"), "");
    EXPECT_FALSE(ini.contains("Positions", "Width"));
    EXPECT_EQ(ini.get("Configuration", "Langue"), "");
    EXPECT_EQ(IniDocument().get("Positions", "Left"), "");
}

TEST(IniDocument, KeysBelongToTheirOwnSectionOnly) {
    const IniDocument ini("Left=1\r\n[A]\r\nLeft=2\r\n[B]\r\nTop=3\r\n");
    EXPECT_EQ(ini.get("A", "Left"), "2");
    EXPECT_EQ(ini.get("B", "Left"), "");
    EXPECT_EQ(ini.get("A", "Top"), "");
    EXPECT_EQ(ini.get("", "Left"), ""); // a key before any section is in none
}

TEST(IniDocument, TrimsBlanksAroundNamesAndValues) {
    const IniDocument ini("  [ Positions ]  \r\n\t Left \t=  12 34 \t\r\n");
    EXPECT_EQ(ini.get("Positions", "Left"), "12 34");
    EXPECT_EQ(ini.get(" Positions ", " Left "), "12 34");
}

TEST(IniDocument, DropsMatchingQuotesAroundAValue) {
    const IniDocument ini("[S]\r\n"
                          "a=\"quoted value\"\r\n"
                          "b='single'\r\n"
                          "c=\"mismatched'\r\n"
                          "d=\"\r\n"
                          "e=\"\"\r\n"
                          "f= \" spaced \" \r\n"
                          "g=say \"hi\"\r\n");
    EXPECT_EQ(ini.get("S", "a"), "quoted value");
    EXPECT_EQ(ini.get("S", "b"), "single");
    EXPECT_EQ(ini.get("S", "c"), "\"mismatched'");
    EXPECT_EQ(ini.get("S", "d"), "\"");
    EXPECT_EQ(ini.get("S", "e"), "");
    EXPECT_EQ(ini.get("S", "f"), " spaced ");
    EXPECT_EQ(ini.get("S", "g"), "say \"hi\"");
}

TEST(IniDocument, TheFirstSectionAndKeyOfANameWin) {
    const IniDocument ini("[S]\r\nk=1\r\nK=2\r\n[s]\r\nk=3\r\nx=4\r\n");
    EXPECT_EQ(ini.get("S", "k"), "1");
    EXPECT_EQ(ini.get("S", "x"), ""); // only the first [S] is searched
}

TEST(IniDocument, CommentsAreNotKeys) {
    const IniDocument ini("[S]\r\n;k=1\r\n  ; k=2\r\nk=3\r\n");
    EXPECT_EQ(ini.get("S", "k"), "3");
    EXPECT_EQ(ini.get("S", ";k"), "");
}

TEST(IniDocument, ValuesKeepEverythingAfterTheFirstEquals) {
    const IniDocument ini("[S]\nPath=a=b;c\n");
    EXPECT_EQ(ini.get("S", "Path"), "a=b;c");
}

TEST(IniDocument, GivesBackItsTextByteForByte) {
    for (const char* text : {"", "\n", "\r\n\r\n", "[S]\r\nk=v", "[S]\nk=v\r\n; c\n\n",
                             "junk\r\n[S\r\n=x\r\n [T] trailing\r\nk = v \r\n", kSettings}) {
        EXPECT_EQ(IniDocument(text).text(), text);
    }
}

// --- Writing -----------------------------------------------------------------------------------

TEST(IniDocument, ReplacesOnlyTheKeysLine) {
    const std::string before = "; comment \xE9t\xE9\r\n"
                               "[Other]\n"
                               "Left=999\n"
                               "\r\n"
                               "[positions]   ; placement\r\n"
                               "  WindowState = 2  \r\n"
                               "LEFT =  100\r\n"
                               "left=200\r\n"
                               "\r\n"
                               "[Unknown]\r\n"
                               "x=y";
    IniDocument ini(before);
    ASSERT_TRUE(ini.set("Positions", "Left", "1440"));
    // The key keeps its stored spelling; only the first of two is rewritten.
    std::string expected = before;
    expected.replace(expected.find("LEFT =  100"), 11, "LEFT=1440");
    EXPECT_EQ(ini.text(), expected);
    EXPECT_EQ(ini.get("Positions", "Left"), "1440");
    EXPECT_EQ(ini.get("Other", "Left"), "999");
}

TEST(IniDocument, AddsAMissingKeyAtTheEndOfItsSection) {
    IniDocument ini(kSettings);
    ASSERT_TRUE(ini.set("positions", "Top", "-60"));
    EXPECT_EQ(ini.text(), "; Lantrivex settings\r\n"
                          "[Positions]\r\n"
                          "WindowState=0\r\n"
                          "Left=1440\r\n"
                          "Top=-60\r\n"
                          "\r\n"
                          "[Configuration]\r\n"
                          "Langue=1\r\n");
    ASSERT_TRUE(ini.set("Configuration", "ServeurMac", "2"));
    EXPECT_EQ(ini.get("configuration", "servEURmac"), "2");
    EXPECT_TRUE(ini.text().ends_with("Langue=1\r\nServeurMac=2\r\n"));
}

TEST(IniDocument, AddsAMissingSectionAtTheEnd) {
    IniDocument ini("[Positions]\r\nLeft=1\r\n");
    ASSERT_TRUE(ini.set("Configuration", "Langue", "0"));
    EXPECT_EQ(ini.text(), "[Positions]\r\nLeft=1\r\n[Configuration]\r\nLangue=0\r\n");
}

TEST(IniDocument, CreatesTheTextFromNothingWithWindowsLineEnds) {
    IniDocument ini;
    ASSERT_TRUE(ini.set("Positions", "Left", "1440"));
    EXPECT_EQ(ini.text(), "[Positions]\r\nLeft=1440\r\n");
}

TEST(IniDocument, NewLinesFollowTheTextsOwnLineEnds) {
    IniDocument ini("[A]\nk=1\n");
    ASSERT_TRUE(ini.set("A", "j", "2"));
    ASSERT_TRUE(ini.set("B", "k", "3"));
    EXPECT_EQ(ini.text(), "[A]\nk=1\nj=2\n[B]\nk=3\n");
}

TEST(IniDocument, KeepsAMissingFinalLineEndMissing) {
    IniDocument ini("[A]\r\nk=1");
    ASSERT_TRUE(ini.set("A", "k", "2"));
    EXPECT_EQ(ini.text(), "[A]\r\nk=2");
    ASSERT_TRUE(ini.set("A", "j", "3"));
    EXPECT_EQ(ini.text(), "[A]\r\nk=2\r\nj=3");
    ASSERT_TRUE(ini.set("B", "x", "4"));
    EXPECT_EQ(ini.text(), "[A]\r\nk=2\r\nj=3\r\n[B]\r\nx=4");
    EXPECT_EQ(ini.get("A", "j"), "3");
    EXPECT_EQ(ini.get("B", "x"), "4");
}

TEST(IniDocument, AnEmptySectionTakesTheKeyRightAfterItsHeader) {
    IniDocument ini("[A]\r\n\r\n[B]\r\nk=1\r\n");
    ASSERT_TRUE(ini.set("A", "k", "2"));
    EXPECT_EQ(ini.text(), "[A]\r\nk=2\r\n\r\n[B]\r\nk=1\r\n");
}

TEST(IniDocument, AValueWrittenReadsBackTrimmedAndUnquotedAsWindowsDoes) {
    IniDocument ini;
    ASSERT_TRUE(ini.set("S", "a", "  padded  "));
    ASSERT_TRUE(ini.set("S", "b", "'x'"));
    ASSERT_TRUE(ini.set("S", "c", ""));
    EXPECT_EQ(ini.get("S", "a"), "padded");
    EXPECT_EQ(ini.get("S", "b"), "x");
    EXPECT_EQ(ini.get("S", "c"), "");
    EXPECT_TRUE(ini.contains("S", "c"));
}

TEST(IniDocument, RefusesWhatCannotBeOneLine) {
    IniDocument ini(kSettings);
    EXPECT_FALSE(ini.set("Positions", "Left", "1\r\n[Evil]"));
    EXPECT_FALSE(ini.set("Positions", "Le\nft", "1"));
    EXPECT_FALSE(ini.set("Posi\ntions", "Left", "1"));
    EXPECT_FALSE(ini.set("Positions", "a=b", "1"));
    EXPECT_FALSE(ini.set("Positions", "", "1"));
    EXPECT_FALSE(ini.set("Positions", "  ", "1"));
    EXPECT_FALSE(ini.set("", "Left", "1"));
    EXPECT_FALSE(ini.set("Positions", ";Left", "1"));
    EXPECT_FALSE(ini.set("Positions", "[Left]", "1"));
    EXPECT_EQ(ini.text(), kSettings);
}

} // namespace
} // namespace lantrivex::platform
