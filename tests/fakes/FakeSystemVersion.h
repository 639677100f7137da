// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemVersion.h"

namespace lantrivex::fakes {

struct FakeSystemVersion : platform::SystemVersion {
    platform::OsVersionInfo info{
        platform::OsVersionInfo::kPlatformWinNT, 4, 0, 1381, "Service Pack 6", ""};
    platform::OsVersionInfo query() override { return info; }
};

} // namespace lantrivex::fakes
