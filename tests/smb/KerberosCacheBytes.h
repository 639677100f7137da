// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lantrivex::test {

// One credential of a cache: its server principal (one component, the realm) and end time.
struct CachedTicket {
    std::string server = "krbtgt";
    std::string realm = "LANTRIVEX.TEST";
    std::uint32_t end = 0;
};

// The bytes of a credentials cache file in the MIT format `version` (0x0503 or 0x0504), whose
// default principal is alice@LANTRIVEX.TEST, holding `tickets`; `kdcOffset` the header's KDC
// time offset (0x0504).
inline std::string kerberosCacheBytes(const std::vector<CachedTicket>& tickets,
                                      std::uint16_t version = 0x0504, std::int32_t kdcOffset = 0) {
    std::string out;
    const auto put = [&out](std::uint32_t value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    const auto counted = [&](const std::string& bytes) {
        put(static_cast<std::uint32_t>(bytes.size()), 4);
        out += bytes;
    };
    const auto principal = [&](const std::string& name, const std::string& realm) {
        put(1, 4); // name type
        put(1, 4); // one component
        counted(realm);
        counted(name);
    };
    put(version, 2);
    if (version == 0x0504) {
        put(12, 2); // the header: tag 1, 8 bytes of seconds and microseconds
        put(1, 2);
        put(8, 2);
        put(static_cast<std::uint32_t>(kdcOffset), 4);
        put(0, 4);
    }
    principal("alice", "LANTRIVEX.TEST");
    for (const CachedTicket& t : tickets) {
        principal("alice", "LANTRIVEX.TEST");
        principal(t.server, t.realm);
        put(18, 2); // key type
        if (version == 0x0503) {
            put(18, 2);
        }
        counted(std::string(32, 'k'));
        put(t.end - 100, 4); // auth time
        put(t.end - 100, 4); // start time
        put(t.end, 4);
        put(t.end + 100, 4); // renew until
        put(0, 1);
        put(0x40e10000, 4); // flags
        put(1, 4);          // one address
        put(2, 2);
        counted("\x7f\x00\x00\x01");
        put(0, 4); // no authorization data
        counted("ticket");
        counted("");
    }
    return out;
}

} // namespace lantrivex::test
