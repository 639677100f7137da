// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DriveList.h"
#include "platform/FileSystem.h"
#include "platform/FolderProbe.h"
#include "platform/InstanceGuard.h"
#include "platform/NamedStreamReader.h"
#include "platform/NetworkConnections.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramLocation.h"
#include "platform/Registry.h"
#include "platform/ShellOpen.h"
#include "platform/SystemVersion.h"

namespace lantrivex::platform {

// The operating-system services the program uses, as one bundle of interfaces. main() builds the
// bundle of the system it runs on and passes it down; tests pass fakes. The bundle does not own
// the services.
struct Platform {
    NamedStreamReader& streams;
    FolderProbe& folders;
    ProfileFile& profiles;
    SystemVersion& version;
    FileSystem& files;
    ProgramLocation& location;
    InstanceGuard& instance;
    Registry& registry;
    NetworkConnections& connections;
    DriveList& drives;
    ShellOpen& shell;
};

} // namespace lantrivex::platform
