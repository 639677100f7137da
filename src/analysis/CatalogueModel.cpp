#include "analysis/CatalogueModel.h"

#include "common/Collation.h"

#include <algorithm>
#include <utility>

namespace lantrivex::analysis {

std::vector<std::size_t> Catalogue::childrenInTreeOrder(int parent) const {
    // Each child's sort key made once; equal keys keep the order of building.
    std::vector<std::pair<std::string, std::size_t>> children;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parent == parent) {
            children.emplace_back(collationKey(nodes[i].text), i);
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> order;
    order.reserve(children.size());
    for (const auto& child : children) {
        order.push_back(child.second);
    }
    return order;
}

Catalogue BuildCatalogue(const discovery::ConnectedMachines& machines,
                         discovery::MacServerLookup& lookup, platform::FolderProbe& folders,
                         const CatalogueProgress& progress) {
    lookup.beginRebuild();
    Catalogue catalogue;
    // Every folder of the rebuild is tested against one view of the system (one reading of the
    // mount table where there is one), so the rebuild stays linear in the number of volumes.
    const platform::FolderProbeSeries series(folders);
    std::int32_t nVolumePanels = 0;
    const std::size_t count = std::min(machines.lstServeurs.size(), machines.lstConnections.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& machine = machines.lstServeurs[i];
        const std::string& connections = machines.lstConnections[i];
        const bool FlagLocal = machines.isThisComputer(i);

        const int machineNode = static_cast<int>(catalogue.nodes.size());
        catalogue.nodes.push_back(CatalogueNode{CatalogueNodeKind::Machine, -1,
                                                machine + connections, machine, kImageMachine,
                                                connections, true, 0});

        const std::string server = lookup.GetMacServerName(FlagLocal, machine);
        if (progress) {
            progress(i + 1, count);
        }
        if (server.empty()) {
            continue;
        }
        const int serverNode = static_cast<int>(catalogue.nodes.size());
        catalogue.nodes.push_back(CatalogueNode{CatalogueNodeKind::MacServer, machineNode,
                                                server + " (" + machine + ")", server,
                                                kImageMacServer, "", true, 0});

        if (!lookup.GetLantrivexNames(FlagLocal, machine)) {
            continue;
        }
        for (std::size_t j = 0; j < lookup.sVolumeNames.size() && j < lookup.sVolumePaths.size();
             ++j) {
            const std::string& root = lookup.sVolumePaths[j];
            if (root.empty()) {
                continue;
            }
            const bool found = folders.folderExists(root);
            ++nVolumePanels;
            const std::string& name = lookup.sVolumeNames[j];
            catalogue.nodes.push_back(
                CatalogueNode{CatalogueNodeKind::Volume, serverNode, root, name,
                              found ? kImageVolume : kImageVolumeMissing,
                              std::to_string(nVolumePanels), false, nVolumePanels});
            catalogue.panels.push_back(CataloguePanel{nVolumePanels, server + " - " + name, root});
        }
    }
    return catalogue;
}

} // namespace lantrivex::analysis
