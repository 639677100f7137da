// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "discovery/ConnectedMachines.h"
#include "discovery/MacServerLookup.h"
#include "platform/AccessFailure.h"
#include "platform/FolderProbe.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lantrivex::analysis {

// Images of the catalogue's nodes.
inline constexpr int kImageMachine = 1;
inline constexpr int kImageMacServer = 2;
inline constexpr int kImageVolume = 3;        // a volume whose Windows folder was found
inline constexpr int kImageVolumeMissing = 8; // a volume whose Windows folder is missing

enum class CatalogueNodeKind { Machine, MacServer, Volume };

// One node of the catalogue tree.
struct CatalogueNode {
    CatalogueNodeKind kind = CatalogueNodeKind::Machine;
    int parent = -1;  // index of the parent node in Catalogue::nodes; -1 at the root level
    std::string key;  // machine: name + connections text; server: "name (machine)"; volume: root
    std::string text; // machine name, server name, volume name
    int image = kImageMachine;
    std::string tag; // machine: its connections text; volume: its panel index; server: ""
    bool expanded = false;
    std::int32_t panel = 0; // volume: its panel index (1 ...); 0 for the other kinds
    // machine: why it shows no Macintosh server, or no volumes (None when it was read, or simply
    // runs none of the product); the other kinds: None.
    platform::AccessFailure failure = platform::AccessFailure::None;
};

// One volume panel: its index, and the caption of its title line "server - volume".
struct CataloguePanel {
    std::int32_t index = 0;
    std::string title;
    std::string volumeRoot; // the key of its volume node
};

// The catalogue: the nodes in the order of building (a parent before its children) and the
// volume panels numbered 1 ... N in the same order.
struct Catalogue {
    std::vector<CatalogueNode> nodes;
    std::vector<CataloguePanel> panels;

    // The children of `parent` (-1: the root-level nodes) as the tree shows them: sorted by text
    // in the catalogue's collation (collationKey), equal texts in the order of building.
    std::vector<std::size_t> childrenInTreeOrder(int parent) const;
};

// Builds the catalogue (MajTreeCatalogue's model) from the machine lists: every machine, its
// Macintosh server when `lookup` finds one, and the server's volumes with their panels. Each
// volume's folder is tested through `folders`. Two volumes with the same root both appear, each
// with its own panel.
//
// Machines are asked side by side, up to 16 at a time, each by a worker thread with a lookup of
// its own (made from `lookup`'s registry and product), which then tests that machine's folders:
// `lookup`'s registry and `folders` are used from several threads at once. The tree is built
// once every machine has answered, in the order of the machine list, so that it is the same
// whatever the order of the answers.
//
// `progress`, when given, is told how many machines have been asked so far of how many
// (`asked` rises by one as each machine has answered, up to `total`). It may be called from another
// thread than the caller's, but never from two at once.
using CatalogueProgress = std::function<void(std::size_t asked, std::size_t total)>;
Catalogue BuildCatalogue(const discovery::ConnectedMachines& machines,
                         discovery::MacServerLookup& lookup, platform::FolderProbe& folders,
                         const CatalogueProgress& progress = {});

} // namespace lantrivex::analysis
