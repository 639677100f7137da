// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lantrivex::smb {

// What the user's Kerberos credentials cache holds, as far as a logon depends on it.
struct KerberosCache {
    enum class State {
        None,    // no cache: no KRB5CCNAME and no default cache file
        Empty,   // a cache without any ticket (after kdestroy of its tickets, or a failed kinit)
        Corrupt, // not a cache file (truncated, or another format)
        Expired, // every ticket is past its end time
        Usable,  // a ticket valid now
        Opaque,  // a cache this program cannot read (KEYRING:, KCM:, DIR:, an old file format):
                 // left to the Kerberos library as it is
    };
    State state = State::None;
    std::string name;      // the cache's name as the library takes it ("FILE:/tmp/krb5cc_1000")
    std::string principal; // the cache's default principal ("jdupont@CORP.EXAMPLE"), when read
};

// Reads the bytes of a credentials cache file in the format of MIT Kerberos and Heimdal (versions
// 0x0503 and 0x0504: big-endian, a header of tagged fields in 0x0504, the default principal, then
// the credentials to the end of the file). `now` in seconds since 1970 (the header's KDC time
// offset is added to it). Entries of the cache's own configuration (realm "X-CACHECONF:") are no
// tickets. Versions 0x0501 and 0x0502 give Opaque; every length is checked against the bytes left.
KerberosCache parseKerberosCache(std::string_view bytes, std::int64_t now);

// The cache the Kerberos library would use: KRB5CCNAME ("FILE:PATH", "PATH", or another type,
// which is Opaque), else the file /tmp/krb5cc_UID; read and judged at `now`. A file that does not
// exist is None; one that cannot be read, or is over 1 MiB, is Opaque.
KerberosCache findKerberosCache(const std::function<const char*(const char*)>& lookup, unsigned uid,
                                std::int64_t now);

} // namespace lantrivex::smb
