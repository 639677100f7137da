// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NetworkConnections.h"

#include <algorithm>

namespace lantrivex::fakes {

struct FakeNetworkConnections : platform::NetworkConnections {
    std::optional<std::string> name = std::string("WORKSTATION");
    std::vector<platform::NetworkConnection> connections;
    std::int32_t failWith = platform::kNetOk; // a failing request answers this code
    bool mountPoints = false;
    std::vector<std::size_t> requests;

    void add(const std::string& localName, const std::string& remoteName) { // "": none
        connections.push_back(
            {localName.empty() ? std::nullopt : std::optional(localName), remoteName});
    }
    std::optional<std::string> computerName() override { return name; }
    std::int32_t currentConnections(std::size_t maxCount,
                                    std::vector<platform::NetworkConnection>& out) override {
        requests.push_back(maxCount);
        const bool fail = failWith != platform::kNetOk;
        const auto n = fail ? std::size_t{0} : std::min(maxCount, connections.size());
        out.assign(connections.begin(), connections.begin() + static_cast<std::ptrdiff_t>(n));
        return fail ? failWith
                    : (connections.empty() ? platform::kNetNoMoreItems : platform::kNetOk);
    }
    bool localNamesAreMountPoints() const override { return mountPoints; }
};

} // namespace lantrivex::fakes
