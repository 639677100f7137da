// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NetworkConnections.h"

#include <optional>
#include <string>

namespace lantrivex::platform::posix {

// This computer's short host name (up to its first dot); nullopt when the system gives none.
std::optional<std::string> shortHostName();

// The connections of this computer are its SMB mounts (cifs, smb3) in the mount table
// (mountTablePath()), in the table's order: the remote name \\server\share from the mount's source
// //server/share, the local name its mount point; then the desktop's SMB connections, the shares
// GVFS holds open (readGvfsShares()), with their folder as local name.
class PosixNetworkConnections : public NetworkConnections {
public:
    std::optional<std::string> computerName() override { return shortHostName(); }
    std::int32_t currentConnections(std::size_t maxCount,
                                    std::vector<NetworkConnection>& connections) override;
    bool localNamesAreMountPoints() const override { return true; }
};

} // namespace lantrivex::platform::posix
