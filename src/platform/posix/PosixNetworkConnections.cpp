// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixNetworkConnections.h"

#include "platform/posix/GvfsShares.h"
#include "platform/posix/MountTable.h"

#include <array>
#include <unistd.h>

namespace lantrivex::platform::posix {

std::optional<std::string> shortHostName() {
    std::array<char, 256> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return std::nullopt;
    }
    std::string name(buffer.data());
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

std::int32_t
PosixNetworkConnections::currentConnections(std::size_t maxCount,
                                            std::vector<NetworkConnection>& connections) {
    connections.clear();
    for (const MountEntry& entry : readMountTable()) {
        if (connections.size() >= maxCount) {
            break;
        }
        if (!isSmbMount(entry)) {
            continue;
        }
        std::string remote = entry.source;
        for (char& c : remote) {
            if (c == '/') {
                c = '\\';
            }
        }
        connections.push_back(NetworkConnection{entry.mountPoint, remote});
    }
    for (const GvfsShare& share : readGvfsShares()) {
        if (connections.size() >= maxCount) {
            break;
        }
        connections.push_back(
            NetworkConnection{share.folder, "\\\\" + share.server + "\\" + share.share});
    }
    return connections.empty() ? kNetNoMoreItems : kNetOk;
}

} // namespace lantrivex::platform::posix
