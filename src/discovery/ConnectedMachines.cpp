// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/ConnectedMachines.h"

#include "common/Ascii.h"

#include <algorithm>

namespace lantrivex::discovery {
namespace {

std::string trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

void EnumConnectedDrives(platform::NetworkConnections& network, ConnectedMachines& machines) {
    machines.lstDrives.clear();
    machines.lstServeurs.clear();
    machines.lstConnections.clear();
    machines.firstIsThisComputer = false;

    // This computer.
    if (const auto reported = network.computerName()) {
        // Listed only when longer than one character (a name of one character is taken for no
        // name); the text ends at its NUL.
        std::string name = trimSpaces(*reported);
        if (name.size() > 1) {
            name.erase(std::min(name.find('\0'), name.size()));
        } else {
            name.clear();
        }
        if (!name.empty()) {
            machines.lstServeurs.push_back(name);
            machines.lstConnections.emplace_back();
            machines.firstIsThisComputer = true;
        }
    }

    // One request; no second one.
    std::vector<platform::NetworkConnection> entries;
    if (network.currentConnections(kMaxConnections, entries) != platform::kNetOk) {
        return;
    }
    const bool mountPoints = network.localNamesAreMountPoints();
    for (const platform::NetworkConnection& entry : entries) {
        std::string local;
        if (entry.localName) {
            // A drive letter, ASCII by nature, shown as a capital.
            local = mountPoints ? *entry.localName : asciiToUpper(*entry.localName);
        }
        const std::string& remote = entry.remoteName;
        if (remote.size() < 2 || remote.compare(0, 2, R"(\\)") != 0) {
            continue;
        }
        const std::string rest = remote.substr(2);
        const auto p = rest.find('\\');
        if (p == std::string::npos) {
            continue;
        }
        if (!local.empty()) {
            machines.lstDrives.push_back(local + '\t' + rest);
        }
        const std::string server = rest.substr(0, p);
        std::string share = rest.substr(p);
        if (!local.empty()) {
            share += " (" + local + ")";
        }
        bool found = false;
        for (std::size_t j = 0; j < machines.lstServeurs.size(); ++j) {
            if (machines.lstServeurs[j] == server) {
                machines.lstConnections[j] += "; " + share;
                found = true;
            }
        }
        if (!found) {
            machines.lstServeurs.push_back(server);
            machines.lstConnections.push_back(share);
        }
    }
}

} // namespace lantrivex::discovery
