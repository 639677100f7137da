#include "shell/CatalogueSession.h"

namespace lantrivex::shell {

std::string_view StatusLoadingSignatures(LanguageFlag nLangue) {
    return tr(nLangue, "Chargement des signatures...", "Loading signatures...");
}

std::string_view StatusLookingServers(LanguageFlag nLangue) {
    return tr(nLangue, "Recherche des serveurs NT...", "Looking NT servers...");
}

std::string_view StatusLookingVolumes(LanguageFlag nLangue) {
    return tr(nLangue, "Recherche des volumes Macintosh...", "Looking Macintosh volumes...");
}

bool CatalogueSession::ChooseProduct(discovery::ProductCode code, platform::ProfileFile& profiles,
                                     std::string_view iniPath) {
    const discovery::ProductCode before = lookup_.product();
    lookup_.setProduct(code);
    if (code == before) {
        return false;
    }
    profiles.write(iniPath, "Configuration", "ServeurMac", std::to_string(code));
    return true;
}

} // namespace lantrivex::shell
