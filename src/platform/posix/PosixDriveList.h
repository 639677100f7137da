// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DriveList.h"
#include "platform/posix/MountTable.h"

#include <string>
#include <vector>

namespace lantrivex::platform::posix {

// The drives of a POSIX system: the mount points of the mounted file systems that hold data (not
// proc, sysfs, cgroup and the like), in the mount table's order (mountTablePath()). The kind
// follows the file system: network (cifs, smb3, nfs, 9p, sshfs, ...), CD-ROM (iso9660, udf), RAM
// disk (tmpfs, ramfs), removable when the block device says so, local otherwise.
class PosixDriveList : public DriveList {
public:
    // `sysRoot`: where the kernel's device attributes are read (/sys; tests give another folder).
    explicit PosixDriveList(std::string sysRoot = "/sys") : sysRoot_(std::move(sysRoot)) {}

    std::vector<std::string> driveRoots() override;
    std::int32_t driveType(std::string_view root) override;
    bool rootsAreMountPoints() const override { return true; }

    // The kind of a mount, by its file system and device.
    std::int32_t kindOf(const MountEntry& entry) const;

    // Whether a file system type holds no user data (proc, sysfs, ...).
    static bool isPseudoFileSystem(std::string_view fsType);

private:
    bool removableDevice(const std::string& source) const;

    std::string sysRoot_;
};

} // namespace lantrivex::platform::posix
