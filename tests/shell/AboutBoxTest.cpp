#include "shell/AboutBox.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(AboutBoxTexts, EnglishWithItsCount) {
    const auto t = aboutBoxTexts(kEnglish, 3);
    EXPECT_EQ(t.title, "About...");
    EXPECT_EQ(t.lblCredit, "Lantrivex 1.0 - Analyze Macintosh volumes index on NT Server\r\n"
                           "(3 known signatures)");
    EXPECT_EQ(t.lblServeur, "Connected Windows machine");
    EXPECT_EQ(t.lblServeurMac, "Macintosh File Server Name");
    EXPECT_EQ(t.lblVolumeMac, "Macintosh volume");
    EXPECT_EQ(t.lblVolumeMacErr, "Invalid Macintosh volume\r\n(missing Windows directory)");
    EXPECT_EQ(t.cmdOK, "&OK");
}

TEST(AboutBoxTexts, FrenchWithItsCount) {
    const auto t = aboutBoxTexts(kFrench, 3);
    EXPECT_EQ(t.title, "A propos de...");
    EXPECT_EQ(t.lblCredit,
              "Lantrivex 1.0 - Analyse des index des volumes Macintosh sur un serveur NT\r\n"
              "(3 signatures reconnues)");
    EXPECT_EQ(t.lblServeur, "Machine Windows connectée");
    EXPECT_EQ(t.lblServeurMac, "Nom de serveur Macintosh");
    EXPECT_EQ(t.lblVolumeMac, "Volume Macintosh");
    EXPECT_EQ(t.lblVolumeMacErr, "Volume Macintosh invalide\r\n(répertoire Windows absent)");
    EXPECT_EQ(t.cmdOK, "&OK");
}

TEST(AboutBoxTexts, CountWrittenInPlainDigits) {
    EXPECT_TRUE(aboutBoxTexts(kEnglish, 0).lblCredit.ends_with("\r\n(0 known signatures)"));
    EXPECT_TRUE(aboutBoxTexts(kFrench, 0).lblCredit.ends_with("\r\n(0 signatures reconnues)"));
    EXPECT_TRUE(aboutBoxTexts(-1, 1234567).lblCredit.ends_with("\r\n(1234567 known signatures)"));
}

TEST(AboutBoxTexts, TheLinkShowsTheHostAndOpensTheUrl) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        const auto t = aboutBoxTexts(lang, 3);
        EXPECT_EQ(t.lblLink, "www.lantrivex.example");
        EXPECT_EQ(t.linkUrl, "http://www.lantrivex.example/");
    }
}

} // namespace
} // namespace lantrivex::shell
