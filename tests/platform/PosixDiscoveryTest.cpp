#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixNetworkConnections.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

namespace fs = std::filesystem;

class MountTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("lantrivex-mounts-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        const char* old = std::getenv("LANTRIVEX_MOUNTS");
        saved = old ? old : "";
        ::setenv("LANTRIVEX_MOUNTS", (dir / "mounts").c_str(), 1);
    }
    void TearDown() override {
        if (saved.empty()) {
            ::unsetenv("LANTRIVEX_MOUNTS");
        } else {
            ::setenv("LANTRIVEX_MOUNTS", saved.c_str(), 1);
        }
        fs::remove_all(dir);
    }
    void table(const std::string& text) { std::ofstream(dir / "mounts") << text; }

    fs::path dir;
    std::string saved;
};

TEST_F(MountTableTest, SmbMountsAreTheConnections) {
    table("/dev/sda1 / ext4 rw 0 0\n"
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
}

TEST_F(MountTableTest, NoSmbMountNoConnection) {
    table("/dev/sda1 / ext4 rw 0 0\n");
    PosixNetworkConnections net;
    std::vector<NetworkConnection> got{{std::nullopt, "stale"}};
    EXPECT_EQ(net.currentConnections(1024, got), kNetNoMoreItems);
    EXPECT_TRUE(got.empty());
    ::setenv("LANTRIVEX_MOUNTS", (dir / "missing").c_str(), 1);
    EXPECT_EQ(net.currentConnections(1024, got), kNetNoMoreItems);
}

TEST_F(MountTableTest, ComputerNameIsTheShortHostName) {
    const auto name = PosixNetworkConnections().computerName();
    ASSERT_TRUE(name.has_value());
    EXPECT_FALSE(name->empty());
    EXPECT_EQ(name->find('.'), std::string::npos);
}

TEST_F(MountTableTest, DrivesAreTheDataFileSystems) {
    // A fake device tree: sdb is removable, its partition sdb1 is listed under it.
    const fs::path sys = dir / "sys";
    fs::create_directories(sys / "devices" / "sdb" / "sdb1");
    fs::create_directories(sys / "devices" / "sda");
    std::ofstream(sys / "devices" / "sdb" / "removable") << "1\n";
    std::ofstream(sys / "devices" / "sda" / "removable") << "0\n";
    fs::create_directories(sys / "class" / "block");
    fs::create_directory_symlink(sys / "devices" / "sdb" / "sdb1",
                                 sys / "class" / "block" / "sdb1");
    fs::create_directory_symlink(sys / "devices" / "sda", sys / "class" / "block" / "sda");

    table("/dev/sda / ext4 rw 0 0\n"
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
    EXPECT_EQ(drives.driveType("/"), kDriveFixed);
    EXPECT_EQ(drives.driveType("/run"), kDriveRamDisk);
    EXPECT_EQ(drives.driveType("/media/usb"), kDriveRemovable);
    EXPECT_EQ(drives.driveType("/media/cdrom"), kDriveCdRom);
    // The mount made last on a mount point is the one seen.
    EXPECT_EQ(drives.driveType("/mnt/ntsrv1-d"), kDriveFixed);
    EXPECT_EQ(drives.driveType("/mnt/nfs"), kDriveRemote);
    EXPECT_EQ(drives.driveType("/mnt/ssh"), kDriveRemote);
    EXPECT_EQ(drives.driveType("/proc"), kDriveUnknown);
    EXPECT_EQ(drives.driveType("/nowhere"), kDriveNoRootDir);
    EXPECT_TRUE(drives.rootsAreMountPoints());
}

} // namespace
} // namespace lantrivex::platform::posix
