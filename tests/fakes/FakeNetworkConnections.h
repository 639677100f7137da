#pragma once

#include "platform/NetworkConnections.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace lantrivex::fakes {

// This computer's name and a list of connections, as set by the test; records the requests.
class FakeNetworkConnections : public platform::NetworkConnections {
public:
    std::optional<std::string> name = std::string("WORKSTATION");
    std::vector<platform::NetworkConnection> connections;
    std::int32_t failWith = platform::kNetOk; // a failing request answers this code
    bool mountPoints = false;
    std::vector<std::size_t> requests; // the max count of each request

    // Adds a connection: an empty local name means none.
    void add(const std::string& localName, const std::string& remoteName) {
        platform::NetworkConnection c;
        if (!localName.empty()) {
            c.localName = localName;
        }
        c.remoteName = remoteName;
        connections.push_back(c);
    }

    std::optional<std::string> computerName() override { return name; }
    std::int32_t currentConnections(std::size_t maxCount,
                                    std::vector<platform::NetworkConnection>& out) override {
        requests.push_back(maxCount);
        out.assign(connections.begin(), connections.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                  maxCount, connections.size())));
        if (failWith != platform::kNetOk) {
            out.clear();
            return failWith;
        }
        return connections.empty() ? platform::kNetNoMoreItems : platform::kNetOk;
    }
    bool localNamesAreMountPoints() const override { return mountPoints; }
};

} // namespace lantrivex::fakes
