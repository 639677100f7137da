// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NetworkConnections.h"

namespace lantrivex::platform::win32 {

// This computer's name (GetComputerNameA, into a buffer of 1024 characters) and its current
// connections: one WNetEnumResourceA request, on an enumeration of the connected resources of every
// type (WNetOpenEnumA), for at most the count asked into a buffer of as many NETRESOURCEA records,
// strings included. The answers are the functions' own codes.
class Win32NetworkConnections : public NetworkConnections {
public:
    std::optional<std::string> computerName() override;
    std::int32_t currentConnections(std::size_t maxCount,
                                    std::vector<NetworkConnection>& connections) override;
    bool localNamesAreMountPoints() const override { return false; }
};

} // namespace lantrivex::platform::win32
