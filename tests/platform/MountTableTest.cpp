// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/MountTable.h"

#include "TempFolder.h"
#include "platform/posix/PathResolver.h"
#include "platform/posix/PosixDriveList.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

using Kind = ResolvedPath::Kind;

constexpr std::string_view kTable =
    "/dev/vda1 / ext4 rw,relatime 0 0\n# a comment\nshort line\n"
    "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw,vers=3.0 0 0\n"
    "//ntsrv2/Mac\\040Volumes /mnt/mac\\011tab smb3 rw 0 0\n"
    "//NTSRV3/share/sub /mnt/sub cifs rw 0 0\n"
    "//NTSRV1/D$ /mnt/later cifs rw 0 0\r\n"
    "//NTSRV4/E$ /mnt/back\\134slash/ cifs rw 0 0\n"
    "//NTSRV5/pub/ / cifs rw 0 0\n"
    "nfs-host:/export /mnt/nfs nfs4 rw 0 0\n"
    "//SERVEUR-\xC3\x89/PARTAG\xC3\x89 /mnt/\xC3\xA9t\xC3\xA9 cifs rw 0 0\n";

TEST(MountTable, ParsesLinesAndDecodesEscapes) {
    std::string all;
    for (const auto& m : parseMountTable(kTable)) {
        all += m.source + "|" + m.mountPoint + "|" + m.fsType + "|" + m.options + "\n";
    }
    EXPECT_EQ(all,
              "/dev/vda1|/|ext4|rw,relatime\n//NTSRV1/D$|/mnt/ntsrv1 d|cifs|rw,vers=3.0\n"
              "//ntsrv2/Mac Volumes|/mnt/mac\ttab|smb3|rw\n//NTSRV3/share/sub|/mnt/sub|cifs|rw\n"
              "//NTSRV1/D$|/mnt/later|cifs|rw\n//NTSRV4/E$|/mnt/back\\slash/|cifs|rw\n"
              "//NTSRV5/pub/|/|cifs|rw\nnfs-host:/export|/mnt/nfs|nfs4|rw\n"
              "//SERVEUR-\xC3\x89/PARTAG\xC3\x89|/mnt/\xC3\xA9t\xC3\xA9|cifs|rw\n");
}

TEST(PathResolver, LocalThroughShareMountsSmbWhenUnmountedNeverAboveTheShare) {
    const std::pair<const char*, const char*> rows[] = {
        // Any case, "/" separators; the share mounted last hides an earlier mount of it.
        {"//ntsrv1/d$/Mac Volumes", "local /mnt/later/Mac Volumes"},
        {R"(\\ntsrv2\MAC VOLUMES\)", "local root /mnt/mac\ttab"},
        {R"(\\NTSRV4\E$\Pub)", "local /mnt/back\\slash/Pub"}, // mount point with a trailing "/"
        {R"(\\NTSRV5\pub\srv\mac)", "local /srv/mac"},        // share mounted at the root
        // Letter case aside, the accented letters of Windows-1252 included.
        {"\\\\serveur-\xC3\xA9\\Partag\xC3\xA9\\Vol", "local /mnt/\xC3\xA9t\xC3\xA9/Vol"},
        {R"(\\NTSRV1\D$\..)", "local root /mnt/later"}, // never the folder above the mount point
        {R"(\\NTSRV1\D$\a\.\b\..\c\\d)", "local /mnt/later/a/c/d"},
        {"/srv/mac volumes/Pub", "local /srv/mac volumes/Pub"},
        {"relative/folder", "local relative/folder"},
        {R"(\\NTSRV9\E$\Mac Volumes\Pub)", R"(smb NTSRV9|E$|Mac Volumes\Pub)"},
        {R"(\\NTSRV3\share\sub\x)", R"(smb NTSRV3|share|sub\x)"}, // a folder's mount is no share's
        {R"(\\nfs-host\export)", "smb nfs-host|export|"},
        {R"(\\NTSRV9\E$\x\..\..\y\.)", "smb NTSRV9|E$|y"},
        {R"(D:\Mac Volumes)", "unreachable"},
        {"e:", "unreachable"}};
    for (const auto& [path, expected] : rows) {
        const auto r = resolvePath(path, parseMountTable(kTable));
        EXPECT_EQ(r.kind == Kind::Local
                      ? "local " + std::string(r.shareRoot ? "root " : "") + r.localPath
                  : r.kind == Kind::Smb
                      ? "smb " + r.unc.server + "|" + r.unc.share + "|" + r.unc.rest + r.localPath
                      : "unreachable" + r.localPath,
                  expected)
            << path;
    }
}

TEST(PathResolver, ReadsTheCurrentMountTableUnlessGivenOne) {
    TempFolder temp;
    temp.write("mounts", "//SRV/Share /mnt/one cifs rw 0 0\n");
    const ScopedEnv env("LANTRIVEX_MOUNTS", temp.file("mounts"));
    const PathResolver current;
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/one/x");
    // A share mounted while the program runs is seen at the next resolution.
    temp.write("mounts", "//SRV/Share /mnt/two cifs rw 0 0\n");
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/two/x");
    EXPECT_EQ(PathResolver(parseMountTable(kTable)).resolve(R"(\\srv\share\x)").kind, Kind::Smb);
}

namespace fs = std::filesystem;

TEST(PosixDriveList, DrivesAreTheDataFileSystems) {
    TempFolder temp;
    const ScopedEnv mounts("LANTRIVEX_MOUNTS", temp.file("mounts"));
    // A fake device tree: sdb is removable, its partition sdb1 is listed under it.
    const fs::path sys = temp.folder("sys");
    fs::create_directories(sys / "devices/sdb/sdb1");
    fs::create_directories(sys / "class/block");
    TempFolder::writeFile((sys / "devices/sdb/removable").string(), "1\n");
    fs::create_directory_symlink(sys / "devices/sdb/sdb1", sys / "class/block/sdb1");
    temp.write("mounts", "/dev/sda / ext4 rw 0 0\nproc /proc proc rw 0 0\nsysfs /sys sysfs rw 0 0\n"
                         "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\ndevpts /dev/pts devpts rw 0 0\n"
                         "tmpfs /run tmpfs rw 0 0\n/dev/sdb1 /media/usb vfat rw 0 0\n"
                         "/dev/sr0 /media/cdrom iso9660 ro 0 0\n//NTSRV1/D$ /mnt/d cifs rw 0 0\n"
                         "nas:/x /mnt/nfs nfs rw 0 0\nuser@h:/ /mnt/ssh fuse.sshfs rw 0 0\n"
                         "/dev/sda /mnt/d ext4 rw 0 0\n");
    PosixDriveList drives(sys.string());
    // Kinds: 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk; the mount made last on a mount
    // point is the one seen.
    std::string all;
    for (const std::string& root : drives.driveRoots()) {
        all += root + "=" + std::to_string(drives.driveType(root)) + " ";
    }
    EXPECT_EQ(all, "/=3 /run=6 /media/usb=2 /media/cdrom=5 /mnt/d=3 /mnt/nfs=4 /mnt/ssh=4 ");
    EXPECT_EQ(drives.driveType("/proc"), kDriveUnknown);
    EXPECT_EQ(drives.driveType("/nowhere"), kDriveNoRootDir);
}

} // namespace
} // namespace lantrivex::platform::posix
