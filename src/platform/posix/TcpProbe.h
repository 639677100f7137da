// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace lantrivex::platform::posix {

enum class TcpReach {
    Reachable,   // a TCP connection to one of the ports was accepted
    Unreachable, // the name resolved, but every connection was refused or did not complete in time
    Unresolved,  // the system's resolver does not know the name
};

// Tries a TCP connection to `host` on each of `ports` in turn (every address the name resolves
// to), giving up when `timeout` has passed in all; the connection is closed at once. Bounds the
// wait for a server that does not answer, which the SMB library itself would wait on for 20 s.
TcpReach probeTcp(const std::string& host, std::span<const std::uint16_t> ports,
                  std::chrono::milliseconds timeout);

} // namespace lantrivex::platform::posix
