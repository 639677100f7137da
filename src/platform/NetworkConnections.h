// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lantrivex::platform {

// One current connection of this computer to a network resource.
struct NetworkConnection {
    std::optional<std::string> localName; // "F:", "LPT1:"; on POSIX the mount point; none for a
                                          // connection without a local device
    std::string remoteName;               // "\\ntsrv\public"; "" when the system gives none
};

// The result of one request for the current connections.
inline constexpr std::int32_t kNetOk = 0;
inline constexpr std::int32_t kNetNoMoreItems = 259; // ERROR_NO_MORE_ITEMS: no connection at all

// This computer's name and its current network connections (mapped drives, connections without a
// local device, printers). Texts are UTF-8.
class NetworkConnections {
public:
    virtual ~NetworkConnections() = default;

    // This computer's name as the system reports it; nullopt when it cannot be obtained.
    virtual std::optional<std::string> computerName() = 0;

    // One request for at most `maxCount` current connections, in the system's order, into
    // `connections` (replaced). kNetOk with at least one entry, kNetNoMoreItems when there is no
    // connection, any other code on failure (`connections` then empty). Connections beyond what one
    // request returns are not listed.
    virtual std::int32_t currentConnections(std::size_t maxCount,
                                            std::vector<NetworkConnection>& connections) = 0;

    // True where local names are mount points (POSIX), kept as they are; false where they are
    // device names (F:, LPT1:), which the program shows upper-cased.
    virtual bool localNamesAreMountPoints() const = 0;
};

} // namespace lantrivex::platform
