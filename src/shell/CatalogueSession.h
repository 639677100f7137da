#pragma once

#include "analysis/CatalogueModel.h"
#include "common/Language.h"
#include "discovery/ConnectedMachines.h"
#include "discovery/MacServerLookup.h"
#include "platform/FolderProbe.h"
#include "platform/NetworkConnections.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"

#include <string>
#include <string_view>

namespace lantrivex::shell {

// The status texts of the discovery steps, shown before each step starts.
std::string_view StatusLoadingSignatures(LanguageFlag nLangue); // "Loading signatures..."
std::string_view StatusLookingServers(LanguageFlag nLangue);    // "Looking NT servers..."
std::string_view StatusLookingVolumes(LanguageFlag nLangue);    // "Looking Macintosh volumes..."

// The discovery state of the main window: the machine lists of the last enumeration, the product
// code, and the catalogue of the last rebuild. Every step replaces its part wholesale.
class CatalogueSession {
public:
    CatalogueSession(platform::Registry& registry, platform::NetworkConnections& network,
                     platform::FolderProbe& folders, discovery::ProductCode product)
        : network_(network), folders_(folders), lookup_(registry, product) {}

    // Rebuilds the machine lists (lstServeurs, lstConnections, lstDrives).
    void EnumConnectedDrives() { discovery::EnumConnectedDrives(network_, machines_); }

    // Rebuilds the catalogue from the lists of the last enumeration, asking every machine again.
    const analysis::Catalogue& MajTreeCatalogue() {
        catalogue_ = analysis::BuildCatalogue(machines_, lookup_, folders_);
        return catalogue_;
    }

    // A product command: sets the product code; when it differs from the one before, writes the
    // setting "ServeurMac" ("0", "1" or "2") to `iniPath` and returns true: the catalogue must then
    // be rebuilt (without a new enumeration). Choosing the current product changes nothing else.
    bool ChooseProduct(discovery::ProductCode code, platform::ProfileFile& profiles,
                       std::string_view iniPath);

    discovery::ProductCode product() const noexcept { return lookup_.product(); }
    const discovery::ConnectedMachines& machines() const noexcept { return machines_; }
    const analysis::Catalogue& catalogue() const noexcept { return catalogue_; }

private:
    platform::NetworkConnections& network_;
    platform::FolderProbe& folders_;
    discovery::MacServerLookup lookup_;
    discovery::ConnectedMachines machines_;
    analysis::Catalogue catalogue_;
};

} // namespace lantrivex::shell
