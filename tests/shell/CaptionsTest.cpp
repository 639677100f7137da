#include "shell/Captions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex::shell {
namespace {

std::vector<std::string> column(LanguageFlag n) {
    std::vector<std::string> out;
    for (const CaptionEntry& e : mainWindowCaptions()) {
        std::string name(e.control);
        if (!e.buttonKey.empty()) {
            name += "(" + std::string(e.buttonKey) + ")";
        }
        out.push_back(name + "=" +
                      (e.target == CaptionTarget::CheckMark ? (e.checked(n) ? "on" : "off")
                                                            : std::string(e.text(n))));
    }
    return out;
}

TEST(Captions, TableInItsOrderInBothLanguages) {
    EXPECT_EQ(
        column(kFrench),
        (std::vector<std::string>{
            "mnuFichier=&Fichier", "mnuQuitter=&Quitter",
            "mnuGestionSignatures=&Signatures Macintosh", "mnuServeurMac=Serveur Macintosh",
            "mnuLangue=&Langue", "mnuAnglais=off", "mnuFrancais=on",
            "Toolbar1(Actualiser)=Actualiser les connections",
            "mnuActualiser=&Actualiser les connections", "Toolbar1(Lecteurs)=Afficher les lecteurs",
            "mnuConnecter=Afficher les &lecteurs", "mnuAbout=A propos de..."}));
    EXPECT_EQ(
        column(kEnglish),
        (std::vector<std::string>{
            "mnuFichier=&File", "mnuQuitter=&Exit", "mnuGestionSignatures=Macintosh &Signatures",
            "mnuServeurMac=Macintosh Server", "mnuLangue=&Language", "mnuAnglais=on",
            "mnuFrancais=off", "Toolbar1(Actualiser)=Refresh connections",
            "mnuActualiser=&Refresh connections", "Toolbar1(Lecteurs)=Display drives",
            "mnuConnecter=Display &drives", "mnuAbout=About"}));
    EXPECT_EQ(column(2), column(kEnglish)) << "any value but 1 is English";
    EXPECT_EQ(column(-1), column(kEnglish));
}

TEST(Captions, StatusAndMessageTexts) {
    EXPECT_EQ(texts::analysingVolume(kFrench),
              "Analyse de l'index du volume Macintosh... Patientez...");
    EXPECT_EQ(texts::analysingVolume(kEnglish),
              "Analyzing Macintosh volume index... Please wait...");
    EXPECT_EQ(texts::loadingSignatures(kFrench), "Chargement des signatures...");
    EXPECT_EQ(texts::lookingMachines(kEnglish), "Looking NT servers...");
    EXPECT_EQ(texts::lookingVolumes(kFrench), "Recherche des volumes Macintosh...");
    EXPECT_EQ(texts::alreadyRunning(kFrench), "Programme d\xC3\xA9j\xC3\xA0 lanc\xC3\xA9");
    EXPECT_EQ(texts::alreadyRunning(5), "Program already running");
}

} // namespace
} // namespace lantrivex::shell
