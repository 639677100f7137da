#include "TempFolder.h"
#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixNetworkConnections.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

namespace fs = std::filesystem;

struct PosixDiscoveryTest : ::testing::Test {
    TempFolder temp;
    ScopedEnv mounts{"LANTRIVEX_MOUNTS", temp.file("mounts")};
};

TEST_F(PosixDiscoveryTest, SmbMountsAreTheConnections) {
    temp.write("mounts", "/dev/sda1 / ext4 rw 0 0\n"
                         "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw 0 0\n"
                         "proc /proc proc rw 0 0\n"
                         "//ntsrv2/pub/sub /mnt/pub smb3 rw 0 0\n"
                         "nas:/export /mnt/nfs nfs4 rw 0 0\n");
    PosixNetworkConnections net;
    std::vector<NetworkConnection> got;
    ASSERT_EQ(net.currentConnections(1024, got), kNetOk);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].localName.value_or("-"), "/mnt/ntsrv1 d");
    EXPECT_EQ(got[0].remoteName, R"(\\NTSRV1\D$)");
    EXPECT_EQ(got[1].remoteName, R"(\\ntsrv2\pub\sub)");
    ASSERT_EQ(net.currentConnections(1, got), kNetOk);
    EXPECT_EQ(got.size(), 1u);
    EXPECT_TRUE(net.localNamesAreMountPoints());

    temp.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    got = {{std::nullopt, "stale"}};
    EXPECT_EQ(net.currentConnections(1024, got), kNetNoMoreItems);
    EXPECT_TRUE(got.empty());
    mounts.set(temp.file("missing"));
    EXPECT_EQ(net.currentConnections(1024, got), kNetNoMoreItems);

    const auto name = net.computerName(); // the short host name
    ASSERT_TRUE(name.has_value());
    EXPECT_FALSE(name->empty());
    EXPECT_EQ(name->find('.'), std::string::npos);
}

TEST_F(PosixDiscoveryTest, DrivesAreTheDataFileSystems) {
    // A fake device tree: sdb is removable, its partition sdb1 is listed under it.
    const fs::path sys = temp.folder("sys");
    fs::create_directories(sys / "devices" / "sdb" / "sdb1");
    fs::create_directories(sys / "devices" / "sda");
    fs::create_directories(sys / "class" / "block");
    TempFolder::writeFile((sys / "devices/sdb/removable").string(), "1\n");
    TempFolder::writeFile((sys / "devices/sda/removable").string(), "0\n");
    fs::create_directory_symlink(sys / "devices" / "sdb" / "sdb1", sys / "class/block/sdb1");
    fs::create_directory_symlink(sys / "devices" / "sda", sys / "class/block/sda");
    temp.write("mounts", "/dev/sda / ext4 rw 0 0\n"
                         "proc /proc proc rw 0 0\n"
                         "sysfs /sys sysfs rw 0 0\n"
                         "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                         "devpts /dev/pts devpts rw 0 0\n"
                         "tmpfs /run tmpfs rw 0 0\n"
                         "/dev/sdb1 /media/usb vfat rw 0 0\n"
                         "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
                         "//NTSRV1/D$ /mnt/ntsrv1-d cifs rw 0 0\n"
                         "nas:/x /mnt/nfs nfs rw 0 0\n"
                         "user@h:/ /mnt/ssh fuse.sshfs rw 0 0\n"
                         "/dev/sda /mnt/ntsrv1-d ext4 rw 0 0\n");
    PosixDriveList drives(sys.string());
    EXPECT_EQ(drives.driveRoots(),
              (std::vector<std::string>{"/", "/run", "/media/usb", "/media/cdrom", "/mnt/ntsrv1-d",
                                        "/mnt/nfs", "/mnt/ssh"}));
    // The mount made last on a mount point is the one seen.
    const std::pair<const char*, std::int32_t> types[] = {{"/", kDriveFixed},
                                                          {"/run", kDriveRamDisk},
                                                          {"/media/usb", kDriveRemovable},
                                                          {"/media/cdrom", kDriveCdRom},
                                                          {"/mnt/ntsrv1-d", kDriveFixed},
                                                          {"/mnt/nfs", kDriveRemote},
                                                          {"/mnt/ssh", kDriveRemote},
                                                          {"/proc", kDriveUnknown},
                                                          {"/nowhere", kDriveNoRootDir}};
    for (const auto& [root, type] : types) {
        EXPECT_EQ(drives.driveType(root), type) << root;
    }
    EXPECT_TRUE(drives.rootsAreMountPoints());
}

} // namespace
} // namespace lantrivex::platform::posix
