// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CatalogueModel.h"

#include "common/Collation.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
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

namespace {

// How many machines are asked at once: a machine that does not answer holds one worker for the
// timeout, so the catalogue of a network with up to this many silent machines costs one timeout.
constexpr std::size_t kMachinesAskedAtOnce = 16;

// What one machine answered: its Macintosh server, its volumes and whether their folders were
// found, or why it could not tell.
struct MachineAnswer {
    std::string server; // "": no Macintosh server
    bool volumesRead = false;
    std::vector<std::string> names;
    std::vector<std::string> roots;
    std::vector<bool> found; // parallel to roots
    platform::AccessFailure failure = platform::AccessFailure::None;
};

MachineAnswer askMachine(discovery::MacServerLookup& lookup, platform::FolderProbe& folders,
                         bool FlagLocal, const std::string& machine) {
    MachineAnswer answer;
    answer.server = lookup.GetMacServerName(FlagLocal, machine);
    if (answer.server.empty()) {
        answer.failure = lookup.lastFailure();
        return answer;
    }
    answer.volumesRead = lookup.GetLantrivexNames(FlagLocal, machine);
    if (!answer.volumesRead) {
        answer.failure = lookup.lastFailure();
        return answer;
    }
    const std::size_t n = std::min(lookup.sVolumeNames.size(), lookup.sVolumePaths.size());
    answer.names.assign(lookup.sVolumeNames.begin(), lookup.sVolumeNames.begin() + n);
    answer.roots.assign(lookup.sVolumePaths.begin(), lookup.sVolumePaths.begin() + n);
    answer.found.assign(n, false);
    for (std::size_t j = 0; j < n; ++j) {
        if (!answer.roots[j].empty()) {
            answer.found[j] = folders.folderExists(answer.roots[j]);
        }
    }
    return answer;
}

// Asks every machine, up to kMachinesAskedAtOnce at a time, each worker with a lookup of its own.
std::vector<MachineAnswer> askMachines(const discovery::ConnectedMachines& machines,
                                       std::size_t count, discovery::MacServerLookup& lookup,
                                       platform::FolderProbe& folders,
                                       const CatalogueProgress& progress) {
    std::vector<MachineAnswer> answers(count);
    std::atomic<std::size_t> next{0};
    std::mutex progressMutex;
    std::size_t asked = 0;
    std::exception_ptr error;
    const auto work = [&](discovery::MacServerLookup& own) {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                answers[i] =
                    askMachine(own, folders, machines.isThisComputer(i), machines.lstServeurs[i]);
            } catch (...) {
                const std::lock_guard lock(progressMutex);
                if (!error) {
                    error = std::current_exception();
                }
                next = count;
                return;
            }
            const std::lock_guard lock(progressMutex);
            ++asked;
            if (progress) {
                progress(asked, count);
            }
        }
    };
    const std::size_t workers = std::min(count, kMachinesAskedAtOnce);
    if (workers <= 1) {
        work(lookup);
    } else {
        std::vector<std::thread> threads;
        threads.reserve(workers);
        for (std::size_t w = 0; w < workers; ++w) {
            threads.emplace_back([&] {
                discovery::MacServerLookup own(lookup.registry(), lookup.product());
                work(own);
            });
        }
        for (std::thread& t : threads) {
            t.join();
        }
    }
    if (error) {
        std::rethrow_exception(error);
    }
    return answers;
}

} // namespace

Catalogue BuildCatalogue(const discovery::ConnectedMachines& machines,
                         discovery::MacServerLookup& lookup, platform::FolderProbe& folders,
                         const CatalogueProgress& progress) {
    lookup.beginRebuild();
    Catalogue catalogue;
    const std::size_t count = std::min(machines.lstServeurs.size(), machines.lstConnections.size());
    std::vector<MachineAnswer> answers;
    {
        // Every folder of the rebuild is tested against one view of the system (one reading of
        // the mount table where there is one), so the rebuild stays linear in the number of
        // volumes.
        const platform::FolderProbeSeries series(folders);
        answers = askMachines(machines, count, lookup, folders, progress);
    }

    // The tree is built in the order of the machine list, whatever the order of the answers.
    std::int32_t nVolumePanels = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& machine = machines.lstServeurs[i];
        const std::string& connections = machines.lstConnections[i];
        MachineAnswer& answer = answers[i];

        const int machineNode = static_cast<int>(catalogue.nodes.size());
        catalogue.nodes.push_back(CatalogueNode{CatalogueNodeKind::Machine, -1,
                                                machine + connections, machine, kImageMachine,
                                                connections, true, 0, answer.failure});
        if (answer.server.empty()) {
            continue;
        }
        const std::string& server = answer.server;
        const int serverNode = static_cast<int>(catalogue.nodes.size());
        catalogue.nodes.push_back(CatalogueNode{CatalogueNodeKind::MacServer, machineNode,
                                                server + " (" + machine + ")", server,
                                                kImageMacServer, "", true, 0});
        if (!answer.volumesRead) {
            continue;
        }
        for (std::size_t j = 0; j < answer.roots.size(); ++j) {
            const std::string& root = answer.roots[j];
            if (root.empty()) {
                continue;
            }
            ++nVolumePanels;
            const std::string& name = answer.names[j];
            catalogue.nodes.push_back(
                CatalogueNode{CatalogueNodeKind::Volume, serverNode, root, name,
                              answer.found[j] ? kImageVolume : kImageVolumeMissing,
                              std::to_string(nVolumePanels), false, nVolumePanels});
            catalogue.panels.push_back(CataloguePanel{nVolumePanels, server + " - " + name, root});
        }
    }
    return catalogue;
}

} // namespace lantrivex::analysis
