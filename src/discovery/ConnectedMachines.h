// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NetworkConnections.h"

#include <cstddef>
#include <string>
#include <vector>

namespace lantrivex::discovery {

// The working lists of the machines this computer is connected to.
struct ConnectedMachines {
    // Windows machine names, index 0 this computer (when its name could be obtained); unique under
    // exact, case-sensitive comparison.
    std::vector<std::string> lstServeurs;
    // Parallel to lstServeurs: each machine's connections, "\public (F:); \apps".
    std::vector<std::string> lstConnections;
    // One line per connection with a local name: local name, tab, server\share.
    std::vector<std::string> lstDrives;
    // Whether lstServeurs[0] is this computer: false only when its name could not be obtained.
    bool firstIsThisComputer = false;

    // lstServeurs[i] is this computer.
    bool isThisComputer(std::size_t i) const noexcept { return i == 0 && firstIsThisComputer; }
};

// The most connections asked for in the one request.
inline constexpr std::size_t kMaxConnections = 1024;

// Rebuilds the three lists: this computer first, then every machine of the current connections
// whose remote name has the form \\server\share..., in the order the system gives them.
void EnumConnectedDrives(platform::NetworkConnections& network, ConnectedMachines& machines);

} // namespace lantrivex::discovery
