// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AboutBox.h"

namespace lantrivex::shell {

AboutBoxTexts aboutBoxTexts(LanguageFlag nLangue, std::size_t signatureCount) {
    const bool french = isFrench(nLangue);
    const std::string product = std::string(kProductName) + " " + std::string(kProductVersion);
    const std::string count = std::to_string(signatureCount);

    AboutBoxTexts t;
    t.lblLink = std::string(kMakerHost);
    t.linkUrl = std::string(kMakerUrl);
    t.cmdOK = "&OK";
    if (french) {
        t.title = "A propos de...";
        t.lblCredit = product +
                      " - Analyse des index des volumes Macintosh sur un serveur NT\r\n(" + count +
                      " signatures reconnues)";
        t.lblServeur = "Machine Windows connectée";
        t.lblServeurMac = "Nom de serveur Macintosh";
        t.lblVolumeMac = "Volume Macintosh";
        t.lblVolumeMacErr = "Volume Macintosh invalide\r\n(répertoire Windows absent)";
    } else {
        t.title = "About...";
        t.lblCredit = product + " - Analyze Macintosh volumes index on NT Server\r\n(" + count +
                      " known signatures)";
        t.lblServeur = "Connected Windows machine";
        t.lblServeurMac = "Macintosh File Server Name";
        t.lblVolumeMac = "Macintosh volume";
        t.lblVolumeMacErr = "Invalid Macintosh volume\r\n(missing Windows directory)";
    }
    return t;
}

} // namespace lantrivex::shell
