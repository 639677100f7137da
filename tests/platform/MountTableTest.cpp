#include "platform/posix/MountTable.h"

#include "TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

constexpr std::string_view kTable = "/dev/vda1 / ext4 rw,relatime 0 0\n"
                                    "proc /proc proc rw 0 0\n"
                                    "# a comment line\n"
                                    "short line\n"
                                    "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw,vers=3.0 0 0\n"
                                    "//ntsrv2/Mac\\040Volumes /mnt/mac\\011tab smb3 rw 0 0\n"
                                    "//NTSRV3/share/sub /mnt/sub cifs rw 0 0\n"
                                    "//NTSRV1/D$ /mnt/later cifs rw 0 0\r\n"
                                    "//NTSRV4/E$ /mnt/back\\134slash cifs rw 0 0\n"
                                    "//NTSRV5/pub/ /mnt/pub cifs rw 0 0\n"
                                    "nfs-host:/export /mnt/nfs nfs4 rw 0 0\n";

TEST(MountTable, ParsesLinesAndDecodesEscapes) {
    const auto table = parseMountTable(kTable);
    ASSERT_EQ(table.size(), 9u);
    EXPECT_EQ(table[0].mountPoint, "/");
    EXPECT_EQ(table[2].source, "//NTSRV1/D$");
    EXPECT_EQ(table[2].mountPoint, "/mnt/ntsrv1 d");
    EXPECT_EQ(table[2].fsType, "cifs");
    EXPECT_EQ(table[2].options, "rw,vers=3.0");
    EXPECT_EQ(table[3].source, "//ntsrv2/Mac Volumes");
    EXPECT_EQ(table[3].mountPoint, "/mnt/mac\ttab");
    EXPECT_EQ(table[5].options, "rw");
    EXPECT_EQ(table[6].mountPoint, "/mnt/back\\slash");
    EXPECT_TRUE(parseMountTable("").empty());
}

TEST(MountTable, FindsSmbSharesWithoutRegardToCase) {
    const auto table = parseMountTable(kTable);
    auto found = findSmbMount(table, "ntsrv2", "MAC VOLUMES");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->mountPoint, "/mnt/mac\ttab");
    // The share mounted last hides the earlier mount of the same share.
    found = findSmbMount(table, "ntsrv1", "d$");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->mountPoint, "/mnt/later");
    found = findSmbMount(table, "NTSRV5", "pub");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->mountPoint, "/mnt/pub");
    // A mount of a folder below the share does not stand for the share.
    EXPECT_FALSE(findSmbMount(table, "NTSRV3", "share").has_value());
    EXPECT_FALSE(findSmbMount(table, "NTSRV1", "E$").has_value());
    EXPECT_FALSE(findSmbMount(table, "nfs-host", "export").has_value());
}

TEST(MountTable, ReadsTheTableTheEnvironmentNames) {
    TempFolder temp;
    const std::string file = temp.path() + "/mounts";
    TempFolder::writeFile(file, kTable);
    const char* before = std::getenv("LANTRIVEX_MOUNTS");
    const std::string saved = before ? before : "";
    ::setenv("LANTRIVEX_MOUNTS", file.c_str(), 1);
    EXPECT_EQ(mountTablePath(), file);
    EXPECT_EQ(readMountTable().size(), 9u);
    ::setenv("LANTRIVEX_MOUNTS", (temp.path() + "/absent").c_str(), 1);
    EXPECT_TRUE(readMountTable().empty());
    ::unsetenv("LANTRIVEX_MOUNTS");
    EXPECT_EQ(mountTablePath(), "/proc/self/mounts");
    if (before) {
        ::setenv("LANTRIVEX_MOUNTS", saved.c_str(), 1);
    }
}

} // namespace
} // namespace lantrivex::platform::posix
