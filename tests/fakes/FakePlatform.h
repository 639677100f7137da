// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeDriveList.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakeNamedStreamReader.h"
#include "fakes/FakeNetworkConnections.h"
#include "fakes/FakeProfileFile.h"
#include "fakes/FakeProgramLocation.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShellOpen.h"
#include "fakes/FakeSystemVersion.h"
#include "platform/Platform.h"

namespace lantrivex::fakes {

struct FakePlatform {
    FakeNamedStreamReader streams;
    FakeFolderProbe folders;
    FakeProfileFile profiles;
    FakeSystemVersion version;
    FakeFileSystem files;
    FakeProgramLocation location;
    FakeInstanceGuard instance;
    FakeRegistry registry;
    FakeNetworkConnections connections;
    FakeDriveList drives;
    FakeShellOpen shell;

    platform::Platform platform() {
        return {streams,  folders,  profiles,    version, files, location,
                instance, registry, connections, drives,  shell};
    }
};

} // namespace lantrivex::fakes
