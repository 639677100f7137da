// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Captions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex::shell {
namespace {

// Each control's caption (or check mark) in the two languages, side by side.
std::vector<std::string> captions(LanguageFlag french, LanguageFlag english) {
    std::vector<std::string> out;
    for (const CaptionEntry& e : mainWindowCaptions()) {
        const auto text = [&e](LanguageFlag n) {
            return e.target == CaptionTarget::CheckMark ? (e.checked(n) ? "on" : "off")
                                                        : std::string(e.text(n));
        };
        const std::string key =
            e.buttonKey.empty() ? "" : std::string("(").append(e.buttonKey).append(")");
        out.push_back(std::string(e.control) + key + "=" + text(french) + "|" + text(english));
    }
    return out;
}

TEST(Captions, TableInItsOrderInBothLanguages) {
    EXPECT_EQ(captions(kFrench, kEnglish),
              (std::vector<std::string>{
                  "mnuFichier=&Fichier|&File", "mnuQuitter=&Quitter|&Exit",
                  "mnuGestionSignatures=&Signatures Macintosh|Macintosh &Signatures",
                  "mnuServeurMac=Serveur Macintosh|Macintosh Server", "mnuLangue=&Langue|&Language",
                  "mnuAnglais=off|on", "mnuFrancais=on|off",
                  "Toolbar1(Actualiser)=Actualiser les connections|Refresh connections",
                  "mnuActualiser=&Actualiser les connections|&Refresh connections",
                  "Toolbar1(Lecteurs)=Afficher les lecteurs|Display drives",
                  "mnuConnecter=Afficher les &lecteurs|Display &drives",
                  "mnuAbout=A propos de...|About"}));
    EXPECT_EQ(captions(-1, 2), captions(kEnglish, kEnglish)) << "any value but 1 is English";
    EXPECT_EQ(texts::loadingSignatures(kFrench), "Chargement des signatures...");
}

} // namespace
} // namespace lantrivex::shell
