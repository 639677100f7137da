// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixDriveList.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace lantrivex::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 30> kPseudo = {
    "proc",     "sysfs",    "cgroup",    "cgroup2",         "devpts",      "devtmpfs",
    "mqueue",   "debugfs",  "tracefs",   "securityfs",      "pstore",      "bpf",
    "configfs", "fusectl",  "hugetlbfs", "autofs",          "binfmt_misc", "rpc_pipefs",
    "nsfs",     "efivarfs", "selinuxfs", "usbfs",           "nfsd",        "rootfs",
    "sockfs",   "pipefs",   "cpuset",    "fuse.gvfsd-fuse", "fuse.portal"};

constexpr std::array<std::string_view, 14> kNetwork = {
    "cifs",        "smb3",       "smbfs", "nfs",       "nfs4",           "9p",
    "fuse.sshfs",  "afs",        "ceph",  "glusterfs", "fuse.glusterfs", "davfs",
    "fuse.davfs2", "fuse.rclone"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string readFirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

} // namespace

bool PosixDriveList::isPseudoFileSystem(std::string_view fsType) {
    return among(kPseudo, fsType);
}

bool PosixDriveList::removableDevice(const std::string& source) const {
    if (source.rfind("/dev/", 0) != 0) {
        return false;
    }
    std::error_code ec;
    fs::path device = fs::canonical(source, ec); // /dev/disk/by-label/... -> /dev/sdb1
    if (ec) {
        device = source;
    }
    const fs::path entry = fs::path(sysRoot_) / "class" / "block" / device.filename();
    // A partition's attributes are in its disk's folder, one level up.
    const fs::path resolved = fs::canonical(entry, ec);
    if (ec) {
        return false;
    }
    for (const fs::path& folder : {resolved, resolved.parent_path()}) {
        const fs::path removable = folder / "removable";
        if (fs::exists(removable, ec)) {
            return readFirstLine(removable) == "1";
        }
    }
    return false;
}

std::int32_t PosixDriveList::kindOf(const MountEntry& entry) const {
    const std::string_view type = entry.fsType;
    if (among(kNetwork, type)) {
        return kDriveRemote;
    }
    if (type == "iso9660" || type == "udf") {
        return kDriveCdRom;
    }
    if (type == "tmpfs" || type == "ramfs") {
        return kDriveRamDisk;
    }
    if (isPseudoFileSystem(type)) {
        return kDriveUnknown;
    }
    return removableDevice(entry.source) ? kDriveRemovable : kDriveFixed;
}

std::vector<std::string> PosixDriveList::driveRoots() {
    std::vector<std::string> roots;
    for (const MountEntry& entry : readMountTable()) {
        if (isPseudoFileSystem(entry.fsType) || entry.mountPoint.empty()) {
            continue;
        }
        if (std::find(roots.begin(), roots.end(), entry.mountPoint) == roots.end()) {
            roots.push_back(entry.mountPoint);
        }
    }
    return roots;
}

std::int32_t PosixDriveList::driveType(std::string_view root) {
    const std::vector<MountEntry> table = readMountTable();
    // The mount made last on a mount point hides the others.
    for (auto it = table.rbegin(); it != table.rend(); ++it) {
        if (it->mountPoint == root) {
            return kindOf(*it);
        }
    }
    return kDriveNoRootDir;
}

} // namespace lantrivex::platform::posix
