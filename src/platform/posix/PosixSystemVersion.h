// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemVersion.h"

#include <string_view>

namespace lantrivex::platform::posix {

// The system's version from uname(): the system's name, and the first three numbers of its
// release as major, minor and build, the rest of the release as the service-pack text
// ("6.1.0-18-amd64" gives 6, 1, 0 and "18-amd64").
class PosixSystemVersion : public SystemVersion {
public:
    OsVersionInfo query() override;

    // The record for a system name and release text as uname() gives them. Missing numbers are 0;
    // numbers too large for 32 bits stop at 4294967295.
    static OsVersionInfo fromUname(std::string_view sysname, std::string_view release);
};

} // namespace lantrivex::platform::posix
