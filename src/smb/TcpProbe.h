// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace lantrivex::smb {

enum class TcpReach {
    Reachable,   // a TCP connection to one of the ports was accepted
    Refused,     // the name resolved, and every connection was refused at once
    Unreachable, // the name resolved, but no connection completed in time
    Unresolved,  // the system's resolver does not know the name
};

// Tries a TCP connection to `host` on each of `ports` in turn (every address the name resolves
// to), giving up when `timeout` has passed in all; the connection is closed at once. Bounds the
// wait for a server that does not answer, which the SMB library itself would wait on for 20 s.
TcpReach probeTcp(const std::string& host, std::span<const std::uint16_t> ports,
                  std::chrono::milliseconds timeout);

enum class SmbReach {
    Answers,    // a server answered a negotiation offering SMB 2 (or anything the library may try)
    Smb1Only,   // a server answered, choosing SMB1: it speaks nothing newer
    Refused,    // every connection was refused at once
    Silent,     // a connection was accepted (or is pending) but nothing answered in time
    Unresolved, // the system's resolver does not know the name
};

// Connects as probeTcp() does and sends an SMB negotiation offering SMB1 ("NT LM 0.12") and
// SMB 2 ("SMB 2.002", "SMB 2.???"), waiting for the first bytes of the answer; everything within
// `timeout`. A server that accepts connections and never answers is told from one that answers,
// without handing it to the SMB library, which would wait for it again at every step.
SmbReach probeSmb(const std::string& host, std::span<const std::uint16_t> ports,
                  std::chrono::milliseconds timeout);

} // namespace lantrivex::smb
