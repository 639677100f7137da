// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AboutBox.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(AboutBoxTexts, BothLanguagesWithTheCountInPlainDigits) {
    const auto en = aboutBoxTexts(kEnglish, 3);
    EXPECT_EQ(en.title, "About...");
    EXPECT_EQ(en.lblCredit, "Lantrivex 1.0 - Analyze Macintosh volumes index on NT Server\r\n"
                            "(3 known signatures)");
    EXPECT_EQ(en.lblServeur, "Connected Windows machine");
    EXPECT_EQ(en.lblServeurMac, "Macintosh File Server Name");
    EXPECT_EQ(en.lblVolumeMac, "Macintosh volume");
    EXPECT_EQ(en.lblVolumeMacErr, "Invalid Macintosh volume\r\n(missing Windows directory)");
    const auto fr = aboutBoxTexts(kFrench, 0);
    EXPECT_EQ(fr.title, "A propos de...");
    EXPECT_EQ(fr.lblCredit,
              "Lantrivex 1.0 - Analyse des index des volumes Macintosh sur un serveur NT\r\n"
              "(0 signatures reconnues)");
    EXPECT_EQ(fr.lblServeur, "Machine Windows connectée");
    EXPECT_EQ(fr.lblServeurMac, "Nom de serveur Macintosh");
    EXPECT_EQ(fr.lblVolumeMac, "Volume Macintosh");
    EXPECT_EQ(fr.lblVolumeMacErr, "Volume Macintosh invalide\r\n(répertoire Windows absent)");
    EXPECT_EQ(en.cmdOK + " " + en.lblLink + " " + en.linkUrl,
              "&OK www.lantrivex.example http://www.lantrivex.example/");
    EXPECT_EQ(fr.cmdOK + fr.lblLink + fr.linkUrl, en.cmdOK + en.lblLink + en.linkUrl);
    EXPECT_TRUE(aboutBoxTexts(-1, 1234567).lblCredit.ends_with("\r\n(1234567 known signatures)"));
}

} // namespace
} // namespace lantrivex::shell
