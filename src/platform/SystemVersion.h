// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lantrivex::platform {

// The operating system's version record. On Windows it is what GetVersionEx reports; elsewhere
// platformId is kPlatformOther and systemName carries the system's own name (from uname).
struct OsVersionInfo {
    static constexpr std::int32_t kPlatformWin9x = 1;
    static constexpr std::int32_t kPlatformWinNT = 2;
    static constexpr std::int32_t kPlatformOther = -1;

    std::int32_t platformId = kPlatformOther;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::string servicePack; // the record's CSD text, UTF-8, may hold padding and a NUL
    std::string systemName;  // for kPlatformOther: "Linux", "FreeBSD", ...
};

class SystemVersion {
public:
    virtual ~SystemVersion() = default;
    virtual OsVersionInfo query() = 0;
};

} // namespace lantrivex::platform
