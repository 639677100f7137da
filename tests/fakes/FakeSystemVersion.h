#pragma once

#include "platform/SystemVersion.h"

namespace lantrivex::fakes {

// Gives the version record the test sets; by default a POSIX system's ("Linux" 6.1.0-18-amd64).
class FakeSystemVersion : public platform::SystemVersion {
public:
    FakeSystemVersion() {
        record.platformId = platform::OsVersionInfo::kPlatformOther;
        record.systemName = "Linux";
        record.majorVersion = 6;
        record.minorVersion = 1;
        record.buildNumber = 0;
        record.servicePack = "18-amd64";
    }

    platform::OsVersionInfo query() override { return record; }

    platform::OsVersionInfo record;
};

} // namespace lantrivex::fakes
