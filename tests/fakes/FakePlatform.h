#pragma once

#include "fakes/FakeDriveList.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeNamedStreamReader.h"
#include "fakes/FakeNetworkConnections.h"
#include "fakes/FakeProfileFile.h"
#include "fakes/FakeRegistry.h"
#include "platform/Platform.h"

namespace lantrivex::fakes {

// A fixed version record: a Windows NT 4.0 machine unless a test says otherwise.
class FakeSystemVersion : public platform::SystemVersion {
public:
    platform::OsVersionInfo query() override { return info; }

    platform::OsVersionInfo info{
        platform::OsVersionInfo::kPlatformWinNT, 4, 0, 1381, "Service Pack 6", ""};
};

class FakeProgramLocation : public platform::ProgramLocation {
public:
    std::string programFolder() override { return folder; }
    char pathSeparator() const override { return '/'; }

    std::string folder = "/opt/lantrivex";
};

// Every platform service as an in-memory fake, and the bundle made of them.
struct FakePlatform {
    FakeNamedStreamReader streams;
    FakeFolderProbe folders;
    FakeProfileFile profiles;
    FakeSystemVersion version;
    FakeFileSystem files;
    FakeProgramLocation location;
    FakeRegistry registry;
    FakeNetworkConnections connections;
    FakeDriveList drives;

    platform::Platform platform() {
        return platform::Platform{streams,  folders,  profiles,    version, files,
                                  location, registry, connections, drives};
    }
};

} // namespace lantrivex::fakes
