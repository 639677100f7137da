// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Captions.h"

#include <array>

namespace lantrivex::shell {

namespace {

using enum CaptionTarget;

constexpr std::array<CaptionEntry, 12> kMainWindowCaptions{{
    {"mnuFichier", "", Caption, "&Fichier", "&File"},
    {"mnuQuitter", "", Caption, "&Quitter", "&Exit"},
    {"mnuGestionSignatures", "", Caption, "&Signatures Macintosh", "Macintosh &Signatures"},
    {"mnuServeurMac", "", Caption, "Serveur Macintosh", "Macintosh Server"},
    {"mnuLangue", "", Caption, "&Langue", "&Language"},
    {"mnuAnglais", "", CheckMark, "", "", false, true},
    {"mnuFrancais", "", CheckMark, "", "", true, false},
    {"Toolbar1", "Actualiser", ToolTip, "Actualiser les connections", "Refresh connections"},
    {"mnuActualiser", "", Caption, "&Actualiser les connections", "&Refresh connections"},
    {"Toolbar1", "Lecteurs", ToolTip, "Afficher les lecteurs", "Display drives"},
    {"mnuConnecter", "", Caption, "Afficher les &lecteurs", "Display &drives"},
    {"mnuAbout", "", Caption, "A propos de...", "About"},
}};

} // namespace

std::span<const CaptionEntry> mainWindowCaptions() {
    return kMainWindowCaptions;
}

namespace texts {

std::string_view analysingVolume(LanguageFlag n) {
    return tr(n, "Analyse de l'index du volume Macintosh... Patientez...",
              "Analyzing Macintosh volume index... Please wait...");
}
std::string_view loadingSignatures(LanguageFlag n) {
    return tr(n, "Chargement des signatures...", "Loading signatures...");
}
std::string_view lookingMachines(LanguageFlag n) {
    return tr(n, "Recherche des serveurs NT...", "Looking NT servers...");
}
std::string_view lookingVolumes(LanguageFlag n) {
    return tr(n, "Recherche des volumes Macintosh...", "Looking Macintosh volumes...");
}
std::string_view alreadyRunning(LanguageFlag n) {
    return tr(n, "Programme d\xC3\xA9j\xC3\xA0 lanc\xC3\xA9", "Program already running");
}
std::string_view copyRows(LanguageFlag n) {
    return tr(n, "Copier", "Copy");
}

} // namespace texts

} // namespace lantrivex::shell
