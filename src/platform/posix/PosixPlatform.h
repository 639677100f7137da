// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostPlatform.h"
#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "platform/posix/PosixProfileFile.h"
#include "platform/posix/PosixProgramLocation.h"
#include "platform/posix/PosixRegistry.h"
#include "platform/posix/PosixShellOpen.h"
#include "platform/posix/PosixSystemVersion.h"
#include "smb/RemoteShareAccess.h"
#include "smb/SmbShareAccess.h"

#include <memory>

namespace lantrivex::platform::posix {

// Every POSIX service of the program, owned in one place; platform() hands them out as the bundle
// that the window program and the command-line reader pass down.
class PosixPlatform : public HostPlatform {
public:
    PosixPlatform();
    ~PosixPlatform() override;
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    Platform platform() override;

private:
    // The SMB sessions, shared by the share access and the live registry; null when not built in.
    std::shared_ptr<smb::SmbSessionPool> sessions_;
    std::unique_ptr<smb::RemoteShareAccess> remote_; // unmounted SMB shares; null when not built in
    PosixNamedStreamReader streams_;
    PosixFolderProbe folders_;
    PosixProfileFile profiles_;
    PosixSystemVersion version_;
    PosixFileSystem files_;
    PosixProgramLocation location_;
    PosixInstanceGuard instance_; // the per-user lock is taken only when the window program asks
    // The registry exports of Registry/ in the settings folder (or LANTRIVEX_REGISTRY_DIR), this
    // computer's own the one named after its short host name; machines without one are read live
    // over SMB.
    PosixRegistry registry_;
    PosixNetworkConnections connections_;
    PosixDriveList drives_;
    PosixShellOpen shell_;
};

} // namespace lantrivex::platform::posix
