#pragma once

#include "platform/SystemVersion.h"

namespace lantrivex::fakes {

// A fixed version record: a Windows NT 4.0 machine unless a test says otherwise.
class FakeSystemVersion : public platform::SystemVersion {
public:
    platform::OsVersionInfo query() override { return info; }

    platform::OsVersionInfo info{
        platform::OsVersionInfo::kPlatformWinNT, 4, 0, 1381, "Service Pack 6", ""};
};

} // namespace lantrivex::fakes
